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

void OpenGLWindow::waitForInitialisation() {
  if (m_initialised) return;
  QEventLoop loop;
  connect(this, &OpenGLWindow::openGLinitDone, &loop, &QEventLoop::quit);
  loop.exec();
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
  if (!isExposed()) return;

  // The first call is recognised by the missing context, not by the initialised flag:
  // initialize() itself ends with a renderNow, which must draw rather than start over.
  if (!m_context) {
    m_context = new QOpenGLContext(this);
    m_context->setFormat(requestedFormat());
    if (!m_context->create() || !m_context->makeCurrent(this)) {
      delete m_context;
      m_context = nullptr;
      return;
    }
    initializeOpenGLFunctions();
    initialize();
    m_initialised = true;
    emit openGLinitDone();
  } else if (!m_context->makeCurrent(this)) {
    return;
  }

  render();
  if (swap) m_context->swapBuffers(this);
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
