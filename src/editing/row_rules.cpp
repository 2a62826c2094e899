#include "editing/row_rules.h"

#include <charconv>
#include <cstring>

#include "common/number_text.h"
#include "decoding/meta_types.h"
#include "editing/name_lookups.h"

namespace quavert {
namespace {

using namespace std::string_view_literals;

constexpr std::int32_t kTextMark = -2;
constexpr std::int32_t kDrumProgramChange = 201;
constexpr std::int32_t kDrumNoteOff = 137;
constexpr std::int32_t kDrumNoteOn = 153;
constexpr std::int32_t kPitchClasses = 12;

bool Within(std::int32_t s, std::int32_t low, std::int32_t high) { return s >= low && s <= high; }

void AppendNumber(std::string& text, std::int64_t n) {
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  text.append(digits, static_cast<std::size_t>(end - digits));
}

void SetChannel(ShortText& text, std::int32_t s) {
  text.Append("C");
  text.AppendNumber(s % 16 + 1);
}

// The note name and octave, as NoteText gives them.
void SetNoteName(ShortText& text, const NameTables& names, std::int32_t note) {
  text.Append(names.NoteName[static_cast<std::size_t>(note % kPitchClasses + 1)]);
  text.AppendNumber(note / kPitchClasses);
}

// The status a row's texts are made from: running-status rows hold theirs negated.
std::int32_t ShownStatus(std::int32_t status) { return status < -1 ? -status : status; }

std::string_view DrumNameOf(const EventRecord& record, std::int64_t index, RowNaming& naming) {
  const DrumNameCache& cache = naming.Drums;
  if (cache.Key == record.Data1 && index <= cache.Index + 1) return cache.Name;
  const std::string_view name = DrumName(naming.Genmidi, record.Data1);
  return name.empty() ? "unknown" : name;
}

// Writes `text` padded with blanks to `width` (kept whole when longer) at `out`, which has room
// for a whole ShortText; returns the end of the field.
char* WritePadded(const ShortText& text, std::size_t width, char* out) {
  std::memcpy(out, text.Padded(), ShortText::kCapacity);
  return out + (text.size() > width ? text.size() : width);
}

}  // namespace

void ShortText::Append(std::string_view text) {
  const std::size_t room = kCapacity - size_;
  const std::size_t used = text.size() < room ? text.size() : room;
  if (used > 0) std::memcpy(bytes_ + size_, text.data(), used);
  size_ = static_cast<std::uint8_t>(size_ + used);
}

void ShortText::AppendOtherNumber(std::int64_t n) {
  const std::to_chars_result result = std::to_chars(bytes_ + size_, bytes_ + kCapacity, n);
  if (result.ec == std::errc()) size_ = static_cast<std::uint8_t>(result.ptr - bytes_);
}

void ClassifyRow(EventRecord& record) {
  const std::int32_t s = ShownStatus(record.Status);
  const bool drum = s == kDrumNoteOff || s == kDrumNoteOn;
  if (Within(s, 128, 159) && !drum) record.RowKind = kMelodicNoteRow;
  if (record.Data2 >= 0) {
    record.NoteState = kNotANote;
    if (Within(s, 128, 159)) record.NoteState = Within(s, 144, 159) && record.Data2 > 0 ? kNoteSounds : kNoteEnds;
    if (drum) record.RowKind = kDrumNoteRow;
  }
  if (Within(s, 176, 191)) record.RowKind = kControllerRow;
  if (Within(s, 192, 207)) record.RowKind = kProgramRow;
}

void BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming, BuiltRow& row) {
  ClassifyRow(record);
  row.Channel.Clear();
  row.Notes.Clear();
  row.Volume.Clear();
  row.Length.Clear();
  row.Description.clear();
  row.Melodic = false;
  const std::int32_t s = ShownStatus(record.Status);
  bool drum = false;

  if (s > 0) {
    if (Within(s, 128, 239)) SetChannel(row.Channel, s);
    if (Within(s, 128, 159)) {
      if (s == kDrumNoteOff || s == kDrumNoteOn) {
        drum = true;
      } else {
        if (record.Data1 >= 0) SetNoteName(row.Notes, naming.Names, record.Data1);
        row.Melodic = true;
      }
    }
  }

  if (row.Notes.empty() && record.Data1 >= 0) row.Notes.AppendNumber(record.Data1);
  if (record.Data2 >= 0) row.Volume.AppendNumber(record.Data2);
  if (record.Delta >= 0) row.Length.AppendNumber(record.Delta);

  std::string& description = row.Description;
  if (Within(s, 224, 239)) description.append("Pitch Change"sv);
  if (Within(s, 208, 223)) description.append("Channel Pressure"sv);
  if (Within(s, 160, 175)) description.append("Polyphonic Pressure"sv);
  if (s == 240 || s == 247) description.append("System Exclusive"sv);

  if (record.Data2 >= 0) {
    if (Within(s, 144, 159)) description.append(record.Data2 < 1 ? "Off"sv : "On "sv);
    if (Within(s, 128, 143)) description.append("Off"sv);
  }

  if (record.Data2 >= 0 && drum) {
    const std::string_view name = DrumNameOf(record, index, naming);
    description.append(description.empty() ? "      "sv : " - "sv);
    description += name;
    DrumNameCache& cache = naming.Drums;
    // The name is the cached one when it came from the cache: only a new key is copied.
    if (cache.Key != record.Data1 || cache.Name != name) cache.Name.assign(name);
    cache.Key = record.Data1;
    cache.Index = index;
  }

  if (Within(s, 176, 191)) {
    description.append("Controller: "sv);
    if (const std::optional<std::string_view> name = ControllerName(naming.Names, record.Data1))
      description += *name;
    else
      AppendNumber(description, record.Data1);
  }
  if (record.MetaMark == kTextMark) description.append("Text"sv);
  if (s == kTempoRowStatus) description.append("Set Tempo"sv);
  if (s == kTimeSignatureRowStatus) description.append("Time Signature"sv);
  if (Within(s, 192, 207)) {
    if (s == kDrumProgramChange) {
      description.append("Drum Set: "sv);
      description += KitName(naming.Names, record.Data1);
    } else {
      description.append("Instrument: "sv);
      description += InstrumentName(naming.Genmidi, record.Data1);
    }
  }
  description.resize(TrimRight(description).size());
}

BuiltRow BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming) {
  BuiltRow row;
  BuildRow(record, index, naming, row);
  return row;
}

char* WriteReportLine(const BuiltRow& row, char* out) {
  std::memset(out, ' ', 8);
  out = WritePadded(row.Channel, 3, out + 8);
  if (row.Melodic) {
    out = WritePadded(row.Notes, 6, out);
  } else {
    *out = ' ';
    out = WritePadded(row.Notes, 5, out + 1);
  }
  out = WritePadded(row.Volume, 4, out);
  out = WritePadded(row.Length, 6, out);
  *out++ = ' ';
  std::memcpy(out, row.Description.data(), row.Description.size());
  out += row.Description.size();
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

std::string ReportLine(const BuiltRow& row) {
  std::string line(ReportLineRoom(row), ' ');
  const char* end = WriteReportLine(row, line.data());
  line.resize(static_cast<std::size_t>(end - line.data()) - 2);
  return line;
}

void WriteDataRecord(const BuiltRow& row, char* out) {
  // The short texts fit their fields or are cut to them; blanks pad the rest.
  std::memcpy(out, row.Channel.Padded(), 3);
  std::memcpy(out + 3, row.Notes.Padded(), 4);
  std::memcpy(out + 7, row.Volume.Padded(), 3);
  std::memcpy(out + 10, row.Length.Padded(), 6);
  const std::size_t used = row.Description.size() < kDescriptionWidth ? row.Description.size() : kDescriptionWidth;
  std::memcpy(out + 16, row.Description.data(), used);
  std::memset(out + 16 + used, ' ', kDescriptionWidth - used);
}

ListRowTexts KeptTexts(const BuiltRow& row) {
  const std::string_view description = std::string_view(row.Description).substr(0, kDescriptionWidth);
  return {row.Channel.View(), row.Notes.View(), row.Volume.View(), row.Length.View(), TrimRight(description)};
}

ListRow KeptRow(const BuiltRow& row) {
  const ListRowTexts texts = KeptTexts(row);
  return {std::string(texts[0]), std::string(texts[1]), std::string(texts[2]), std::string(texts[3]),
          std::string(texts[4])};
}

std::string ShownCell(const ListRowTexts& row, std::size_t column) {
  std::string text(column == 0 || column == 4 ? row[column] : TrimLeft(row[column]));
  if (column == 0 && text.size() < 3) text.append(3 - text.size(), ' ');
  return text;
}

}  // namespace quavert
