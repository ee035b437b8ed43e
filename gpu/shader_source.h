// Shader source text: shared GLSL files pulled in by #include lines.
#pragma once

#include <functional>
#include <string>

// Reads the file `name` (relative to the including file's folder) into `text`; false when it
// does not exist.
using ShaderFileReader = std::function<bool(const std::string& name, std::string& text)>;

// Replaces every line `#include "name"` by the named file's text (recursively, at most 8 deep)
// and drops the `#extension GL_GOOGLE_include_directive` line that lets the static checker
// follow the same includes. A file without includes comes back unchanged. On a missing or too
// deeply nested file, returns false with `error` naming it.
bool expandShaderIncludes(const std::string& source, const ShaderFileReader& read,
                          std::string& expanded, std::string& error);
