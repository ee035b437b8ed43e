// Shader sources, buffer objects and their cheap forms without an OpenGL context, and element
// extents on the screen.
#include <gtest/gtest.h>

#include <QMatrix4x4>
#include <QVector2D>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/cheap_forms.h"
#include "gpu/patch_draws.h"
#include "gpu/screen_extent.h"
#include "gpu/shader_programs.h"
#include "gpu/shader_source.h"
#include "meshio/entity_types.h"
#include "meshio/node_order.h"

namespace {

const int kEdge = EntityType::Edge, kTri = EntityType::Triangle, kQuad = EntityType::Quadrilateral;
using Nets = std::vector<std::pair<int, int>>;  // lattice shapes and degrees

std::vector<unsigned> iota(size_t n) {
  std::vector<unsigned> indices(n);
  std::iota(indices.begin(), indices.end(), 0u);
  return indices;
}
// Window position of point `node` of `coords` under `mvp` and `viewport`.
QVector2D onScreen(const QMatrix4x4& mvp, const QMatrix4x4& viewport, const float* coords,
                   size_t node, float scaling = 1, QVector3D trans = {}) {
  const QVector3D p(coords[3 * node], coords[3 * node + 1], coords[3 * node + 2]);
  const QVector4D clip = mvp * QVector4D(scaling * p + trans, 1);
  return QVector2D(viewport.map(QVector3D(clip.x() / clip.w(), clip.y() / clip.w(), 0)));
}

// Expansion in place is what every program's build relies on (the sources include their
// shared parts); a missing, looping or malformed include fails, naming the missing file.
TEST(ShaderSource, MissingLoopingAndMalformedIncludesFail) {
  const ShaderFileReader reader = [](const std::string& name, std::string& text) {
    text = "#include \"self.glsl\"\n";
    return name == "self.glsl";
  };
  std::string expanded, error;
  EXPECT_FALSE(expandShaderIncludes("#include \"gone.glsl\"\n", reader, expanded, error));
  EXPECT_NE(error.find("gone.glsl"), std::string::npos);
  EXPECT_FALSE(expandShaderIncludes("#include \"self.glsl\"\n", reader, expanded, error));
  EXPECT_FALSE(expandShaderIncludes("#include <angled>\n", reader, expanded, error));
}

// Without OpenGL functions programs fail silently, and buffers take and draw nothing.
TEST(ZelBufferObject, WithoutFunctionsNothingIsBuiltOrDrawn) {
  GLSLProgram program(nullptr);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(program.compileShaderFromString("void main() {}", GLSLProgram::Vertex) ||
               program.compileShaderFromResource(":/glsl/tri.vs", GLSLProgram::Vertex) ||
               program.link() || program.buildProgram("TriSha", ":/glsl/tri.vs", ":/glsl/tri.fs") ||
               program.buildProgramFromFiles("TriSha", nullptr, nullptr));
  program.use();
  program.setUniform("x", 1.0f);
  program.printActiveUniforms();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(program.handle(), 0);
  std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(DrawKind::TriangleP2));
  const float coords[18] = {};
  const unsigned indices[6] = {0, 1, 2, 3, 4, 5};
  buffer->updateVao(nullptr, 6, coords, 1, indices);
  EXPECT_EQ(buffer->elementCount(), 0);
  ZelDrawState state;
  state.displayed = 7;
  ZelPickingTable table;
  int running = 5;
  EXPECT_EQ(buffer->draw(nullptr, state, nullptr) +
                buffer->draw(nullptr, state, nullptr, &table, &running),
            0);
  EXPECT_TRUE(state.displayed == 0 && table.empty() && running == 5);
}

// (The centre and scale of a box with an extent are the geometry packing tests'.)
TEST(ZelBufferObject, BoundingBoxCentreAndScale) {
  ZelBufferTriangle buffer;
  const double point[] = {1, -2, 3}, legend[] = {-0.9, -0.9, -0.5, -0.7};
  double out[4];
  buffer.setBoundingBox(1, point);
  buffer.centreAndScale(out);
  EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{1, -2, 3, 1}));  // factor 1
  buffer.setBoundingBox2D(2, legend);  // z stays empty
  buffer.centreAndScale(out);
  EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{-0.7, -0.8, 0, 2.5}));
  EXPECT_TRUE(std::isinf(buffer.boundingBox()[4]));
}

TEST(PatchDraws, BatchesStayPositiveAndOnlyTheTwoExactWordsForceAChoice) {
  ZelBufferObject::setMaxPatchesPerDraw(0);
  EXPECT_EQ(ZelBufferObject::maxPatchesPerDraw(), 1);
  ZelBufferObject::setMaxPatchesPerDraw(32);
  EXPECT_EQ(requestedPatchDraws("one"), ZelPatchDraws::OneCall);
  EXPECT_EQ(requestedPatchDraws("batches"), ZelPatchDraws::Batches);
  for (const char* other : {"", "One", "batch", "one ", "1", static_cast<const char*>(nullptr)})
    EXPECT_EQ(requestedPatchDraws(other), ZelPatchDraws::Probe) << (other ? other : "null");
}

TEST(ScreenExtent, LargestElementExtentPerAxisAndNoneForBadInput) {
  // Two elements of three points: extents (2, 1, 0) and (0.5, 3, 4).
  float coords[] = {0, 0, 0, 2, 1, 0, 1, 0.5f, 0, -1, -1, -1, -0.5f, 2, 3, -1, 1, 0};
  const std::vector<unsigned> indices = iota(6);
  const zel::ElementExtent extent = zel::elementExtentOf(6, coords, 2, 3, indices.data());
  ASSERT_TRUE(extent.known);
  EXPECT_EQ(std::vector<float>(extent.largest, extent.largest + 3), std::vector<float>({2, 3, 4}));
  EXPECT_EQ(std::vector<float>(extent.box, extent.box + 6),
            std::vector<float>({-1, 2, -1, 2, -1, 3}));
  // The same points grouped otherwise: the second element spans the two clusters.
  const unsigned regrouped[] = {0, 1, 3, 2, 4, 5}, outside[] = {0, 1, 2, 3, 4, 6};
  EXPECT_EQ(zel::elementExtentOf(6, coords, 2, 3, regrouped).largest[0], 3.0f);
  EXPECT_FALSE(zel::elementExtentOf(6, coords, 2, 3, outside).known);
  EXPECT_FALSE(zel::elementExtentOf(6, coords, 0, 3, indices.data()).known);
  EXPECT_FALSE(zel::elementExtentOf(6, coords, 2, 3, nullptr).known);
  coords[16] = NAN;
  EXPECT_FALSE(zel::elementExtentOf(6, coords, 2, 3, indices.data()).known);
}

// Random nets of every curved kind, straight (placed by an affine map of their lattice) or
// bent, scaled, moved and seen in perspective from anywhere: no two points of an element lie
// farther apart on the screen than the element bound, no difference p + q - r - s the stages
// measure exceeds the net bend bound, small for straight nets. An eye inside the box gets no
// bound; seen straight on, the element bound is the projected diagonal of the largest extents.
TEST(ScreenExtent, BoundsHoldForEveryNetAndTheBendStaysSmallForStraightElements) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> unit(-1, 1);
  QMatrix4x4 viewport;
  viewport.scale(400, 300);
  for (const auto& [shape, degree] :
       Nets{{kEdge, 2}, {kEdge, 4}, {kTri, 2}, {kTri, 4}, {kQuad, 2}, {kQuad, 3}}) {
    const std::vector<zel::NetDifference> differences = zel::netDifferences(shape, degree);
    const zel::LatticeOrder& order = *zel::latticeNodeOrder(shape, degree);
    const std::vector<unsigned> indices = iota(10 * order.count);
    for (int trial = 0; trial < 20; ++trial) {
      // Needles lie along the line of sight, seen unrotated through a wide angle: they move on
      // the screen by perspective alone.
      const bool straight = trial % 2 == 0, needles = trial % 4 == 2;
      // Ten elements of one net each, about 0.05 across, placed by random affine maps.
      std::vector<float> coords;
      for (int element = 0; element < 10; ++element) {
        double map[3][3];
        for (auto& row : map)
          for (double& a : row) a = unit(random);
        for (int n = 0; n < order.count; ++n) {
          const double s = order.row(n)[0] / double(degree);
          const double t = order.width > 1 ? order.row(n)[1] / double(degree) : 0;
          for (int axis = 0; axis < 3; ++axis)
            coords.push_back(
                float(map[axis][0] +
                      (needles && axis < 2 ? 0 : 0.05) * (map[axis][1] * s + map[axis][2] * t) +
                      (straight ? 0 : 0.01 * unit(random))));
        }
      }
      const zel::ElementExtent extent = zel::elementExtentOf(
          int(indices.size()), coords.data(), 10, order.count, indices.data(), differences);
      ASSERT_TRUE(extent.known);
      const float scaling = float(0.5 + 0.5 * std::abs(unit(random)));
      const QVector3D trans = 0.5f * QVector3D(float(unit(random)), float(unit(random)), 0);
      QMatrix4x4 mvp;
      mvp.perspective((needles ? 90 : 20) + 60 * std::abs(unit(random)), 4.0f / 3, 0.1f, 40);
      mvp.translate(0, 0, float(-3 - 3 * std::abs(unit(random))));
      if (!needles)
        mvp.rotate(float(180 * unit(random)),
                   QVector3D(float(unit(random)), float(unit(random)), 1));
      const double bound = zel::netBendPixelBound(extent, mvp, viewport, scaling, trans);
      const double points = zel::elementPixelBound(extent, mvp, viewport, scaling, trans);
      ASSERT_GT(bound, 0);
      const auto px = [&](size_t n) {
        return onScreen(mvp, viewport, coords.data(), n, scaling, trans);
      };
      double bent = 0, apart = 0;
      for (size_t first = 0; first < indices.size(); first += size_t(order.count)) {
        for (const zel::NetDifference& d : differences)
          bent = std::max(bent, double((px(first + d[0]) + px(first + d[1]) - px(first + d[2]) -
                                        px(first + d[3]))
                                           .length()));
        for (size_t a = first; a < first + order.count; ++a)
          for (size_t b = first; b < a; ++b)
            apart = std::max(apart, double((px(a) - px(b)).length()));
      }
      const std::string what = std::to_string(shape) + " degree " + std::to_string(degree) +
                               " trial " + std::to_string(trial);
      EXPECT_LE(bent, bound) << what;
      EXPECT_TRUE(apart <= points && apart > 0.05 * points)
          << what << ": " << apart << " of " << points;
      EXPECT_TRUE(!straight || bound < 0.2 * points) << what << ": " << bound << " of " << points;
      QMatrix4x4 inside;  // the eye at the box's centre
      inside.perspective(30, 4.0f / 3, 0.1f, 40);
      inside.translate(-scaling *
                           QVector3D(extent.box[0] + extent.box[1], extent.box[2] + extent.box[3],
                                     extent.box[4] + extent.box[5]) /
                           2 -
                       trans);
      EXPECT_LT(zel::elementPixelBound(extent, inside, viewport, scaling, trans), 0) << what;
    }
  }
  QMatrix4x4 flat;
  flat.scale(0.5f, 0.25f, 0.1f);
  const float coords[] = {0, 0, 0, 0.3f, 0.1f, 5, 0, 0.4f, 0, 1, 1, 1};
  const unsigned indices[] = {0, 1, 2, 3, 3, 3};
  const zel::ElementExtent extent = zel::elementExtentOf(4, coords, 2, 3, indices);
  EXPECT_NEAR(zel::elementPixelBound(extent, flat, viewport, 2, QVector3D(1, 2, 3)),
              std::hypot(2 * 0.3 * 0.5 * 400, 2 * 0.4 * 0.25 * 300), 1e-3);
  EXPECT_LT(zel::elementPixelBound(zel::ElementExtent(), flat, viewport, 1, QVector3D()), 0);
}

// The differences of a net are its rows' second differences and its unit cells: moving one
// inner node of an edge by h changes them by 2 h, a corner of a quadrilateral by h (its cell),
// and nothing else has a net.
TEST(ScreenExtent, NetDifferencesSeeEveryNodeOfTheNet) {
  for (const auto& [shape, degree] :
       Nets{{kEdge, 3}, {kTri, 2}, {kTri, 4}, {kQuad, 2}, {kQuad, 4}}) {
    const zel::LatticeOrder& order = *zel::latticeNodeOrder(shape, degree);
    const std::vector<unsigned> indices = iota(order.count);
    for (int moved = 0; moved < order.count; ++moved) {
      std::vector<float> coords;  // a straight net in the plane z = 0, one node lifted by 0.25
      for (int n = 0; n < order.count; ++n)
        coords.insert(coords.end(),
                      {float(order.row(n)[0]), order.width > 1 ? float(order.row(n)[1]) : 0.0f,
                       n == moved ? 0.25f : 0.0f});
      const zel::ElementExtent extent =
          zel::elementExtentOf(order.count, coords.data(), 1, order.count, indices.data(),
                               zel::netDifferences(shape, degree));
      EXPECT_EQ(extent.bend[0], 0) << shape;
      // Corners of edges and triangles lie at the ends of rows: a second difference holds
      // them once.
      const bool corner = moved < (shape == kQuad ? 4 : shape - 1);
      EXPECT_EQ(extent.bend[2], corner ? 0.25f : 0.5f) << shape << " node " << moved;
    }
  }
  EXPECT_TRUE(zel::netDifferences(EntityType::Tetrahedron, 2).empty());
  EXPECT_TRUE(zel::netDifferences(EntityType::Triangle, 1).empty());
}

// The tessellation stages raise a level above 1 once ceil(sqrt(m B / 4)) > 1, with B the
// largest second difference (or twist) of a control net in pixels and m the kind's multiplier:
// k (k - 1) for curves and triangles, k (k - 1) + k^2 for quadrilaterals.
TEST(ScreenExtent, SmallEnoughElementsGetOneSegmentFromTheScreenAndOnlyThose) {
  for (const zel::DrawKindRow& row : zel::kDrawKinds) {
    if (!row.program || zel::straightBufferClass(row.buffer) == row.buffer) continue;  // curved
    const char* program = row.program;
    const ZelBufferShape& shape = zel::bufferShape(row.buffer);
    const int k = row.degree;
    const bool quadrilateral = shape.indicesPerElement == (k + 1) * (k + 1);
    const float multiplier = float(k * (k - 1) + (quadrilateral ? k * k : 0));
    EXPECT_EQ(shape.screenBend, multiplier) << program;
    const auto stageLevel = [&](double b) { return std::ceil(std::sqrt(multiplier * b / 4)); };
    int accepted = 0;
    for (double d = 0.02; d < 4; d *= 1.01) {
      const bool one = zel::screenLevelIsOne(d, shape.screenBend);
      accepted += one;
      // Within a tenth of the stages' threshold, left for rounding.
      EXPECT_TRUE(one ? stageLevel(d) <= 1 : stageLevel(d * 1.12) > 1)
          << program << " at " << d << " pixels";
    }
    EXPECT_GT(accepted, 0) << program;
    EXPECT_FALSE(zel::screenLevelIsOne(-1, shape.screenBend)) << program;
  }
  EXPECT_FALSE(zel::screenLevelIsOne(0, zel::bufferShape(zel::BufferClass::Triangle).screenBend));
}

using zel::BufferClass;

// Every drawn kind: a curved one gets a straight program of its own family that draws a
// straight kind of the same number of corners; a straight one keeps its program.
TEST(CheapForms, CurvedKindsAreDrawnByTheStraightProgramOfTheirFamily) {
  EXPECT_FALSE(zel::straightProgram(-1) || zel::straightProgram(DrawKind::Count));
  for (const zel::DrawKindRow& row : zel::kDrawKinds) {
    if (!row.program) continue;
    const char* straight = zel::straightProgram(row.kind);
    ASSERT_NE(straight, nullptr) << row.kind;
    if (row.degree < 2) {
      EXPECT_STREQ(straight, row.program) << row.kind;
      continue;
    }
    const zel::DrawKindRow* drawn = nullptr;
    for (const zel::DrawKindRow& other : zel::kDrawKinds)
      if (other.program && std::strcmp(other.program, straight) == 0) drawn = &other;
    ASSERT_NE(drawn, nullptr) << straight;
    EXPECT_TRUE(drawn->degree == 1 && drawn->solution == row.solution) << row.kind;
    EXPECT_EQ(drawn->buffer, zel::straightBufferClass(row.buffer)) << row.kind;
  }
}

// The corner indices are the first of each element's nodes: the lattice orders put the
// corners first, in the order the straight shapes take them (the image tests place control
// points by those orders).
TEST(CheapForms, CurvedElementsKeepTheirLeadingCornerIndicesInElementOrder) {
  for (const auto& [curved, nodes, corners] : {std::tuple{BufferClass::TriangleP2, 6u, 3u},
                                               {BufferClass::TriangleP4, 15u, 3u},
                                               {BufferClass::QuadQ3, 16u, 4u},
                                               {BufferClass::EdgeP2, 3u, 2u},
                                               {BufferClass::EdgeP4, 5u, 2u}}) {
    // Three elements with distinct indices: element e, node n holds 100 e + n.
    std::vector<unsigned> indices, expected;
    for (unsigned e = 0; e < 3; ++e)
      for (unsigned n = 0; n < nodes; ++n) {
        indices.push_back(100 * e + n);
        if (n < corners) expected.push_back(100 * e + n);
      }
    ASSERT_EQ(zel::bufferShape(curved).indicesPerElement, int(nodes));
    EXPECT_EQ(zel::cheapIndices(curved, 3, indices.data()), expected)
        << zel::bufferShape(curved).className;
  }
  // Straight and other classes have no cheap form; neither do empty or missing arrays.
  const unsigned some[16] = {};
  for (BufferClass plain : {BufferClass::Triangle, BufferClass::Edge, BufferClass::Palette})
    EXPECT_TRUE(zel::cheapIndices(plain, 1, some).empty()) << zel::bufferShape(plain).className;
  EXPECT_TRUE(zel::cheapIndices(BufferClass::TriangleP2, 0, some).empty() &&
              zel::cheapIndices(BufferClass::TriangleP2, 2, nullptr).empty());
}

TEST(CheapForms, LargeVertexCloudsKeepAnEvenlySpreadSubsetWithinTheBudget) {
  EXPECT_TRUE(zel::cheapIndices(BufferClass::Point, zel::kCheapPointBudget, nullptr).empty());
  for (int count : {zel::kCheapPointBudget + 1, 6751269}) {
    const std::vector<unsigned> subset = zel::cheapIndices(BufferClass::Point, count, nullptr);
    ASSERT_FALSE(subset.empty()) << count;
    EXPECT_LE(int(subset.size()), zel::kCheapPointBudget) << count;
    EXPECT_GT(subset.size(), size_t(zel::kCheapPointBudget / 2)) << "fewer points than needed";
    // Evenly spread over the whole cloud: equal steps from the first point to near the last.
    const unsigned step = subset[1] - subset[0];
    EXPECT_EQ(subset[0], 0u);
    for (size_t i = 1; i < subset.size(); ++i) ASSERT_EQ(subset[i] - subset[i - 1], step) << i;
    EXPECT_TRUE(subset.back() < unsigned(count) && subset.back() + step >= unsigned(count))
        << "the end of the cloud is left out";
  }
}

}  // namespace
