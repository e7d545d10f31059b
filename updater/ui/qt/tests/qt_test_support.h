// What the dialog program's test executables share: waiting for the event loop to bring a
// condition about, saving what a window shows for people to see, and the main function that
// runs the tests on Qt's offscreen platform unless another is asked for.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTest>
#include <QWidget>
#include <functional>

namespace quillmar::ui::testing {

// Processes events until `done` holds; false after `timeoutMs`.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired())
      return false;
    QTest::qWait(5);
  }
  return true;
}

// Saves what `widget` shows as <build>/tests/ui-renders/<name>.png.
inline void render(QWidget& widget, const QString& name) {
  const QDir dir(QStringLiteral(QUILLMAR_RENDER_DIR));
  dir.mkpath(QStringLiteral("."));
  widget.grab().save(dir.filePath(name + QStringLiteral(".png")));
}

// The tests' main function.
inline int runTests(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace quillmar::ui::testing
