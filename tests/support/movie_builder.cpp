#include "tests/support/movie_builder.h"

#include <stdexcept>

namespace quillon::test {

namespace {

constexpr uint32_t kImapOffset = 12;
constexpr uint32_t kMmapOffset = 44;
constexpr uint32_t kImapDataLength = 24;
constexpr uint32_t kFreeEntryFlags = 12;

void PutU32Le(Bytes& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutU32Be(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutU16Be(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void PutU16Le(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutTag(Bytes& out, const std::string& tag) {
  if (tag.size() != 4) throw std::invalid_argument("a tag has four bytes: " + tag);
  out.insert(out.end(), tag.begin(), tag.end());
}

}  // namespace

MovieBuilder::MovieBuilder(uint32_t entry_capacity, bool standard_entries)
    : capacity_(entry_capacity) {
  if (!standard_entries) return;
  AddEntry("XFIR", 0, 0, 1);  // its length is set by Build()
  AddEntry("pami", kImapDataLength, kImapOffset, 1);
  AddEntry("pamm", 24 + 20 * capacity_, kMmapOffset, 0);
}

uint32_t MovieBuilder::AddChunk(const std::string& stored_tag, const Bytes& data,
                                uint32_t flags) {
  const uint32_t offset = AppendChunk(stored_tag, data);
  return AddEntry(stored_tag, static_cast<uint32_t>(data.size()), offset, flags);
}

uint32_t MovieBuilder::AppendChunk(const std::string& stored_tag, const Bytes& data) {
  Bytes chunk;
  PutTag(chunk, stored_tag);
  PutU32Le(chunk, static_cast<uint32_t>(data.size()));
  chunk.insert(chunk.end(), data.begin(), data.end());
  return Append(chunk);
}

uint32_t MovieBuilder::Append(const Bytes& bytes) {
  const uint32_t offset = Length();
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return offset;
}

uint32_t MovieBuilder::AddEntry(const std::string& stored_tag, uint32_t length, uint32_t offset,
                                uint32_t flags, uint32_t tail) {
  if (entries_.size() >= capacity_) throw std::length_error("more entries than slots");
  entries_.push_back({stored_tag, length, offset, flags, tail});
  return UsedCount() - 1;
}

uint32_t MovieBuilder::AddFreeEntry() { return AddEntry("eerf", 0, 0, kFreeEntryFlags); }

Bytes MovieBuilder::Build() const {
  const uint32_t container_length = Length() - 8;
  Bytes out;
  out.reserve(Length());
  PutTag(out, "XFIR");
  PutU32Le(out, container_length);
  PutTag(out, form_type_);
  PutTag(out, "pami");
  PutU32Le(out, kImapDataLength);
  for (uint32_t word : {1u, kMmapOffset, 0x4C7u, 0u, 0u, 0u}) PutU32Le(out, word);
  PutTag(out, "pamm");
  PutU32Le(out, 24 + 20 * capacity_);
  PutU16Le(out, 24);
  PutU16Le(out, 20);
  PutU32Le(out, capacity_);
  PutU32Le(out, UsedCount());
  for (uint32_t word : {0xFFFFFFFFu, 0xFFFFFFFFu, UsedCount()}) PutU32Le(out, word);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    PutTag(out, entry.tag);
    // Entry 0 is the container's own entry: its length is the container length.
    PutU32Le(out, i == 0 && entry.tag == "XFIR" ? container_length : entry.length);
    PutU32Le(out, entry.offset);
    PutU32Le(out, entry.flags);
    PutU32Le(out, entry.tail);
  }
  out.resize(HeaderRegionLength(), spare_fill_);
  out.insert(out.end(), body_.begin(), body_.end());
  return out;
}

Bytes MovieBuilder::CastTable(const std::vector<CastSlot>& slots) {
  Bytes out;
  for (const CastSlot& slot : slots) {
    if (slot.big_endian) {
      PutU32Be(out, slot.member);
    } else {
      PutU32Le(out, slot.member);
    }
  }
  return out;
}

Bytes MovieBuilder::KeyTable(const std::vector<Key>& keys, std::optional<uint32_t> count) {
  Bytes out;
  PutU16Le(out, 12);  // entry size and header size, as real key tables carry them
  PutU16Le(out, 12);
  PutU32Le(out, static_cast<uint32_t>(keys.size()));
  PutU32Le(out, count.value_or(static_cast<uint32_t>(keys.size())));
  for (const Key& key : keys) {
    PutU32Le(out, key.child);
    PutU32Le(out, key.owner);
    PutTag(out, key.stored_tag);
  }
  return out;
}

Bytes MovieBuilder::BitmapMember(const BitmapMemberFields& fields) {
  constexpr uint32_t kBitmapMemberType = 1;
  constexpr size_t kSpecificBlockLength = 28;
  Bytes out;
  PutU32Be(out, kBitmapMemberType);
  PutU32Be(out, fields.info_length);
  PutU32Be(out, fields.specific_length);
  out.insert(out.end(), fields.info_length, 0x11);
  const size_t block = out.size();
  PutU16Be(out, 0);  // row bytes, not read
  PutU16Be(out, fields.top);
  PutU16Be(out, fields.left);
  PutU16Be(out, fields.bottom);
  PutU16Be(out, fields.right);
  out.resize(block + kSpecificBlockLength, 0);
  out[block + 23] = fields.depth;
  const auto store_be16 = [&](size_t at, int16_t value) {
    out[at] = static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
  };
  store_be16(block + 24, fields.palette_library);
  store_be16(block + 26, fields.palette_id);
  return out;
}

}  // namespace quillon::test
