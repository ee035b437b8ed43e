// Scenes assembled from real mesh and solution files: which objects exist, which programs are
// built, what the solution colours and the reference colours look like on screen.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <set>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "gpu/ZelBufferObject.h"
#include "meshio/entity_types.h"
#include "meshio/zel_object.h"
#include "scene/ZelDrawObject.h"
#include "tests/capping/faces_met_once.h"
#include "tests/support/image_probe.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"

namespace {

const std::string kData = ZEL_TEST_DATA;

int objectsOfKind(ZelSceneWindow& window, int kind) {
  int count = 0;
  for (ZelDrawObject* object : window.allObjects()) count += object->kind() == kind;
  return count;
}

TEST(SceneAssembly, StraightTrianglesBuildOnlyTheirPrograms) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, kData + "/ho/disk_tri_p1.mesh", kData + "/ho/disk_tri_p1.mesh");
  viewer.renderNow();
  const std::vector<std::string> built = viewer.builtPrograms();
  EXPECT_EQ(std::set<std::string>(built.begin(), built.end()),
            (std::set<std::string>{"EdgSha", "PntSha", "TriSha", "CrnSha"}));
  EXPECT_GT(objectsOfKind(viewer, DrawKind::Triangle), 0);
  EXPECT_EQ(objectsOfKind(viewer, DrawKind::Vertex), 1);
  EXPECT_EQ(objectsOfKind(viewer, DrawKind::SceneCenter), 1);
  EXPECT_EQ(objectsOfKind(viewer, DrawKind::CutPlane), 2);
  EXPECT_EQ(objectsOfKind(viewer, DrawKind::Palette), 1);
  EXPECT_FALSE(viewer.displaySettings().solutionOn);
}

TEST(SceneAssembly, HighOrderSolutionColoursTheDisc) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, kData + "/sol/disk_tri_p2.meshb", kData + "/sol/disk_tri_p2.ho.sol");
  EXPECT_TRUE(viewer.displaySettings().solutionOn);
  EXPECT_TRUE(viewer.solutionShown());
  const QImage image = screenshotOf(viewer);
  ASSERT_EQ(image.size(), QSize(800, 600));
  // f = sin(x) cos(y) + z grows from left to right across the disc: the rainbow map goes from
  // blue at the left edge to red at the right edge.
  const QColor left = image.pixelColor(60, 300), right = image.pixelColor(740, 300);
  EXPECT_GT(left.blue(), left.red() + 80);
  EXPECT_GT(right.red(), right.blue() + 80);
  // The legend band at the top of the window shows the colour map, not the mesh.
  const QColor legendLeft = image.pixelColor(60, 30), legendRight = image.pixelColor(740, 30);
  EXPECT_NE(legendLeft, legendRight);
}

TEST(SceneAssembly, EveryTestMeshOpensAndRenders) {
  int opened = 0;
  for (const char* folder : {"/ho", "/binary", "/gmsh", "/meshio"}) {
    const QDir directory(QString::fromStdString(kData + folder));
    for (const QString& name : directory.entryList({"*.mesh", "*.meshb"}, QDir::Files)) {
      ZelMeshViewer viewer(pellonSurfaceFormat());
      const std::string path = directory.filePath(name).toStdString();
      assembleScene(&viewer, path, path);
      viewer.renderNow();
      EXPECT_GT(viewer.lastFramePrimitives(), 0) << path;
      // The hybrid mesh's faces between volume types are kept by each type.
      if (name == "hybrid_pyr_p2.mesh") {
        EXPECT_GT(objectsOfKind(viewer, DrawKind::SrfTriangleP2), 0);
      }
      ++opened;
    }
  }
  EXPECT_GT(opened, 20);
}

TEST(SceneAssembly, MissingOrBrokenMeshesLeaveAnEmptyWindow) {
  for (const std::string& path : {kData + "/broken/version5.mesh", kData + "/nothing_here.meshb",
                                  kData + "/broken/trunc_vertices.meshb"}) {
    ZelMeshViewer viewer(pellonSurfaceFormat());
    assembleScene(&viewer, path, path);
    viewer.renderNow();
    EXPECT_TRUE(viewer.isExposed());
  }
}

TEST(SceneAssembly, CurvedBallHasACircularSilhouette) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  const std::string ball = kData + "/ho/sphere_p3_gmshorder.meshb";
  assembleScene(&viewer, ball, ball);
  viewer.displaySettings().tessellationLevel = 8;
  const QImage image = screenshotOf(viewer);
  // A ball of radius 0.5 (normalised) at distance 3 seen in a 15-degree field of view: its
  // outline is the circle of angular radius asin(1/6).
  const double radius = std::tan(std::asin(0.5 / 3.0)) / std::tan(7.5 * M_PI / 180.0) * 300.0;
  int rows = 0;
  EXPECT_LE(silhouetteDeviation(image, 400, 300, radius, 1.0, &rows), 2.0);
  EXPECT_EQ(rows, 600);
}

TEST(SceneAssembly, ParameterFileAsksForFullFramesAndTheDisplayedFieldStepsWithinTheFields) {
  const TemporaryDirectory scratch(true);
  std::ofstream("DEFAULT.zelmor") << "displayfield 99 fullframes\n";

  ZelMeshViewer viewer(pellonSurfaceFormat());
  EXPECT_TRUE(viewer.cheapFrames());
  assembleScene(&viewer, kData + "/sol/sphere_p1.meshb", kData + "/sol/sphere_p1.all.sol");
  EXPECT_FALSE(viewer.cheapFrames()) << "the parameter file asked for full frames";
  ASSERT_GE(viewer.numberOfFields(), 2);
  EXPECT_EQ(viewer.displayedField(), 1);  // 99 is beyond the fields

  viewer.changeDisplayField(-1);
  EXPECT_EQ(viewer.displayedField(), 1);
  viewer.changeDisplayField(+1);
  EXPECT_EQ(viewer.displayedField(), 2);
  for (int i = 0; i < viewer.numberOfFields() + 2; ++i) viewer.changeDisplayField(+1);
  EXPECT_EQ(viewer.displayedField(), viewer.numberOfFields());
}

// True when the pixel is a colour of the map rather than the grey of the material.
bool coloured(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 50;
}

TEST(SceneAssembly, ObjectsWithoutTheNewFieldShowTheirMaterialColour) {
  const TemporaryDirectory scratch;
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
  assembleScene(&viewer, mesh, mesh);
  ASSERT_EQ(viewer.numberOfFields(), 2);
  ZelDrawObject* quadrilateral = nullptr;
  for (ZelDrawObject* object : viewer.allObjects())
    if (object->kind() == DrawKind::Quadrilateral) quadrilateral = object;
  ASSERT_NE(quadrilateral, nullptr);
  // The quadrilateral's centre (0.5, 0) in a box of extent 2 seen from distance 3.
  const int quadX = 400 + int(0.25 * 300.0 / (3.0 * std::tan(7.5 * M_PI / 180.0))), quadY = 300;
  const int triangleX = 800 - quadX, triangleY = 320;
  EXPECT_NE(viewer.solutionOf(quadrilateral), nullptr);
  QImage image = screenshotOf(viewer);
  EXPECT_TRUE(coloured(image, quadX, quadY));

  viewer.changeDisplayField(+1);
  EXPECT_EQ(viewer.solutionOf(quadrilateral), nullptr);
  EXPECT_FALSE(viewer.bufferOf(quadrilateral)->hasPalette());
  image = screenshotOf(viewer);
  EXPECT_TRUE(isCovered(image, quadX, quadY));
  EXPECT_FALSE(coloured(image, quadX, quadY));
  EXPECT_TRUE(coloured(image, triangleX, triangleY));

  viewer.changeDisplayField(-1);
  EXPECT_NE(viewer.solutionOf(quadrilateral), nullptr);
  image = screenshotOf(viewer);
  EXPECT_TRUE(coloured(image, quadX, quadY));
}

TEST(SceneAssembly, VerticesAreUploadedWhenFirstShown) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, kData + "/ho/disk_tri_p2.mesh", kData + "/ho/disk_tri_p2.mesh");
  ZelDrawObject* points = nullptr;
  for (ZelDrawObject* object : viewer.allObjects())
    if (object->kind() == DrawKind::Vertex) points = object;
  ASSERT_NE(points, nullptr);
  EXPECT_EQ(points->entityCount(), 0);  // not uploaded while hidden
  viewer.renderNow();
  const int hidden = viewer.lastFramePrimitives();
  QTest::keyClick(&viewer, 'D');
  viewer.renderNow();
  EXPECT_EQ(points->entityCount(), 258);  // every vertex of the mesh, P2 nodes included
  EXPECT_EQ(viewer.lastFramePrimitives(), hidden + 258);
}

TEST(SceneAssembly, EveryBoundaryFaceIsShownOnce) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  const std::string ball = kData + "/meshio/sphere_o1.meshb";
  assembleScene(&viewer, ball, ball);

  // Boundary faces counted by brute force: faces of one tetrahedron only.
  char status[1024];
  int count = 0;
  zel_GetNumberOfEntities(viewer.mesh(), EntityType::Tetrahedron, &count, status);
  std::vector<int> all(static_cast<size_t>(count));
  std::iota(all.begin(), all.end(), 1);
  const int boundary =
      int(testmesh::facesMetOnce(viewer.mesh(), EntityType::Tetrahedron, all, false)[0]
              .links[0]
              .size() /
          3);

  // Shown: surface faces of the volumes, plus the mesh's own triangles that lie on them.
  int shown = 0;
  for (ZelDrawObject* object : viewer.allObjects())
    if (object->kind() == DrawKind::SrfTriangle) shown += object->entityCount();
  for (const ZelFaceMark& mark : viewer.triangleMarks(1)) shown += mark.face > 0;
  EXPECT_GT(boundary, 100);
  EXPECT_EQ(shown, boundary);
}

}  // namespace
