#pragma once

#include <QApplication>

namespace quill::testing {

// The one QApplication of a test program, made on first use (tests run with
// QT_QPA_PLATFORM=offscreen).
inline QApplication& testApplication() {
  static int argc = 1;
  static char name[] = "quill-test";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  return application;
}

}  // namespace quill::testing
