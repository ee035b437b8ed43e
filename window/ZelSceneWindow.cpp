// Scene window: OpenGL 4 check, fixed OpenGL state, first-frame banner and the frame.
#include "window/ZelSceneWindow.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <cstdio>

#include "window/driver_banner.h"

ZelSceneWindow::ZelSceneWindow(const QSurfaceFormat& format, QWindow* parent)
    : OpenGLWindow(format, parent) {
  m_startupStopwatch.start();
}

ZelSceneWindow::~ZelSceneWindow() = default;

void ZelSceneWindow::render(QPainter* painter) {
  Q_UNUSED(painter);
  render();
}

void ZelSceneWindow::initialize() {
  const QSurfaceFormat actual = glContext()->format();
  if (actual.majorVersion() < 4) {
    printOpenGLTooOld(stdout, actual.majorVersion(), actual.minorVersion());
    m_bannerPending = false;
    return;
  }
  setUpOpenGL();
  renderNow();
}

bool ZelSceneWindow::setUpOpenGL() {
  m_gl = glContext()->versionFunctions<QOpenGLFunctions_4_0_Core>();
  if (!m_gl || !m_gl->initializeOpenGLFunctions()) {
    m_gl = nullptr;
    return false;
  }
  m_gl->glEnable(GL_DEPTH_TEST);
  m_gl->glEnable(GL_BLEND);
  m_gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  m_gl->glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  m_gl->glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  m_gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  m_gl->glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  m_gl->glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  m_gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  m_gl->glEnable(GL_PROGRAM_POINT_SIZE);
  return true;
}

void ZelSceneWindow::render() {
  // A context that is too old never gets the function set; keep trying only on 4.x.
  if (!m_gl && glContext()->format().majorVersion() >= 4) setUpOpenGL();
  if (!m_gl) return;

  if (m_bannerPending) printFirstFrameBanner();

  const qreal ratio = devicePixelRatio();
  m_gl->glViewport(0, 0, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
  m_gl->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ZelSceneWindow::printFirstFrameBanner() {
  m_bannerPending = false;
  DriverInformation info;
  auto text = [this](GLenum name) {
    const GLubyte* value = m_gl->glGetString(name);
    return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
  };
  info.vendor = text(GL_VENDOR);
  info.renderer = text(GL_RENDERER);
  info.version = text(GL_VERSION);
  info.glslVersion = text(GL_SHADING_LANGUAGE_VERSION);
  m_gl->glGetIntegerv(GL_MAJOR_VERSION, &info.major);
  m_gl->glGetIntegerv(GL_MINOR_VERSION, &info.minor);
  info.depthBits = glContext()->format().depthBufferSize();
  info.devicePixelRatio = devicePixelRatio();

  printBanner(stdout);
  printDriverInformation(stdout, info);
  printSetupTime(stdout, m_startupStopwatch.elapsed() / 1000.0);
  std::fflush(stdout);
}

void ZelSceneWindow::updateCutPlane() {}
void ZelSceneWindow::updateCapping() {}
void ZelSceneWindow::changeDisplayField(int delta) { Q_UNUSED(delta); }

bool ZelSceneWindow::event(QEvent* event) { return OpenGLWindow::event(event); }
void ZelSceneWindow::exposeEvent(QExposeEvent* event) { OpenGLWindow::exposeEvent(event); }

// Camera, keys and picking are handled by the interaction layer; until then events take
// the default window behaviour.
void ZelSceneWindow::keyPressEvent(QKeyEvent* event) { OpenGLWindow::keyPressEvent(event); }
void ZelSceneWindow::mousePressEvent(QMouseEvent* event) { OpenGLWindow::mousePressEvent(event); }
void ZelSceneWindow::mouseReleaseEvent(QMouseEvent* event) {
  OpenGLWindow::mouseReleaseEvent(event);
}
void ZelSceneWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  OpenGLWindow::mouseDoubleClickEvent(event);
}
void ZelSceneWindow::mouseMoveEvent(QMouseEvent* event) { OpenGLWindow::mouseMoveEvent(event); }
void ZelSceneWindow::wheelEvent(QWheelEvent* event) { OpenGLWindow::wheelEvent(event); }
void ZelSceneWindow::touchEvent(QTouchEvent* event) { OpenGLWindow::touchEvent(event); }
