// Picking through real Qt mouse events on meshes read from files: reports, highlights, hiding,
// re-centring and multi-picking.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <numeric>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "scene/ZelDrawObject.h"
#include "tests/capping/faces_met_once.h"
#include "tests/support/disc_mesh.h"
#include "tests/support/expose_counter.h"
#include "tests/support/screenshot.h"

namespace {

// Writes `m` in `dimension` with its elements under `keyword` to `name` in the temporary folder.
std::string writeMeshFile(const CurvedMesh& m, int dimension, const char* keyword,
                          const std::string& name) {
  const std::string path = QDir::temp().filePath(QString::fromStdString(name)).toStdString();
  std::ofstream out(path);
  out.precision(17);
  out << "MeshVersionFormatted 2\nDimension " << dimension << "\nVertices\n"
      << m.vertexCount << "\n";
  for (int v = 1; v <= m.vertexCount; ++v) {
    for (int axis = 0; axis < dimension; ++axis) out << m.coords[3 * v + axis] << " ";
    out << "0\n";
  }
  out << keyword << "\n" << m.elementCount << "\n";
  for (int e = 1; e <= m.elementCount; ++e) {
    for (int i = 0; i < m.nodesPerElement; ++i) out << m.nodes[e * m.nodesPerElement + i] << " ";
    out << m.refs[e] << "\n";
  }
  out << "End\n";
  return path;
}

// The unit cube of n^3 cells, six tetrahedra each: from the cell's first corner one unit step
// along each axis, in each of the six orders. Reference 1.
CurvedMesh kuhnCube(int n) {
  CurvedMesh m;
  const int side = n + 1, steps[3] = {1, side, side * side};
  m.vertexCount = side * side * side;
  m.elementCount = 6 * n * n * n;
  m.nodesPerElement = 4;
  m.coords.assign(3, 0.0);
  for (int v = 0; v < m.vertexCount; ++v)
    for (int axis = 0, rest = v; axis < 3; ++axis, rest /= side)
      m.coords.push_back(double(rest % side) / n);
  m.nodes.assign(4, 0);
  m.refs.assign(size_t(m.elementCount) + 1, 1);
  for (int cell = 0; cell < n * n * n; ++cell) {
    int order[3] = {0, 1, 2}, v;
    do {
      m.nodes.push_back(v = 1 + cell % n + side * (cell / n % n + side * (cell / n / n)));
      for (const int axis : order) m.nodes.push_back(v += steps[axis]);
    } while (std::next_permutation(order, order + 3));
  }
  return m;
}

// What the viewer writes on std::cout while it lives.
struct CoutCapture {
  std::ostringstream text;
  std::streambuf* const old = std::cout.rdbuf(text.rdbuf());
  ~CoutCapture() { std::cout.rdbuf(old); }
  std::string take() {
    const std::string taken = text.str();
    text.str("");
    return taken;
  }
};

// The report of a picked element; faces of volumes name their element without " picked".
std::string expectedReport(const CurvedMesh& m, const char* kindName, int element,
                           const char* picked = " picked") {
  std::ostringstream out;
  out << kindName << "number " << element << picked << "\nwhose vertices are [";
  for (int i = 0; i < m.nodesPerElement; ++i)
    out << (i ? ", " : "") << m.nodes[size_t(element) * m.nodesPerElement + i];
  out << "]\nReference " << m.refs[size_t(element)] << "\n";
  return out.str();
}

// P2 triangle e at its parametric centre: -1/9 of each vertex and 4/9 of each edge node.
std::array<double, 3> elementCentre(const CurvedMesh& m, int e) {
  std::array<double, 3> centre = {0, 0, 0};
  for (int i = 0; i < 6; ++i)
    for (int axis = 0; axis < 3; ++axis)
      centre[axis] +=
          (i < 3 ? -1.0 / 9 : 4.0 / 9) * m.coords[3 * m.nodes[size_t(e) * 6 + i] + axis];
  return centre;
}

std::unique_ptr<ZelMeshViewer> openViewer(const std::string& path) {
  auto viewer = std::make_unique<ZelMeshViewer>(pellonSurfaceFormat());
  assembleScene(viewer.get(), path, path);
  return viewer;
}

void settle() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

QPoint windowPoint(ZelSceneWindow& window, const double point[3]) {
  const QVector3D at = window.windowPosition(point);
  return QPoint(int(std::lround(at.x())), int(std::lround(at.y())));
}
void shiftClick(ZelSceneWindow& window, QPoint at) {
  QTest::mouseClick(&window, Qt::LeftButton, Qt::ShiftModifier, at);
}

// The cube seen straight along z: each boundary face on the side towards the eye names its
// tetrahedron and local face.
TEST(PickedElementReports, BoundaryFacesNameTheirTetrahedronAndFace) {
  const CurvedMesh m = kuhnCube(4);
  const std::string path = writeMeshFile(m, 3, "Tetrahedra", "zel_picking_cube.mesh");
  auto viewer = openViewer(path);
  viewer->camera().setRotation(QQuaternion());
  for (int press = 0; press < 4; ++press) QTest::keyClick(viewer.get(), 'Z');  // all in view
  viewer->renderNow();
  std::vector<int> all(size_t(m.elementCount));
  std::iota(all.begin(), all.end(), 1);
  const testmesh::FaceList faces =
      testmesh::facesMetOnce(viewer->mesh(), EntityType::Tetrahedron, all, false)[0];
  const QVector4D eye = viewer->camera().modelViewMatrix().inverted() * QVector4D(0, 0, 1, 1);
  CoutCapture capture;
  int checked = 0;
  for (size_t k = 0; 3 * k < faces.links[0].size(); ++k) {
    double centre[3] = {0, 0, 0};
    for (int i = 0; i < 9; ++i)
      centre[i % 3] += m.coords[3 * faces.nodes[0][3 * k + i / 3] + i % 3] / 3;
    if (std::abs(centre[2] - (eye.z() > 0 ? 1 : 0)) > 1e-9) continue;  // all corners on that side
    ++checked;
    shiftClick(*viewer, windowPoint(*viewer, centre));
    EXPECT_EQ(capture.take(), "Picking of face " + std::to_string(faces.links[0][3 * k + 2]) +
                                  " of the following volume element: \n" +
                                  expectedReport(m, "Tetrahedron ", faces.links[0][3 * k + 1], ""));
  }
  EXPECT_EQ(checked, 32);
  std::remove(path.c_str());
}

// A P2 disc of 4 x 4 cells at the default view, for the gestures around a pick.
class PickingGestures : public testing::Test {
 protected:
  void SetUp() override {
    path = writeMeshFile(m, 2, "TrianglesP2", "zel_picking_small.mesh");
    viewer = openViewer(path);
    viewer->renderNow();
    QObject::connect(viewer.get(), &ZelSceneWindow::pickingDone,
                     [this](ZelDrawObject*) { ++picks; });
  }
  void TearDown() override {
    std::remove(path.c_str());
    std::remove(solution().c_str());
  }
  std::string solution() const { return path.substr(0, path.size() - 4) + "sol"; }
  QPoint centreOf(int e) { return windowPoint(*viewer, elementCentre(m, e).data()); }
  QColor pixelAt(QPoint at) { return screenshotOf(*viewer).pixelColor(at); }
  // What a Shift-click, or a double-click, at `at` prints.
  std::string pick(QPoint at, bool doubleClick = false) {
    capture.take();
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, {});
    if (doubleClick)
      QCoreApplication::sendEvent(viewer.get(), &twice);
    else
      shiftClick(*viewer, at);
    return capture.take();
  }

  const CurvedMesh m = makeDiscMesh(EntityType::Triangle, 2, 4);
  std::string path;
  std::unique_ptr<ZelMeshViewer> viewer;
  int picks = 0;
  CoutCapture capture;
};

TEST_F(PickingGestures, PicksHighlightInCyanAndABackgroundClickClearsThem) {
  const QPoint at = centreOf(11);
  shiftClick(*viewer, at);
  ASSERT_EQ(picks, 1);
  ASSERT_EQ(viewer->pickedObjects().size(), 1u);
  ZelDrawObject* object = viewer->pickedObjects().back();
  ASSERT_EQ(object->highlightList().size(), 1u);
  EXPECT_EQ(object->highlightList().front(), object->lastPick()[2]);
  EXPECT_EQ(pixelAt(at), QColor(0, 255, 255));
  // The corner is background: no pick, no signal, no highlight left.
  shiftClick(*viewer, QPoint(1, 1));
  EXPECT_EQ(picks, 1);
  EXPECT_TRUE(object->highlightList().empty());
  EXPECT_NE(pixelAt(at), QColor(0, 255, 255));
  // Highlight-objects mode tints the whole object on one pick and untints it on the next (12).
  viewer->setHighlightObjects(true);
  shiftClick(*viewer, at);
  EXPECT_TRUE(object->highlightAll());
  shiftClick(*viewer, centreOf(12));
  EXPECT_EQ(picks, 3);
  EXPECT_EQ(viewer->pickedObjects().back(), object);
  EXPECT_FALSE(object->highlightAll());
}

// Between the chord and the arc of a boundary edge, where only the curved element is drawn.
TEST_F(PickingGestures, CurvedBoundaryIsPickedWhereItIsDrawn) {
  viewer->displaySettings().tessellationLevel = 8;
  viewer->renderNow();
  const auto onCircle = [this](int v) {
    return std::abs(std::hypot(m.coords[3 * v], m.coords[3 * v + 1]) - 1.0) < 1e-9;
  };
  const int edges[3][3] = {{0, 1, 3}, {1, 2, 4}, {2, 0, 5}};  // ends and mid-edge node
  int tried = 0;
  for (int e = 1; e <= m.elementCount; ++e)
    for (const auto& edge : edges) {
      const int* nodes = &m.nodes[size_t(e) * 6];
      if (!onCircle(nodes[edge[0]]) || !onCircle(nodes[edge[1]]) || !onCircle(nodes[edge[2]]))
        continue;
      // 60 % of the way from the chord's midpoint to the arc's.
      double target[3] = {0, 0, 0};
      for (int axis = 0; axis < 2; ++axis) {
        const auto c = [&](int i) { return m.coords[3 * nodes[edge[i]] + axis]; };
        target[axis] = 0.5 * (c(0) + c(1)) + 0.6 * (c(2) - 0.5 * (c(0) + c(1)));
      }
      const QPoint at = windowPoint(*viewer, target);
      if (!QRect(5, 5, 790, 590).contains(at)) continue;
      ++tried;
      EXPECT_EQ(pick(at), expectedReport(m, "TriangleP2 ", e)) << "element " << e;
    }
  EXPECT_GE(tried, 4);
}

// The field x at the nodes is, inside each element, its own x map: the value at the picked
// point is the x under the pointer, curved elements included.
TEST_F(PickingGestures, ValueUnderThePointerIsTheExactFieldThere) {
  std::ofstream out(solution());
  out.precision(17);
  out << "MeshVersionFormatted 2\nDimension 2\nSolAtVertices\n" << m.vertexCount << "\n1 1\n";
  for (int v = 1; v <= m.vertexCount; ++v) out << m.coords[3 * v] << "\n";
  out << "End\n";
  out.close();
  viewer = openViewer(path);
  viewer->renderNow();
  // Window x of the plane z = 0 is affine in mesh x in this view.
  const double origin[3] = {0, 0, 0}, unit[3] = {1, 0, 0}, x0 = viewer->windowPosition(origin).x();
  const double perUnit = viewer->windowPosition(unit).x() - x0;
  for (int e : {9, 11, 12, 13, 20, 21}) {
    // A point off the element's centre: a third of the way to its first vertex.
    std::array<double, 3> target = elementCentre(m, e);
    for (int axis = 0; axis < 2; ++axis)
      target[size_t(axis)] += (m.coords[3 * m.nodes[size_t(e) * 6] + axis] - target[axis]) / 3;
    const QPoint at = windowPoint(*viewer, target.data());
    const std::string text = pick(at);
    ASSERT_NE(text.find("Solution field 1 at the picked point ("), std::string::npos) << text;
    const double value = std::stod(text.substr(text.rfind("): ") + 3));
    EXPECT_NEAR(value, (at.x() - x0) / perUnit, 1e-4) << "element " << e;
  }
}

TEST_F(PickingGestures, HiddenObjectsCannotBePicked) {
  const QPoint at = centreOf(13);
  shiftClick(*viewer, at);
  ZelDrawObject* object = viewer->pickedObjects().back();
  QTest::keyClick(viewer.get(), 's');
  EXPECT_FALSE(object->visible());
  EXPECT_TRUE(viewer->pickedObjects().empty());
  EXPECT_EQ(viewer->hiddenObjects(), std::vector<ZelDrawObject*>{object});
  settle();
  EXPECT_EQ(pick(at), "");  // background now
  EXPECT_EQ(picks, 1);
  // The objects drawn after it take its ids: they still name their own elements, picked by
  // double-clicks too.
  for (int e : {20, 21, 30, 31})
    EXPECT_EQ(pick(centreOf(e), e % 2), expectedReport(m, "TriangleP2 ", e)) << "element " << e;
  QTest::keyClick(viewer.get(), 'S');
  EXPECT_TRUE(object->visible());
  settle();
  shiftClick(*viewer, at);
  EXPECT_EQ(picks, 6);
}

TEST_F(PickingGestures, CentringOnThePickedPointHappensOncePerElement) {
  // A panned view: the pointer is taken back through the view it was picked in.
  viewer->camera().setPan(QVector3D(0.1f, 0.0f, 0.0f));
  viewer->renderNow();
  ExposeCounter exposes;
  viewer->installEventFilter(&exposes);
  const auto requested = [&] { return viewer->frameCount() - exposes.count; };
  for (int e : {11, 21}) {
    shiftClick(*viewer, centreOf(e));
    // The pick's own redraw drawn: no frame for 200 ms.
    QElapsedTimer quiet;
    quiet.start();
    for (long seen = viewer->frameCount(); quiet.elapsed() < 200;) {
      settle();
      if (viewer->frameCount() != seen) seen = viewer->frameCount(), quiet.restart();
    }
    const long frames = requested();
    QTest::keyClick(viewer.get(), 'V');
    EXPECT_EQ(requested(), frames + 1);
    EXPECT_EQ(viewer->camera().pan(), QVector3D());
    // The point under the pointer, within the pixel it was rounded to (380 pixels a unit).
    for (int axis = 0; axis < 2; ++axis)
      EXPECT_NEAR(viewer->rotationCentre()[axis], elementCentre(m, e)[size_t(axis)], 0.004);
    // Centred once: a second press does nothing.
    QTest::keyClick(viewer.get(), 'V');
    EXPECT_EQ(requested(), frames + 1);
  }
}

TEST_F(PickingGestures, MultiPickingCollectsPicksUntilReturn) {
  // Element 11 lies in the lower half (reference 1), element 21 in the upper right (3).
  QTimer::singleShot(0, [this] {
    shiftClick(*viewer, centreOf(11));
    shiftClick(*viewer, centreOf(21));
    QTest::keyClick(viewer.get(), Qt::Key_Return);
  });
  const QList<ZelDrawObject*> picked = viewer->multiPickingRequest(QVariantMap{{"kind", 1}});
  ASSERT_EQ(picked.size(), 2);
  EXPECT_EQ(picked[0]->reference(), 1);
  EXPECT_EQ(picked[1]->reference(), 3);
  EXPECT_FALSE(viewer->multiPickingActive());
  EXPECT_NE(capture.take().find("  End of picking demand \n"), std::string::npos);
  picked[0]->setHighlightAll(true);
  EXPECT_EQ(viewer->multiPickingReturnList(), (QList<int>{1, 3}));
  EXPECT_FALSE(picked[0]->highlightAll());
}

}  // namespace
