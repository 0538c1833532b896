#pragma once

namespace quill {

class ClassFactory;

// The main of a local server program. Serves the client that started it,
// over the descriptor named by "--automation-fd=N", creating objects of the
// program's classes from `factory`, until the client has released the last
// object or has gone away. Answers the process's exit code: 0 for a normal
// end, 1 when the link failed, 2 when the program was not started by a
// client.
int serveLocalServer(int argc, char** argv, const ClassFactory& factory);

}  // namespace quill
