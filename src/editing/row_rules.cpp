#include "editing/row_rules.h"

#include "common/number_text.h"
#include "editing/name_lookups.h"

namespace quavert {
namespace {

constexpr std::int32_t kTempoRow = 81;
constexpr std::int32_t kTimeSignatureRow = 88;
constexpr std::int32_t kTextMark = -2;
constexpr std::int32_t kDrumProgramChange = 201;
constexpr std::int32_t kDrumNoteOff = 137;
constexpr std::int32_t kDrumNoteOn = 153;

bool Within(std::int32_t s, std::int32_t low, std::int32_t high) { return s >= low && s <= high; }

std::string ChannelText(std::int32_t s) { return "C" + PlainNumber(s % 16 + 1); }

// The status a row's texts are made from: running-status rows hold theirs negated.
std::int32_t ShownStatus(std::int32_t status) { return status < -1 ? -status : status; }

std::string DrumName(const EventRecord& record, std::int64_t index, RowNaming& naming) {
  DrumNameCache& cache = naming.Drums;
  if (cache.Key == record.Data1 && index <= cache.Index + 1) return cache.Name;
  std::string name = LookupDrum(naming.Genmidi, record.Data1);
  if (name.empty()) name = "unknown";
  return name;
}

}  // namespace

BuiltRow BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming) {
  BuiltRow row;
  ListRow& texts = row.Texts;
  const std::int32_t s = ShownStatus(record.Status);
  bool drum = false;

  if (s > 0) {
    if (Within(s, 160, 239)) texts.Channel = ChannelText(s);
    if (Within(s, 128, 159)) {
      texts.Channel = ChannelText(s);
      if (s == kDrumNoteOff || s == kDrumNoteOn) {
        drum = true;
      } else {
        texts.Notes = PadRight(NoteText(naming.Names, record.Data1), 4);
        record.RowKind = kMelodicNoteRow;
        row.Melodic = true;
      }
    }
  }

  if (texts.Notes.empty() && record.Data1 >= 0) texts.Notes = PadRight(PlainNumber(record.Data1), 3);
  if (texts.Volume.empty() && record.Data2 >= 0) texts.Volume = PadRight(PlainNumber(record.Data2), 3);
  if (texts.Length.empty() && record.Delta >= 0) texts.Length = PadRight(PlainNumber(record.Delta), 6);

  std::string& description = texts.Description;
  if (Within(s, 224, 239)) description = "Pitch Change";
  if (Within(s, 208, 223)) description = "Channel Pressure";
  if (Within(s, 160, 175)) description = "Polyphonic Pressure";
  if (s == 240 || s == 247) description = "System Exclusive";

  if (record.Data2 >= 0) {
    if (Within(s, 144, 159)) description += record.Data2 < 1 ? "Off" : "On ";
    if (Within(s, 128, 143)) description += "Off";
    record.NoteState = kNotANote;
    if (Within(s, 128, 159)) record.NoteState = Within(s, 144, 159) && record.Data2 > 0 ? kNoteSounds : kNoteEnds;
  }

  if (record.Data2 >= 0 && drum) {
    const std::string name = DrumName(record, index, naming);
    description = description.empty() ? "      " + name : description + " - " + name;
    record.RowKind = kDrumNoteRow;
    naming.Drums = {record.Data1, index, name};
  }

  if (Within(s, 176, 191)) {
    description += "Controller: " + LookupController(naming.Names, record.Data1);
    record.RowKind = kControllerRow;
  }
  if (record.MetaMark == kTextMark) description += "Text";
  if (s == kTempoRow) description += "Set Tempo";
  if (s == kTimeSignatureRow) description += "Time Signature";
  if (Within(s, 192, 207)) {
    if (s == kDrumProgramChange)
      description += "Drum Set: " + DrumKitNameOf(naming.Names, record.Data1);
    else
      description += "Instrument: " + LookupInstrument(naming.Genmidi, record.Data1);
    record.RowKind = kProgramRow;
  }
  description = std::string(TrimRight(description));
  return row;
}

std::string ReportLine(const BuiltRow& row) {
  const ListRow& texts = row.Texts;
  std::string line(8, ' ');
  line += PadRight(texts.Channel, 3);
  line += PadRight(row.Melodic ? texts.Notes : " " + texts.Notes, 6);
  line += PadRight(texts.Volume, 4);
  line += PadRight(texts.Length, 6);
  line += ' ';
  line += texts.Description;
  return line;
}

ListRow KeptRow(const BuiltRow& row) {
  const ListRow& texts = row.Texts;
  const std::string_view description = std::string_view(texts.Description).substr(0, kDescriptionWidth);
  return {std::string(TrimRight(texts.Channel)), std::string(TrimRight(texts.Notes)),
          std::string(TrimRight(texts.Volume)), std::string(TrimRight(texts.Length)),
          std::string(TrimRight(description))};
}

ListItem ItemOf(const ListRow& row) {
  return {PadRight(row.Channel, 3),
          {std::string(TrimLeft(row.Notes)), std::string(TrimLeft(row.Volume)), std::string(TrimLeft(row.Length)),
           row.Description}};
}

}  // namespace quavert
