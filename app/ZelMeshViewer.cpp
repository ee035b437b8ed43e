// Construction of the mesh viewer window and its slots.
#include "app/ZelMeshViewer.h"

ZelMeshViewer::ZelMeshViewer(const QSurfaceFormat& format) : ZelSceneWindow(format) {
  resize(800, 600);
  show();
  waitForInitialisation();

  m_numberOfFields = 1;
  m_displayedField = 1;

  connect(this, &ZelSceneWindow::pickingDone, this, &ZelMeshViewer::reportPicking);
  connect(this, &ZelSceneWindow::doCenterScene, this, &ZelMeshViewer::centerScene);
  connect(this, &ZelSceneWindow::showSceneCenter, this, &ZelMeshViewer::performShowCenter);
}

ZelMeshViewer::~ZelMeshViewer() = default;

// Scene objects come from scene assembly: until a viewer holds a scene, no object can be
// picked or centred and the scene-centre marker does not exist.
void ZelMeshViewer::reportPicking(ZelDrawObject* picked) { Q_UNUSED(picked); }

void ZelMeshViewer::performShowCenter() {}

void ZelMeshViewer::centerScene(ZelDrawObject* picked) { Q_UNUSED(picked); }
