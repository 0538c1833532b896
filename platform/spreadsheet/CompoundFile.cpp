#include "platform/spreadsheet/CompoundFile.h"

#include <algorithm>
#include <cstdint>

#include "platform/spreadsheet/BiffText.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "platform/spreadsheet/SpreadsheetError.h"

namespace quill::spreadsheet {

namespace {

constexpr std::size_t kSector = 512;
constexpr std::uint32_t kEntriesPerSector = kSector / 4;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

std::uint32_t sectorsFor(std::size_t bytes) { return static_cast<std::uint32_t>((bytes + kSector - 1) / kSector); }

// A 128-byte directory entry.
void directoryEntry(std::string& out, std::string_view name, std::uint8_t type, std::uint32_t child,
                    std::uint32_t start, std::uint32_t size) {
  std::size_t begin = out.size();
  BiffText text = encodeBiffText(name);
  std::string utf16;
  if (text.wide) {
    utf16 = text.bytes;
  } else {
    for (char c : text.bytes) {
      utf16 += c;
      utf16 += '\0';
    }
  }
  out += utf16.substr(0, 62);
  out.append(64 - std::min<std::size_t>(utf16.size(), 62), '\0');
  le::u16(out, name.empty() ? 0 : static_cast<std::uint16_t>(std::min<std::size_t>(utf16.size(), 62) + 2));
  le::u8(out, type);
  le::u8(out, 1);  // black: a tree of one entry a level
  le::u32(out, kNoStream);
  le::u32(out, kNoStream);
  le::u32(out, child);
  out.append(16, '\0');  // class id
  le::u32(out, 0);       // state bits
  out.append(16, '\0');  // creation and modification times
  le::u32(out, start);
  le::u32(out, size);
  le::u32(out, 0);  // high part of the size (version 3)
  out.resize(begin + 128, '\0');
}

}  // namespace

std::string buildCompoundFile(std::string_view streamName, std::string_view stream) {
  if (stream.size() >= 0x80000000u) throw sheetError("A compound file stream must be smaller than 2 GB");
  const std::size_t streamSize = std::max(stream.size(), kMiniStreamCutoff);
  const std::uint32_t streamSectors = sectorsFor(streamSize);

  // The table must describe every sector, its own and the DIFAT's included.
  std::uint32_t fatSectors = 1, difatSectors = 0;
  for (;;) {
    std::uint32_t total = streamSectors + 1 + fatSectors + difatSectors;
    std::uint32_t needFat = (total + kEntriesPerSector - 1) / kEntriesPerSector;
    std::uint32_t needDifat = needFat > kHeaderDifatEntries
                                  ? (needFat - kHeaderDifatEntries + kEntriesPerSector - 2) / (kEntriesPerSector - 1)
                                  : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = std::max(fatSectors, needFat);
    difatSectors = std::max(difatSectors, needDifat);
  }
  const std::uint32_t directorySector = streamSectors;
  const std::uint32_t firstFat = directorySector + 1;
  const std::uint32_t firstDifat = firstFat + fatSectors;
  const std::uint32_t totalSectors = firstDifat + difatSectors;

  std::string out;
  out.reserve(kSector + static_cast<std::size_t>(totalSectors) * kSector);

  // Header.
  out.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  out.append(16, '\0');
  le::u16(out, 0x003E);  // minor version
  le::u16(out, 0x0003);  // major version 3
  le::u16(out, 0xFFFE);  // little-endian
  le::u16(out, 9);       // 512-byte sectors
  le::u16(out, 6);       // 64-byte mini sectors
  out.append(6, '\0');
  le::u32(out, 0);  // directory sectors (always 0 in version 3)
  le::u32(out, fatSectors);
  le::u32(out, directorySector);
  le::u32(out, 0);
  le::u32(out, static_cast<std::uint32_t>(kMiniStreamCutoff));
  le::u32(out, kEndOfChain);  // no mini FAT
  le::u32(out, 0);
  le::u32(out, difatSectors ? firstDifat : kEndOfChain);
  le::u32(out, difatSectors);
  for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) le::u32(out, i < fatSectors ? firstFat + i : kFreeSector);

  // The stream, padded to whole sectors.
  out += stream;
  out.append(static_cast<std::size_t>(streamSectors) * kSector - stream.size(), '\0');

  // Directory: the root storage with the stream as its only child.
  directoryEntry(out, "Root Entry", 5, 1, kEndOfChain, 0);
  directoryEntry(out, streamName, 2, kNoStream, 0, static_cast<std::uint32_t>(streamSize));
  directoryEntry(out, "", 0, kNoStream, 0, 0);
  directoryEntry(out, "", 0, kNoStream, 0, 0);

  // Sector allocation table.
  for (std::uint32_t i = 0; i < streamSectors; ++i) le::u32(out, i + 1 < streamSectors ? i + 1 : kEndOfChain);
  le::u32(out, kEndOfChain);  // the directory
  for (std::uint32_t i = 0; i < fatSectors; ++i) le::u32(out, kFatSector);
  for (std::uint32_t i = 0; i < difatSectors; ++i) le::u32(out, kDifatSector);
  for (std::uint32_t i = totalSectors; i < fatSectors * kEntriesPerSector; ++i) le::u32(out, kFreeSector);

  // DIFAT sectors: the table sectors past the header's 109, 127 a sector,
  // each sector ending with the number of the next.
  for (std::uint32_t d = 0; d < difatSectors; ++d) {
    for (std::uint32_t k = 0; k < kEntriesPerSector - 1; ++k) {
      std::uint32_t fat = kHeaderDifatEntries + d * (kEntriesPerSector - 1) + k;
      le::u32(out, fat < fatSectors ? firstFat + fat : kFreeSector);
    }
    le::u32(out, d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
  }
  return out;
}

}  // namespace quill::spreadsheet
