#include "decoding/records.h"

#include <array>
#include <charconv>
#include <cstring>
#include <optional>

#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::array<std::size_t, 5> kListWidths = {3, 4, 3, 6, 40};

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

// Values whose sign-position text fits the field, written straight into place: the common case,
// kept free of temporary strings because whole tracks of records are written at a time.
constexpr std::int32_t kLargestShortField = 999999;

void WriteField(std::int32_t value, char* out) {
  if (value < -kLargestShortField || value > kLargestShortField) {
    const std::string text = EventFieldText(value);
    std::memcpy(out, text.data(), kEventFieldWidth);
    return;
  }
  std::memset(out, ' ', kEventFieldWidth);
  // to_chars writes the minus itself; a non-negative number leaves the sign blank in front.
  std::to_chars(value >= 0 ? out + 1 : out, out + kEventFieldWidth, value);
}

// The value of a field holding a plain integer (blanks, a sign, digits, and then nothing that
// could carry the number on), the texts this program writes; empty for any other text, which
// takes the general reading.
std::optional<std::int32_t> PlainFieldValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const std::size_t digits = i;
  std::int32_t value = 0;
  // Nine digits always fit; a longer run goes the general way.
  for (; i < text.size() && i - digits < 9 && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  if (i < text.size()) {
    const char next = text[i];
    if (next == '.' || next == 'e' || next == 'E' || (next >= '0' && next <= '9')) return std::nullopt;
  }
  return negative ? -value : value;
}

void WriteText(std::string_view text, std::size_t width, char* out) {
  const std::size_t used = text.size() < width ? text.size() : width;
  std::memcpy(out, text.data(), used);
  std::memset(out + used, ' ', width - used);
}

}  // namespace

std::string EventFieldText(std::int32_t value) {
  std::string text = SignedNumber(value);
  if (text.size() > kEventFieldWidth && value >= 0) text = PlainNumber(value);
  if (text.size() > kEventFieldWidth) text = ExponentText(value);
  if (text.size() > kEventFieldWidth) throw RunError(kOverflow);
  return PadRight(text, kEventFieldWidth);
}

std::int32_t EventFieldValue(std::string_view field) {
  if (const std::optional<std::int32_t> value = PlainFieldValue(field)) return *value;
  return ToLong(LeadingNumber(field));
}

void WriteEventRecord(const EventRecord& record, char* out) {
  WriteField(record.Status, out);
  WriteField(record.Data1, out + kEventFieldWidth);
  WriteField(record.Data2, out + 2 * kEventFieldWidth);
  WriteField(record.Delta, out + 3 * kEventFieldWidth);
  WriteField(record.RowKind, out + 4 * kEventFieldWidth);
  WriteField(record.MetaMark, out + 5 * kEventFieldWidth);
  WriteField(record.NoteState, out + 6 * kEventFieldWidth);
}

void AppendEventRecord(const EventRecord& record, std::string& out) {
  const std::size_t at = out.size();
  out.resize(at + kEventRecordLength);
  WriteEventRecord(record, out.data() + at);
}

EventRecord ParseEventRecord(std::string_view bytes) {
  auto field = [&](std::size_t index) {
    return EventFieldValue(bytes.substr(index * kEventFieldWidth, kEventFieldWidth));
  };
  EventRecord record;
  record.Status = field(0);
  record.Data1 = field(1);
  record.Data2 = field(2);
  record.Delta = field(3);
  record.RowKind = field(4);
  record.MetaMark = field(5);
  record.NoteState = field(6);
  return record;
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
