#include "score.h"

#include <stdexcept>
#include <string>

namespace quavert::generate {
namespace {

constexpr int kLetterPitch[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G

void CheckBar(int eighths_in_bar, int bar_eighths, std::string_view where) {
  if (eighths_in_bar != bar_eighths) {
    throw std::logic_error("a bar of " + std::to_string(eighths_in_bar) + " eighths instead of " +
                           std::to_string(bar_eighths) + " near \"" + std::string(where) + "\"");
  }
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  while (!text.empty()) {
    const std::size_t end = text.find(separator);
    std::string_view part = text.substr(0, end);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return parts;
}

int Number(std::string_view digits) {
  if (digits.empty() || digits.size() > 4) throw std::invalid_argument("bad number in a score");
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') throw std::invalid_argument("bad number in a score");
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

int KeyOf(std::string_view name) {
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::invalid_argument("bad note name");
  int pitch = kLetterPitch[name[0] - 'A'];
  std::size_t next = 1;
  if (name[next] == '#') ++pitch, ++next;
  else if (name[next] == 'b') --pitch, ++next;
  const int key = Number(name.substr(next)) * 12 + pitch;
  if (key < 0 || key > 127) throw std::invalid_argument("note out of range");
  return key;
}

Tick Play(Track& track, int channel, Tick start, int bar_eighths, int velocity,
                   std::string_view notes, const std::vector<std::string_view>& lyrics) {
  Tick tick = start;
  std::size_t syllable = 0;
  int in_bar = 0;
  for (std::string_view token : Split(notes, ' ')) {
    if (token == "|") {
      CheckBar(in_bar, bar_eighths, notes.substr(0, static_cast<std::size_t>(token.data() - notes.data())));
      in_bar = 0;
      continue;
    }
    const std::size_t colon = token.find(':');
    if (colon == std::string_view::npos) throw std::invalid_argument("a note without a length in a score");
    const int eighths = Number(token.substr(colon + 1));
    const Tick end = tick + static_cast<std::uint32_t>(eighths) * kEighth;
    const std::string_view pitches = token.substr(0, colon);
    if (pitches != "r") {
      const std::vector<std::string_view> chord = Split(pitches, '+');
      if (syllable < lyrics.size()) track.Meta(tick, kMetaLyric, lyrics[syllable]);
      ++syllable;
      for (std::string_view name : chord) track.NoteOn(tick, channel, KeyOf(name), velocity);
      for (std::string_view name : chord) track.NoteOff(end, channel, KeyOf(name));
    }
    tick = end;
    in_bar += eighths;
  }
  CheckBar(in_bar, bar_eighths, notes);
  if (!lyrics.empty() && syllable != lyrics.size()) throw std::logic_error("lyrics do not match the notes");
  return tick;
}

void Drum(Track& track, Tick start, int bar_eighths, int key, std::string_view grid) {
  Tick tick = start;
  int in_bar = 0;
  for (char c : grid) {
    if (c == ' ') continue;
    if (c == '|') {
      CheckBar(in_bar, bar_eighths, grid);
      in_bar = 0;
      continue;
    }
    if (c == 'x' || c == 'X') {
      track.NoteOn(tick, kDrumChannel, key, c == 'X' ? 120 : 90);
      track.NoteOff(tick + kEighth / 2, kDrumChannel, key);
    } else if (c != '.') {
      throw std::invalid_argument("bad character in a drum grid");
    }
    tick += kEighth;
    ++in_bar;
  }
  CheckBar(in_bar, bar_eighths, grid);
}

}  // namespace quavert::generate
