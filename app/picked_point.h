// The point of a picked entity that lies under the pointer, for re-centring the scene on it.
#pragma once

#include <QPointF>
#include <QVector3D>
#include <functional>

#include "app/picking_report.h"

struct ZelObject;

// Window position of a mesh point: window x, y (logical pixels, y down) and the clip w.
using WindowProjection = std::function<QVector3D(const double point[3])>;

// Writes into `point` (mesh units) the point of `entity` drawn under `pointer`: a vertex itself;
// on an edge the point of its end-point segment, on a face (or the picked face of a volume) the
// point of the plane of its first three vertices, found by interpolating their projections (with
// the perspective undone). Returns false when the entity is none of these or is not in the mesh.
bool pointUnderPointer(ZelObject* mesh, const PickedEntity& entity, QPointF pointer,
                       const WindowProjection& project, double point[3]);
