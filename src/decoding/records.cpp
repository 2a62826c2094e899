#include "decoding/records.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>

#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::array<std::size_t, 5> kListWidths = {3, 4, 3, 6, 40};

// Where each field of a notes.dat record starts: Status, Data1, Data2, Delta, RowKind, MetaMark,
// NoteState; all are kEventFieldWidth wide but the delta's.
constexpr std::size_t kDeltaAt = 3 * kEventFieldWidth;
constexpr std::array<std::size_t, 7> kFieldOffsets = {0,
                                                     kEventFieldWidth,
                                                     2 * kEventFieldWidth,
                                                     kDeltaAt,
                                                     kDeltaAt + kDeltaFieldWidth,
                                                     kDeltaAt + kDeltaFieldWidth + kEventFieldWidth,
                                                     kDeltaAt + kDeltaFieldWidth + 2 * kEventFieldWidth};

// "6E7" for 60000000: mantissa digits without trailing zeros, then the exponent.
std::string ExponentText(std::int32_t value) {
  std::string digits = PlainNumber(value < 0 ? -static_cast<std::int64_t>(value) : value);
  int exponent = 0;
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  std::string text = value < 0 ? "-" : "";
  text += digits + "E" + PlainNumber(exponent);
  return text;
}

// The texts of the values most fields hold, made at compile time: every record of a track is
// written twice, so the common values are copied rather than formatted.
constexpr std::int32_t kTableLow = -256;
constexpr std::int32_t kTableHigh = 1023;

struct FieldTable {
  char text[kTableHigh - kTableLow + 1][kEventFieldWidth + 1];
};

constexpr FieldTable MakeFieldTable() {
  FieldTable table{};
  for (std::int32_t value = kTableLow; value <= kTableHigh; ++value) {
    char* text = table.text[value - kTableLow];
    for (std::size_t i = 0; i <= kEventFieldWidth; ++i) text[i] = ' ';
    text[0] = value < 0 ? '-' : ' ';
    std::int32_t rest = value < 0 ? -value : value;
    std::size_t digits = 1;
    for (std::int32_t t = rest; t >= 10; t /= 10) ++digits;
    for (std::size_t i = digits; i > 0; --i, rest /= 10) text[i] = static_cast<char>('0' + rest % 10);
  }
  return table;
}

constexpr FieldTable kFieldTable = MakeFieldTable();

// The seven bytes of a field as one number, the first in the lowest byte; the eighth is 0.
constexpr std::uint64_t FieldKey(const char* text) {
  std::uint64_t key = 0;
  for (std::size_t i = kEventFieldWidth; i > 0; --i) key = key << 8 | static_cast<unsigned char>(text[i - 1]);
  return key;
}

// The same table the other way round, for reading: a field's text leads to its value through
// one multiplication. The multiplier was chosen so that only 3 of the table's texts share a
// slot with another; those, like every other text, are read digit by digit.
constexpr int kLookupBits = 12;
constexpr std::uint64_t kLookupMultiplier = 0x8dbd19c2ef95e275;

constexpr std::size_t LookupSlot(std::uint64_t key) { return (key * kLookupMultiplier) >> (64 - kLookupBits); }

struct FieldLookup {
  std::uint64_t keys[std::size_t{1} << kLookupBits];  // 0 for a free slot: no text is all zero bytes
  std::int16_t values[std::size_t{1} << kLookupBits];
};

constexpr FieldLookup MakeFieldLookup() {
  FieldLookup lookup{};
  for (std::int32_t value = kTableLow; value <= kTableHigh; ++value) {
    const std::uint64_t key = FieldKey(kFieldTable.text[value - kTableLow]);
    const std::size_t slot = LookupSlot(key);
    if (lookup.keys[slot] != 0) continue;
    lookup.keys[slot] = key;
    lookup.values[slot] = static_cast<std::int16_t>(value);
  }
  return lookup;
}

constexpr FieldLookup kFieldLookup = MakeFieldLookup();

constexpr int FoundInLookup() {
  int found = 0;
  for (std::uint64_t key : kFieldLookup.keys) found += key != 0;
  return found;
}
static_assert(FoundInLookup() == kTableHigh - kTableLow + 1 - 3, "the multiplier no longer spreads the texts");

// Values whose sign-position text fits the field are written straight into place; wider ones
// take the exact forms EventFieldText finds.
constexpr std::int32_t kLargestShortField = 999999;

// A value outside the table; kept out of line so that the common case stays small enough to be
// built into its callers.
[[gnu::noinline]] void WriteOtherField(std::int32_t value, char* out) {
  if (value < -kLargestShortField || value > kLargestShortField) {
    const std::string text = EventFieldText(value);
    std::memcpy(out, text.data(), kEventFieldWidth);
    return;
  }
  std::memset(out, ' ', kEventFieldWidth);
  // to_chars writes the minus itself; a non-negative number leaves the sign blank in front.
  std::to_chars(value >= 0 ? out + 1 : out, out + kEventFieldWidth, value);
}

inline void WriteField(std::int32_t value, char* out) {
  if (value >= kTableLow && value <= kTableHigh) {
    std::memcpy(out, kFieldTable.text[value - kTableLow], kEventFieldWidth);
    return;
  }
  WriteOtherField(value, out);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool CarriesNumberOn(char c) { return c == '.' || c == 'e' || c == 'E'; }

// The value of a field holding a plain integer (blanks, a sign, digits, and then nothing that
// could carry the number on), as this program writes them; nothing for any other text, which
// takes the general reading.
std::optional<std::int32_t> PlainFieldValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const std::size_t digits = i;
  std::int32_t value = 0;
  // Nine digits always fit; a longer run goes the general way.
  for (; i < text.size() && i - digits < 9 && IsDigit(text[i]); ++i) value = value * 10 + (text[i] - '0');
  if (i < text.size() && (IsDigit(text[i]) || CarriesNumberOn(text[i]))) return std::nullopt;
  return negative ? -value : value;
}

// The seven bytes of a field at `text` as FieldKey gives them: byte 7 is 0, which is no digit.
// Two overlapping loads straight into registers; a copy through memory would stall on reading
// back what it just stored.
inline std::uint64_t FieldBytes(const char* text) {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  std::memcpy(&low, text, 4);
  std::memcpy(&high, text + 3, 4);
  return low | std::uint64_t{high} << 24;
}

// A field as WriteField writes it (the sign position, one to six digits without a leading
// zero, blanks to the end), read with a few word operations and one branch; nothing for any
// other text.
inline std::optional<std::int32_t> WrittenFieldValue(std::uint64_t bytes) {
  constexpr std::uint64_t kEach = 0x0101010101010101;
  const std::uint64_t t = bytes ^ (kEach * '0');  // digit characters become 0..9
  // Bit 7 of each byte that is no digit: bytes of 10 or more overflow into it without a carry
  // reaching the next byte, since bit 7 was cleared first.
  const std::uint64_t not_digit = (((t & (kEach * 0x7F)) + kEach * (0x80 - 10)) | t) & (kEach * 0x80);
  const int end = __builtin_ctzll(not_digit & ~std::uint64_t{0xFF}) / 8;  // first byte after the digits
  const std::uint64_t after = (~std::uint64_t{0} << (8 * end)) & ((kEach >> 8) * 0xFF);  // bytes end..6
  const int digits = end - 1;
  const std::uint64_t first = t >> 8 & 0xFF;
  const char sign = static_cast<char>(bytes & 0xFF);
  const bool written = (sign == ' ' || sign == '-') & (digits > 0) & (((bytes ^ (kEach * ' ')) & after) == 0) &
                       (first != 0 || (digits == 1 && sign == ' '));
  if (!written) return std::nullopt;
  std::uint64_t value = t >> 8 & ((std::uint64_t{1} << (8 * digits)) - 1);
  // Eight digits with leading zeros, the first in the lowest byte, summed pairwise.
  value <<= 8 * (8 - digits);
  value = (value * 10 + (value >> 8)) & 0x00FF00FF00FF00FF;
  value = (value * 100 + (value >> 16)) & 0x0000FFFF0000FFFF;
  value = (value * 10000 + (value >> 32)) & 0x00000000FFFFFFFF;
  const auto number = static_cast<std::int32_t>(value);
  return sign == '-' ? -number : number;
}

// The value of a notes.dat field that is not as this program writes it; out of line, see above.
[[gnu::noinline]] std::int32_t OtherFieldValue(const char* text) {
  std::size_t i = 0;
  while (i < kEventFieldWidth && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < kEventFieldWidth && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int32_t value = 0;
  for (; i < kEventFieldWidth && IsDigit(text[i]); ++i) value = value * 10 + (text[i] - '0');
  if (i < kEventFieldWidth && CarriesNumberOn(text[i])) return ToLong(LeadingNumber({text, kEventFieldWidth}));
  return negative ? -value : value;
}

// The value of a notes.dat field, whose seven characters cannot hold too many digits.
[[gnu::always_inline]] inline std::int32_t FieldValue(const char* text, bool& exact) {
  const std::uint64_t bytes = FieldBytes(text);
  const std::size_t slot = LookupSlot(bytes);
  if (kFieldLookup.keys[slot] == bytes) return kFieldLookup.values[slot];
  if (const std::optional<std::int32_t> value = WrittenFieldValue(bytes)) return *value;
  exact = false;
  return OtherFieldValue(text);
}

// The delta's field: the seven characters of any other field, then blanks, for the values
// those hold; the rest in the sign-position form of the whole width.
constexpr std::size_t kDeltaExtra = kDeltaFieldWidth - kEventFieldWidth;

bool DeltaTailBlank(const char* text) {
  for (std::size_t i = kEventFieldWidth; i < kDeltaFieldWidth; ++i)
    if (text[i] != ' ') return false;
  return true;
}

inline void WriteDeltaField(std::int32_t value, char* out) {
  if (value >= -kLargestShortField && value <= kLargestShortField) {
    WriteField(value, out);
    std::memset(out + kEventFieldWidth, ' ', kDeltaExtra);
    return;
  }
  const std::string text = EventFieldText(value, kDeltaFieldWidth);
  std::memcpy(out, text.data(), kDeltaFieldWidth);
}

inline std::int32_t DeltaFieldValue(const char* text, bool& exact) {
  if (DeltaTailBlank(text)) return FieldValue(text, exact);
  const std::string_view field(text, kDeltaFieldWidth);
  const std::int32_t value = EventFieldValue(field);
  // Values of the short range are written with a blank tail, so this text is not as written.
  const bool written = (value < -kLargestShortField || value > kLargestShortField) &&
                       EventFieldText(value, kDeltaFieldWidth) == field;
  if (!written) exact = false;
  return value;
}

void WriteText(std::string_view text, std::size_t width, char* out) {
  const std::size_t used = text.size() < width ? text.size() : width;
  if (used > 0) std::memcpy(out, text.data(), used);
  std::memset(out + used, ' ', width - used);
}

}  // namespace

std::string EventFieldText(std::int32_t value, std::size_t width) {
  std::string text = SignedNumber(value);
  if (text.size() > width && value >= 0) text = PlainNumber(value);
  if (text.size() > width) text = ExponentText(value);
  if (text.size() > width) throw RunError(kOverflow);
  return PadRight(text, width);
}

std::int32_t EventFieldValue(std::string_view field) {
  if (const std::optional<std::int32_t> value = PlainFieldValue(field)) return *value;
  return ToLong(LeadingNumber(field));
}

void WriteEventRecord(const EventRecord& record, char* out) {
  WriteField(record.Status, out + kFieldOffsets[0]);
  WriteField(record.Data1, out + kFieldOffsets[1]);
  WriteField(record.Data2, out + kFieldOffsets[2]);
  WriteDeltaField(record.Delta, out + kFieldOffsets[3]);
  WriteField(record.RowKind, out + kFieldOffsets[4]);
  WriteField(record.MetaMark, out + kFieldOffsets[5]);
  WriteField(record.NoteState, out + kFieldOffsets[6]);
}

void AppendEventRecord(const EventRecord& record, std::string& out) {
  const std::size_t at = out.size();
  out.resize(at + kEventRecordLength);
  WriteEventRecord(record, out.data() + at);
}

EventRecord ParseEventRecord(std::string_view bytes, bool* exact) {
  bool all_exact = true;
  EventRecord record;
  if (bytes.size() >= kEventRecordLength) {
    const char* text = bytes.data();
    record.Status = FieldValue(text + kFieldOffsets[0], all_exact);
    record.Data1 = FieldValue(text + kFieldOffsets[1], all_exact);
    record.Data2 = FieldValue(text + kFieldOffsets[2], all_exact);
    record.Delta = DeltaFieldValue(text + kFieldOffsets[3], all_exact);
    record.RowKind = FieldValue(text + kFieldOffsets[4], all_exact);
    record.MetaMark = FieldValue(text + kFieldOffsets[5], all_exact);
    record.NoteState = FieldValue(text + kFieldOffsets[6], all_exact);
  } else {
    // A short record: what is missing reads as blanks.
    all_exact = false;
    auto field = [&](std::size_t index) {
      const std::size_t width = index == 3 ? kDeltaFieldWidth : kEventFieldWidth;
      return EventFieldValue(bytes.substr(std::min(kFieldOffsets[index], bytes.size()), width));
    };
    record = {field(0), field(1), field(2), field(3), field(4), field(5), field(6)};
  }
  if (exact != nullptr) *exact = all_exact;
  return record;
}

void WriteListingFields(const EventRecord& record, char* out) {
  WriteField(record.RowKind, out + kFieldOffsets[4]);
  WriteField(record.NoteState, out + kFieldOffsets[6]);
}

void WriteListRow(const ListRowTexts& texts, char* out) {
  for (std::size_t i = 0; i < kListWidths.size(); ++i) {
    WriteText(texts[i], kListWidths[i], out);
    out += kListWidths[i];
  }
}

void AppendListRow(const ListRow& row, std::string& out) {
  const std::size_t at = out.size();
  out.resize(at + kListRowLength);
  WriteListRow(TextsOf(row), out.data() + at);
}

ListRow ParseListRow(std::string_view bytes) {
  std::array<std::string, 5> fields;
  std::size_t offset = 0;
  for (std::size_t i = 0; i < kListWidths.size(); ++i) {
    const std::string_view field = offset < bytes.size() ? bytes.substr(offset, kListWidths[i]) : std::string_view{};
    fields[i] = std::string(TrimRight(field));
    offset += kListWidths[i];
  }
  return {fields[0], fields[1], fields[2], fields[3], fields[4]};
}

}  // namespace quavert
