// Trackball rotation, pan, cut-plane gestures and camera matrices.
#include "window/SceneCamera.h"

#include <chrono>
#include <cmath>

namespace {

double steadyMilliseconds() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Inverse of a quaternion: conjugate over the squared norm; zero when the norm vanishes.
QQuaternion inverseOf(const QQuaternion& q) {
  const float norm2 = q.lengthSquared();
  if (norm2 <= 1e-12f) return QQuaternion(0.0f, 0.0f, 0.0f, 0.0f);
  return q.conjugated() / norm2;
}

// Pan scale of a drag: the visible height at unit distance, up to a factor.
double panScale(double factor, double fieldOfView) {
  return factor * std::tan(M_PI * (0.9 * fieldOfView) / 180.0);
}

}  // namespace

SceneCamera::SceneCamera(std::function<double()> clock)
    : m_clock(clock ? std::move(clock) : steadyMilliseconds) {
  m_lastTime = now();
}

QVector3D SceneCamera::mapToSphere(QPointF position) const {
  QVector3D p(float(2.0 * position.x() / m_width - 1.0), float(1.0 - 2.0 * position.y() / m_height),
              0.0f);
  const float length2 = p.lengthSquared();
  if (length2 >= 1.0f) {
    p.normalize();
  } else {
    p.setZ(std::sqrt(1.0f - length2));
  }
  return p;
}

void SceneCamera::press(QPointF position, bool cutPlaneShown) {
  if (m_mode == CutPlaneMode && cutPlaneShown) {
    m_lastTime = now();
    m_planeLastPoint = mapToSphere(position);
    m_planeAngularVelocity = 0.0;
  } else {
    // Freeze the rotation where it is now before a new drag starts from it.
    m_rotation = currentRotation();
    m_lastTime = now();
    m_lastPoint = mapToSphere(position);
    m_angularVelocity = 0.0;
  }
  m_pressed = true;
}

bool SceneCamera::guardElapsed(double* elapsedMilliseconds) const {
  *elapsedMilliseconds = now() - m_lastTime;
  return *elapsedMilliseconds > 5.0;
}

void SceneCamera::move(QPointF position, Qt::MouseButtons buttons, double fieldOfView,
                       int dimension) {
  double elapsed = 0.0;
  if (!m_pressed || !guardElapsed(&elapsed)) return;
  const QVector3D p = mapToSphere(position);
  if ((buttons & Qt::LeftButton) && dimension == 3) {
    QVector3D axis = QVector3D::crossProduct(m_lastPoint, p);
    const double angle = axis.length() * kDegreesPerRadian;
    m_angularVelocity = angle / elapsed;
    m_axis = axis.normalized();
    m_rotation = QQuaternion::fromAxisAndAngle(m_axis, float(angle)) * m_rotation;
    m_lastPoint = p;
  } else if (buttons & Qt::MiddleButton) {
    m_pan += (p - m_lastPoint) * float(panScale(2.0, fieldOfView));
    m_angularVelocity = 0.0;
    m_lastPoint = p;
  }
  m_lastTime = now();
}

void SceneCamera::cutPlaneMove(QPointF position, Qt::MouseButtons buttons, double fieldOfView,
                               int dimension) {
  double elapsed = 0.0;
  if (!m_pressed || !guardElapsed(&elapsed)) return;
  const QVector3D p = mapToSphere(position);
  const QQuaternion inverse = inverseOf(m_rotation);
  if ((buttons & Qt::LeftButton) && dimension == 3) {
    QVector3D axis = QVector3D::crossProduct(p, m_planeLastPoint);
    const double angle = (p - m_planeLastPoint).length() * kDegreesPerRadian;
    m_planeAngularVelocity = angle / elapsed;
    // The drag axis is in screen space; the plane lives in the scene's frame.
    m_planeAxis = inverse.rotatedVector(axis.normalized());
    m_planeTranslationStep = QVector3D();
    // Steps that arrive before the frame applies them add up: none is lost.
    m_planeRotationStep =
        QQuaternion::fromAxisAndAngle(m_planeAxis, float(angle)) * m_planeRotationStep;
    m_planeLastPoint = p;
  } else if (buttons & Qt::MiddleButton) {
    const float s = float(panScale(10.0, fieldOfView));
    const QVector3D d = p - m_planeLastPoint;
    const QQuaternion scaled(inverse.scalar() * s, inverse.vector() * s);
    // Sandwich product q d q*, which scales the result by s^2.
    const QQuaternion moved = scaled * QQuaternion(0.0f, d) * scaled.conjugated();
    m_planeTranslationStep += moved.vector();
    m_accumulatedPlaneOffset += moved.vector();
    m_planeRotationStep = QQuaternion();
    m_planeAngularVelocity = 0.0;
    m_planeLastPoint = p;
  }
  m_lastTime = now();
}

void SceneCamera::release(bool cutPlaneShown) {
  m_pressed = false;
  if (m_mode == CutPlaneMode && cutPlaneShown) {
    m_planeAngularVelocity = 0.0;
  } else {
    m_angularVelocity = 0.0;
  }
}

QQuaternion SceneCamera::currentRotation() const {
  if (m_pressed || m_angularVelocity == 0.0) return m_rotation;
  const double angle = m_angularVelocity * (now() - m_lastTime);
  return QQuaternion::fromAxisAndAngle(m_axis, float(angle)) * m_rotation;
}

void SceneCamera::updateCutPlaneEquation(QVector3D rotationCentre) {
  QVector3D normal = m_cutPlane.toVector3D();
  // Each accepted drag step turns the plane once; redraws must not turn it again.
  normal = m_planeRotationStep.rotatedVector(normal);
  m_planeRotationStep = QQuaternion();
  const float d = QVector3D::dotProduct(m_accumulatedPlaneOffset + rotationCentre, normal);
  m_cutPlane = QVector4D(normal, d);
}

void SceneCamera::resetPlaneSteps() {
  m_planeTranslationStep = QVector3D();
  m_planeRotationStep = QQuaternion();
  m_planeAngularVelocity = 0.0;
}

void SceneCamera::resetEye() {
  m_eye = QVector3D(0.0f, 0.0f, 2.0f);
  m_lookAt = QVector3D(0.0f, 0.0f, 0.0f);
  m_up = QVector3D(0.0f, 1.0f, 0.0f);
}

void SceneCamera::setWindowSize(double width, double height) {
  m_width = width > 0.0 ? width : 1.0;
  m_height = height > 0.0 ? height : 1.0;
}

QMatrix4x4 SceneCamera::projectionMatrix(float fieldOfView) const {
  QMatrix4x4 projection;
  projection.perspective(fieldOfView, float(m_width / m_height), 0.1f, 40.0f);
  projection.translate(0.0f, 0.0f, -1.0f);
  return projection;
}

QMatrix4x4 SceneCamera::modelViewMatrix() const {
  QMatrix4x4 modelView;
  modelView.lookAt(m_eye, m_lookAt, m_up);
  modelView.translate(m_pan.x(), m_pan.y(), 0.0f);
  modelView.rotate(currentRotation());
  modelView.translate(-m_centre);
  return modelView;
}

QMatrix4x4 SceneCamera::viewportMatrix() const {
  QMatrix4x4 viewport;
  viewport.scale(float(m_width / 2.0), float(m_height / 2.0), 1.0f);
  return viewport;
}
