// The point of a picked entity under the pointer.
#include "app/picked_point.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/zel_object.h"

namespace {

// Vertex numbers of the entity that span the segment or plane under the pointer; empty when
// the entity has none.
std::vector<int> spanningVertices(ZelObject* mesh, const PickedEntity& entity) {
  if (entity.entityType == EntityType::Vertex) return {entity.number};
  char status[zel::kStatusSize] = {};
  int count = 0, k = 0;
  const int* nodes =
      static_cast<const int*>(zel_GetIndicesArray(mesh, entity.entityType, &count, &k, status));
  if (!nodes || entity.number < 1 || entity.number > count) return {};
  const int* element = nodes + size_t(entity.number) * size_t(k);
  if (entity.entityType == EntityType::Corner) return {element[0]};
  switch (zel_Typ2Shape(entity.entityType)) {
    case EntityType::Edge:
      return {element[0], element[1]};
    case EntityType::Triangle:
    case EntityType::Quadrilateral:
      return {element[0], element[1], element[2]};
    default:
      break;
  }
  // A volume reached through one of its faces: the plane of that face.
  int faceNodes = 0;
  const int* local = nullptr;
  if (entity.face < 0 ||
      GetEntityFaces(entity.entityType, entity.face, &faceNodes, &local, status) != 0 ||
      faceNodes < 3)
    return {};
  return {element[local[0]], element[local[1]], element[local[2]]};
}

// Weights of the pointer against the projected vertices, in screen space (barycentric for three,
// the clamped segment parameter for two).
std::vector<double> screenWeights(const std::vector<QVector3D>& s, QPointF p) {
  if (s.size() == 2) {
    const double dx = s[1].x() - s[0].x(), dy = s[1].y() - s[0].y();
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x() - s[0].x()) * dx + (p.y() - s[0].y()) * dy) / length2 : 0.5;
    t = std::clamp(t, 0.0, 1.0);
    return {1.0 - t, t};
  }
  const double ax = s[1].x() - s[0].x(), ay = s[1].y() - s[0].y();
  const double bx = s[2].x() - s[0].x(), by = s[2].y() - s[0].y();
  const double area = ax * by - ay * bx;
  // A face seen edge-on has no point under the pointer of its own: its centroid stands in.
  if (std::abs(area) < 1e-12) return {1.0 / 3, 1.0 / 3, 1.0 / 3};
  const double px = p.x() - s[0].x(), py = p.y() - s[0].y();
  const double u = (px * by - py * bx) / area, v = (ax * py - ay * px) / area;
  return {1.0 - u - v, u, v};
}

}  // namespace

bool pointUnderPointer(ZelObject* mesh, const PickedEntity& entity, QPointF pointer,
                       const WindowProjection& project, double point[3]) {
  if (!mesh || !mesh->coordinates) return false;
  int vertexCount = 0;
  char status[zel::kStatusSize] = {};
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &vertexCount, status);
  const std::vector<int> vertices = spanningVertices(mesh, entity);
  if (vertices.empty()) return false;
  for (int v : vertices)
    if (v < 1 || v > vertexCount) return false;
  const double* xyz = mesh->coordinates;
  if (vertices.size() == 1) {
    std::copy(xyz + 3 * vertices[0], xyz + 3 * vertices[0] + 3, point);
    return true;
  }
  std::vector<QVector3D> screen;
  for (int v : vertices) screen.push_back(project(xyz + 3 * v));
  std::vector<double> weights = screenWeights(screen, pointer);
  // Screen-space weights divided by each vertex's clip w are the weights in space.
  double total = 0.0;
  for (size_t i = 0; i < weights.size(); ++i) {
    if (screen[i].z() != 0.0f) weights[i] /= screen[i].z();
    total += weights[i];
  }
  if (total == 0.0) return false;
  for (int axis = 0; axis < 3; ++axis) {
    point[axis] = 0.0;
    for (size_t i = 0; i < weights.size(); ++i)
      point[axis] += weights[i] / total * xyz[3 * vertices[i] + axis];
  }
  return true;
}
