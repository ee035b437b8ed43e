// Scene membership and geometry: the object, buffer and deferred tables and the geometry
// uploads, the cut-plane outline among them.
#include "scene/SceneModel.h"

#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <cmath>

#include "gpu/ZelBufferObject.h"
#include "gpu/gpu_arrays.h"
#include "meshio/entity_types.h"
#include "meshio/status.h"
#include "scene/ZelDrawObject.h"
#include "scene/ZelDrawPalette.h"

namespace zel {
namespace {

// " warning : <operation>: object <address> of type <name><problem>\n"
void warnObject(const char* operation, const ZelDrawObject* object, const char* problem) {
  printMessage(" warning : %s: object %p of type %s%s\n", operation,
               static_cast<const void*>(object), object->typeName(), problem);
}

// The outline of `plane` in `box`: points (3 doubles each) and segments (2 indices each).
void cutPlaneOutline(const double box[6], const QVector4D& plane, bool wholeBox,
                     std::vector<double>& points, std::vector<unsigned>& segments) {
  // Corners in binary order (x fastest) and the twelve box edges between them.
  double corners[8][3];
  for (int c = 0; c < 8; ++c)
    for (int axis = 0; axis < 3; ++axis) corners[c][axis] = box[2 * axis + ((c >> axis) & 1)];
  static const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                   {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  // Each box face by its four edges.
  static const int faces[6][4] = {{4, 6, 8, 10},  {5, 7, 9, 11}, {0, 2, 8, 9},
                                  {1, 3, 10, 11}, {0, 1, 4, 5},  {2, 3, 6, 7}};
  if (wholeBox) {
    points.assign(&corners[0][0], &corners[0][0] + 24);
    for (const auto& edge : edges)
      segments.insert(segments.end(), {unsigned(edge[0]), unsigned(edge[1])});
  } else {
    const double n[3] = {plane.x(), plane.y(), plane.z()};
    int pointOfEdge[12];
    const double size = std::max({box[1] - box[0], box[3] - box[2], box[5] - box[4], 1e-300});
    for (int e = 0; e < 12; ++e) {
      pointOfEdge[e] = -1;
      const double* p = corners[edges[e][0]];
      const double* q = corners[edges[e][1]];
      const double den = n[0] * (q[0] - p[0]) + n[1] * (q[1] - p[1]) + n[2] * (q[2] - p[2]);
      if (std::fabs(den) <= 1e-6) continue;
      const double t = (plane.w() - (n[0] * p[0] + n[1] * p[1] + n[2] * p[2])) / den;
      if (t < 0.0 || t > 1.0) continue;
      const double x[3] = {p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]),
                           p[2] + t * (q[2] - p[2])};
      // Crossings through a corner are found on several edges: keep one point.
      for (size_t i = 0; i < points.size() / 3 && pointOfEdge[e] < 0; ++i) {
        const double d = std::fabs(points[3 * i] - x[0]) + std::fabs(points[3 * i + 1] - x[1]) +
                         std::fabs(points[3 * i + 2] - x[2]);
        if (d <= 1e-12 * size) pointOfEdge[e] = int(i);
      }
      if (pointOfEdge[e] < 0) {
        pointOfEdge[e] = int(points.size() / 3);
        points.insert(points.end(), x, x + 3);
      }
    }
    for (const auto& face : faces) {
      std::vector<unsigned> onFace;
      for (int e : face)
        if (pointOfEdge[e] >= 0 &&
            std::find(onFace.begin(), onFace.end(), unsigned(pointOfEdge[e])) == onFace.end())
          onFace.push_back(unsigned(pointOfEdge[e]));
      if (onFace.size() == 2) segments.insert(segments.end(), onFace.begin(), onFace.end());
    }
  }
}

}  // namespace

SceneModel::SceneModel() = default;

SceneModel::~SceneModel() {
  for (auto& [target, solution] : m_solutions) delete solution;
  m_solutions.clear();
  m_buffers.clear();
  for (ZelDrawObject* object : allObjects()) delete object;
}

void SceneModel::setOpenGL(QOpenGLFunctions_4_0_Core* gl, std::function<void()> makeCurrent) {
  m_gl = gl;
  m_makeCurrent = std::move(makeCurrent);
  for (ZelDrawObject* object : allObjects()) object->setGLfunc(gl);
}

std::vector<ZelDrawObject*> SceneModel::allObjects() const {
  std::vector<ZelDrawObject*> objects;
  for (const auto& [kind, byReference] : m_objects)
    for (const auto& [reference, list] : byReference)
      objects.insert(objects.end(), list.begin(), list.end());
  return objects;
}

std::vector<ZelDrawObject*> SceneModel::objectsOfKind(int kind) const {
  std::vector<ZelDrawObject*> objects;
  const auto byKind = m_objects.find(kind);
  if (byKind == m_objects.end()) return objects;
  for (const auto& [reference, list] : byKind->second)
    objects.insert(objects.end(), list.begin(), list.end());
  return objects;
}

const std::vector<ZelDrawObject*>& SceneModel::objectsOf(int kind, int reference) const {
  static const std::vector<ZelDrawObject*> none;
  const auto byKind = m_objects.find(kind);
  if (byKind == m_objects.end()) return none;
  const auto byReference = byKind->second.find(reference);
  return byReference == byKind->second.end() ? none : byReference->second;
}

ZelBufferObject* SceneModel::bufferOf(const ZelDrawObject* object) const {
  const auto found = m_buffers.find(object);
  return found == m_buffers.end() ? nullptr : found->second.get();
}

ZelDrawObject* SceneModel::solutionOf(ZelDrawObject* target) const {
  const auto found = m_solutions.find(target);
  return found == m_solutions.end() ? nullptr : found->second;
}

void SceneModel::addObject(ZelDrawObject* object) {
  if (!object) return;
  if (bufferOf(object)) {
    if (object->kind() != DrawKind::CutPlane) warnObject("addObject", object, " already in scene ");
    return;
  }
  std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(object));
  if (!buffer) return;
  object->setGLfunc(m_gl);
  m_buffers[object] = std::move(buffer);
  m_objects[object->kind()][object->reference()].push_back(object);
}

bool SceneModel::removeObject(ZelDrawObject* object) {
  if (!object) return false;
  if (!bufferOf(object)) {
    warnObject("removeObject", object, " is not present in the scene ");
    return false;
  }
  makeCurrent();
  m_deferred.erase(object);
  // The buffer holds no function table: its OpenGL objects are deleted here.
  if (const auto found = m_buffers.find(object); found != m_buffers.end()) {
    found->second->releaseGpu(m_gl);
    m_buffers.erase(found);
  }
  auto& byReference = m_objects[object->kind()];
  auto& list = byReference[object->reference()];
  list.erase(std::remove(list.begin(), list.end(), object), list.end());
  if (list.empty()) byReference.erase(object->reference());
  if (byReference.empty()) m_objects.erase(object->kind());
  if (const auto solution = m_solutions.find(object); solution != m_solutions.end()) {
    delete solution->second;
    m_solutions.erase(solution);
  }
  delete object;
  return true;
}

void SceneModel::clear() {
  for (ZelDrawObject* object : allObjects()) removeObject(object);
  m_solutionShown = false;
}

bool SceneModel::sceneBox(double box[6]) const {
  bool found = false;
  for (const auto& [object, buffer] : m_buffers) {
    if (object->kind() == DrawKind::SceneCenter || object->kind() == DrawKind::Palette) continue;
    const double* b = buffer->boundingBox();
    if (!(b[0] <= b[1])) continue;
    for (int axis = 0; axis < 3; ++axis) {
      box[2 * axis] = found ? std::min(box[2 * axis], b[2 * axis]) : b[2 * axis];
      box[2 * axis + 1] = found ? std::max(box[2 * axis + 1], b[2 * axis + 1]) : b[2 * axis + 1];
    }
    found = true;
  }
  return found;
}

void SceneModel::attachData(ZelDrawObject* object, int vertexCount, const double* coords,
                            int elementCount, const int* nodes, const int* selection,
                            int selectionCount) {
  ZelBufferObject* buffer = object ? bufferOf(object) : nullptr;
  if (!buffer) {
    if (object) warnObject("attachData", object, " is not present in the scene ");
    return;
  }
  const GpuArrays arrays =
      packMeshArrays(object->kind(), vertexCount, coords, elementCount, nodes, selection,
                     selectionCount, m_timings ? &m_timings->lagrangeToBezier : nullptr);
  object->setEntityCount(arrays.elementCount);
  object->setDisplayedCount(arrays.elementCount);
  makeCurrent();
  StageClock clock(m_timings, &StageTimings::uploads);
  buffer->setPlacement(arrays.placement);
  buffer->updateVao(m_gl, arrays.vertexCount, arrays.coords.data(), arrays.elementCount,
                    arrays.indices.empty() ? nullptr : arrays.indices.data());
}

void SceneModel::attachDataWhenShown(ZelDrawObject* object, int vertexCount, const double* coords) {
  if (object && bufferOf(object)) m_deferred[object] = {vertexCount, coords};
}

bool SceneModel::attachDeferred(ZelDrawObject* object) {
  const auto deferred = m_deferred.find(object);
  if (deferred == m_deferred.end()) return false;
  const auto [vertexCount, coords] = deferred->second;
  m_deferred.erase(deferred);
  attachData(object, vertexCount, coords, 0, nullptr, nullptr, 0);
  return true;
}

void SceneModel::attachLocalData(ZelDrawObject* object, int vertexCount, const double* coords,
                                 int elementCount, const unsigned* indices) {
  ZelBufferObject* buffer = object ? bufferOf(object) : nullptr;
  if (!buffer) {
    if (object) warnObject("attachData", object, " is not present in the scene ");
    return;
  }
  makeCurrent();
  if (object->kind() == DrawKind::Palette) {
    // The legend lives in window coordinates: no normalisation.
    std::vector<float> xyz(coords, coords + 3 * size_t(vertexCount));
    std::vector<double> xy;
    for (int v = 0; v < vertexCount; ++v) xy.insert(xy.end(), {coords[3 * v], coords[3 * v + 1]});
    buffer->setBoundingBox2D(vertexCount, xy.data());
    // The legend shows its own colour map, uploaded with the geometry.
    buffer->setPalette(static_cast<ZelDrawPalette*>(object));
    object->setEntityCount(elementCount);
    buffer->updateVao(m_gl, vertexCount, xyz.data(), elementCount, indices);
    return;
  }
  const GpuArrays arrays =
      packLocalArrays(object->kind(), vertexCount, coords, elementCount, indices);
  object->setEntityCount(arrays.elementCount);
  object->setDisplayedCount(arrays.elementCount);
  buffer->setPlacement(arrays.placement);
  buffer->updateVao(m_gl, arrays.vertexCount, arrays.coords.data(), arrays.elementCount,
                    arrays.indices.data());
}

void SceneModel::attachCutPlaneOutline(ZelDrawObject* object, const double box[6],
                                       const QVector4D& plane, bool wholeBox) {
  std::vector<double> points;
  std::vector<unsigned> segments;
  cutPlaneOutline(box, plane, wholeBox, points, segments);
  const int vertexCount = int(points.size() / 3);
  if (vertexCount == 0 || segments.empty()) {
    object->setEntityCount(0);
    object->setDisplayedCount(0);
    return;
  }
  attachLocalData(object, vertexCount, points.data(), int(segments.size() / 2), segments.data());
}

}  // namespace zel
