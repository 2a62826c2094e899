#pragma once

#include <string>

namespace quavert {

/// Return codes of the media services Quavert carries itself. 0 is success.
enum MediaError : int {
  kMediaOk = 0,
  kUnknownCommand = 1,    ///< the first word names no command
  kDeviceNotOpen = 2,     ///< no device is open under the alias named
  kDeviceAlreadyOpen = 3, ///< a device is open already; close it first
  kFileMissing = 4,       ///< the file to play does not exist or cannot be read
  kFileTooLarge = 5,      ///< the file to play is larger than the player takes
  kNoSoundFont = 6,       ///< no SoundFont was found, or the one named does not exist
  kSoundFontUnusable = 7, ///< the SoundFont exists but the synthesizer cannot load it
  kNoAudioOutput = 8,     ///< neither the sound card nor the audio file could be opened
  kSynthUnavailable = 9,  ///< the synthesizer could not be created
  kBadNumber = 10,        ///< a number of the command is missing or not a whole number
  kOutOfRange = 11,       ///< a position lies outside the file
  kUnknownWord = 12,      ///< a word after the device is not understood
  kPlayerFailure = 13,    ///< the player failed unexpectedly
};

/// The text shown to the user for a code of MediaError; a code it does not know gets a
/// text naming the number.
std::string MediaErrorText(int code);

}  // namespace quavert
