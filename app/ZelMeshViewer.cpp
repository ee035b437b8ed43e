// Construction of the mesh viewer window, its solution-field switching and its slots.
#include "app/ZelMeshViewer.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "app/field_values.h"
#include "app/parameter_file.h"
#include "app/picked_point.h"
#include "app/picked_value.h"
#include "app/picking_report.h"
#include "meshio/entity_catalogue.h"
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

void ZelMeshViewer::reportPicking(ZelDrawObject* picked) {
  if (!picked) return;
  const auto source = std::find_if(m_sources.begin(), m_sources.end(),
                                   [picked](const ObjectSource& s) { return s.object == picked; });
  PickedEntity entity;
  if (!writePickingReport(std::cout, m_mesh, *picked, picked->lastPick()[2],
                          source == m_sources.end() ? nullptr : &*source, &entity))
    return;
  m_pickedElement = entity.number;
  m_pickedType = entity.entityType;
  m_pickedKind = zel_EntTyp2DrawKind(entity.entityType);
  m_pickedFace = entity.face;
  if (source != m_sources.end()) printPickedValue(*picked, *source);
}

void ZelMeshViewer::printPickedValue(const ZelDrawObject& picked, const ObjectSource& source) {
  const int local = picked.lastPick()[2];
  if (!m_mesh || local < 0) return;
  FaceField face;
  face.shape = zel_Typ2Shape(source.entityType);
  face.degree = zel_Typ2Deg(source.entityType);
  FieldValues field;
  if (source.volumeType) {
    const size_t size = size_t(source.faceSize), at = size_t(local);
    if (size == 0 || (at + 1) * size > source.faceNodes.size() ||
        3 * (at + 1) > source.links.size())
      return;
    face.nodes.assign(source.faceNodes.begin() + long(at * size),
                      source.faceNodes.begin() + long((at + 1) * size));
    const std::vector<int> link(source.links.begin() + long(3 * at),
                                source.links.begin() + long(3 * at + 3));
    field = faceFieldValues(m_mesh, source.volumeType, source.entityType, m_displayedField,
                            face.nodes, source.faceSize, link);
  } else {
    if (size_t(local) >= source.elements.size()) return;
    const int element = source.elements[size_t(local)];
    char status[zel::kStatusSize] = {};
    int count = 0, k = 0;
    const int* nodes =
        static_cast<const int*>(zel_GetIndicesArray(m_mesh, source.entityType, &count, &k, status));
    if (!nodes || element < 1 || element > count) return;
    face.nodes.assign(nodes + size_t(element) * size_t(k), nodes + size_t(element + 1) * size_t(k));
    field = elementFieldValues(m_mesh, source.entityType, m_displayedField, {element});
    if (field.nodesPerEntity == 0 && size_t(local) < source.marks.size())
      field = markedFaceValues(m_mesh, source.entityType, m_displayedField,
                               {source.marks[size_t(local)]});
  }
  if (field.nodesPerEntity == 0 || field.values.size() < size_t(field.nodesPerEntity)) return;
  face.values.assign(field.values.begin(), field.values.begin() + field.nodesPerEntity);
  double value = 0.0, parameters[2];
  const auto project = [this](const double p[3]) { return windowPosition(p); };
  const QPointF pointer(picked.lastPick()[0], picked.lastPick()[1]);
  if (!fieldValueUnderPointer(m_mesh->coordinates, face, pointer, project, &value, parameters))
    return;
  std::cout << "Solution field " << m_displayedField << " at the picked point (" << parameters[0]
            << ", " << parameters[1] << " in the element): " << value << std::endl;
}

void ZelMeshViewer::centerScene(ZelDrawObject* picked) {
  if (!picked || !m_mesh || m_pickedElement < 1) return;
  // The same element twice in a row is centred once.
  if (m_pickedElement == m_centredElement && m_pickedKind == m_centredKind) return;
  const std::array<int, 3>& pick = picked->lastPick();
  const PickedEntity entity{m_pickedType, m_pickedElement, m_pickedFace};
  double point[3];
  const auto project = [this](const double p[3]) { return windowPosition(p); };
  if (!pointUnderPointer(m_mesh, entity, QPointF(pick[0], pick[1]), project, point)) return;
  camera().setPan(QVector3D());
  showSceneCenter(point);
  m_centredElement = m_pickedElement;
  m_centredKind = m_pickedKind;
}

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
