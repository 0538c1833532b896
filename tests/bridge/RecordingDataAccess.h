#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace quill::bridgetest {

// Stands between the bridge and the test's real data-access object: every
// call is passed on unchanged, and the statements are kept so that a test
// sees what the bridge asked, and in which process it ran.
class RecordingDataAccess : public Dispatch {
 public:
  explicit RecordingDataAccess(DispatchPtr target) : target_(std::move(target)) {}

  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;
  std::string className() const override { return "DataAccess"; }

  // "OpenRecordset: <sql>" or "Execute: <sql>", in the order received.
  const std::vector<std::string>& calls() const { return calls_; }
  void clear() { calls_.clear(); }
  // Runs before each call is passed on.
  void beforeEachCall(std::function<void()> hook) { hook_ = std::move(hook); }
  // Runs after each call, with what goes back: it may change the answer.
  using AfterCall = std::function<void(std::string_view member, std::span<Variant> args)>;
  void afterEachCall(AfterCall hook) { after_ = std::move(hook); }

 private:
  DispatchPtr target_;
  std::vector<std::string> calls_;
  std::function<void()> hook_;
  AfterCall after_;
};

}  // namespace quill::bridgetest
