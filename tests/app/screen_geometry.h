// Test helper of the image tests: where mesh points fall in an 800 x 600 window through the
// frame's own matrices, which point of a plane a pixel shows, and how far a pixel's colour is
// from the colour of a field value through the palette and its colour map.
#pragma once

#include <QColor>
#include <QMatrix4x4>
#include <QPointF>
#include <algorithm>
#include <cmath>

#include "gpu/colour_maps.h"
#include "scene/ZelDrawPalette.h"
#include "window/ZelSceneWindow.h"

// From mesh units to normalised device coordinates.
inline QMatrix4x4 meshToDevice(ZelSceneWindow& window) {
  QMatrix4x4 m = window.camera().projectionMatrix(float(window.fieldOfView())) *
                 window.camera().modelViewMatrix();
  m.scale(float(window.sceneScale()));
  const double* centre = window.sceneCentre();
  m.translate(-float(centre[0]), -float(centre[1]), -float(centre[2]));
  return m;
}

inline QPointF pixelOf(const QMatrix4x4& meshToDevice, double x, double y, double z) {
  const QVector3D d = meshToDevice.map(QVector3D(float(x), float(y), float(z)));
  return {(d.x() + 1) * 400.0, (1 - d.y()) * 300.0};
}

// (x, y) of the point at height z that the centre of pixel (px, py) shows; `deviceToMesh` is the
// inverse of meshToDevice.
inline QPointF meshPointOf(const QMatrix4x4& deviceToMesh, int px, int py, double z) {
  const float x = float((px + 0.5) / 400 - 1), y = float(1 - (py + 0.5) / 300);
  const QVector3D a = deviceToMesh.map({x, y, -1}), b = deviceToMesh.map({x, y, 1});
  const QVector3D hit = a + float((z - a.z()) / (b.z() - a.z())) * (b - a);
  return {hit.x(), hit.y()};
}

// Largest channel difference (0 to 1) between a pixel and the colour of `value`.
inline double colourError(const QColor& c, const ZelDrawPalette* palette, double value) {
  const zel::Rgb e =
      zel::colourMapAt(palette->colourMap(), zel::palettePosition(palette->values(), value));
  return std::max(
      {std::abs(c.redF() - e[0]), std::abs(c.greenF() - e[1]), std::abs(c.blueF() - e[2])});
}
