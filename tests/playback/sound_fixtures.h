#pragma once

#include <string>
#include <string_view>

namespace quavert::testing {

/// A SoundFont of one preset (bank 0, program 0) that plays a looped sine wave at full scale
/// on every key: small enough to load in an instant, loud enough to measure.
std::string SineSoundFont();

/// The root mean square of the samples of a 16-bit PCM WAV file, full scale being 1; not a
/// number (neither loud nor quiet) when the bytes hold no such samples.
double WavRms(std::string_view wav);

/// A format-0 file at 120 beats per minute and 480 ticks per quarter (960 ticks a second)
/// playing `notes` notes of `ticks_each` ticks one after the other.
std::string NoteSequence(int notes, int ticks_each);

}  // namespace quavert::testing
