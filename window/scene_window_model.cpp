// The scene window's scene operations: forwards to its scene model, plus what the window keeps
// about the objects (picked and hidden lists, the solution switch).
#include <algorithm>

#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"

std::vector<ZelDrawObject*> ZelSceneWindow::allObjects() const { return m_model.allObjects(); }

const std::vector<ZelDrawObject*>& ZelSceneWindow::objectsOf(int kind, int reference) const {
  return m_model.objectsOf(kind, reference);
}

ZelBufferObject* ZelSceneWindow::bufferOf(const ZelDrawObject* object) const {
  return m_model.bufferOf(object);
}

ZelDrawObject* ZelSceneWindow::solutionOf(ZelDrawObject* target) const {
  return m_model.solutionOf(target);
}

void ZelSceneWindow::addObject(ZelDrawObject* object) { m_model.addObject(object); }

void ZelSceneWindow::removeObject(ZelDrawObject* object) {
  if (m_model.contains(object)) {
    m_picked.erase(std::remove(m_picked.begin(), m_picked.end(), object), m_picked.end());
    m_hidden.erase(std::remove(m_hidden.begin(), m_hidden.end(), object), m_hidden.end());
  }
  m_model.removeObject(object);
}

void ZelSceneWindow::clearScene() {
  m_picked.clear();
  m_hidden.clear();
  m_model.clear();
}

void ZelSceneWindow::attachData(ZelDrawObject* object, int vertexCount, const double* coords,
                                int elementCount, const int* nodes, const int* selection,
                                int selectionCount) {
  m_model.attachData(object, vertexCount, coords, elementCount, nodes, selection, selectionCount);
}

void ZelSceneWindow::attachDataWhenShown(ZelDrawObject* object, int vertexCount,
                                         const double* coords) {
  m_model.attachDataWhenShown(object, vertexCount, coords);
}

void ZelSceneWindow::attachLocalData(ZelDrawObject* object, int vertexCount, const double* coords,
                                     int elementCount, const unsigned* indices) {
  m_model.attachLocalData(object, vertexCount, coords, elementCount, indices);
}

void ZelSceneWindow::attachCutPlaneOutline(ZelDrawObject* object, const double box[6],
                                           const QVector4D& plane, bool wholeBox) {
  m_model.attachCutPlaneOutline(object, box, plane, wholeBox);
}

void ZelSceneWindow::attachData(ZelDrawObject* solution, ZelDrawObject* target,
                                ZelDrawObject* palette, const double* values, int entityCount,
                                int nodesPerEntity) {
  // The first solution of the scene turns the solution display on.
  const bool shownBefore = m_model.solutionShown();
  m_model.attachSolution(solution, target, palette, values, entityCount, nodesPerEntity);
  if (!shownBefore && m_model.solutionShown()) m_settings.solutionOn = true;
}

void ZelSceneWindow::detachSolution(ZelDrawObject* target) { m_model.detachSolution(target); }
