// Construction of the mesh viewer window, its solution-field switching and its slots.
#include "app/ZelMeshViewer.h"

#include <cstdio>

#include "app/field_values.h"
#include "app/parameter_file.h"
#include "meshio/status.h"
#include "meshio/zel_object.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

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

ZelMeshViewer::~ZelMeshViewer() {
  clearScene();
  zel_FreeInterface(&m_mesh);
}

void ZelMeshViewer::setMesh(ZelObject* mesh) {
  if (m_mesh != mesh) zel_FreeInterface(&m_mesh);
  m_mesh = mesh;
}

void ZelMeshViewer::attachFieldSolution(const ObjectSource& source) {
  if (!m_mesh || !source.object) return;
  FieldValues field =
      source.volumeType
          ? faceFieldValues(m_mesh, source.volumeType, source.entityType, m_displayedField,
                            source.faceNodes, source.faceSize, source.links)
          : elementFieldValues(m_mesh, source.entityType, m_displayedField, source.elements);
  // A mesh face without a field of its own shows the field of the volume it lies on.
  if (field.nodesPerEntity == 0 && !source.marks.empty())
    field = markedFaceValues(m_mesh, source.entityType, m_displayedField, source.marks);
  // An object without values of this field shows its material colour, not another field's.
  detachSolution(source.object);
  if (field.nodesPerEntity == 0) return;
  const int entities = int(field.values.size()) / field.nodesPerEntity;
  attachData(new ZelDrawSolution(source.object->reference()), source.object, m_palette,
             field.values.data(), entities, field.nodesPerEntity);
}

void ZelMeshViewer::changeDisplayField(int delta) {
  const int field = m_displayedField + delta;
  if (field < 1 || field > m_numberOfFields) return;
  m_displayedField = field;
  zel::printMessage("  Display Solution Field %d \n", field);
  for (const ObjectSource& source : m_sources) {
    if (source.object && source.object->carriesPalette()) attachFieldSolution(source);
  }
  m_cuts.refreshSolutions(cutTarget());
}

CutTarget ZelMeshViewer::cutTarget() {
  CutTarget target;
  target.model = &model();
  target.mesh = m_mesh;
  target.palette = m_palette;
  target.field = m_displayedField;
  return target;
}

void ZelMeshViewer::updateCutPlane() {
  double plane[4];
  meshCutPlane(plane);
  m_cuts.updateCutPlane(cutTarget(), plane);
}

void ZelMeshViewer::updateCapping() {
  double plane[4];
  meshCutPlane(plane);
  m_cuts.updateCapping(cutTarget(), plane);
}

void ZelMeshViewer::showSceneCenter(const double centre[3]) {
  if (m_sceneCenter) {
    const double point[6] = {0, 0, 0, centre[0], centre[1], centre[2]};
    attachData(m_sceneCenter, 1, point);
  }
  setRotationCentre(centre);
  renderNow();
}

void ZelMeshViewer::performShowCenter() {
  if (!m_sceneCenter) return;
  m_sceneCenter->setVisible(!m_sceneCenter->visible());
  renderNow();
}

// Picking fills the picked list; until an element is picked there is nothing to report or
// centre on.
void ZelMeshViewer::reportPicking(ZelDrawObject* picked) { Q_UNUSED(picked); }

void ZelMeshViewer::centerScene(ZelDrawObject* picked) { Q_UNUSED(picked); }

void ZelMeshViewer::ReadParameterFile(const QString& FilNam, int& Pal, float* usrPal,
                                      int& NbrUsrCut, std::vector<std::array<double, 3>>& ctr,
                                      std::vector<std::array<double, 3>>& nor, int& nbrIso,
                                      double& IsoWid, int& cm, double* bbox, int& NbrUsrIso,
                                      std::vector<float>& UsrIsoVal) {
  DisplayParameters p;
  p.Pal = Pal;
  std::copy(usrPal, usrPal + 5, p.usrPal);
  p.NbrUsrCut = NbrUsrCut;
  p.ctr = ctr;
  p.nor = nor;
  p.nbrIso = nbrIso;
  p.IsoWid = IsoWid;
  p.cm = cm;
  std::copy(bbox, bbox + 6, p.bbox);
  p.NbrUsrIso = NbrUsrIso;
  p.UsrIsoVal = UsrIsoVal;
  readParameterFile(FilNam.toStdString(), &p, stdout);
  Pal = p.Pal;
  std::copy(p.usrPal, p.usrPal + 5, usrPal);
  NbrUsrCut = p.NbrUsrCut;
  ctr = p.ctr;
  nor = p.nor;
  nbrIso = p.nbrIso;
  IsoWid = p.IsoWid;
  cm = p.cm;
  std::copy(p.bbox, p.bbox + 6, bbox);
  NbrUsrIso = p.NbrUsrIso;
  UsrIsoVal = p.UsrIsoVal;
  if (p.displayField > 0) m_displayedField = p.displayField;
}
