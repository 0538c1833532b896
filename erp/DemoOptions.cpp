#include "erp/DemoOptions.h"

#include <algorithm>
#include <cctype>

namespace quill::erp {

namespace {
std::string upper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}
}  // namespace

std::string_view demoSizeName(DemoSize size) { return size == DemoSize::Large ? "large" : "demo"; }

bool parseDemoSize(std::string_view text, DemoSize& size) {
  auto name = upper(text);
  if (name == "DEMO") {
    size = DemoSize::Demo;
    return true;
  }
  if (name == "LARGE") {
    size = DemoSize::Large;
    return true;
  }
  return false;
}

DemoScale DemoScale::of(DemoSize size) {
  if (size == DemoSize::Large) return DemoScale{100000, 20000, 1000000, 193, 8, 2025, 1};
  return DemoScale{180, 60, 1500, 0, 4, 2026, 1};
}

std::string DemoOptions::effectiveDatabaseName() const {
  if (!databaseName.empty()) return databaseName;
  auto code = upper(companyCode);
  if (code == demo::kCompanyCode) return std::string(demo::kDatabaseName);
  std::string name = "QUILL";
  for (char c : code)
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;
}

}  // namespace quill::erp
