// Context creation, update requests and frame scheduling of the OpenGL window.
#include "window/OpenGLWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QOpenGLContext>
#include <QOpenGLPaintDevice>
#include <QPainter>

OpenGLWindow::OpenGLWindow(const QSurfaceFormat& format, QWindow* parent) : QWindow(parent) {
  setSurfaceType(QWindow::OpenGLSurface);
  setFormat(format);
}

OpenGLWindow::~OpenGLWindow() { delete m_device; }

void OpenGLWindow::render(QPainter* painter) { Q_UNUSED(painter); }

void OpenGLWindow::render() {
  if (!m_device) m_device = new QOpenGLPaintDevice;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  m_device->setSize(size() * devicePixelRatio());
  m_device->setDevicePixelRatio(devicePixelRatio());
  QPainter painter(m_device);
  render(&painter);
}

void OpenGLWindow::initialize() {
  if (!m_device) m_device = new QOpenGLPaintDevice;
}

bool OpenGLWindow::waitForInitialisation() {
  if (m_initialised || m_contextFailed) return m_initialised;
  QEventLoop loop;
  connect(this, &OpenGLWindow::openGLinitDone, &loop, &QEventLoop::quit);
  m_initialisationWait = &loop;
  loop.exec();
  m_initialisationWait = nullptr;
  return m_initialised;
}

bool OpenGLWindow::makeContextCurrent() { return m_context && m_context->makeCurrent(this); }

void OpenGLWindow::renderLater() {
  if (m_updatePending) return;
  m_updatePending = true;
  QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
}

void OpenGLWindow::renderNow() { drawFrame(true); }

void OpenGLWindow::renderNowNoSwap() { drawFrame(false); }

void OpenGLWindow::drawFrame(bool swap) {
  if (!isExposed() || m_contextFailed || (m_framesHeld && m_context)) return;

  // The first call is recognised by the missing context, not by the initialised flag:
  // initialize() itself ends with a renderNow, which must draw rather than start over.
  if (!m_context) {
    const long swappedBefore = m_swappedFrames;
    if (!createContext()) return;
    // A frame drawn inside initialize is this call's frame: not drawn twice.
    if (swap && m_swappedFrames != swappedBefore) return;
  } else if (!m_context->makeCurrent(this)) {
    return;
  }

  render();
  if (!swap) return;
  m_context->swapBuffers(this);
  ++m_swappedFrames;
  if (m_updatePending) {
    m_updatePending = false;
    QCoreApplication::removePostedEvents(this, QEvent::UpdateRequest);
  }
}

bool OpenGLWindow::createContext() {
  m_context = new QOpenGLContext(this);
  m_context->setFormat(requestedFormat());
  if (!m_context->create() || !m_context->makeCurrent(this)) {
    delete m_context;
    m_context = nullptr;
    // No later expose can do better: stop a caller waiting for the initialisation.
    m_contextFailed = true;
    if (m_initialisationWait) m_initialisationWait->quit();
    return false;
  }
  initializeOpenGLFunctions();
  initialize();
  m_initialised = true;
  emit openGLinitDone();
  return true;
}

bool OpenGLWindow::event(QEvent* event) {
  if (event->type() == QEvent::UpdateRequest) {
    m_updatePending = false;
    renderNow();
    return true;
  }
  return QWindow::event(event);
}

void OpenGLWindow::exposeEvent(QExposeEvent* event) {
  Q_UNUSED(event);
  if (isExposed()) renderNow();
}
