#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vb/FormWindow.h"

namespace quill {

// The library's access object for INI files: the caller sets the file, the
// section, the key and a default, then reads or writes the value. Nothing is
// cached; every read and write goes to the file. Writes never raise: their
// outcome is in LastReturnCode and Success.
//
// Members keep the system's names. A property reads through a member of its
// own name and is written through set + name (Value() / setValue(...)).
// The enumerations fill a std::vector whose element [i - 1] is the system's
// 1-based element (i), so iCount == size().
class cInifile {
 public:
  // The minimum size LoadFormPosition uses when the caller gives none: none.
  static constexpr std::int32_t kNoMinimumSize = 0;

  const std::string& Path() const { return path_; }
  void setPath(std::string sPath) { path_ = std::move(sPath); }
  const std::string& Section() const { return section_; }
  void setSection(std::string sSection) { section_ = std::move(sSection); }
  const std::string& Key() const { return key_; }
  void setKey(std::string sKey) { key_ = std::move(sKey); }
  const std::string& Default() const { return default_; }
  void setDefault(std::string sDefault) { default_ = std::move(sDefault); }

  // The current key's value, at most 254 characters; Default when the file,
  // the section or the key is missing.
  std::string Value() const;
  // Writes the current key (NUL characters removed from the text first).
  void setValue(std::string_view sValue);

  // The current section's key names, each followed by a NUL character.
  std::string INISection() const;
  // Replaces the current section's whole contents with `sSection`: entries
  // "key=value" separated by NUL characters.
  void setINISection(std::string_view sSection);

  // The file's section names, each followed by a NUL character.
  std::string Sections() const;

  std::int32_t LastReturnCode() const { return lastReturnCode_; }
  bool Success() const { return lastReturnCode_ != 0; }

  void DeleteKey();
  void DeleteSection();

  void EnumerateCurrentSection(std::vector<std::string>& sKey, std::int32_t& iCount) const;
  // Empty names are skipped.
  void EnumerateAllSections(std::vector<std::string>& sSections, std::int32_t& iCount) const;

  // Writes the window's state and, when it is neither minimised nor
  // maximised, its place and size into the current section. Coordinates are
  // written as whole twips. Errors from the window end the operation quietly
  // (LastReturnCode 0); entries already written stay.
  void SaveFormPosition(vb::FormWindow& frmThis);
  // Restores the window from the current section, keeping it on its screen
  // with a margin of 4 pixels and at least lMinWidth x lMinHeight twips.
  void LoadFormPosition(vb::FormWindow& frmThis, std::int32_t lMinWidth = kNoMinimumSize,
                        std::int32_t lMinHeight = kNoMinimumSize);

  // `sString` as a whole number, halves to the even neighbour; `lDefault`
  // when it is not one (empty, text, out of the 32-bit range).
  std::int32_t CLngDefault(std::string_view sString, std::int32_t lDefault) const;

 private:
  std::string path_;
  std::string key_;
  std::string section_;
  std::string default_;
  std::int32_t lastReturnCode_ = 0;
};

}  // namespace quill
