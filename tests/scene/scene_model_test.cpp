// The scene model without an OpenGL context: geometry packing (renumbering, selection,
// normalisation, Bezier control points), the scene box, solution degrees and the palette rules
// of solution attachment, the high-order widening of the range included.
#include <gtest/gtest.h>

#include "gpu/ZelBufferObject.h"
#include "gpu/gpu_arrays.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using zel::GpuArrays;

// Adds an object of `kind` to `model`, silencing the warning about the missing function table.
ZelDrawObject* add(zel::SceneModel& model, int kind) {
  ZelDrawObject* object = ZelDrawObject::create(kind, 0);
  testing::internal::CaptureStdout();
  model.addObject(object);
  testing::internal::GetCapturedStdout();
  return object;
}

TEST(GeometryPacking, SelectionTakesOnlyItsVerticesRenumberedByFirstUse) {
  // Vertex v at (v, 2v, 0) for v = 1..8 (slot 0 unused); three triangles.
  std::vector<double> coords(27, 0.0);
  for (int v = 1; v <= 8; ++v) coords[3 * v] = v, coords[3 * v + 1] = 2 * v;
  const int nodes[12] = {0, 0, 0, 1, 2, 3, 4, 5, 6, 8, 7, 9};  // element 3 has node 9: skipped
  const int selection[3] = {2, 1, 3};
  const GpuArrays a =
      zel::packMeshArrays(DrawKind::Triangle, 8, coords.data(), 3, nodes, selection, 3);
  EXPECT_TRUE(a.elementCount == 2 && a.vertexCount == 6);
  EXPECT_EQ(a.indices, (std::vector<unsigned>{0, 1, 2, 3, 4, 5}));
  // Box of vertices 1..6: x in [1, 6], y in [2, 12]: centre (3.5, 7, 0), scale 1/10.
  EXPECT_TRUE(a.placement.scale == 0.1 && a.placement.centre[1] == 7.0);
  EXPECT_FLOAT_EQ(a.coords[0], float((4 - 3.5) * 0.1));  // first used: vertex 4
  EXPECT_FLOAT_EQ(a.coords[7], float((12 - 7) * 0.1));   // vertex 6, third used: y
  // Without a node table every vertex is a point, in order.
  const GpuArrays points =
      zel::packMeshArrays(DrawKind::Vertex, 8, coords.data(), 0, nullptr, nullptr, 0);
  EXPECT_EQ(points.elementCount, 8);
  EXPECT_FLOAT_EQ(points.coords[3 * 7], float((8 - 4.5) / 14.0));
}

TEST(GeometryPacking, CurvedKindsGetBezierControlPointsStraightOnesKeepTheirNodes) {
  // One edge of degree 2: ends (0, 0) and (1, 0), middle node (0.5, 1), stored ends first.
  const double coords[12] = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0.5, 1, 0};
  const int nodes[6] = {0, 0, 0, 1, 2, 3};
  const GpuArrays curved = zel::packMeshArrays(DrawKind::EdgeP2, 3, coords, 1, nodes, nullptr, 0);
  // Normalised y: ends -0.5, middle 0.5; the control point is 2 m - (a + b) / 2 = 1.5.
  EXPECT_FLOAT_EQ(curved.coords[3 * 2 + 1], 1.5f);
  EXPECT_FLOAT_EQ(curved.coords[1], -0.5f);
  const unsigned local[2] = {0, 1};
  const GpuArrays straight = zel::packLocalArrays(DrawKind::Edge, 2, coords + 3, 1, local);
  EXPECT_FLOAT_EQ(straight.coords[0], -0.5f);
  EXPECT_EQ(straight.indices, (std::vector<unsigned>{0, 1}));
}

// One straight edge from (0, 0, 0) to (1, 0, 0), entity count 1, and the attachment of values
// to it, returning what the model printed.
struct EdgeScene {
  zel::SceneModel model;
  ZelDrawObject* edge = add(model, DrawKind::Edge);
  EdgeScene() {
    const double coords[6] = {0, 0, 0, 1, 0, 0};
    const unsigned nodes[2] = {0, 1};
    model.attachLocalData(edge, 2, coords, 1, nodes);
  }
  std::string attach(ZelDrawObject* palette, const std::vector<double>& values, int nodes,
                     int entities = 1, ZelDrawObject* target = nullptr) {
    testing::internal::CaptureStdout();
    model.attachSolution(new ZelDrawSolution(0), target ? target : edge, palette, values.data(),
                         entities, nodes);
    return testing::internal::GetCapturedStdout();
  }
};

TEST(SceneModel, SceneBoxIsTheUnionOfTheObjectsButTheMarkerAndTheLegend) {
  zel::SceneModel model;
  double box[6];
  EXPECT_FALSE(model.sceneBox(box));
  const double a[6] = {10, 11, 12, 13, 10, 10}, far[6] = {0, 0, 0, 100, 100, 100};
  const unsigned edge[2] = {0, 1};
  const int noElements[3] = {0, 0, 0};
  model.attachLocalData(add(model, DrawKind::Edge), 2, a, 1, edge);
  model.attachData(add(model, DrawKind::SceneCenter), 1, far, 0, nullptr, nullptr, 0);
  // An object left without elements (a cut crossing nothing) adds nothing, not the origin.
  model.attachData(add(model, DrawKind::Triangle), 2, a, 0, noElements, nullptr, 0);
  ASSERT_TRUE(model.sceneBox(box));
  EXPECT_EQ(std::vector<double>(box, box + 6), (std::vector<double>{10, 13, 10, 11, 10, 12}));
  EXPECT_EQ(model.objectsOfKind(DrawKind::Edge).size(), 1u);
}

TEST(SolutionAttachment, DegreeFollowsTheValuesPerEntityOfTheKindsFamily) {
  EdgeScene s;
  for (const auto& [nodes, degree] : {std::pair{1, 0}, {2, 1}, {5, 4}}) {
    s.attach(nullptr, std::vector<double>(size_t(nodes), 1.0), nodes);
    EXPECT_EQ(s.model.bufferOf(s.edge)->solutionDegree(), degree) << nodes << " values";
  }
  EXPECT_TRUE(s.model.solutionShown());
  EXPECT_EQ(s.attach(nullptr, {1, 2}, 1, 2), " Invalid number of entities for solution object\n");
  ZelDrawObject* triangle = add(s.model, DrawKind::Triangle);
  triangle->setEntityCount(1);
  EXPECT_EQ(s.attach(nullptr, std::vector<double>(5, 0.0), 5, 1, triangle),
            " Invalid number of nodes for solution object\n");
  s.model.attachSolution(new ZelDrawSolution(0), nullptr, nullptr, nullptr, 0, 0);  // refused
}

// p(t) = -2t^2 + 3t on [0, 1]: nodal values 0 (t = 0), 1 (t = 1), 1 (t = 1/2), peak 1.125 at
// t = 3/4, between the nodes.
TEST(SolutionAttachment, HighOrderFieldsWidenThePaletteToTheirValuesInsideElements) {
  EdgeScene s, t;
  ZelDrawPalette palette;
  s.attach(&palette, {0, 1, 1}, 3);
  EXPECT_NEAR(palette.values()[4], 1.125, 1e-6);
  EXPECT_FLOAT_EQ(palette.values()[0], 0.0f);
  // Without a palette object the nodal range stands, in the own palette's format.
  EXPECT_EQ(t.attach(nullptr, {0, 1, 1}, 3),
            "create our own palette \n  Palette set to [0.000000e+00 2.500000e-01 5.000000e-01 "
            "7.500000e-01 1.000000e+00]\n");
}

TEST(SolutionAttachment, HeldPalettesWidenAndForcedOnesStay) {
  EdgeScene s;
  ZelDrawPalette palette;
  s.attach(&palette, {0, 1}, 2);
  s.attach(&palette, {0.5, 2}, 2);
  EXPECT_EQ(std::vector<float>(palette.values().begin(), palette.values().end()),
            (std::vector<float>{0, 0.5f, 1, 1.5f, 2}));
  const float values[5] = {-1, 0, 1, 2, 3};
  ZelDrawPalette forced(values, 2, 9, true);
  EXPECT_EQ(s.attach(&forced, {5, 9, 7}, 3), "  Palette forced to [-1 0 1 2 3]\n");
  EXPECT_FLOAT_EQ(forced.values()[4], 3.0f);
  EXPECT_EQ(s.model.bufferOf(s.edge)->palette(), &forced);
  s.model.detachSolution(s.edge);
  EXPECT_EQ(s.model.solutionOf(s.edge), nullptr);
  EXPECT_FALSE(s.model.bufferOf(s.edge)->hasPalette());
}

}  // namespace
