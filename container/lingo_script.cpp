#include "container/lingo_script.h"

#include <algorithm>

#include "container/movie.h"
#include "util/checked_math.h"

namespace quillon {

namespace {

enum ScriptField : size_t {
  kTotalLength = 8, kTotalLengthAgain = 12, kHandlerVectorCount = 50, kHandlerVectorOffset = 52,
  kHandlerCount = 72, kHandlerRecords = 74, kLiteralCount = 78, kLiteralRecords = 80,
  kLiteralDataLength = 84, kLiteralDataOffset = 88, kScriptHeaderEnd = 92,
};
enum HandlerField : size_t { kHandlerCodeLength = 4, kHandlerCodeOffset = 8 };
constexpr size_t kVersionOffset = 36;
constexpr int16_t kDirector5 = 1201;
constexpr int16_t kDirector85 = 1700;
constexpr size_t kCountSize = 4;  // a string item's length word

// A string item's bytes: the length word, the text with its NUL, the pad after an odd length.
uint64_t ItemSize(uint64_t counted) { return kCountSize + counted + (counted & 1); }

bool ReadLiteral(const ByteReader& data, const LingoScript& script, uint32_t index,
                 LingoLiteral& literal) {
  const size_t record = size_t{script.literal_records} + size_t{index} *
                                                           script.layout.literal_record_size;
  if (script.layout.literal_record_size == 6) {
    uint16_t type = 0;
    if (!data.U16Be(record, type)) return false;
    literal.type = type;
  } else if (!data.U32Be(record, literal.type)) {
    return false;
  }
  if (!data.U32Be(record + script.layout.literal_record_size - 4, literal.offset)) return false;
  if (literal.type == kIntegerLiteral) return true;
  // A float's (or another value's) data lies among the strings': its offset moves with them, so
  // one that points outside the literal data would wrap when a string before it grows.
  if (literal.type != kStringLiteral) {
    return RangeWithin(literal.offset, ItemSize(0), script.literal_data_length);
  }
  const uint64_t item = uint64_t{script.literal_data_offset} + literal.offset;
  uint32_t counted = 0;
  uint8_t last = 1;
  if (!RangeWithin(literal.offset, ItemSize(0), script.literal_data_length) ||
      !data.U32Be(static_cast<size_t>(item), counted) || counted == 0 ||
      !RangeWithin(literal.offset, ItemSize(counted), script.literal_data_length) ||
      !data.U8(static_cast<size_t>(item + kCountSize + counted - 1), last) || last != 0) {
    return false;
  }
  literal.text = ByteReader(data.data() + item + kCountSize, counted - 1);
  return true;
}

// The literal indices a handler's bytecode pushes: push-constant opcodes and their operands.
void ScanBytecode(const ByteReader& code, const LingoScript& script, LingoHandler& handler) {
  size_t at = 0;
  while (at < code.size()) {
    const uint8_t opcode = code.data()[at];
    const int operand_size = opcode < 0x40 ? 0 : opcode < 0x80 ? 1 : opcode < 0xC0 ? 2 : 4;
    if (!code.Has(at + 1, static_cast<size_t>(operand_size))) return;
    uint32_t operand = 0;
    for (int i = 1; i <= operand_size; ++i) operand = operand << 8 | code.data()[at + size_t(i)];
    if ((opcode & 0x3F) == 0x04 && operand_size > 0 &&
        operand % script.layout.operand_scale == 0 &&
        operand / script.layout.operand_scale < script.literals.size()) {
      handler.literals.push_back(operand / script.layout.operand_scale);
    }
    at += 1 + static_cast<size_t>(operand_size);
  }
}

bool ReadHandlers(const ByteReader& data, LingoScript& script) {
  uint16_t count = 0;
  uint32_t records = 0;
  if (!data.U16Be(kHandlerCount, count) || !data.U32Be(kHandlerRecords, records) ||
      !RangeWithin(records, uint64_t{count} * script.layout.handler_record_size,
                   script.literal_data_offset)) {
    return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    const size_t record = size_t{records} + size_t{i} * script.layout.handler_record_size;
    uint16_t name = 0;
    uint32_t length = 0;
    uint32_t offset = 0;
    data.U16Be(record, name);
    data.U32Be(record + kHandlerCodeLength, length);
    data.U32Be(record + kHandlerCodeOffset, offset);
    if (!RangeWithin(offset, length, data.size())) return false;
    LingoHandler handler;
    handler.name_id = static_cast<int16_t>(name);
    ScanBytecode(ByteReader(data.data() + offset, length), script, handler);
    script.handlers.push_back(std::move(handler));
  }
  return true;
}

// String items sorted by offset must not overlap: a new text of one would change another.
bool StringsApart(const LingoScript& script) {
  std::vector<std::pair<uint32_t, uint64_t>> items;
  for (const LingoLiteral& literal : script.literals) {
    if (literal.type == kStringLiteral) {
      items.emplace_back(literal.offset, ItemSize(literal.text.size() + 1));
    }
  }
  std::sort(items.begin(), items.end());
  for (size_t i = 1; i < items.size(); ++i) {
    if (items[i - 1].first + items[i - 1].second > items[i].first) return false;
  }
  return true;
}

bool ReadTables(const ByteReader& data, LingoScript& script) {
  uint16_t literal_count = 0;
  uint32_t handler_vector_offset = 0;
  if (!data.U16Be(kLiteralCount, literal_count) ||
      !data.U32Be(kLiteralRecords, script.literal_records) ||
      !data.U16Be(kHandlerVectorCount, script.handler_vector_count) ||
      !data.U32Be(kHandlerVectorOffset, handler_vector_offset) ||
      !RangeWithin(script.literal_records,
                   uint64_t{literal_count} * script.layout.literal_record_size,
                   script.literal_data_offset)) {
    return false;
  }
  const uint64_t literal_end = uint64_t{script.literal_data_offset} + script.literal_data_length;
  const uint64_t vector_length = uint64_t{script.handler_vector_count} * 2;
  if (script.handler_vector_count > 0 ? handler_vector_offset != literal_end ||
                                            literal_end + vector_length != data.size()
                                      : literal_end != data.size()) {
    return false;
  }
  for (uint32_t i = 0; i < literal_count; ++i) {
    LingoLiteral literal;
    if (!ReadLiteral(data, script, i, literal)) return false;
    script.literals.push_back(literal);
  }
  return StringsApart(script) && ReadHandlers(data, script);
}

// Every record offset of a string or float past `after` moves by `shift`.
void ShiftRecords(const LingoScript& script, uint32_t after, int64_t shift, uint8_t* out) {
  const uint32_t size = script.layout.literal_record_size;
  for (size_t i = 0; i < script.literals.size(); ++i) {
    const LingoLiteral& literal = script.literals[i];
    if (literal.type == kIntegerLiteral || literal.offset <= after) continue;
    uint8_t* field = out + script.literal_records + i * size + size - 4;
    StoreU32Be(field, static_cast<uint32_t>(LoadU32Be(field) + shift));
  }
}

void AddToField(uint8_t* out, size_t field, int64_t shift) {
  StoreU32Be(out + field, static_cast<uint32_t>(LoadU32Be(out + field) + shift));
}

}  // namespace

LingoLayout LayoutOfVersion(int16_t version) {
  if (version < kDirector5) return {6, 42, 6};
  if (version < kDirector85) return {8, 42, 8};
  return {8, 46, 1};
}

bool ReadDirectorVersion(const MovieView& movie, int16_t& version) {
  for (const char* type : {"VWCF", "DRCF"}) {
    uint32_t length = 0;
    const uint8_t* data = FindChunk(movie, type, length);
    uint16_t word = 0;
    if (data != nullptr && ByteReader(data, length).U16Be(kVersionOffset, word)) {
      version = static_cast<int16_t>(word);
      return true;
    }
  }
  return false;
}

uint32_t LingoScript::StringCount() const {
  return static_cast<uint32_t>(std::count_if(
      literals.begin(), literals.end(),
      [](const LingoLiteral& literal) { return literal.type == kStringLiteral; }));
}

bool ReadLingoScript(const ByteReader& data, const LingoLayout& layout, LingoScript& script) {
  script = LingoScript();
  script.data = data;
  script.layout = layout;
  uint32_t total = 0;
  uint32_t again = 0;
  if (!data.U32Be(kTotalLength, total) || !data.U32Be(kTotalLengthAgain, again) ||
      total != data.size() || again != data.size() || data.size() < kScriptHeaderEnd ||
      !data.U32Be(kLiteralDataLength, script.literal_data_length) ||
      !data.U32Be(kLiteralDataOffset, script.literal_data_offset) ||
      script.literal_data_offset < kScriptHeaderEnd ||
      !RangeWithin(script.literal_data_offset, script.literal_data_length, data.size())) {
    return false;
  }
  return ReadTables(data, script);
}

bool RebuildLingoScript(const LingoScript& script,
                        const std::vector<std::optional<std::vector<uint8_t>>>& texts,
                        std::vector<uint8_t>& data) {
  const uint8_t* old = script.data.data();
  std::vector<std::pair<uint32_t, size_t>> changed;  // offset, literal index
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!texts[i]) continue;
    if (i >= script.literals.size() || script.literals[i].type != kStringLiteral) return false;
    changed.emplace_back(script.literals[i].offset, i);
  }
  std::sort(changed.begin(), changed.end());
  data.assign(old, old + script.literal_data_offset);
  uint64_t copied = 0;  // literal data bytes up to here are in `data`
  int64_t shift = 0;
  for (const auto& [offset, index] : changed) {
    const std::vector<uint8_t>& text = *texts[index];
    const uint64_t counted = uint64_t{text.size()} + 1;
    if (counted > UINT32_MAX - 8) return false;
    const uint8_t* region = old + script.literal_data_offset;
    data.insert(data.end(), region + copied, region + offset);
    uint8_t count[4];
    StoreU32Be(count, static_cast<uint32_t>(counted));
    data.insert(data.end(), count, count + 4);
    data.insert(data.end(), text.begin(), text.end());
    data.resize(data.size() + 1 + (counted & 1), 0);
    const uint64_t old_size = ItemSize(script.literals[index].text.size() + 1);
    const int64_t delta = static_cast<int64_t>(ItemSize(counted)) - static_cast<int64_t>(old_size);
    ShiftRecords(script, offset, delta, data.data());
    shift += delta;
    copied = offset + old_size;
  }
  data.insert(data.end(), old + script.literal_data_offset + copied, old + script.data.size());
  if (data.size() > UINT32_MAX - 8) return false;
  AddToField(data.data(), kTotalLength, shift);
  AddToField(data.data(), kTotalLengthAgain, shift);
  AddToField(data.data(), kLiteralDataLength, shift);
  if (script.handler_vector_count > 0) AddToField(data.data(), kHandlerVectorOffset, shift);
  return true;
}

bool ReadLingoNames(const ByteReader& data, std::vector<std::string>& names) {
  uint16_t offset = 0;
  uint16_t count = 0;
  if (!data.U16Be(16, offset) || !data.U16Be(18, count)) return false;
  size_t at = offset;
  names.clear();
  for (uint16_t i = 0; i < count; ++i) {
    uint8_t length = 0;
    if (!data.U8(at, length) || !data.Has(at + 1, length)) return false;
    names.emplace_back(reinterpret_cast<const char*>(data.data() + at + 1), length);
    at += 1 + size_t{length};
  }
  return true;
}

bool ReadLingoContext(const ByteReader& data, std::vector<int32_t>& scripts) {
  constexpr size_t kEntrySize = 12;
  uint32_t count = 0;
  uint16_t offset = 0;
  if (!data.U32Be(8, count) || !data.U16Be(16, offset) ||
      !RangeWithin(offset, uint64_t{count} * kEntrySize, data.size())) {
    return false;
  }
  scripts.clear();
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t entry = 0;
    data.U32Be(offset + size_t{i} * kEntrySize + 4, entry);
    scripts.push_back(static_cast<int32_t>(entry));
  }
  return true;
}

}  // namespace quillon
