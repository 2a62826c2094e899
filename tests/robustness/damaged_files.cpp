#include "robustness/damaged_files.h"

namespace quavert::testing {
namespace {

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");
const Bytes kSound = Smf(1, 96, {kNotes + kEnd});
// A tempo whose next event lost its status byte: 3C 64 stand where 90 3C 64 belongs.
const Bytes kMissingStatus = Hex("00 FF 51 03 07 A1 20 00 3C 64 10 80 3C 00") + kEnd;

// `file` with `count` bytes at 0-based `at` replaced by `bytes`.
Bytes Patched(Bytes file, std::size_t at, const Bytes& bytes) { return file.replace(at, bytes.size(), bytes); }

Bytes Tracks(int count) { return Smf(1, 96, std::vector<Bytes>(static_cast<std::size_t>(count), kNotes + kEnd)); }

DamagedFile Rejected(std::string name, Bytes bytes, std::string message) {
  return {std::move(name), std::move(bytes), {std::move(message)}, Reaches::kRejected, 0};
}

// Track 1 holds `data` and cannot be decoded; the file loads with one track.
DamagedFile BadTrack(std::string name, const Bytes& data, std::string message) {
  return {std::move(name), Smf(0, 96, {data}), {std::move(message)}, Reaches::kDecodeFailed, 1};
}

}  // namespace

std::vector<DamagedFile> DamagedFiles() {
  const Bytes cut_track = Patched(Smf(0, 96, {kNotes + Hex("00 FF")}), 21, Hex("10"));  // claims 16, holds 10
  const Bytes past_end = Patched(kSound, 21, Hex("40"));  // claims 64 bytes, holds 12
  return {
      // The header.
      Rejected("empty", "", "SONG.MID is not a MIDI file"),
      Rejected("13-bytes", kSound.substr(0, 13), "SONG.MID is not a MIDI file"),
      Rejected("header-id", Patched(kSound, 0, "RIFF"), "SONG.MID is not a MIDI file"),
      Rejected("header-size-7", Patched(kSound, 4, Hex("00 00 00 07")), "SONG.MID: Invalid Header Size"),
      Rejected("header-size-large", Patched(kSound, 4, Hex("01 00 00 06")), "SONG.MID: Invalid Header Size"),
      Rejected("format-3", Patched(kSound, 8, Hex("00 03")), "SONG.MID: Invalid File Format"),
      {"format-high-byte", Patched(kSound, 8, Hex("01 00")), {}, Reaches::kDecoded, 1},
      Rejected("division-0", Patched(kSound, 12, Hex("00 00")), "SONG.MID: Invalid Number of Delta Ticks"),
      Rejected("division-smpte", Patched(kSound, 12, Hex("E7 28")), "SONG.MID: Invalid Number of Delta Ticks"),
      {"track-count-wrong", Patched(kSound, 10, Hex("FF FF")), {}, Reaches::kDecoded, 1},
      {"no-tracks", Mthd(0, 0, 96), {}, Reaches::kDecoded, 0},

      // The chunks.
      {"foreign-chunk", Patched(Tracks(2), 34, "XFIL"), {"SONG.MID: Invalid Track ID ( 2)"}, Reaches::kDecoded, 1},
      {"trailing-3", kSound + "abc", {}, Reaches::kDecoded, 2},
      {"trailing-8", kSound + "abcdefgh", {"SONG.MID:\r\nProbably unnecessary bytes at end of file. File should be OK."},
       Reaches::kDecoded, 1},
      Rejected("no-end-of-track", Smf(0, 96, {kNotes + Hex("00 FF 2F 01")}), "SONG.MID: Invalid Track Length ( 1)"),
      Rejected("empty-track", Smf(0, 96, {""}), "SONG.MID: Invalid Track Length ( 1)"),
      Rejected("second-track-short", Smf(1, 96, {kNotes + kEnd, Hex("FF 2F")}), "SONG.MID: Invalid Track Length ( 2)"),
      {"length-past-end", past_end, {}, Reaches::kDecoded, 1},
      {"length-past-end-cut", cut_track, {"ERROR: Unexpected end of track"}, Reaches::kDecodeFailed, 1},
      {"72-chunks", Tracks(72), {}, Reaches::kDecoded, 72},
      Rejected("73-chunks", Tracks(73), "ERROR: Too many notes for array"),

      // The events of track 1.
      {"missing-status", Smf(0, 96, {kMissingStatus}), {"ERROR: Probably missing byte.  Repair? "}, Reaches::kDecodeFailed, 1},
      {"clocks-0", Smf(0, 96, {Hex("00 FF 58 04 04 02 00 08") + kNotes + kEnd}), {"ERROR: Invalid Time Signature.  Repair? "},
       Reaches::kDecoded, 1},
      BadTrack("tempo-length-0", Hex("00 FF 51 00 00") + kNotes + kEnd, "ERROR: Invalid Tempo"),
      BadTrack("tempo-short", Hex("00 FF 51 02 07 A1 00") + kNotes + kEnd, "ERROR: Invalid Tempo"),
      BadTrack("tempo-0", Hex("00 FF 51 03 00 00 00 00") + kNotes + kEnd, "ERROR: Invalid Tempo"),
      BadTrack("time-signature-short", Hex("00 FF 58 03 04 02 18 00") + kNotes + kEnd, "ERROR: Invalid Time Signature"),
      BadTrack("time-signature-numerator-0", Hex("00 FF 58 04 00 02 18 08 00") + kNotes + kEnd, "ERROR: Invalid Time Signature"),
      BadTrack("time-signature-dd-15", Hex("00 FF 58 04 04 0F 18 08 00") + kNotes + kEnd, "ERROR: Invalid Time Signature"),
      BadTrack("key-signature-short", Hex("00 FF 59 01 00 00") + kNotes + kEnd, "ERROR: Invalid Key Signature"),
      BadTrack("channel-prefix-0", Hex("00 FF 20 00 00") + kNotes + kEnd, "ERROR: Invalid Channel Prefix"),
      BadTrack("meta-type-10", Hex("00 FF 0A 01 41 00") + kNotes + kEnd, "Invalid byte: 10"),
      BadTrack("program-over-127", Hex("00 C0 85 00") + kEnd, "ERROR: Invalid Instrument"),
      {"stray-bytes", Smf(0, 96, {Hex("00 F4 00 45 F9 90 3C 64 60 80 3C 00 00 FE 00 FF 2F 00")}), {}, Reaches::kDecoded, 1},
      // 81 80 80 80 00 is a delta of five bytes. Deltas are read with four at most, so its last
      // byte reads as a program change under running status: misread, but within the track.
      {"delta-5-bytes", Smf(0, 96, {Hex("00 C0 05 81 80 80 80 00") + kEnd}), {}, Reaches::kDecoded, 1},
      BadTrack("sysex-past-end", Hex("00 F0 7F 01 02 03") + kEnd, "ERROR: Unexpected end of track"),
      BadTrack("text-past-end", Hex("00 FF 01 20 41 42") + kEnd, "ERROR: Unexpected end of track"),
      // The FF of FF 2F 00 is taken as a velocity: the end of track is never read as one.
      BadTrack("end-taken-as-data", Hex("00 90 3C FF 2F 00"), "ERROR: Unexpected end of track"),
  };
}

}  // namespace quavert::testing
