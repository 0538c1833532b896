#pragma once

#include <filesystem>

#include "host/CompanyChoice.h"

namespace quill::host {

// The demo company the host opens with --demo: an ERP installation in the
// demo folder holding the demo company and its user.
class DemoSetup {
 public:
  // $QUILL_DEMO_DIR when set, else "demo" beside the program's folder
  // (build/demo for build/bin/quillhost).
  static std::filesystem::path defaultFolder();

  // Creates the demo installation and company in `folder`, or reuses them
  // when this generator made them already; answers how to open it. Raises
  // an AutomationError when the company cannot be made.
  static CompanyChoice ensure(const std::filesystem::path& folder);

  // The demo's allowance settings and login, for a company of the demo
  // installation opened without them.
  static void fillDemoDefaults(CompanyChoice& choice);
};

}  // namespace quill::host
