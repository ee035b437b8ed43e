// Trackball camera of a scene window: scene rotation and pan by mouse drags, the cut-plane
// equation and its own drag mode, and the frame's camera matrices.
#pragma once

#include <QMatrix4x4>
#include <QPointF>
#include <QQuaternion>
#include <QVector3D>
#include <QVector4D>
#include <functional>

class SceneCamera {
 public:
  enum Mode { SceneMode = 1, CutPlaneMode = 2 };

  // `clock` returns wall-clock milliseconds; tests may pass their own.
  explicit SceneCamera(std::function<double()> clock = {});

  // Maps a pointer position in window pixels onto the unit trackball sphere.
  QVector3D mapToSphere(QPointF position) const;

  void press(QPointF position, bool cutPlaneShown);
  // Left drag turns a 3-dimensional scene, middle drag pans; moves less than 5 ms apart are
  // ignored. Only acts while pressed.
  void move(QPointF position, Qt::MouseButtons buttons, double fieldOfView, int dimension);
  // The same gestures applied to the cut plane (camera in cut-plane mode).
  void cutPlaneMove(QPointF position, Qt::MouseButtons buttons, double fieldOfView, int dimension);
  void release(bool cutPlaneShown);
  bool isPressed() const { return m_pressed; }

  // Rotation to draw with now: the stored one while dragging, else extrapolated with the last
  // angular velocity (zero after a release, so the view stays where the drag left it).
  QQuaternion currentRotation() const;

  // Applies the pending cut-plane rotation step (the steps of every move since the last call,
  // combined) once to the plane normal and recomputes the offset through the accumulated pan
  // and `rotationCentre`, all in normalised units.
  void updateCutPlaneEquation(QVector3D rotationCentre);
  // Forgets the cut-plane drag steps (translation step, rotation step, angular velocity).
  void resetPlaneSteps();

  // Restores eye, look-at point and up vector.
  void resetEye();

  // Frame matrices: perspective(fov, aspect, 0.1, 40) x translate(0,0,-1); lookAt x
  // translate(pan) x rotation x translate(-centre); and the viewport scale.
  QMatrix4x4 projectionMatrix(float fieldOfView) const;
  QMatrix4x4 modelViewMatrix() const;
  QMatrix4x4 viewportMatrix() const;

  int mode() const { return m_mode; }
  void setMode(int mode) { m_mode = mode; }
  QQuaternion rotation() const { return m_rotation; }
  void setRotation(const QQuaternion& rotation) { m_rotation = rotation; }
  QVector3D pan() const { return m_pan; }
  void setPan(const QVector3D& pan) { m_pan = pan; }
  QVector3D axis() const { return m_axis; }
  void setAxis(const QVector3D& axis) { m_axis = axis; }
  QVector3D centre() const { return m_centre; }
  void setCentre(const QVector3D& centre) { m_centre = centre; }
  QVector4D cutPlane() const { return m_cutPlane; }
  void setCutPlane(const QVector4D& plane) { m_cutPlane = plane; }
  double angularVelocity() const { return m_angularVelocity; }
  void setAngularVelocity(double velocity) { m_angularVelocity = velocity; }
  double planeAngularVelocity() const { return m_planeAngularVelocity; }
  QQuaternion planeRotationStep() const { return m_planeRotationStep; }
  QVector3D planeTranslationStep() const { return m_planeTranslationStep; }
  QVector3D accumulatedPlaneOffset() const { return m_accumulatedPlaneOffset; }
  void setWindowSize(double width, double height);
  QVector3D eye() const { return m_eye; }

  static constexpr double kDegreesPerRadian = 57.29577951308232;

 private:
  double now() const { return m_clock(); }
  // True when the last press or move is more than 5 ms ago.
  bool guardElapsed(double* elapsedMilliseconds) const;

  std::function<double()> m_clock;
  int m_mode = SceneMode;
  QQuaternion m_rotation;
  QVector3D m_pan;
  QVector3D m_axis;
  double m_angularVelocity = 0.0;
  QVector3D m_lastPoint;
  QVector3D m_centre;
  QQuaternion m_planeRotationStep;
  QVector3D m_planeTranslationStep;
  QVector3D m_planeAxis;
  double m_planeAngularVelocity = 0.0;
  QVector3D m_planeLastPoint;
  QVector3D m_accumulatedPlaneOffset;
  QVector4D m_cutPlane{1.0f, 0.0f, 0.0f, 0.0f};
  double m_lastTime = 0.0;
  bool m_pressed = false;
  double m_width = 800.0, m_height = 600.0;
  QVector3D m_eye{0.0f, 0.0f, 2.0f}, m_lookAt{0.0f, 0.0f, 0.0f}, m_up{0.0f, 1.0f, 0.0f};
};
