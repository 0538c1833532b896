#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::vb {

// VB's text functions on UTF-8 text. Positions and lengths count characters
// (an accented letter is one character), 1-based as in VB. A byte that is not
// valid UTF-8 counts as one character and is kept as it is. Negative lengths
// and start positions below 1 are VB's Invalid procedure call (5).

enum class CompareMethod { Binary = 0, Text = 1 };  // vbBinaryCompare, vbTextCompare

int Len(std::string_view text);

// Blanks only (not tabs or line ends), as VB's.
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// ASCII, Latin-1 and Latin Extended-A letters ("ação" <-> "AÇÃO").
std::string UCase(std::string_view text);
std::string LCase(std::string_view text);

std::string Left(std::string_view text, int length);
std::string Right(std::string_view text, int length);
// Mid(text, start) runs to the end; a start past the end gives "".
std::string Mid(std::string_view text, int start);
std::string Mid(std::string_view text, int start, int length);

// The position of `find` in `text` from character `start`, 0 when absent.
// An empty `find` answers `start` (0 when start is past the end, as VB).
int InStr(std::string_view text, std::string_view find, CompareMethod compare = CompareMethod::Binary);
int InStr(int start, std::string_view text, std::string_view find, CompareMethod compare = CompareMethod::Binary);

// VB's Replace: the text from character `start` on (VB drops what comes
// before start), with up to `count` occurrences (-1: all) replaced.
std::string Replace(std::string_view text, std::string_view find, std::string_view with, int start = 1, int count = -1,
                    CompareMethod compare = CompareMethod::Binary);

// VB's Split. Element i is VB's element i (lower bound 0); the upper bound
// is size() - 1, so "" gives an empty vector (upper bound -1). An empty
// delimiter gives the whole text as one element; `limit` caps the number of
// elements, the last one holding the rest.
std::vector<std::string> Split(std::string_view text, std::string_view delimiter = " ", int limit = -1,
                               CompareMethod compare = CompareMethod::Binary);
std::string Join(const std::vector<std::string>& items, std::string_view delimiter = " ");

std::string Space(int count);
// VB's String(count, character): the first character of `character` repeated.
std::string StringOf(int count, std::string_view character);

// The text padded with blanks on the right, or cut, to exactly `width`
// characters; padLeft pads on the left (and cuts on the right).
std::string padRight(std::string_view text, std::size_t width);
std::string padLeft(std::string_view text, std::size_t width);

// Text comparison without regard to case (vbTextCompare's equality).
bool equalsText(std::string_view a, std::string_view b);

// Texts ordered without regard to case, for the letters UCase and LCase
// know: character by character, each as its lower-case code point; a byte
// that is not UTF-8 orders after every character. <0, 0 or >0; 0 exactly
// when equalsText holds.
int compareText(std::string_view a, std::string_view b);

}  // namespace quill::vb
