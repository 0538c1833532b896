#include "extension/core/cInifile.h"

#include <cmath>
#include <exception>
#include <filesystem>
#include <optional>

#include "platform/vb/Conversions.h"
#include "platform/vb/RegionalSettings.h"
#include "platform/winapi/PrivateProfile.h"

namespace quill {

namespace {

// The buffers the original passed to the profile functions: one value of up
// to 254 characters, and lists of names of up to 8190.
constexpr std::uint32_t kValueBuffer = 255;
constexpr std::uint32_t kListBuffer = 8192;

// Puts a text member back when it leaves the scope, also on an error.
class Restore {
 public:
  explicit Restore(std::string& member) : member_(member), saved_(member) {}
  ~Restore() { member_ = std::move(saved_); }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  std::string& member_;
  std::string saved_;
};

// The names of a list read, each ended by a NUL; text after the last NUL is
// not a name.
void splitNames(std::string_view list, bool skipEmpty, std::vector<std::string>& names, std::int32_t& count) {
  names.clear();
  count = 0;
  std::size_t pos = 0;
  for (std::size_t nul = list.find('\0'); nul != std::string_view::npos; nul = list.find('\0', pos)) {
    std::string_view name = list.substr(pos, nul - pos);
    pos = nul + 1;
    if (skipEmpty && name.empty()) continue;
    names.emplace_back(name);
    ++count;
  }
}

// Reads a decimal number: blanks around, a sign, digits, one decimal point
// written as "." or as the regional decimal separator. Thousands separators
// are not accepted, so that "2.5" is never read as 25 whatever the regional
// settings of the machine that wrote the file.
std::optional<double> readDecimal(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  char regional = vb::RegionalSettings::current().decimalSeparator;
  std::string plain;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  bool point = false;
  std::size_t digits = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      ++digits;
    } else if ((c == '.' || c == regional) && !point) {
      plain += '.';
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  try {
    return vb::Val(plain);
  } catch (const std::exception&) {
    return std::nullopt;  // hundreds of digits: beyond a Double
  }
}

}  // namespace

std::string cInifile::Value() const {
  std::string value;
  winapi::getPrivateProfileString(section_, key_, default_, value, kValueBuffer, path_);
  return value;
}

void cInifile::setValue(std::string_view sValue) {
  std::string text;
  text.reserve(sValue.size());
  for (char c : sValue)
    if (c != '\0') text += c;
  lastReturnCode_ = winapi::writePrivateProfileString(section_, key_, text, path_);
}

std::string cInifile::INISection() const {
  std::string list;
  winapi::getPrivateProfileString(section_, std::nullopt, default_, list, kListBuffer, path_);
  return list;
}

void cInifile::setINISection(std::string_view sSection) {
  lastReturnCode_ = winapi::writePrivateProfileSection(section_, sSection, path_);
}

std::string cInifile::Sections() const {
  std::string list;
  winapi::getPrivateProfileString(std::nullopt, std::nullopt, default_, list, kListBuffer, path_);
  return list;
}

void cInifile::DeleteKey() { lastReturnCode_ = winapi::writePrivateProfileString(section_, key_, std::nullopt, path_); }

void cInifile::DeleteSection() {
  lastReturnCode_ = winapi::writePrivateProfileString(section_, std::nullopt, std::nullopt, path_);
}

void cInifile::EnumerateCurrentSection(std::vector<std::string>& sKey, std::int32_t& iCount) const {
  splitNames(INISection(), false, sKey, iCount);
}

void cInifile::EnumerateAllSections(std::vector<std::string>& sSections, std::int32_t& iCount) const {
  splitNames(Sections(), true, sSections, iCount);
}

void cInifile::SaveFormPosition(vb::FormWindow& frmThis) {
  Restore key(key_);
  try {
    int state = frmThis.windowState();
    if (state == vb::vbMinimized) return;
    setKey("Maximised");
    setValue(state == vb::vbMaximized ? "1" : "0");
    if (state == vb::vbMaximized) return;
    // Whole twips, so that the file reads back the same under any regional settings.
    auto whole = [](double twips) { return vb::CStr(Variant(vb::CLng(Variant(twips)))); };
    setKey("Left");
    setValue(whole(frmThis.left()));
    setKey("Top");
    setValue(whole(frmThis.top()));
    setKey("Width");
    setValue(whole(frmThis.width()));
    setKey("Height");
    setValue(whole(frmThis.height()));
  } catch (const std::exception&) {
    lastReturnCode_ = 0;
  }
}

void cInifile::LoadFormPosition(vb::FormWindow& frmThis, std::int32_t lMinWidth, std::int32_t lMinHeight) {
  Restore key(key_);
  Restore defaultText(default_);
  try {
    setDefault("FAIL");  // a missing key reads as text that is not a number
    auto stored = [&](const char* name, double current) {
      setKey(name);
      return CLngDefault(Value(), vb::CLng(Variant(current)));
    };
    double left = stored("Left", frmThis.left());
    double top = stored("Top", frmThis.top());
    double width = stored("Width", frmThis.width());
    double height = stored("Height", frmThis.height());
    if (width < lMinWidth) width = lMinWidth;
    if (height < lMinHeight) height = lMinHeight;

    vb::ScreenMetrics screen = frmThis.screen();
    double mx = 4 * screen.twipsPerPixelX;
    double my = 4 * screen.twipsPerPixelY;
    if (left < mx) left = mx;
    if (top < my) top = my;
    if (left + width > screen.width - mx) {
      left = screen.width - mx - width;
      if (left < mx) left = mx;
      if (left + width > screen.width - mx) width = screen.width - left - mx;
    }
    if (top + height > screen.height - my) {
      top = screen.height - my - height;
      if (top < my) top = my;
      if (top + height > screen.height - my) height = screen.height - top - my;
    }
    // A screen too small for the minimum size: leave the window where it is.
    if (width >= lMinWidth && height >= lMinHeight) frmThis.move(left, top, width, height);

    setKey("Maximised");
    if (CLngDefault(Value(), 0) != 0) frmThis.setWindowState(vb::vbMaximized);
  } catch (const std::exception&) {
    lastReturnCode_ = 0;
  }
}

std::int32_t cInifile::CLngDefault(std::string_view sString, std::int32_t lDefault) const {
  auto number = readDecimal(sString);
  if (!number) return lDefault;
  double rounded = vb::roundHalfEven(*number);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return lDefault;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace quill
