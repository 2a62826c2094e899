#pragma once

namespace quavert {

/// Meta-event types the decoder knows (the byte after FF).
enum MetaType : int {
  kMetaSequenceNumber = 0x00,
  kMetaText = 0x01,
  kMetaCopyright = 0x02,
  kMetaTrackName = 0x03,
  kMetaInstrument = 0x04,
  kMetaLyric = 0x05,
  kMetaMarker = 0x06,
  kMetaCuePoint = 0x07,
  kMetaProgramName = 0x08,
  kMetaDeviceName = 0x09,
  kMetaChannelPrefix = 0x20,
  kMetaPort = 0x21,
  kMetaEndOfTrack = 0x2F,
  kMetaTempo = 0x51,
  kMetaSmpteOffset = 0x54,
  kMetaTimeSignature = 0x58,
  kMetaKeySignature = 0x59,
  kMetaSequencerSpecific = 0x7F,
};

/// Largest dd of a time signature: 2 to its power is the denominator, a signed 16-bit value.
inline constexpr int kLargestDenominatorPower = 14;

/// Status values of the rows that stand for a tempo or a time signature in the timed part.
inline constexpr int kTempoRowStatus = 81;
inline constexpr int kTimeSignatureRowStatus = 88;
/// MetaMark of a row that stands for a text, lyric or marker event.
inline constexpr int kMetaPlaceholderMark = -2;

}  // namespace quavert
