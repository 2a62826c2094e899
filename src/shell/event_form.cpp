#include "shell/event_form.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

#include "decoding/delta_time.h"

namespace quavert {
namespace {

// A whole number in `low` .. `high`, blanks around it allowed.
std::optional<std::int64_t> NumberIn(const std::string& text, std::int64_t low, std::int64_t high) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(' ');
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  std::int64_t value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || value < low || value > high) return std::nullopt;
  return value;
}

std::string RangeMessage(const char* what, std::int64_t low, std::int64_t high) {
  return std::string(what) + " must be between " + std::to_string(low) + " and " + std::to_string(high);
}

std::string HexOf(std::initializer_list<std::int64_t> bytes) {
  std::string text;
  for (const std::int64_t byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(byte & 0xFF));
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}


}  // namespace

FormResult ReadEventForm(const EventForm& form, std::int64_t most_ticks, std::int64_t most_length) {
  struct Field {
    const std::string* Text;
    const char* Name;
    std::int64_t Low;
    std::int64_t High;
  };
  const Field channel{&form.Channel, "Channel", 1, 16};
  const Field ticks{&form.Ticks, "Ticks", 0, std::max<std::int64_t>(most_ticks, 0)};
  std::vector<Field> fields;
  std::int64_t status = 0;
  switch (form.Kind) {
    case EventKind::kNote:
      fields = {channel, {&form.Key, "Key", 0, 127}, {&form.Velocity, "Velocity", 1, 127},
                {&form.Length, "Length", 0, std::clamp<std::int64_t>(most_length, 0, kLargestVariableLength)}};
      status = 0x90;
      break;
    case EventKind::kController:
      fields = {channel, {&form.Number, "Controller", 0, 127}, {&form.Value, "Value", 0, 127}};
      status = 0xB0;
      break;
    case EventKind::kProgram:
      fields = {channel, {&form.Number, "Program", 0, 127}};
      status = 0xC0;
      break;
    case EventKind::kPitchBend:
      fields = {channel, {&form.Value, "Pitch bend", -8192, 8191}};
      status = 0xE0;
      break;
    case EventKind::kPressure:
      fields = {channel, {&form.Value, "Pressure", 0, 127}};
      status = 0xD0;
      break;
    case EventKind::kRawBytes:
      break;
  }
  fields.push_back(ticks);
  std::vector<std::int64_t> values;
  for (const Field& field : fields) {
    const std::optional<std::int64_t> value = NumberIn(*field.Text, field.Low, field.High);
    if (!value) return {std::nullopt, RangeMessage(field.Name, field.Low, field.High)};
    values.push_back(*value);
  }
  EventRequest request;
  request.Ticks = values.back();
  if (form.Kind == EventKind::kRawBytes) {
    request.Hex = form.Hex;
    return {request, {}};
  }
  const std::int64_t first = status | (values[0] - 1);
  switch (form.Kind) {
    case EventKind::kNote:
      // The note's length counts from its own time, which lies the time offset after the row.
      if (values[3] > most_length - request.Ticks)
        return {std::nullopt, RangeMessage("Length", 0, std::max<std::int64_t>(most_length - request.Ticks, 0))};
      request.Channel = static_cast<int>(values[0] - 1);
      request.Key = static_cast<int>(values[1]);
      request.Velocity = static_cast<int>(values[2]);
      request.Length = values[3];
      break;
    case EventKind::kController: request.Hex = HexOf({first, values[1], values[2]}); break;
    case EventKind::kProgram:
    case EventKind::kPressure: request.Hex = HexOf({first, values[1]}); break;
    case EventKind::kPitchBend: {
      const std::int64_t bend = values[1] + 8192;
      request.Hex = HexOf({first, bend & 0x7F, bend >> 7});
      break;
    }
    case EventKind::kRawBytes: break;
  }
  return {request, {}};
}

}  // namespace quavert
