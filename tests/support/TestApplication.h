#pragma once

#include <QApplication>

namespace quill::testing {

// The one QApplication of a test program, made on first use (tests run with
// QT_QPA_PLATFORM=offscreen). It is never destroyed: at exit, Qt's own
// statics (the input devices a simulated click makes) may already be gone.
inline QApplication& testApplication() {
  static int argc = 1;
  static char name[] = "quill-test";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

}  // namespace quill::testing
