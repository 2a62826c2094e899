#include "decoding/records.h"

#include <array>
#include <charconv>

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

// Values whose sign-position text fits the field, written straight into `out`: the common case,
// kept free of temporary strings because whole tracks of records are written at a time.
constexpr std::int32_t kLargestShortField = 999999;

bool AppendShortField(std::int32_t value, std::string& out) {
  if (value < -kLargestShortField || value > kLargestShortField) return false;
  char text[kEventFieldWidth + 1];
  char* end = text;
  if (value >= 0) *end++ = ' ';
  end = std::to_chars(end, text + sizeof text, value).ptr;
  const auto used = static_cast<std::size_t>(end - text);
  out.append(text, used);
  out.append(kEventFieldWidth - used, ' ');
  return true;
}

void AppendField(std::string_view text, std::size_t width, std::string& out) {
  const std::size_t used = text.size() < width ? text.size() : width;
  out.append(text.substr(0, used));
  out.append(width - used, ' ');
}

}  // namespace

std::string EventFieldText(std::int32_t value) {
  std::string text = SignedNumber(value);
  if (text.size() > kEventFieldWidth && value >= 0) text = PlainNumber(value);
  if (text.size() > kEventFieldWidth) text = ExponentText(value);
  if (text.size() > kEventFieldWidth) throw RunError(kOverflow);
  return PadRight(text, kEventFieldWidth);
}

std::int32_t EventFieldValue(std::string_view field) { return ToLong(LeadingNumber(field)); }

void AppendEventRecord(const EventRecord& record, std::string& out) {
  for (std::int32_t value : {record.Status, record.Data1, record.Data2, record.Delta, record.RowKind,
                             record.MetaMark, record.NoteState})
    if (!AppendShortField(value, out)) out += EventFieldText(value);
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

void AppendListRow(const ListRow& row, std::string& out) {
  AppendField(row.Channel, kListWidths[0], out);
  AppendField(row.Notes, kListWidths[1], out);
  AppendField(row.Volume, kListWidths[2], out);
  AppendField(row.Length, kListWidths[3], out);
  AppendField(row.Description, kListWidths[4], out);
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
