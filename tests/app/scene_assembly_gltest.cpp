// Scenes assembled from real mesh and solution files: which objects exist, which programs are
// built, what the solution colours and the reference colours look like on screen.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <fstream>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "scene/ZelDrawObject.h"
#include "tests/capping/faces_met_once.h"
#include "tests/support/image_probe.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"

namespace {

const std::string kData = ZEL_TEST_DATA;

std::vector<ZelDrawObject*> objectsOfKind(ZelSceneWindow& window, int kind) {
  std::vector<ZelDrawObject*> found;
  for (ZelDrawObject* object : window.allObjects())
    if (object->kind() == kind) found.push_back(object);
  return found;
}

TEST(SceneAssembly, StraightTrianglesBuildOnlyTheirProgramsAndUploadVerticesWhenFirstShown) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, kData + "/ho/disk_tri_p1.mesh", kData + "/ho/disk_tri_p1.mesh");
  ASSERT_EQ(objectsOfKind(viewer, DrawKind::Vertex).size(), 1u);
  ZelDrawObject* points = objectsOfKind(viewer, DrawKind::Vertex)[0];
  EXPECT_EQ(points->entityCount(), 0);  // not uploaded while hidden
  viewer.renderNow();
  const std::vector<std::string> built = viewer.builtPrograms();
  EXPECT_EQ(std::set<std::string>(built.begin(), built.end()),
            (std::set<std::string>{"EdgSha", "PntSha", "TriSha", "CrnSha"}));
  EXPECT_GT(objectsOfKind(viewer, DrawKind::Triangle).size(), 0u);
  for (const auto& [kind, count] :
       {std::pair{DrawKind::SceneCenter, 1}, {DrawKind::CutPlane, 2}, {DrawKind::Palette, 1}})
    EXPECT_EQ(objectsOfKind(viewer, kind).size(), size_t(count)) << kind;
  EXPECT_FALSE(viewer.displaySettings().solutionOn);
  const int hidden = viewer.lastFramePrimitives();
  QTest::keyClick(&viewer, 'D');
  viewer.renderNow();
  int vertices = 0;
  char status[zel::kStatusSize];
  zel_GetNumberOfEntities(viewer.mesh(), EntityType::Vertex, &vertices, status);
  EXPECT_GT(vertices, 50);
  EXPECT_EQ(points->entityCount(), vertices);  // every vertex of the mesh
  EXPECT_EQ(viewer.lastFramePrimitives(), hidden + vertices);
}

TEST(SceneAssembly, HighOrderSolutionColoursTheDisc) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, kData + "/sol/disk_tri_p2.meshb", kData + "/sol/disk_tri_p2.ho.sol");
  EXPECT_TRUE(viewer.displaySettings().solutionOn && viewer.solutionShown());
  const QImage image = screenshotOf(viewer);
  ASSERT_EQ(image.size(), QSize(800, 600));
  // f = sin(x) cos(y) + z grows from left to right across the disc: the rainbow map goes from
  // blue at the left edge to red at the right edge. The legend band at the top shows the map.
  const QColor left = image.pixelColor(60, 300), right = image.pixelColor(740, 300);
  EXPECT_GT(left.blue(), left.red() + 80);
  EXPECT_GT(right.red(), right.blue() + 80);
  EXPECT_NE(image.pixelColor(60, 30), image.pixelColor(740, 30));
}

TEST(SceneAssembly, EveryTestMeshOpensAndRendersAndBrokenOnesLeaveAnEmptyWindow) {
  std::vector<std::string> paths;
  for (const char* folder : {"/ho", "/binary", "/gmsh", "/meshio"}) {
    const QDir directory(QString::fromStdString(kData + folder));
    for (const QString& name : directory.entryList({"*.mesh", "*.meshb"}, QDir::Files))
      paths.push_back(directory.filePath(name).toStdString());
  }
  const size_t good = paths.size();
  EXPECT_GT(good, 20u);
  for (const char* broken :
       {"/broken/version5.mesh", "/nothing_here.meshb", "/broken/trunc_vertices.meshb"})
    paths.push_back(kData + broken);
  for (size_t i = 0; i < paths.size(); ++i) {
    ZelMeshViewer viewer(pellonSurfaceFormat());
    assembleScene(&viewer, paths[i], paths[i]);
    viewer.renderNow();
    EXPECT_TRUE(viewer.isExposed());
    EXPECT_TRUE(i >= good || viewer.lastFramePrimitives() > 0) << paths[i];
    // The hybrid mesh's faces between volume types are kept by each type.
    EXPECT_TRUE(paths[i].find("hybrid_pyr_p2.mesh") == std::string::npos ||
                !objectsOfKind(viewer, DrawKind::SrfTriangleP2).empty());
  }
}

TEST(SceneAssembly, CurvedBallHasACircularSilhouette) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  const std::string ball = kData + "/ho/sphere_p3_gmshorder.meshb";
  assembleScene(&viewer, ball, ball);
  viewer.displaySettings().tessellationLevel = 8;
  // A ball of radius 0.5 (normalised) at distance 3 seen in a 15-degree field of view: its
  // outline is the circle of angular radius asin(1/6).
  const double radius = std::tan(std::asin(0.5 / 3.0)) / std::tan(7.5 * M_PI / 180.0) * 300.0;
  int rows = 0;
  EXPECT_LE(silhouetteDeviation(screenshotOf(viewer), 400, 300, radius, 1.0, &rows), 2.0);
  EXPECT_EQ(rows, 600);
}

// True when the pixel is a colour of the map rather than the grey of the material.
bool coloured(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 50;
}

// The parameter file beside the mesh asks for full frames and a field beyond the fields.
TEST(SceneAssembly, ObjectsWithoutTheNewFieldShowTheirMaterialColour) {
  const TemporaryDirectory scratch(true);
  std::ofstream("DEFAULT.zelmor") << "displayfield 99 fullframes\n";
  const std::string mesh = scratch.file("pair.mesh");
  // A triangle left of x = 0 and a quadrilateral right of it; the triangles carry two fields,
  // the quadrilateral only the first.
  std::ofstream(mesh) << "MeshVersionFormatted 2\nDimension 2\nVertices\n5\n"
                         "-1 -0.5 0\n0 -0.5 0\n0 0.5 0\n1 -0.5 0\n1 0.5 0\n"
                         "Triangles\n1\n1 2 3 1\nQuadrilaterals\n1\n2 4 5 3 1\nEnd\n";
  std::ofstream(scratch.file("pair.sol"))
      << "MeshVersionFormatted 2\nDimension 2\nSolAtTriangles\n1\n2 1 1\n0 2\n"
         "SolAtQuadrilaterals\n1\n1 1\n1\nEnd\n";
  ZelMeshViewer viewer(pellonSurfaceFormat());
  EXPECT_TRUE(viewer.cheapFrames());
  assembleScene(&viewer, mesh, mesh);
  EXPECT_FALSE(viewer.cheapFrames()) << "the parameter file asked for full frames";
  ASSERT_EQ(viewer.numberOfFields(), 2);
  EXPECT_EQ(viewer.displayedField(), 1);  // 99 is beyond the fields
  viewer.changeDisplayField(-1);          // and the field steps within them
  EXPECT_EQ(viewer.displayedField(), 1);
  ASSERT_EQ(objectsOfKind(viewer, DrawKind::Quadrilateral).size(), 1u);
  ZelDrawObject* quadrilateral = objectsOfKind(viewer, DrawKind::Quadrilateral)[0];
  // The quadrilateral's centre (0.5, 0) in a box of extent 2 seen from distance 3.
  const int quadX = 400 + int(0.25 * 300.0 / (3.0 * std::tan(7.5 * M_PI / 180.0))), quadY = 300;
  EXPECT_NE(viewer.solutionOf(quadrilateral), nullptr);
  EXPECT_TRUE(coloured(screenshotOf(viewer), quadX, quadY));
  viewer.changeDisplayField(+1);
  viewer.changeDisplayField(+1);
  EXPECT_EQ(viewer.displayedField(), 2);
  EXPECT_EQ(viewer.solutionOf(quadrilateral), nullptr);
  EXPECT_FALSE(viewer.bufferOf(quadrilateral)->hasPalette());
  const QImage image = screenshotOf(viewer);
  EXPECT_TRUE(isCovered(image, quadX, quadY));
  EXPECT_FALSE(coloured(image, quadX, quadY));
  EXPECT_TRUE(coloured(image, 800 - quadX, 320));  // the triangle
  viewer.changeDisplayField(-1);
  EXPECT_NE(viewer.solutionOf(quadrilateral), nullptr);
  EXPECT_TRUE(coloured(screenshotOf(viewer), quadX, quadY));
}

TEST(SceneAssembly, EveryBoundaryFaceIsShownOnce) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  const std::string ball = kData + "/meshio/sphere_o1.meshb";
  assembleScene(&viewer, ball, ball);
  // Boundary faces counted by brute force: faces of one tetrahedron only.
  char status[zel::kStatusSize];
  int count = 0;
  zel_GetNumberOfEntities(viewer.mesh(), EntityType::Tetrahedron, &count, status);
  std::vector<int> all(static_cast<size_t>(count));
  std::iota(all.begin(), all.end(), 1);
  const auto faces = testmesh::facesMetOnce(viewer.mesh(), EntityType::Tetrahedron, all, false);
  const size_t boundary = faces.at(0).links[0].size() / 3;
  // Shown: surface faces of the volumes, plus the mesh's own triangles that lie on them.
  size_t shown = 0;
  for (ZelDrawObject* object : objectsOfKind(viewer, DrawKind::SrfTriangle))
    shown += size_t(object->entityCount());
  for (const ZelFaceMark& mark : viewer.triangleMarks(1)) shown += mark.face > 0;
  EXPECT_GT(boundary, 100u);
  EXPECT_EQ(shown, boundary);
}

}  // namespace
