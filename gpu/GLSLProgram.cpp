// Shader program: stage compilation, linking, the fatal build sequence and uniform setters.
#include "gpu/GLSLProgram.h"

#include <sys/stat.h>

#include <QFile>
#include <QMatrix3x3>
#include <QMatrix4x4>
#include <QOpenGLFunctions_4_0_Core>
#include <QVector3D>
#include <QVector4D>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "gpu/shader_source.h"
#include "meshio/status.h"

namespace {

const GLenum kShaderTypes[5] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER, GL_GEOMETRY_SHADER,
                                GL_TESS_CONTROL_SHADER, GL_TESS_EVALUATION_SHADER};

// The array forms of the uniform setters never send more than this many values.
constexpr int kMaxArrayUniform = 10;

[[noreturn]] void buildFailure(const char* format, const char* name, const char* path,
                               const std::string& log) {
  zel::fatalExit(stdout, format, name, path, log.c_str());
}

bool readWithQFile(const QString& path, std::string& text) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  text = file.readAll().toStdString();
  file.close();
  return true;
}

// Character by character through a standard stream, as plain files are read.
bool readWithStream(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::in | std::ios::binary);
  if (!in) return false;
  text.clear();
  char c;
  while (in.get(c)) text.push_back(c);
  return true;
}

}  // namespace

GLSLProgram::GLSLProgram(QOpenGLFunctions_4_0_Core* gl) : m_gl(gl) {}

bool GLSLProgram::ensureProgram() {
  if (m_handle > 0) return true;
  m_handle = static_cast<int>(m_gl->glCreateProgram());
  if (m_handle == 0) {
    m_log = "Unable to create shader program.";
    return false;
  }
  return true;
}

bool GLSLProgram::compileShaderFromString(const std::string& source, int stage) {
  if (!m_gl || !ensureProgram()) return false;
  if (stage < 0 || stage > 4) return false;
  const GLuint shader = m_gl->glCreateShader(kShaderTypes[stage]);
  const char* text = source.c_str();
  m_gl->glShaderSource(shader, 1, &text, nullptr);
  m_gl->glCompileShader(shader);
  GLint status = 0;
  m_gl->glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status) {
    // An attached shader flagged for deletion lives until its program is deleted.
    m_gl->glAttachShader(static_cast<GLuint>(m_handle), shader);
    m_gl->glDeleteShader(shader);
    return true;
  }
  m_log.clear();
  GLint length = 0;
  m_gl->glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  if (length > 0) {
    std::string text(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    m_gl->glGetShaderInfoLog(shader, length, &written, &text[0]);
    text.resize(static_cast<size_t>(std::max(0, written)));
    m_log = text;
  }
  m_gl->glDeleteShader(shader);
  return false;
}

bool GLSLProgram::compileShaderFromResource(const QString& path, int stage) {
  if (!m_gl) return false;
  if (!QFile::exists(path)) {
    m_log = "File not found.";
    return false;
  }
  if (!ensureProgram()) return false;
  std::string source;
  if (!readWithQFile(path, source)) {
    m_log = "File not found.";
    return false;
  }
  const QString folder = path.left(path.lastIndexOf('/') + 1);
  return compileExpanded(source, stage, [&](const std::string& name, std::string& text) {
    return readWithQFile(folder + QString::fromStdString(name), text);
  });
}

bool GLSLProgram::compileShaderFromFile(const char* path, int stage) {
  if (!m_gl) return false;
  struct stat info;
  if (!path || stat(path, &info) != 0) {
    m_log = "File not found.";
    return false;
  }
  if (!ensureProgram()) return false;
  std::string source;
  readWithStream(path, source);
  const std::string whole(path);
  const std::string folder = whole.substr(0, whole.find_last_of('/') + 1);
  return compileExpanded(source, stage, [&](const std::string& name, std::string& text) {
    return readWithStream((folder + name).c_str(), text);
  });
}

bool GLSLProgram::compileExpanded(const std::string& source, int stage,
                                  const ShaderFileReader& read) {
  std::string expanded, error;
  if (!expandShaderIncludes(source, read, expanded, error)) {
    m_log = error;
    return false;
  }
  return compileShaderFromString(expanded, stage);
}

bool GLSLProgram::link() {
  if (!m_gl) return false;
  if (m_linked) return true;
  if (m_handle <= 0) return false;
  const GLuint program = static_cast<GLuint>(m_handle);
  m_gl->glLinkProgram(program);
  GLint status = 0;
  m_gl->glGetProgramiv(program, GL_LINK_STATUS, &status);
  if (status) {
    m_linked = true;
    return true;
  }
  GLint length = 0;
  m_gl->glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
  if (length > 0) {
    std::string text(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    m_gl->glGetProgramInfoLog(program, length, &written, &text[0]);
    text.resize(static_cast<size_t>(std::max(0, written)));
    m_log = text;
  }
  return false;
}

void GLSLProgram::use() {
  if (m_gl && m_handle >= 1 && m_linked) m_gl->glUseProgram(static_cast<GLuint>(m_handle));
}

bool GLSLProgram::buildProgram(const char* name, const QString& vs, const QString& fs,
                               const QString& gs, const QString& tcs, const QString& tes) {
  const QString paths[5] = {vs, fs, gs, tcs, tes};
  std::string text[5];
  for (int i = 0; i < 5; ++i) text[i] = paths[i].toStdString();
  return buildStages(name, text, false);
}

bool GLSLProgram::buildProgramFromFiles(const char* name, const char* vs, const char* fs,
                                        const char* gs, const char* tcs, const char* tes) {
  const char* paths[5] = {vs, fs, gs, tcs, tes};
  std::string text[5];
  for (int i = 0; i < 5; ++i) text[i] = paths[i] ? paths[i] : "";
  return buildStages(name, text, true);
}

// paths[stage] by stage number, empty for a missing stage.
bool GLSLProgram::buildStages(const char* name, const std::string paths[5], bool fromFiles) {
  if (!m_gl) return false;
  if (paths[Vertex].empty() || paths[Fragment].empty()) {
    zel::fatalExit(stdout,
                   "  GLSL programm error: %s: vertex and fragment shaders are mandatory to "
                   "compile a GLSL programm \n",
                   name);
  }
  const auto compile = [&](int number, const char* format) {
    const std::string& path = paths[number];
    const bool done = fromFiles ? compileShaderFromFile(path.c_str(), number)
                                : compileShaderFromResource(QString::fromStdString(path), number);
    if (!done) buildFailure(format, name, path.c_str(), m_log);
  };
  compile(Vertex, "  GLSL programm error: %s: Vertex shader(%s) failed to compile !\n%s");
  if (!paths[TessControl].empty() && !paths[TessEvaluation].empty()) {
    compile(TessControl,
            "  GLSL programm error: %s: Tesselation control shader(%s) failed to compile !\n%s");
    compile(TessEvaluation,
            "  GLSL programm error: %s: Tesselation evaluation shader(%s) failed to compile !\n%s");
  }
  if (!paths[Geometry].empty())
    compile(Geometry, "  GLSL programm error: %s: Geometry shader(%s) failed to compile !\n%s");
  compile(Fragment, "  GLSL programm error: %s: Fragment shader(%s) failed to compile !\n%s");
  if (!link()) {
    zel::fatalExit(stdout, "  GLSL programm error: %s: Shader failed to link!\n%s", name,
                   m_log.c_str());
  }
  return true;
}

void GLSLProgram::bindAttribLocation(unsigned location, const char* name) {
  if (m_gl && m_handle > 0)
    m_gl->glBindAttribLocation(static_cast<GLuint>(m_handle), location, name);
}

void GLSLProgram::bindFragDataLocation(unsigned location, const char* name) {
  if (m_gl && m_handle > 0)
    m_gl->glBindFragDataLocation(static_cast<GLuint>(m_handle), location, name);
}

int GLSLProgram::getUniformLocation(const char* name) const {
  if (!m_gl || m_handle <= 0) return -1;
  return m_gl->glGetUniformLocation(static_cast<GLuint>(m_handle), name);
}

int GLSLProgram::locate(const char* name) const {
  // Before linking there are no locations to keep.
  if (!m_linked || !name) return getUniformLocation(name);
  const auto found = m_locations.find(name);
  if (found != m_locations.end()) return found->second;
  const int at = getUniformLocation(name);
  m_locations.emplace(name, at);
  return at;
}

void GLSLProgram::setUniform(const char* name, float x) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform1f(at, x);
}

void GLSLProgram::setUniform(const char* name, int x) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform1i(at, x);
}

void GLSLProgram::setUniform(const char* name, bool x) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform1i(at, x ? 1 : 0);
}

void GLSLProgram::setUniform(const char* name, float x, float y) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform2f(at, x, y);
}

void GLSLProgram::setUniform(const char* name, float x, float y, float z) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform3f(at, x, y, z);
}

void GLSLProgram::setUniform(const char* name, float x, float y, float z, float w) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform4f(at, x, y, z, w);
}

void GLSLProgram::setUniform(const char* name, const QVector3D& v) {
  setUniform(name, v.x(), v.y(), v.z());
}

void GLSLProgram::setUniform(const char* name, const QVector4D& v) {
  setUniform(name, v.x(), v.y(), v.z(), v.w());
}

void GLSLProgram::setUniform(const char* name, const QMatrix3x3& m) {
  setUniformMatrix3(name, m.constData());
}

void GLSLProgram::setUniform(const char* name, const QMatrix4x4& m) {
  setUniformMatrix4(name, m.constData());
}

void GLSLProgram::setUniformMatrix3(const char* name, const float* m) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniformMatrix3fv(at, 1, GL_FALSE, m);
}

void GLSLProgram::setUniformMatrix4(const char* name, const float* m) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniformMatrix4fv(at, 1, GL_FALSE, m);
}

void GLSLProgram::setUniformArray(const char* name, int count, const float* values) {
  const int at = locate(name);
  if (at < 0 || count < 1 || !values) return;
  float local[kMaxArrayUniform];
  const int n = std::min(count, kMaxArrayUniform);
  std::copy(values, values + n, local);
  m_gl->glUniform1fv(at, n, local);
}

void GLSLProgram::setUniformArray(const char* name, int count, const std::vector<int>& values) {
  const int at = locate(name);
  if (at < 0 || count < 1) return;
  int local[kMaxArrayUniform] = {};
  const int n = std::min({count, kMaxArrayUniform, static_cast<int>(values.size())});
  std::copy(values.begin(), values.begin() + n, local);
  m_gl->glUniform1iv(at, std::min(count, kMaxArrayUniform), local);
}

void GLSLProgram::setUniformArray(const char* name, int count, const int* values) {
  const int at = locate(name);
  if (at >= 0) m_gl->glUniform1iv(at, count, values);
}

void GLSLProgram::printActiveUniforms() const {
  printActive(GL_ACTIVE_UNIFORMS, GL_ACTIVE_UNIFORM_MAX_LENGTH, " Location | Name\n",
              " %-8d | %s\n", &QOpenGLFunctions_4_0_Core::glGetActiveUniform,
              &QOpenGLFunctions_4_0_Core::glGetUniformLocation);
}

void GLSLProgram::printActiveAttribs() const {
  printActive(GL_ACTIVE_ATTRIBUTES, GL_ACTIVE_ATTRIBUTE_MAX_LENGTH, " Index | Name\n",
              " %-5d | %s\n", &QOpenGLFunctions_4_0_Core::glGetActiveAttrib,
              &QOpenGLFunctions_4_0_Core::glGetAttribLocation);
}

void GLSLProgram::printActive(unsigned countQuery, unsigned lengthQuery, const char* header,
                              const char* rowFormat, ActiveQuery describe,
                              LocationQuery locate) const {
  if (!m_gl || m_handle <= 0) return;
  const GLuint program = static_cast<GLuint>(m_handle);
  GLint maxLength = 0, count = 0;
  m_gl->glGetProgramiv(program, lengthQuery, &maxLength);
  m_gl->glGetProgramiv(program, countQuery, &count);
  std::vector<char> name(static_cast<size_t>(std::max(maxLength, 1)) + 1, '\0');
  zel::printMessage("%s", header);
  zel::printMessage("------------------------------------------------\n");
  for (GLint i = 0; i < count; ++i) {
    GLint size = 0;
    GLenum type = 0;
    GLsizei written = 0;
    (m_gl->*describe)(program, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), &written,
                      &size, &type, name.data());
    zel::printMessage(rowFormat, (m_gl->*locate)(program, name.data()), name.data());
  }
}
