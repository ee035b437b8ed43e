// Scene window: the OpenGL window that draws the scene objects and handles the camera,
// keyboard, mouse, picking, state file and screenshots.
#pragma once

#include <QElapsedTimer>
#include <QList>

#include "window/OpenGLWindow.h"

class QOpenGLFunctions_4_0_Core;
class ZelDrawObject;
// Scene objects travel through signals as plain pointers; they are not QObjects.
Q_DECLARE_OPAQUE_POINTER(ZelDrawObject*)

class ZelSceneWindow : public OpenGLWindow {
  Q_OBJECT

 public:
  explicit ZelSceneWindow(const QSurfaceFormat& format, QWindow* parent = nullptr);
  ~ZelSceneWindow() override;

  void render(QPainter* painter) override;
  void render() override;
  // Checks for OpenGL 4, sets up the fixed OpenGL state and draws the first frame.
  void initialize() override;

  // Recomputes the objects cut by the cut plane; empty here, the viewer fills it in.
  virtual void updateCutPlane();
  // Recomputes the capping of the cut volume elements; empty here.
  virtual void updateCapping();
  // Shows the solution field `delta` away from the displayed one; empty here.
  virtual void changeDisplayField(int delta);

  // The OpenGL 4.0 core function set of the context; null before initialisation or when
  // the context cannot provide it (then nothing is drawn).
  QOpenGLFunctions_4_0_Core* glFunctions() const { return m_gl; }

 signals:
  void multiPickingDone(QList<ZelDrawObject*> picked);
  void pickingDone(ZelDrawObject* picked);
  void doCenterScene(ZelDrawObject* picked);
  void showSceneCenter();

 protected:
  bool event(QEvent* event) override;
  void exposeEvent(QExposeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void touchEvent(QTouchEvent* event) override;

  // Obtains the OpenGL 4.0 core functions and sets the state that holds for the window's
  // life; returns false when the context cannot provide the function set.
  bool setUpOpenGL();

 private:
  void printFirstFrameBanner();

  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  bool m_bannerPending = true;
  QElapsedTimer m_startupStopwatch;
};
