#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/automation/ByValue.h"
#include "platform/automation/MemberTable.h"
#include "platform/automation/ProgramRegistry.h"

namespace quill::remotetest {

inline constexpr const char* kProbeProgId = "QuillTest.Probe";

// An object with the shapes of call the remote link must carry: values,
// by-reference arguments, errors, callbacks into the caller, objects kept
// and handed back, by-value results, slow calls and sudden death.
class Probe : public DispatchObject<Probe> {
 public:
  explicit Probe(std::string name);
  ~Probe() override;
  static const MemberTable<Probe>& members();
  std::string className() const override { return "Probe"; }

  // Probes alive in this process.
  static int live();

  std::string name;
  Variant value;
  DispatchPtr kept;
  std::weak_ptr<Dispatch> lastPartner;  // the partner of the last Bounce (weak: no cycle)
  std::function<void()> onFire;         // what "Fire" does, and "Bounce" first
};

// A by-value object: a list of text rows, copied whole across processes.
class TestRows : public DispatchObject<TestRows>, public ByValueObject {
 public:
  static constexpr const char* kTypeName = "QuillTest.Rows";
  static const MemberTable<TestRows>& members();
  std::string className() const override { return "TestRows"; }
  std::string byValueTypeName() const override { return kTypeName; }
  std::string serialize() const override;

  std::vector<std::string> rows;
};

// A by-value object whose type only the test process knows.
class LocalOnlyRows : public DispatchObject<LocalOnlyRows>, public ByValueObject {
 public:
  static const MemberTable<LocalOnlyRows>& members();
  std::string className() const override { return "LocalOnlyRows"; }
  std::string byValueTypeName() const override { return "QuillTest.LocalOnly"; }
  std::string serialize() const override { return "x"; }
};

// A by-value object whose bytes are whatever a test says, under any type
// name: what a broken or hostile peer could send.
class RawByValue : public DispatchObject<RawByValue>, public ByValueObject {
 public:
  RawByValue(std::string typeName, std::string bytes) : typeName_(std::move(typeName)), bytes_(std::move(bytes)) {}
  static const MemberTable<RawByValue>& members();
  std::string className() const override { return "RawByValue"; }
  std::string byValueTypeName() const override { return typeName_; }
  std::string serialize() const override { return bytes_; }

 private:
  std::string typeName_;
  std::string bytes_;
};

// Registers TestRows for rebuilding; called by both processes.
void registerTestTypes();

// The classes of the test server: QuillTest.Probe.
ClassFactory testFactory(const std::string& probeName);

}  // namespace quill::remotetest
