#pragma once

#include <string_view>

#include "platform/automation/Dispatch.h"

namespace quill {

class ProgramRegistry;
struct ProgramEntry;

// VB's CreateObject: a new object of the class registered under `progId`
// in this installation's program registry. An in-process class comes from
// its shared library; a local-server class is created in its server
// program, started on first use (or reached through this process's running
// link to that program while it is alive), and answered as a proxy.
//
// Fails with 429 "ActiveX component can't create object" for an unknown
// program id, a server program that is missing or ends at once, and a class
// the binary does not know; other errors of the server's factory pass on.
DispatchPtr createObject(std::string_view progId);
DispatchPtr createObject(std::string_view progId, const ProgramRegistry& registry);
DispatchPtr createObject(const ProgramEntry& entry);

}  // namespace quill
