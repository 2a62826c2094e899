#include "decoding/meta_events.h"

#include <array>
#include <string>
#include <utility>

#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/byte_patcher.h"
#include "decoding/decode_messages.h"
#include "decoding/event_rows.h"
#include "decoding/meta_format.h"
#include "decoding/meta_types.h"
#include "decoding/tempo.h"

namespace quavert {
namespace {

// How the text of a text-like meta event is made fit for display.
enum class TextCleanup {
  kAsIs,
  kPrintable,    // every byte below 32 or above 127 becomes a blank
  kTrimmedName,  // blanks trimmed, then every byte below 32 or above 123 becomes a blank
};

struct TextMeta {
  int type;
  std::string_view label;
  std::string_view report_label;
  TextCleanup cleanup;
};

constexpr std::array<TextMeta, 9> kTextMetas = {{
    {kMetaText, " Text              : ", "Text: ", TextCleanup::kPrintable},
    {kMetaCopyright, " Copyright         : ", "Copyright: ", TextCleanup::kPrintable},
    {kMetaTrackName, " Name              : ", " Name: ", TextCleanup::kTrimmedName},
    {kMetaInstrument, " Instrument        : ", "Instrument: ", TextCleanup::kAsIs},
    // A lyric's value is the lyric line, which carries its own label.
    {kMetaLyric, " ", "", TextCleanup::kAsIs},
    {kMetaMarker, " Mark              : ", "Mark: ", TextCleanup::kAsIs},
    {kMetaCuePoint, " Cue Point         : ", "Cue Point: ", TextCleanup::kAsIs},
    {kMetaProgramName, " Program Name      : ", "Program Name: ", TextCleanup::kAsIs},
    {kMetaDeviceName, " Device Name       : ", "Device Name: ", TextCleanup::kAsIs},
}};

constexpr std::string_view kLyricIndent = "                    ";  // 20 blanks, the width of kLyricLabel

const TextMeta* FindTextMeta(int type) {
  for (const TextMeta& meta : kTextMetas)
    if (meta.type == type) return &meta;
  return nullptr;
}

int Byte(const std::string& data, std::size_t index) { return static_cast<std::uint8_t>(data[index]); }

std::string Cleaned(std::string_view text, TextCleanup cleanup) {
  int highest = 255;
  if (cleanup == TextCleanup::kPrintable) highest = 127;
  if (cleanup == TextCleanup::kTrimmedName) {
    highest = 123;
    text = Trim(text);
  }
  std::string out(text);
  if (cleanup == TextCleanup::kAsIs) return out;
  for (char& c : out) {
    const int code = static_cast<std::uint8_t>(c);
    if (code < 32 || code > highest) c = ' ';
  }
  return out;
}

// Str of every byte, one after the other: " 0 0 65".
std::string ByteValues(std::string_view bytes) {
  std::string out;
  for (char c : bytes) out += SignedNumber(static_cast<std::uint8_t>(c));
  return out;
}

void AddPlaceholderRow(TrackDecodeContext& decode, std::int32_t delta) {
  EventRecord row;
  row.MetaMark = kMetaPlaceholderMark;
  row.Delta = delta;
  decode.AddRow(row);
}

MetaOutcome HandleText(TrackDecodeContext& decode, const ScannedEvent& event, bool begun, const TextMeta& meta) {
  const std::int32_t delta = event.delta.value;
  // Texts, lyrics and markers keep their place in time in the list; their lines are shown anyway.
  if (GetsRow(event, begun)) AddPlaceholderRow(decode, delta);

  std::string value = Cleaned(event.data, meta.cleanup);
  std::string& lyric = decode.LyricText;
  if (meta.type == kMetaLyric) {
    lyric = lyric.empty() ? std::string(kLyricIndent) + value : lyric + value;
    value = lyric;
  }
  decode.AddMetaLines(delta, meta.label, meta.report_label, value, delta);
  if (meta.type == kMetaLyric) lyric.clear();
  return MetaOutcome::kContinue;
}

MetaOutcome HandleTempo(TrackDecodeContext& decode, const ScannedEvent& event, bool begun) {
  TrackDecodeFacts& facts = decode.Facts;
  facts.LastTempoPos = event.data_first;
  if (event.problem != ScanProblem::kNone) return MetaOutcome::kStop;
  const auto tempo = static_cast<double>(TempoOfBytes(event.data));
  // Only the first tempo since the load gives the timing factor; a second one marks it unusable.
  if (facts.TickMinutes != 0)
    facts.TickMinutes = -1;
  else
    facts.TickMinutes = 60 / (1000000 / tempo * decode.Input.DeltaTicks);
  const std::int64_t bpm = BpmOfTempo(TempoOfBytes(event.data));
  const std::int32_t delta = event.delta.value;
  if (!GetsRow(event, begun)) {
    facts.TempoText = TrimNumber(bpm);
    decode.Sink.TempoShown();
    decode.AddMetaLines(delta, " Set tempo         :", " Set tempo:", SignedNumber(bpm), delta);
    if (facts.TempoPos == -1) {
      facts.TempoPos = facts.LastTempoPos;
      facts.TempoBpm = bpm;
    }
  } else {
    EventRecord row;
    row.Status = kTempoRowStatus;
    row.Data1 = static_cast<std::int32_t>(bpm);
    row.Delta = delta;
    decode.AddRow(row);
  }
  return MetaOutcome::kContinue;
}

// The clocks byte of the time signature just read is 0: offer to write 2 in its place.
void OfferTimeSignatureRepair(TrackDecodeContext& decode, const ScannedEvent& event) {
  if (!decode.Port.Ask(kTimeSignatureQuestion)) return;
  decode.Sink.BeforeRepair(TrackRepair::kTimeSignatureClocks);
  ApplyPatch(decode.Input.WorkCopy, ClocksBytePatch(event.data_first + 2));
  decode.Facts.SigClocks = 2;
  decode.Sink.AfterRepair(TrackRepairMade{TrackRepair::kTimeSignatureClocks, 0, 0});
}

MetaOutcome HandleTimeSignature(TrackDecodeContext& decode, const ScannedEvent& event, bool begun) {
  TrackDecodeFacts& facts = decode.Facts;
  if (event.data.size() >= 4) {
    facts.SigClocks = Byte(event.data, 2);
    facts.Sig32nds = Byte(event.data, 3);
  }
  if (event.problem != ScanProblem::kNone) return MetaOutcome::kStop;
  const int numerator = Byte(event.data, 0);
  if (Byte(event.data, 2) == 0) OfferTimeSignatureRepair(decode, event);
  const std::int32_t denominator = 1 << Byte(event.data, 1);
  const std::int32_t delta = event.delta.value;
  if (!GetsRow(event, begun)) {
    decode.AddMetaLines(delta, " Time Signature    :", " Time Signature:",
                        SignedNumber(numerator) + "/" + TrimNumber(denominator), delta);
  } else {
    EventRecord row;
    row.Status = kTimeSignatureRowStatus;
    row.Data1 = numerator;
    row.Data2 = denominator;
    row.Delta = delta;
    decode.AddRow(row);
  }
  return MetaOutcome::kContinue;
}

MetaOutcome HandleOther(TrackDecodeContext& decode, const ScannedEvent& event) {
  const std::int32_t delta = event.delta.value;
  const std::string& data = event.data;
  switch (event.meta_type) {
    case kMetaSequenceNumber: return MetaOutcome::kContinue;
    case kMetaChannelPrefix:
      decode.AddMetaLines(delta, " Channel Prefix    :", "Channel Prefix:", SignedNumber(Byte(data, 0) + 1), delta);
      return MetaOutcome::kContinue;
    case kMetaPort:
      decode.AddMetaLines(delta, " MIDI Port         :", " MIDI Port:", SignedNumber(Byte(data, 0)), delta);
      return MetaOutcome::kContinue;
    case kMetaSmpteOffset:
      decode.AddMetaLines(delta, " SMPTE Offset      :", " SMPTE Offset:", ByteValues(data), delta);
      return MetaOutcome::kContinue;
    case kMetaKeySignature: {
      int sf = Byte(data, 0);
      if (sf > 7) sf -= 256;
      const std::string name = KeyName(SignatureText(sf), Byte(data, 1));
      decode.AddMetaLines(delta, " Key Signature     : ", " Key Signature: ", name, delta);
      return MetaOutcome::kContinue;
    }
    case kMetaSequencerSpecific:
      // Text2 shows the data's length in front, the report the delta.
      decode.AddMetaLines(event.length, " Sequencer Specific:", " Sequencer Specific:", ByteValues(data), delta);
      return MetaOutcome::kContinue;
    default: throw RunError(kInvalidArgument);
  }
}

}  // namespace

void TrackDecodeContext::AddMetaLines(std::int64_t number, std::string_view label, std::string_view report_label,
                                      std::string_view value, std::int64_t delta) {
  std::string& text = Facts.TrackText;
  text += Format6(number);
  text += label;
  text += value;
  text += "\r\n";
  if (!Input.ReportMetaLines) return;
  const std::int64_t pad = PadWidth(delta);
  std::string line(pad > 0 ? static_cast<std::size_t>(pad) : 0, ' ');
  line += SignedNumber(delta);
  line += report_label;
  line += value;
  ReportLines.push_back(std::move(line));
}

MetaOutcome HandleMetaEvent(TrackDecodeContext& decode, const ScannedEvent& event, bool timed_part_begun) {
  MetaOutcome outcome = MetaOutcome::kStop;
  if (event.meta_type == kMetaTempo) {
    outcome = HandleTempo(decode, event, timed_part_begun);
  } else if (event.meta_type == kMetaTimeSignature) {
    outcome = HandleTimeSignature(decode, event, timed_part_begun);
  } else if (event.problem == ScanProblem::kNone) {
    const TextMeta* text = FindTextMeta(event.meta_type);
    outcome = text != nullptr ? HandleText(decode, event, timed_part_begun, *text) : HandleOther(decode, event);
  }
  if (outcome == MetaOutcome::kStop) decode.Port.Tell(ProblemMessage(event));
  return outcome;
}

}  // namespace quavert
