#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "midi_track.h"

namespace quavert::generate {

inline constexpr std::uint32_t kEighth = kDivision / 2;

/// The key number of a note name as the program's list writes it: a letter, an optional # or b,
/// and the octave, with C5 = 60 ("F#4" is 54, "Bb3" 46). std::invalid_argument when malformed.
int KeyOf(std::string_view name);

/// Writes a line of music for one channel, starting at `start`, and returns the tick after it.
/// `notes` is a list of blank-separated tokens NOTE:LENGTH, where NOTE is a note name, several
/// joined by "+" for a chord, or "r" for a rest, and LENGTH counts eighth notes; "|" marks a bar
/// line, and every bar must hold `bar_eighths` (std::logic_error otherwise, so that a slip in a
/// score is caught when the file is made). Each note ends with a note on of velocity 0.
/// `lyrics`, when not empty, gives one syllable per note or chord, written as lyric events.
Tick Play(Track& track, int channel, Tick start, int bar_eighths, int velocity,
                   std::string_view notes, const std::vector<std::string_view>& lyrics = {});

/// Writes drum hits on channel 10: `grid` has one character per eighth note, "x" a hit, "X" an
/// accented hit, "." none, "|" a bar line (checked as in Play). Each hit lasts a sixteenth note.
void Drum(Track& track, Tick start, int bar_eighths, int key, std::string_view grid);

}  // namespace quavert::generate
