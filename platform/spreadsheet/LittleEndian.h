#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

// Appending and patching little-endian numbers in a byte buffer, as the
// file formats of the 97–2003 workbook store them.
namespace quill::spreadsheet::le {

static_assert(std::endian::native == std::endian::little, "the writers copy numbers as they are in memory");

inline void u8(std::string& out, std::uint8_t v) { out.push_back(static_cast<char>(v)); }
inline void u16(std::string& out, std::uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); }
inline void u32(std::string& out, std::uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
inline void f64(std::string& out, double v) { out.append(reinterpret_cast<const char*>(&v), 8); }

inline void setU16(std::string& out, std::size_t at, std::uint16_t v) { std::memcpy(out.data() + at, &v, 2); }
inline void setU32(std::string& out, std::size_t at, std::uint32_t v) { std::memcpy(out.data() + at, &v, 4); }

inline std::uint16_t getU16(const char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline std::uint32_t getU32(const char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace quill::spreadsheet::le
