#pragma once

#include <memory>

#include "platform/automation/MemberTable.h"

namespace quill::spreadsheet {

class Application;

// The application's open workbooks: Count, Item(index or name) (the default
// member), Add, Close (all of them, unsaved changes dropped).
class Workbooks : public DispatchObject<Workbooks> {
 public:
  explicit Workbooks(std::shared_ptr<Application> app) : app_(std::move(app)) {}

  static const MemberTable<Workbooks>& members();
  std::string className() const override { return "Workbooks"; }
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  std::shared_ptr<Application> app_;
};

}  // namespace quill::spreadsheet
