// The application's window: a scene window that owns the mesh it shows and answers the scene
// window's signals with terminal reports and camera moves.
#pragma once

#include "window/ZelSceneWindow.h"

class ZelMeshViewer : public ZelSceneWindow {
  Q_OBJECT

 public:
  // Shows an 800 by 600 window and returns once its OpenGL context exists.
  explicit ZelMeshViewer(const QSurfaceFormat& format);
  ~ZelMeshViewer() override;

  int numberOfFields() const { return m_numberOfFields; }
  int displayedField() const { return m_displayedField; }

 public slots:
  void reportPicking(ZelDrawObject* picked);
  void performShowCenter();
  void centerScene(ZelDrawObject* picked);

 private:
  int m_pickedElement = -1;       // 1-based element number, -1 when nothing is picked
  int m_pickedKind = -1;          // scene-object kind of the picked element
  int m_centredElement = -1;      // element last used for centring
  int m_centredKind = -1;
  int m_numberOfFields = 1;
  int m_displayedField = 1;
};
