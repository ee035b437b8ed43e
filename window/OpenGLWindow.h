// Top-level OpenGL window: creates its context on first exposure, runs the one-time
// initialisation there, and redraws on request.
#pragma once

#include <QOpenGLFunctions>
#include <QWindow>

class QEventLoop;
class QOpenGLContext;
class QOpenGLPaintDevice;
class QPainter;

class OpenGLWindow : public QWindow, protected QOpenGLFunctions {
  Q_OBJECT

 public:
  // The surface format is the one every window of the program asks for.
  explicit OpenGLWindow(const QSurfaceFormat& format, QWindow* parent = nullptr);
  ~OpenGLWindow() override;

  // Painter form: does nothing here; subclasses draw with QPainter in it.
  virtual void render(QPainter* painter);
  // Clears the buffers and hands a QPainter over the window to the painter form.
  virtual void render();
  // Runs once, inside the first renderNow, with the new context current.
  virtual void initialize();

  // Returns once the context exists and initialize has run (a local event loop waits for
  // openGLinitDone when needed), or once creating the context has failed; returns whether the
  // window is initialised.
  bool waitForInitialisation();

  bool isInitialised() const { return m_initialised; }
  // True once the platform has refused to create the context: the window will never draw.
  bool contextFailed() const { return m_contextFailed; }
  // Makes the window's context current (for GPU uploads outside a frame); false without one.
  bool makeContextCurrent();
  QOpenGLContext* glContext() const { return m_context; }
  // While frames are held, the frames asked for (renderNow, update requests, exposures) draw
  // nothing, though the first one still makes the context: a batch run that builds a scene
  // step by step draws only the frames it keeps.
  void setFramesHeld(bool held) { m_framesHeld = held; }
  bool framesHeld() const { return m_framesHeld; }

 signals:
  void multiPickingDone();
  void openGLinitDone();

 public slots:
  // Posts one update request; further calls before it is served are absorbed.
  void renderLater();
  // Draws a frame now (creating the context on the first call) and swaps the buffers. The
  // frame serves a pending update request too: it is withdrawn, so the same frame is not
  // drawn a second time when the event loop comes round.
  void renderNow();
  // Draws a frame now without swapping, for frames that are only read back.
  void renderNowNoSwap();

 protected:
  bool event(QEvent* event) override;
  void exposeEvent(QExposeEvent* event) override;

 private:
  void drawFrame(bool swap);
  // First frame: creates the context and runs initialize; false when the context cannot be
  // made.
  bool createContext();

  bool m_initialised = false;
  bool m_contextFailed = false;
  bool m_updatePending = false;
  bool m_framesHeld = false;
  long m_swappedFrames = 0;
  QEventLoop* m_initialisationWait = nullptr;  // the local loop of waitForInitialisation
  QOpenGLPaintDevice* m_device = nullptr;
  QOpenGLContext* m_context = nullptr;
};
