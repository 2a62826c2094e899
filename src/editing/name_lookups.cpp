#include "editing/name_lookups.h"

#include "common/number_text.h"

namespace quavert {
namespace {

constexpr int kUnknownKit = 8;
constexpr int kControllerEnd = -1;
constexpr int kPitchClasses = 12;
constexpr int kHighestOctave = 10;
constexpr std::int32_t kNoteLimit = 128;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int DrumKitEntry(std::int32_t program) {
  if (program < 0) return kUnknownKit;
  const int q = program / 8;
  const int r = program % 8;
  int kit = q;
  // The Electronic kit is program 24 alone; the TR-808 kit takes the seven programs after it and 32.
  if (q == 3 && r > 0) kit = 4;
  if (q > 4 || (q == 4 && r > 0)) kit = q + 1;
  if (kit > 7) kit = kUnknownKit;
  return kit;
}

std::string DrumKitNameOf(const NameTables& names, std::int32_t program) {
  return names.DrumKitName[static_cast<std::size_t>(DrumKitEntry(program) + 1)];
}

std::string LookupController(const NameTables& names, std::int32_t number) {
  for (std::size_t k = 1; k < names.ControllerNumber.size(); ++k) {
    if (names.ControllerNumber[k] == kControllerEnd) break;
    if (names.ControllerNumber[k] == number) return names.ControllerName[k];
  }
  return PlainNumber(number);
}

std::string NoteText(const NameTables& names, std::int32_t note) {
  if (note < 0) return {};
  return names.NoteName[static_cast<std::size_t>(note % kPitchClasses + 1)] + PlainNumber(note / kPitchClasses);
}

std::optional<std::int32_t> ReadNoteName(const NameTables& names, std::string_view text) {
  const std::string typed = UpperCase(TrimLeft(text));
  const std::size_t name_length = typed.find('#') != std::string::npos ? 2 : 1;
  const std::string_view name = std::string_view(typed).substr(0, name_length);
  int pitch_class = -1;
  for (int k = 0; k < kPitchClasses; ++k)
    if (names.NoteName[static_cast<std::size_t>(k + 1)] == name) {
      pitch_class = k;
      break;
    }
  if (pitch_class < 0 || typed.size() <= name_length) return std::nullopt;
  const std::string_view octave_text = std::string_view(typed).substr(name_length);
  if (!IsDigit(octave_text.front())) return std::nullopt;
  const double octave = LeadingNumber(octave_text);
  if (octave < 0 || octave > kHighestOctave) return std::nullopt;
  const double note = RoundHalfEven(octave * kPitchClasses + pitch_class);
  if (note >= kNoteLimit) return std::nullopt;
  return static_cast<std::int32_t>(note);
}

}  // namespace quavert
