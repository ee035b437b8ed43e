// A window's next frame as an image, taken through the window's own screenshot path.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

// Has `window` write its next frame to a PNG file of this process in the temporary folder and
// reads it back; with ZEL_KEEP_IMAGES set, a copy named "zel_<keep>.png" stays there.
template <typename Window>
QImage screenshotOf(Window& window, const QString& keep = QString()) {
  const QString path = QDir::temp().filePath(
      QString("zel_screenshot_%1.png").arg(QCoreApplication::applicationPid()));
  window.requestScreenshot(path.toStdString());
  QImage image(path);
  QFile::remove(path);
  if (!keep.isEmpty() && qEnvironmentVariableIsSet("ZEL_KEEP_IMAGES"))
    image.save(QDir::temp().filePath("zel_" + keep + ".png"));
  return image;
}
