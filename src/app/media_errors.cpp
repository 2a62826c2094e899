#include "app/media_errors.h"

#include <array>
#include <string_view>

#include "common/number_text.h"

namespace quavert {
namespace {

constexpr std::array<std::string_view, 14> kTexts = {
    "The command was carried out.",
    "The player does not know this command.",
    "The media device is not open.",
    "A media device is open already.",
    "The file to play does not exist or cannot be read.",
    "The file is too large to play.",
    "No SoundFont was found: install a General MIDI SoundFont or name one in QUAVERT_SOUNDFONT.",
    "The SoundFont could not be loaded.",
    "No audio output could be opened.",
    "The synthesizer could not be started.",
    "A number in the command is missing or not a whole number.",
    "The position lies outside the file.",
    "A word of the command is not understood.",
    "The player failed unexpectedly.",
};

}  // namespace

std::string MediaErrorText(int code) {
  if (code >= 0 && code < static_cast<int>(kTexts.size())) return std::string(kTexts[static_cast<std::size_t>(code)]);
  return "Unknown media error " + PlainNumber(code) + ".";
}

}  // namespace quavert
