// Counts the expose events a shown window receives. The X server sends them at its own pace (late
// on a loaded machine, and whenever another window passes over), and each draws a frame: tests
// that count a window's frames leave these out.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWindow>

class ExposeCounter : public QObject {
 public:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(target)->isExposed()) ++count;
    return false;
  }
  long count = 0;
};
