// A disc mesh (tests/support/disc_mesh.h) shown in a scene window at the default view.
#pragma once

#include "app/pellon.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "tests/support/disc_mesh.h"
#include "window/ZelSceneWindow.h"

// Opens `window` at width x height with the box [-1, 1]^2 and the default view in `dimension`,
// and one object for each reference of the disc (1, 2 and 3: the lower half, the upper left
// and upper right quarters), of `kind` or else the kind of the disc's elements.
inline void showDisc(ZelSceneWindow& window, const CurvedMesh& mesh, int width, int height,
                     int kind = -1, int dimension = 2) {
  static const int triangles[] = {DrawKind::Triangle, DrawKind::TriangleP2, DrawKind::TriangleP3,
                                  DrawKind::TriangleP4};
  static const int quadrilaterals[] = {DrawKind::Quadrilateral, DrawKind::QuadrilateralQ2,
                                       DrawKind::QuadrilateralQ3, DrawKind::QuadrilateralQ4};
  if (kind < 0)
    kind = (mesh.shape == EntityType::Triangle ? triangles : quadrilaterals)[mesh.degree - 1];
  window.resize(width, height);
  window.show();
  window.waitForInitialisation();
  for (int reference : {1, 2, 3}) {
    std::vector<int> selection;
    for (int e = 1; e <= mesh.elementCount; ++e)
      if (mesh.refs[e] == reference) selection.push_back(e);
    ZelDrawObject* object = ZelDrawObject::create(kind, reference);
    window.addObject(object);
    window.attachData(object, mesh.vertexCount, mesh.coords.data(), mesh.elementCount,
                      mesh.nodes.data(), selection.data(), int(selection.size()));
  }
  const double box[6] = {-1, 1, -1, 1, 0, 0};
  window.storeBoundingBox(box);
  window.setDimension(dimension);
  window.resetView();
}
