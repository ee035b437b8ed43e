// A disc mesh (tests/support/disc_mesh.h) shown in a scene window at the default 2D view.
#pragma once

#include "app/pellon.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "tests/support/disc_mesh.h"
#include "window/ZelSceneWindow.h"

// Scene-object kind of a disc mesh's elements.
inline int discDrawKind(int shape, int degree) {
  static const int triangles[] = {DrawKind::Triangle, DrawKind::TriangleP2, DrawKind::TriangleP3,
                                  DrawKind::TriangleP4};
  static const int quadrilaterals[] = {DrawKind::Quadrilateral, DrawKind::QuadrilateralQ2,
                                       DrawKind::QuadrilateralQ3, DrawKind::QuadrilateralQ4};
  return (shape == EntityType::Triangle ? triangles : quadrilaterals)[degree - 1];
}

// Opens `window` at width x height with the disc as its one object, the box [-1, 1]^2 and the
// default 2D view.
inline void showDisc(ZelSceneWindow& window, const CurvedMesh& mesh, int width, int height) {
  window.resize(width, height);
  window.show();
  window.waitForInitialisation();
  ZelDrawObject* object = ZelDrawObject::create(discDrawKind(mesh.shape, mesh.degree), 1);
  window.addObject(object);
  window.attachData(object, mesh.vertexCount, mesh.coords.data(), mesh.elementCount,
                    mesh.nodes.data());
  const double box[6] = {-1, 1, -1, 1, 0, 0};
  window.storeBoundingBox(box);
  window.setDimension(2);
  window.resetView();
}
