// Trackball camera: sphere mapping, drag guard, rotation and pan rules, cut-plane gestures and
// the frame matrices.
#include <gtest/gtest.h>

#include <cmath>

#include "window/SceneCamera.h"

namespace {

// Pan scale of a 15-degree field of view, and the sphere point of a drag from the window's
// centre to half way to its right edge (u = 0.5).
const float kPanScale = float(std::tan(M_PI * 0.9 * 15.0 / 180.0));
const QVector3D kHalfRight(0.5f, 0, std::sqrt(0.75f));

// A camera over an 800 x 600 window whose clock the test moves by hand.
class SceneCameraTest : public testing::Test {
 protected:
  void SetUp() override { camera.setWindowSize(800.0, 600.0); }
  // A move to `to` with `button` 10 ms after the last event.
  void moveTo(QPointF to, Qt::MouseButton button, int dimension = 3) {
    milliseconds += 10.0;
    if (camera.mode() == SceneCamera::CutPlaneMode)
      camera.cutPlaneMove(to, button, 15.0, dimension);
    else
      camera.move(to, button, 15.0, dimension);
  }
  // A press at the centre, then a move to `to`.
  void dragFromCentre(QPointF to, Qt::MouseButton button, int dimension = 3) {
    camera.press(QPointF(400, 300), camera.mode() == SceneCamera::CutPlaneMode);
    moveTo(to, button, dimension);
  }
  bool turned() { return !qFuzzyCompare(camera.rotation(), QQuaternion()); }
  double milliseconds = 1000.0;
  SceneCamera camera{[this] { return milliseconds; }};
};

void expectNear(const QVector3D& actual, const QVector3D& expected, float tolerance = 1e-5f) {
  EXPECT_LT((actual - expected).length(), tolerance)
      << actual.x() << " " << actual.y() << " " << actual.z();
}

void expectTurn(const QQuaternion& turn, const QVector3D& axis, double degrees) {
  QVector3D turnAxis;
  float angle;
  turn.getAxisAndAngle(&turnAxis, &angle);
  expectNear(turnAxis, axis);
  EXPECT_NEAR(angle, degrees, 1e-3);
}

TEST_F(SceneCameraTest, MapsTheWindowOntoTheUnitSphere) {
  expectNear(camera.mapToSphere(QPointF(400, 300)), QVector3D(0, 0, 1));
  expectNear(camera.mapToSphere(QPointF(600, 300)), kHalfRight);
  // Outside the unit disc the point is normalised onto the equator; window y grows
  // downwards, sphere v upwards.
  expectNear(camera.mapToSphere(QPointF(800, 0)), QVector3D(1, 1, 0).normalized());
  EXPECT_GT(camera.mapToSphere(QPointF(400, 100)).y(), 0.0f);
}

TEST_F(SceneCameraTest, LeftDragTurnsAThreeDimensionalSceneAboutTheScreenAxis) {
  // Moves closer than 5 ms after the last are ignored.
  camera.press(QPointF(400, 300), false);
  milliseconds += 5.0;
  camera.move(QPointF(600, 300), Qt::LeftButton, 15.0, 3);
  EXPECT_FALSE(turned());
  moveTo(QPointF(600, 300), Qt::LeftButton);
  // From (0,0,1) to (0.5,0,0.866): a turn about +y by asin(0.5) = 30 degrees, in 15 ms.
  expectTurn(camera.rotation(), QVector3D(0, 1, 0), 0.5 * SceneCamera::kDegreesPerRadian);
  EXPECT_NEAR(camera.angularVelocity(), 0.5 * SceneCamera::kDegreesPerRadian / 15.0, 1e-3);
  // Released: the velocity is zeroed and the view stays where the drag left it.
  camera.release(false);
  EXPECT_EQ(camera.angularVelocity(), 0.0);
  milliseconds += 500.0;
  EXPECT_TRUE(qFuzzyCompare(camera.currentRotation(), camera.rotation()));
}

TEST_F(SceneCameraTest, TwoDimensionalScenesDoNotTurnButStillPan) {
  dragFromCentre(QPointF(600, 300), Qt::LeftButton, 2);
  EXPECT_FALSE(turned());
  EXPECT_EQ(camera.pan(), QVector3D());
  moveTo(QPointF(600, 150), Qt::MiddleButton, 2);  // up and right: both signs
  expectNear(camera.pan(), QVector3D(0.5f, 0.5f, std::sqrt(0.5f) - 1.0f) * 2 * kPanScale);
  // The right button does nothing; nor does a move without a press.
  const QVector3D pan = camera.pan();
  moveTo(QPointF(100, 100), Qt::RightButton);
  camera.release(false);
  moveTo(QPointF(300, 300), Qt::MiddleButton);
  EXPECT_EQ(camera.pan(), pan);
}

TEST_F(SceneCameraTest, CutPlaneDragTurnsThePlaneOnceInTheSceneFrame) {
  camera.setMode(SceneCamera::CutPlaneMode);
  // Scene turned 90 degrees about z: screen axes differ from scene axes.
  const QQuaternion scene = QQuaternion::fromAxisAndAngle(0, 0, 1, 90);
  camera.setRotation(scene);
  camera.setCutPlane(QVector4D(0, 1, 0, 0));
  dragFromCentre(QPointF(600, 300), Qt::LeftButton);
  // The scene rotation is untouched; the plane turns about the screen's -y axis, expressed in
  // the scene frame through the inverse scene rotation (the scene's -x axis).
  EXPECT_TRUE(qFuzzyCompare(camera.rotation(), scene));
  expectTurn(camera.planeRotationStep(), scene.inverted().rotatedVector(QVector3D(0, -1, 0)),
             (kHalfRight - QVector3D(0, 0, 1)).length() * SceneCamera::kDegreesPerRadian);
  const QVector3D centre(0.25f, 0, 0);
  camera.updateCutPlaneEquation(centre);
  const QVector4D once = camera.cutPlane();
  EXPECT_NEAR(once.toVector3D().length(), 1.0f, 1e-5f);
  EXPECT_GT(std::fabs(once.z()), 0.1f);  // the normal left the y axis
  EXPECT_NEAR(once.w(), QVector3D::dotProduct(centre, once.toVector3D()), 1e-6f);
  // Later frames do not turn it again.
  camera.updateCutPlaneEquation(centre);
  EXPECT_TRUE(qFuzzyCompare(camera.cutPlane(), once));
}

// Two drag steps that arrive before one frame turn the plane by both, as two frames would; a
// middle drag moves the plane along by an offset that outlives the frame's steps.
TEST_F(SceneCameraTest, CutPlaneStepsBeforeOneFrameAddUp) {
  camera.setMode(SceneCamera::CutPlaneMode);
  auto turned = [this](bool frameBetween) {
    camera.setCutPlane(QVector4D(1, 0, 0, 0));
    dragFromCentre(QPointF(500, 300), Qt::LeftButton);
    if (frameBetween) camera.updateCutPlaneEquation(QVector3D());
    moveTo(QPointF(500, 200), Qt::LeftButton);
    camera.updateCutPlaneEquation(QVector3D());
    return camera.cutPlane();
  };
  const QVector4D combined = turned(false), stepped = turned(true);
  expectNear(combined.toVector3D(), stepped.toVector3D());
  EXPECT_GT(std::fabs(combined.z()), 0.05f);  // both turns show: about y, then about x
  EXPECT_GT(std::fabs(combined.y()), 0.05f);

  camera.setCutPlane(QVector4D(1, 0, 0, 0));
  dragFromCentre(QPointF(600, 300), Qt::MiddleButton);
  // Identity scene rotation scaled by s in the sandwich product: the step is d * s^2.
  const float s = 10 * kPanScale;
  const QVector3D step = (kHalfRight - QVector3D(0, 0, 1)) * s * s;
  expectNear(camera.planeTranslationStep(), step, 1e-4f);
  expectNear(camera.accumulatedPlaneOffset(), step, 1e-4f);
  camera.updateCutPlaneEquation(QVector3D());
  EXPECT_NEAR(camera.cutPlane().w(), step.x(), 1e-4f);
  camera.resetPlaneSteps();
  EXPECT_EQ(camera.planeTranslationStep(), QVector3D());
  expectNear(camera.accumulatedPlaneOffset(), step, 1e-4f);
}

TEST_F(SceneCameraTest, MatricesPlaceTheCentreInFrontOfTheEye) {
  const QVector3D centre(0.2f, -0.1f, 0.3f), pan(0.05f, 0.02f, 0.0f);
  camera.setCentre(centre);
  camera.setPan(pan);
  const QMatrix4x4 mvp = camera.projectionMatrix(15.0f) * camera.modelViewMatrix();
  // The rotation centre, panned, lands at the pan offset on screen.
  const QVector3D onScreen = mvp.map(centre), panned = mvp.map(centre - pan);
  EXPECT_TRUE(onScreen.x() > 0 && onScreen.y() > 0);
  EXPECT_LT(std::hypot(panned.x(), panned.y()), 1e-5f);
  // Vertical field of view of 15 degrees at distance 3 (eye at 2, scene pushed back by 1).
  const QVector3D top = camera.projectionMatrix(15.0f).map(
      QVector3D(0, float(3.0 * std::tan(7.5 * M_PI / 180.0)), -2.0f));
  EXPECT_NEAR(top.y(), 1.0f, 1e-4f);
  expectNear(camera.viewportMatrix().map(QVector3D(1, 1, 0.5f)), QVector3D(400, 300, 0.5f));
}

}  // namespace
