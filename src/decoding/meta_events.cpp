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
#include "decoding/working_files.h"
#include "editing/undo_commands.h"
#include "playback/media_commands.h"
#include "session/session.h"

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

void AddPlaceholderRow(Session& session, RecordFile& notes, std::int32_t delta) {
  EventRecord row;
  row.MetaMark = kMetaPlaceholderMark;
  row.Delta = delta;
  AddEventRow(session, notes, row);
}

MetaOutcome HandleText(Session& session, RecordFile& notes, const ScannedEvent& event, bool begun,
                       const TextMeta& meta) {
  DecoderState& decoder = session.decoder;
  const std::int32_t delta = event.delta.value;
  // Texts, lyrics and markers keep their place in time in the list; their lines are shown anyway.
  if (GetsRow(event, begun)) AddPlaceholderRow(session, notes, delta);

  std::string value = Cleaned(event.data, meta.cleanup);
  if (meta.type == kMetaLyric) {
    decoder.LyricText = decoder.LyricText.empty() ? std::string(kLyricIndent) + value : decoder.LyricText + value;
    value = decoder.LyricText;
  }
  AddMetaLines(session, delta, meta.label, meta.report_label, value, delta);
  if (meta.type == kMetaLyric) decoder.LyricText.clear();
  return MetaOutcome::kContinue;
}

MetaOutcome HandleTempo(Session& session, RecordFile& notes, const ScannedEvent& event, bool begun) {
  DecoderState& decoder = session.decoder;
  decoder.LastTempoPos = event.data_first;
  if (event.problem != ScanProblem::kNone) return MetaOutcome::kStop;
  const auto tempo = static_cast<double>(TempoOfBytes(event.data));
  // Only the first tempo since the load gives the timing factor; a second one marks it unusable.
  if (decoder.TickMinutes != 0)
    decoder.TickMinutes = -1;
  else
    decoder.TickMinutes = 60 / (1000000 / tempo * session.file.DeltaTicks);
  const std::int64_t bpm = BpmOfTempo(TempoOfBytes(event.data));
  const std::int32_t delta = event.delta.value;
  if (!GetsRow(event, begun)) {
    session.ui.SetLocked(Control::Text6, false);
    session.ui.SetText(Control::Text6, TrimNumber(bpm));
    AddMetaLines(session, delta, " Set tempo         :", " Set tempo:", SignedNumber(bpm), delta);
    if (decoder.TempoPos == -1) {
      decoder.TempoPos = decoder.LastTempoPos;
      decoder.TempoBpm = bpm;
    }
  } else {
    EventRecord row;
    row.Status = kTempoRowStatus;
    row.Data1 = static_cast<std::int32_t>(bpm);
    row.Delta = delta;
    AddEventRow(session, notes, row);
  }
  return MetaOutcome::kContinue;
}

// The clocks byte of the time signature just read is 0: offer to write 2 in its place.
void OfferTimeSignatureRepair(Session& session, const ScannedEvent& event) {
  if (session.ui.MessageBox(kTimeSignatureQuestion, Buttons::kYesNo) != Answer::kYes) return;
  MciClose(session, kDeviceAlias);
  WorkingCopyCapture before = CaptureWorkingCopy(session);
  ApplyPatch(session.WorkCopyPath(), ClocksBytePatch(event.data_first + 2));
  MciOpenInFrame(session, session.WorkCopyPath(), kDeviceAlias);
  session.decoder.SigClocks = 2;
  RecordWorkingCopyStep(session, std::move(before), "Time Signature Repair", true);
}

MetaOutcome HandleTimeSignature(Session& session, RecordFile& notes, const ScannedEvent& event, bool begun) {
  DecoderState& decoder = session.decoder;
  if (event.data.size() >= 4) {
    decoder.SigClocks = Byte(event.data, 2);
    decoder.Sig32nds = Byte(event.data, 3);
  }
  if (event.problem != ScanProblem::kNone) return MetaOutcome::kStop;
  const int numerator = Byte(event.data, 0);
  if (Byte(event.data, 2) == 0) OfferTimeSignatureRepair(session, event);
  const std::int32_t denominator = 1 << Byte(event.data, 1);
  const std::int32_t delta = event.delta.value;
  if (!GetsRow(event, begun)) {
    AddMetaLines(session, delta, " Time Signature    :", " Time Signature:",
                 SignedNumber(numerator) + "/" + TrimNumber(denominator), delta);
  } else {
    EventRecord row;
    row.Status = kTimeSignatureRowStatus;
    row.Data1 = numerator;
    row.Data2 = denominator;
    row.Delta = delta;
    AddEventRow(session, notes, row);
  }
  return MetaOutcome::kContinue;
}

MetaOutcome HandleOther(Session& session, const ScannedEvent& event) {
  const std::int32_t delta = event.delta.value;
  const std::string& data = event.data;
  switch (event.meta_type) {
    case kMetaSequenceNumber: return MetaOutcome::kContinue;
    case kMetaChannelPrefix:
      AddMetaLines(session, delta, " Channel Prefix    :", "Channel Prefix:", SignedNumber(Byte(data, 0) + 1), delta);
      return MetaOutcome::kContinue;
    case kMetaPort:
      AddMetaLines(session, delta, " MIDI Port         :", " MIDI Port:", SignedNumber(Byte(data, 0)), delta);
      return MetaOutcome::kContinue;
    case kMetaSmpteOffset:
      AddMetaLines(session, delta, " SMPTE Offset      :", " SMPTE Offset:", ByteValues(data), delta);
      return MetaOutcome::kContinue;
    case kMetaKeySignature: {
      int sf = Byte(data, 0);
      if (sf > 7) sf -= 256;
      const std::string name = KeyName(SignatureText(sf), Byte(data, 1));
      AddMetaLines(session, delta, " Key Signature     : ", " Key Signature: ", name, delta);
      return MetaOutcome::kContinue;
    }
    case kMetaSequencerSpecific:
      // Text2 shows the data's length in front, the report the delta.
      AddMetaLines(session, event.length, " Sequencer Specific:", " Sequencer Specific:", ByteValues(data), delta);
      return MetaOutcome::kContinue;
    default: throw RunError(kInvalidArgument);
  }
}

}  // namespace

void AddMetaLines(Session& session, std::int64_t number, std::string_view label, std::string_view report_label,
                  std::string_view value, std::int64_t delta) {
  std::string& text = session.decoder.TrackText;
  text += Format6(number);
  text += label;
  text += value;
  text += "\r\n";
  const int track = session.file.CurrentTrack;
  if (track < 0 || track >= static_cast<int>(session.file.TrackReportFlags[1].size()))
    throw RunError(kIndexOutOfRange);
  if (session.file.TrackReportFlags[1][static_cast<std::size_t>(track)]) return;
  const std::int64_t pad = PadWidth(delta);
  std::string line(pad > 0 ? static_cast<std::size_t>(pad) : 0, ' ');
  line += SignedNumber(delta);
  line += report_label;
  line += value;
  session.decoder.ReportLines.push_back(std::move(line));
}

MetaOutcome HandleMetaEvent(Session& session, RecordFile& notes, const ScannedEvent& event, bool timed_part_begun) {
  MetaOutcome outcome = MetaOutcome::kStop;
  if (event.meta_type == kMetaTempo) {
    outcome = HandleTempo(session, notes, event, timed_part_begun);
  } else if (event.meta_type == kMetaTimeSignature) {
    outcome = HandleTimeSignature(session, notes, event, timed_part_begun);
  } else if (event.problem == ScanProblem::kNone) {
    const TextMeta* text = FindTextMeta(event.meta_type);
    outcome = text != nullptr ? HandleText(session, notes, event, timed_part_begun, *text) : HandleOther(session, event);
  }
  if (outcome == MetaOutcome::kStop) session.ui.MessageBox(ProblemMessage(event));
  return outcome;
}

}  // namespace quavert
