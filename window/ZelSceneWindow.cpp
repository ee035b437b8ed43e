// Scene window: OpenGL 4 check, fixed OpenGL state, first-frame banner and the frame.
#include "window/ZelSceneWindow.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <cstdio>
#include <limits>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/gpu_resources.h"
#include "gpu/patch_draws.h"
#include "scene/ZelDrawObject.h"
#include "window/driver_banner.h"

ZelSceneWindow::ZelSceneWindow(const QSurfaceFormat& format, QWindow* parent)
    : OpenGLWindow(format, parent) {
  const double infinity = std::numeric_limits<double>::infinity();
  for (int axis = 0; axis < 3; ++axis) {
    m_box[2 * axis] = infinity;
    m_box[2 * axis + 1] = -infinity;
  }
  m_startupStopwatch.start();
  m_paceClock.start();
  m_quietTimer.setSingleShot(true);
  connect(&m_quietTimer, &QTimer::timeout, this, [this] { drawFullFrameIfDue(); });
}

ZelSceneWindow::~ZelSceneWindow() {
  // GPU objects are freed with the context current; the objects go with them.
  makeContextCurrent();
  m_pickingFramebuffer.release();
  m_reducedFrame.release();
  m_renderer.releasePrograms();
  m_model.clear();
}

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
  zelInitGpuResources();
  choosePatchDraws(m_gl);
  // Programs are compiled again on first use; objects get the function set.
  m_renderer.setOpenGL(m_gl);
  m_model.setOpenGL(m_gl, [this] { makeContextCurrent(); });
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

void ZelSceneWindow::storeBoundingBox(const double box[6]) {
  std::copy(box, box + 6, m_box);
  updateSceneFrame();
  m_camera.setCutPlane(QVector4D(1.0f, 0.0f, 0.0f, 0.0f));
}

void ZelSceneWindow::getBoundingBox(double box[6]) const { std::copy(m_box, m_box + 6, box); }

void ZelSceneWindow::setRotationCentre(const double centre[3]) {
  QVector3D normalised;
  for (int axis = 0; axis < 3; ++axis) {
    m_rotationCentre[axis] = centre[axis];
    normalised[axis] = float((centre[axis] - m_sceneCentre[axis]) * m_sceneScale);
  }
  m_camera.setCentre(normalised);
}

// The initial 3 is only a default: the first mesh sets the dimension, later ones can only
// raise it.
void ZelSceneWindow::setDimension(int dimension) {
  m_largestDimensionGiven = std::max(m_largestDimensionGiven, dimension);
  m_dimension = m_largestDimensionGiven;
}

void ZelSceneWindow::forgetDimension() {
  m_largestDimensionGiven = 0;
  m_dimension = 3;
}

void ZelSceneWindow::resetView() {
  m_camera.setRotation(m_dimension == 3 ? QQuaternion::fromEulerAngles(-60.0f, 0.0f, -120.0f)
                                        : QQuaternion());
  m_camera.setAngularVelocity(0.0);
  m_camera.setPan(QVector3D());
  m_camera.setCentre(QVector3D());
  m_camera.setCutPlane(QVector4D(1.0f, 0.0f, 0.0f, 0.0f));
  m_camera.resetEye();
  m_fieldOfView = 15.0;
  if (m_box[0] <= m_box[1]) {
    const double midpoint[3] = {0.5 * (m_box[0] + m_box[1]), 0.5 * (m_box[2] + m_box[3]),
                                0.5 * (m_box[4] + m_box[5])};
    setRotationCentre(midpoint);
  }
  renderLater();
}

void ZelSceneWindow::setCutPlane(const double point[3], const double normal[3]) {
  const double plane[4] = {normal[0], normal[1], normal[2],
                           point[0] * normal[0] + point[1] * normal[1] + point[2] * normal[2]};
  setMeshCutPlane(plane);
}

// Normalised p' = (p - centre) scale, so n.p' = d' is n.p = d' / scale + n.centre.
void ZelSceneWindow::meshCutPlane(double plane[4]) const {
  const QVector4D normalised = m_camera.cutPlane();
  double shift = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    plane[axis] = normalised[axis];
    shift += plane[axis] * m_sceneCentre[axis];
  }
  plane[3] = normalised.w() / m_sceneScale + shift;
}

void ZelSceneWindow::setMeshCutPlane(const double plane[4]) {
  double shift = 0.0;
  for (int axis = 0; axis < 3; ++axis) shift += plane[axis] * m_sceneCentre[axis];
  m_camera.setCutPlane(QVector4D(float(plane[0]), float(plane[1]), float(plane[2]),
                                 float((plane[3] - shift) * m_sceneScale)));
}

void ZelSceneWindow::requestScreenshot(const std::string& fileName) {
  m_screenshotName = fileName;
  m_screenshotRequested = true;
  // Held frames or not, the frame of a screenshot is drawn: it is the one kept.
  const bool held = framesHeld();
  setFramesHeld(false);
  renderNow();
  setFramesHeld(held);
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
