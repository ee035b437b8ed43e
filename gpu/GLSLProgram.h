// One OpenGL shader program: compiles its stages from source, resources or files, links them,
// and sets uniforms by name.
#pragma once

#include <QGenericMatrix>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QMatrix4x4;
class QOpenGLFunctions_4_0_Core;
class QVector3D;
class QVector4D;

class GLSLProgram {
 public:
  // Stage numbers of the compile operations.
  enum Stage { Vertex = 0, Fragment = 1, Geometry = 2, TessControl = 3, TessEvaluation = 4 };

  // `gl` is the window's function table (not owned); with null every operation does nothing
  // and reports failure.
  explicit GLSLProgram(QOpenGLFunctions_4_0_Core* gl = nullptr);

  // Compile one stage and attach it to the program (created on the first call). On failure
  // the result is false and log() holds the driver's message, "File not found." or
  // "Unable to create shader program.".
  bool compileShaderFromString(const std::string& source, int stage);
  // Path read through QFile, so resource paths such as ":/glsl/tri.vs" work. Lines
  // `#include "name"` are replaced by the file of that name in the same folder.
  bool compileShaderFromResource(const QString& path, int stage);
  // Plain file-system path, includes as above.
  bool compileShaderFromFile(const char* path, int stage);

  // Links once; later calls return true without touching OpenGL.
  bool link();
  // Binds the program when it is linked.
  void use();

  // Compiles vertex, tessellation (only when both paths are given), geometry and fragment
  // stages in that order and links. An empty path means no such stage. Any compile or link
  // failure prints its message and ends the process with status 1. False only without OpenGL.
  bool buildProgram(const char* name, const QString& vs, const QString& fs,
                    const QString& gs = QString(), const QString& tcs = QString(),
                    const QString& tes = QString());
  // The same from plain file paths; null means no such stage.
  bool buildProgramFromFiles(const char* name, const char* vs, const char* fs,
                             const char* gs = nullptr, const char* tcs = nullptr,
                             const char* tes = nullptr);

  int handle() const { return m_handle; }
  bool isLinked() const { return m_linked; }
  std::string log() const { return m_log; }

  void bindAttribLocation(unsigned location, const char* name);
  void bindFragDataLocation(unsigned location, const char* name);
  int getUniformLocation(const char* name) const;

  // Setters look the location up by name, once per name and linked program (the driver's
  // look-up parses the name, and a frame sets the same names for every object and batch); a
  // name the program lacks is silently skipped.
  void setUniform(const char* name, float x);
  void setUniform(const char* name, int x);
  void setUniform(const char* name, bool x);
  void setUniform(const char* name, float x, float y);
  void setUniform(const char* name, float x, float y, float z);
  void setUniform(const char* name, float x, float y, float z, float w);
  void setUniform(const char* name, const QVector3D& v);
  void setUniform(const char* name, const QVector4D& v);
  void setUniform(const char* name, const QMatrix3x3& m);
  void setUniform(const char* name, const QMatrix4x4& m);
  // Column-major matrices of nine and sixteen floats.
  void setUniformMatrix3(const char* name, const float* m);
  void setUniformMatrix4(const char* name, const float* m);
  // Arrays: the float and vector forms send at most 10 values; the pointer form sends `count`.
  void setUniformArray(const char* name, int count, const float* values);
  void setUniformArray(const char* name, int count, const std::vector<int>& values);
  void setUniformArray(const char* name, int count, const int* values);

  // Tables of the active uniforms and attributes, on standard output.
  void printActiveUniforms() const;
  void printActiveAttribs() const;

 private:
  using ActiveQuery = void (QOpenGLFunctions_4_0_Core::*)(unsigned, unsigned, int, int*, int*,
                                                          unsigned*, char*);
  using LocationQuery = int (QOpenGLFunctions_4_0_Core::*)(unsigned, const char*);
  // The table of active uniforms or attributes (the two differ only in these queries).
  void printActive(unsigned countQuery, unsigned lengthQuery, const char* header,
                   const char* rowFormat, ActiveQuery describe, LocationQuery locate) const;
  bool ensureProgram();
  bool compileExpanded(const std::string& source, int stage,
                       const std::function<bool(const std::string&, std::string&)>& read);
  bool buildStages(const char* name, const std::string paths[5], bool fromFiles);
  int locate(const char* name) const;

  int m_handle = 0;
  bool m_linked = false;
  // Uniform locations of the linked program by name (-1 for names it lacks).
  mutable std::map<std::string, int, std::less<>> m_locations;
  std::string m_log;
  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
};
