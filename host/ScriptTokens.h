#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::host {

// The words of one script line: separated by blanks; a word in double
// quotes may hold blanks, and "" inside it stands for one quote. A line
// whose first word starts with "#" is a comment (no words). Nothing, with
// the reason in `error`, for a quote left open.
std::optional<std::vector<std::string>> splitScriptLine(std::string_view line, std::string& error);

}  // namespace quill::host
