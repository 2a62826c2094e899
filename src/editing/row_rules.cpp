#include "editing/row_rules.h"

#include <charconv>

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
constexpr std::int32_t kPitchClasses = 12;

bool Within(std::int32_t s, std::int32_t low, std::int32_t high) { return s >= low && s <= high; }

// `text` := `n` in decimal, in place: the row's texts keep their memory from row to row.
void AssignNumber(std::string& text, std::int64_t n) {
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  text.assign(digits, static_cast<std::size_t>(end - digits));
}

void AppendNumber(std::string& text, std::int64_t n) {
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  text.append(digits, static_cast<std::size_t>(end - digits));
}

void AssignChannel(std::string& text, std::int32_t s) {
  text.assign(1, 'C');
  AppendNumber(text, s % 16 + 1);
}

// The note name and octave, as NoteText gives them.
void AssignNoteName(std::string& text, const NameTables& names, std::int32_t note) {
  text.assign(names.NoteName[static_cast<std::size_t>(note % kPitchClasses + 1)]);
  AppendNumber(text, note / kPitchClasses);
}

// The status a row's texts are made from: running-status rows hold theirs negated.
std::int32_t ShownStatus(std::int32_t status) { return status < -1 ? -status : status; }

std::string_view DrumNameOf(const EventRecord& record, std::int64_t index, RowNaming& naming) {
  const DrumNameCache& cache = naming.Drums;
  if (cache.Key == record.Data1 && index <= cache.Index + 1) return cache.Name;
  const std::string_view name = DrumName(naming.Genmidi, record.Data1);
  return name.empty() ? "unknown" : name;
}

void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  out.append(text);
  if (text.size() < width) out.append(width - text.size(), ' ');
}

}  // namespace

void BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming, BuiltRow& row) {
  ListRow& texts = row.Texts;
  texts.Channel.clear();
  texts.Notes.clear();
  texts.Volume.clear();
  texts.Length.clear();
  texts.Description.clear();
  row.Melodic = false;
  const std::int32_t s = ShownStatus(record.Status);
  bool drum = false;

  if (s > 0) {
    if (Within(s, 160, 239)) AssignChannel(texts.Channel, s);
    if (Within(s, 128, 159)) {
      AssignChannel(texts.Channel, s);
      if (s == kDrumNoteOff || s == kDrumNoteOn) {
        drum = true;
      } else {
        if (record.Data1 >= 0) AssignNoteName(texts.Notes, naming.Names, record.Data1);
        record.RowKind = kMelodicNoteRow;
        row.Melodic = true;
      }
    }
  }

  if (texts.Notes.empty() && record.Data1 >= 0) AssignNumber(texts.Notes, record.Data1);
  if (record.Data2 >= 0) AssignNumber(texts.Volume, record.Data2);
  if (record.Delta >= 0) AssignNumber(texts.Length, record.Delta);

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
    const std::string_view name = DrumNameOf(record, index, naming);
    description += description.empty() ? "      " : " - ";
    description += name;
    record.RowKind = kDrumNoteRow;
    DrumNameCache& cache = naming.Drums;
    // The name is the cached one when it came from the cache: only a new key is copied.
    if (cache.Key != record.Data1 || cache.Name != name) cache.Name.assign(name);
    cache.Key = record.Data1;
    cache.Index = index;
  }

  if (Within(s, 176, 191)) {
    description += "Controller: ";
    if (const std::optional<std::string_view> name = ControllerName(naming.Names, record.Data1))
      description += *name;
    else
      AppendNumber(description, record.Data1);
    record.RowKind = kControllerRow;
  }
  if (record.MetaMark == kTextMark) description += "Text";
  if (s == kTempoRow) description += "Set Tempo";
  if (s == kTimeSignatureRow) description += "Time Signature";
  if (Within(s, 192, 207)) {
    if (s == kDrumProgramChange) {
      description += "Drum Set: ";
      description += KitName(naming.Names, record.Data1);
    } else {
      description += "Instrument: ";
      description += InstrumentName(naming.Genmidi, record.Data1);
    }
    record.RowKind = kProgramRow;
  }
  description.resize(TrimRight(description).size());
}

BuiltRow BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming) {
  BuiltRow row;
  BuildRow(record, index, naming, row);
  return row;
}

void AppendReportLine(const BuiltRow& row, std::string& out) {
  const ListRow& texts = row.Texts;
  out.append(8, ' ');
  AppendPadded(out, texts.Channel, 3);
  if (row.Melodic) {
    AppendPadded(out, texts.Notes, 6);
  } else {
    out += ' ';
    AppendPadded(out, texts.Notes, 5);
  }
  AppendPadded(out, texts.Volume, 4);
  AppendPadded(out, texts.Length, 6);
  out += ' ';
  out += texts.Description;
}

std::string ReportLine(const BuiltRow& row) {
  std::string line;
  AppendReportLine(row, line);
  return line;
}

ListRowTexts KeptTexts(const BuiltRow& row) {
  const ListRow& texts = row.Texts;
  const std::string_view description = std::string_view(texts.Description).substr(0, kDescriptionWidth);
  return {texts.Channel, texts.Notes, texts.Volume, texts.Length, TrimRight(description)};
}

ListRow KeptRow(const BuiltRow& row) {
  const ListRowTexts texts = KeptTexts(row);
  return {std::string(texts[0]), std::string(texts[1]), std::string(texts[2]), std::string(texts[3]),
          std::string(texts[4])};
}

ListItem ItemOf(const ListRowTexts& row) {
  ListItem item;
  item.Main.assign(row[0]);
  if (item.Main.size() < 3) item.Main.append(3 - item.Main.size(), ' ');
  for (std::size_t column = 1; column < 4; ++column) item.Sub[column - 1].assign(TrimLeft(row[column]));
  item.Sub[3].assign(row[4]);
  return item;
}

}  // namespace quavert
