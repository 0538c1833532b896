#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace quill {

// Where the code of a creatable class lives.
struct ProgramEntry {
  enum class Kind { InProcess, LocalServer };
  std::string progId;
  Kind kind = Kind::InProcess;
  std::filesystem::path binary;  // absolute: a shared library or a server program
};

// The program-id registry: which binary creates objects of which program id.
//
// It is a text file installed beside the binaries ("quill-programs.reg"), one
// class a line, blank lines and lines starting with '#' ignored:
//
//   Quillplug.DescComissoes = inproc libquillplug.so
//   Quillbridge.SageNextApi = localserver quillbridge
//
// Relative binary paths are relative to the registry file's folder. Program
// ids are matched without regard to case.
class ProgramRegistry {
 public:
  static constexpr const char* kFileName = "quill-programs.reg";

  // Reads a registry file; a missing or unreadable file gives an empty
  // registry, a malformed line is skipped.
  static ProgramRegistry load(const std::filesystem::path& file);

  // The registry of this installation: $QUILL_REGISTRY when set, else the
  // file beside the running program. Read once per process.
  static const ProgramRegistry& installed();

  std::optional<ProgramEntry> find(std::string_view progId) const;
  const std::vector<ProgramEntry>& entries() const& { return entries_; }
  // A registry read for one loop (`for (auto& e : ProgramRegistry::load(f).entries())`)
  // hands its entries over, so the loop never walks a destroyed registry.
  std::vector<ProgramEntry> entries() && { return std::move(entries_); }

 private:
  std::vector<ProgramEntry> entries_;
};

// The folder of the running program.
std::filesystem::path programFolder();

// The creatable classes of one binary, by program id. An in-process library
// exports QuillCreateObject (below) answering from its factory; a local
// server answers create requests from its own.
class ClassFactory {
 public:
  using Creator = std::function<DispatchPtr()>;
  void add(std::string progId, Creator creator);
  // Nothing when the id is not one of this binary's classes.
  DispatchPtr create(std::string_view progId) const;
  bool knows(std::string_view progId) const;

 private:
  std::unordered_map<std::string, Creator> creators_;
};

// Loads the entry's shared library (once per process) and asks its
// QuillCreateObject for a new object. Fails with 429 "ActiveX component
// can't create object" when the library or its class is missing.
DispatchPtr createInProcessObject(const ProgramEntry& entry);

}  // namespace quill

// The one entry point an in-process library exports. Answers false when the
// program id is not one of its classes.
extern "C" bool QuillCreateObject(const char* progId, quill::DispatchPtr* out);
