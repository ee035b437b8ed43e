// Shader source text: #include expansion.
#include "gpu/shader_source.h"

#include <sstream>

namespace {

constexpr int kMaxIncludeDepth = 8;

bool startsWith(const std::string& line, const char* prefix) {
  const size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos &&
         line.compare(first, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool expand(const std::string& source, const ShaderFileReader& read, int depth, std::string& out,
            std::string& error) {
  std::istringstream lines(source);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (!first) out += '\n';
    first = false;
    if (startsWith(line, "#extension GL_GOOGLE_include_directive")) continue;
    if (!startsWith(line, "#include")) {
      out += line;
      continue;
    }
    const size_t open = line.find('"');
    const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos) {
      error = "Malformed include: " + line;
      return false;
    }
    const std::string name = line.substr(open + 1, close - open - 1);
    std::string text;
    if (depth >= kMaxIncludeDepth) {
      error = "Includes nested too deeply: " + name;
      return false;
    }
    if (!read(name, text)) {
      error = "File not found: " + name;
      return false;
    }
    if (!expand(text, read, depth + 1, out, error)) return false;
  }
  if (!source.empty() && source.back() == '\n') out += '\n';
  return true;
}

}  // namespace

bool expandShaderIncludes(const std::string& source, const ShaderFileReader& read,
                          std::string& expanded, std::string& error) {
  expanded.clear();
  error.clear();
  return expand(source, read, 0, expanded, error);
}
