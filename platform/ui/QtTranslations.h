#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quill::ui {

// Qt's own texts (the standard buttons, the file and print dialogs, a
// field's context menu) in the language of the regional settings: installs
// into the running application the translation files Qt ships for a
// language tag ("pt-PT"). For each of Qt's catalogues ("qtbase", then the
// older "qt") the file of the language and region is preferred, then the
// language's own, then another region's of the same language (Portuguese of
// Brazil where Portugal has none), so that a text missing from one is found
// in the next. `folder` defaults to Qt's translations folder. Answers the
// files installed, most preferred first; none for English, or when Qt's
// translations are not installed. Call it once, after the application is made.
std::vector<std::string> installQtTranslations(std::string_view languageTag, std::filesystem::path folder = {});

}  // namespace quill::ui
