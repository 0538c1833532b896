#include "platform/spreadsheet/SharedStrings.h"

#include <algorithm>

#include "platform/spreadsheet/BiffRecords.h"
#include "platform/spreadsheet/BiffText.h"
#include "platform/spreadsheet/LittleEndian.h"

namespace quill::spreadsheet {

std::uint32_t SharedStrings::add(std::string_view utf8) {
  ++total_;
  if (auto it = index_.find(utf8); it != index_.end()) return it->second;
  auto it = index_.emplace(std::string(utf8), static_cast<std::uint32_t>(order_.size())).first;
  order_.push_back(&it->first);
  return it->second;
}

namespace {

// Writes records of one kind that may run on into CONTINUE records.
class ContinuedRecord {
 public:
  ContinuedRecord(std::string& out, std::uint16_t type) : out_(out) { open(type); }
  ~ContinuedRecord() { close(); }

  std::size_t room() const { return biff::kMaxRecordData - used(); }
  std::size_t used() const { return out_.size() - start_ - 4; }
  std::size_t recordStart() const { return start_; }
  void next() {
    close();
    open(biff::kContinue);
  }
  std::string& out() { return out_; }

 private:
  void open(std::uint16_t type) {
    start_ = out_.size();
    le::u16(out_, type);
    le::u16(out_, 0);
  }
  void close() { le::setU16(out_, start_ + 2, static_cast<std::uint16_t>(used())); }

  std::string& out_;
  std::size_t start_ = 0;
};

struct Bucket {
  std::uint32_t position;  // of the string's first byte in the stream
  std::uint16_t offset;    // of the same from its record's header
};

}  // namespace

void SharedStrings::write(std::string& stream) const {
  const std::uint32_t unique = uniqueCount();
  // The index keeps one entry per bucket of strings, at most 128 buckets.
  const std::uint32_t perBucket = std::max<std::uint32_t>(8, unique / 128 + 1);
  std::vector<Bucket> buckets;
  buckets.reserve(unique / perBucket + 1);
  {
    ContinuedRecord record(stream, biff::kSst);
    le::u32(stream, total_);
    le::u32(stream, unique);
    for (std::uint32_t i = 0; i < unique; ++i) {
      BiffText text = encodeBiffText(*order_[i]);
      const std::size_t unit = text.wide ? 2 : 1;
      // The count and flags of a string never split from its first character.
      if (record.room() < 3 + (text.units ? unit : 0)) record.next();
      if (i % perBucket == 0)
        buckets.push_back({static_cast<std::uint32_t>(stream.size()),
                           static_cast<std::uint16_t>(stream.size() - record.recordStart())});
      le::u16(stream, static_cast<std::uint16_t>(text.units));
      le::u8(stream, text.wide ? 0x01 : 0x00);
      std::string_view rest = text.bytes;
      while (!rest.empty()) {
        std::size_t take = std::min(rest.size(), record.room() / unit * unit);
        stream.append(rest.substr(0, take));
        rest.remove_prefix(take);
        if (rest.empty()) break;
        // Characters go on in the next record, which repeats their width.
        record.next();
        le::u8(stream, text.wide ? 0x01 : 0x00);
      }
    }
  }
  le::u16(stream, biff::kExtSst);
  le::u16(stream, static_cast<std::uint16_t>(2 + 8 * buckets.size()));
  le::u16(stream, static_cast<std::uint16_t>(perBucket));
  for (const Bucket& b : buckets) {
    le::u32(stream, b.position);
    le::u16(stream, b.offset);
    le::u16(stream, 0);
  }
}

}  // namespace quill::spreadsheet
