#include "fuzz/road.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "app/recording_media_service.h"
#include "app/recording_toolkit.h"
#include "app/session.h"
#include "commands/cell_edit.h"
#include "commands/chunk_walker.h"
#include "commands/edit_frame.h"
#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/save_as.h"
#include "commands/save_track.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "commands/undo_commands.h"
#include "commands/writing_messages.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/decode_messages.h"
#include "decoding/meta_types.h"
#include "editing/genmidi.h"
#include "fuzz/input_choices.h"
#include "fuzz/unedited_saves.h"
#include "lint/rmid.h"
#include "support/midi_bytes.h"
#include "timeline/midi_length.h"

namespace quavert::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInputName = "input.mid";
constexpr const char* kSavedName = "saved.mid";
constexpr const char* kSoundName = "sound.mid";
constexpr const char* kLogsFolder = "logs";
constexpr const char* kDataSaved = "Data saved!";
constexpr int kAnswers = 16;
constexpr int kMostCellEdits = 4;
constexpr std::int64_t kDivisionField = 13;

// A file every build of the program loads without a word: one track, a note on and off.
const std::string kSoundFile = testing::Smf(1, 96, {testing::Hex("00 90 3C 64 60 80 3C 00 00 FF 2F 00")});

using testing::ReadFileBytes;
using testing::WriteFileBytes;

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

void Empty(const std::string& folder, const std::set<std::string>& keep = {}) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (!keep.contains(entry.path().filename())) fs::remove_all(entry.path());
}

std::string RowText(const EventRecord& row) {
  return "{" + std::to_string(row.Status) + "," + std::to_string(row.Data1) + "," + std::to_string(row.Data2) + "," +
         std::to_string(row.Delta) + "," + std::to_string(row.MetaMark) + "}";
}

bool IsMetaRow(const EventRecord& row) {
  return row.MetaMark == kMetaPlaceholderMark || row.Status == kTempoRowStatus || row.Status == kTimeSignatureRowStatus;
}

// The denominator a time-signature row is written with: the power of two it rounds up to.
std::int32_t WrittenDenominator(std::int32_t denominator) {
  int power = 0;
  for (double halved = denominator; halved > 1; halved /= 2) ++power;
  return std::int32_t{1} << power;
}

// Whether the byte at 1-based `position` of `file` is the clocks byte of a time signature as the
// decoder reads one: FF 58, a variable-length length of 4 or more, the numerator, the
// denominator, then this byte.
bool IsClocksByte(std::string_view file, std::int64_t position) {
  const auto byte = [&](std::int64_t at) { return static_cast<std::uint8_t>(file[static_cast<std::size_t>(at - 1)]); };
  const std::int64_t data_first = position - 2;
  for (int length_bytes = 1; length_bytes <= 4; ++length_bytes) {
    const std::int64_t type_at = data_first - length_bytes - 1;
    if (type_at < 2 || position > static_cast<std::int64_t>(file.size())) return false;
    if (byte(type_at - 1) != 0xFF || byte(type_at) != 0x58) continue;
    std::int64_t length = 0;
    bool read = true;
    for (int k = 0; k < length_bytes; ++k) {
      const int b = byte(type_at + 1 + k);
      const bool last = k == length_bytes - 1;
      if (k < 3 && (b >= 0x80) == last) read = false;
      length = k < 3 ? length * 128 + (b & 0x7F) : length * 128 + b;
    }
    if (read && length >= 4) return true;
  }
  return false;
}

// The window, with a note of the repairs the user accepted.
class RoadToolkit : public RecordingToolkit {
 public:
  bool clocks_repaired = false;  // a time signature's clocks byte may have become 2
  bool rewritten = false;        // a missing-byte repair was accepted: the bytes after it moved

  Answer MessageBox(std::string_view text, Buttons buttons, Icon icon, std::string_view title) override {
    const Answer answer = RecordingToolkit::MessageBox(text, buttons, icon, title);
    if (answer == Answer::kYes && text == kTimeSignatureQuestion) clocks_repaired = true;
    if (answer == Answer::kYes && text == kMissingByteQuestion) rewritten = true;
    return answer;
  }
};

class Road {
 public:
  Road(const RoadFolders& folders, std::string_view input, std::string_view decisions, RoadOutcome& outcome)
      : folders_(folders), input_(input), outcome_(outcome), choices_(decisions.empty() ? input : decisions),
        session_(folders.App, ui_, media_) {}

  void Run();

 private:
  void Fault(const std::string& what) { outcome_.Faults.push_back(what); }
  std::size_t MessageCount() const { return ui_.Messages.size(); }
  bool SaidSince(std::size_t first, std::string_view text) const {
    return std::any_of(ui_.Messages.begin() + static_cast<std::ptrdiff_t>(first), ui_.Messages.end(),
                       [text](const RecordingToolkit::Message& message) { return message.Text == text; });
  }

  void ChooseTrack(int index);
  void EditCells();
  void EditRows();
  void UndoAndRedo(int index, std::size_t steps_before, const std::string& listed_copy,
                   const std::vector<EventRecord>& listed_rows, std::uint64_t list);
  void SaveTrack();
  void EditFrame();
  void SaveMidi();

  void CheckUserFile();
  void CheckWorkCopy();
  void CheckWalk();
  void CheckFolders();
  void CheckMessages();
  void CheckSoundFileLoads();

  const RoadFolders& folders_;
  std::string_view input_;
  RoadOutcome& outcome_;
  InputChoices choices_;
  RoadToolkit ui_;
  RecordingMediaService media_;
  Session session_;

  std::string input_path_;
  std::string saved_path_;
  std::string work_input_;  // what the working copy starts as: the input, or an RMID file's MIDI data
  std::set<std::int64_t> patched_;  // positions of the working copy a patch may have changed
  bool track_saved_ = false;        // "Save Track" wrote the working copy
  bool walked_ = false;             // the load's walk passed
};

void Road::Run() {
  Empty(folders_.App, {kGenmidiName});
  fs::create_directory(JoinPath(folders_.App, kLogsFolder));
  Empty(folders_.User);
  Empty(folders_.Current);
  input_path_ = JoinPath(folders_.User, kInputName);
  saved_path_ = JoinPath(folders_.User, kSavedName);
  WriteFileBytes(input_path_, input_);
  // A valid file keeps every event's time and bytes through an unedited "Save Track" of each track.
  if (IsPlainValidFile(input_)) {
    for (const std::string& fault : UneditedSaveFaults(folders_.App, input_path_)) Fault(fault);
    Empty(folders_.App, {kGenmidiName});
    fs::create_directory(JoinPath(folders_.App, kLogsFolder));
    ++outcome_.ValidFilesSaved;
  }
  {
    BinaryFile file(input_path_, BinaryFile::Mode::kRead);
    std::optional<RiffProblem> problem;
    const MidiRange range = FindMidiData(file, problem);
    work_input_ = range.rmid ? std::string(input_.substr(static_cast<std::size_t>(range.first - 1),
                                                         static_cast<std::size_t>(range.last - range.first + 1)))
                             : std::string(input_);
  }
  for (int i = 0; i < kAnswers; ++i) ui_.Answers.push_back(choices_.Bit() ? Answer::kYes : Answer::kNo);

  // The media player measures the file it is opened on, before the load has checked it.
  BinaryFile played(input_path_, BinaryFile::Mode::kRead);
  if (MidiLengthInTicks(played) < 0) Fault("the player measured a negative length");
  played.Close();

  OpenMidiFile(session_, input_path_);
  outcome_.Loaded = session_.file.FileLoaded;
  outcome_.Tracks = session_.tracks.TrackCount;
  walked_ = outcome_.Loaded;

  if (outcome_.Loaded) {
    const int tracks = static_cast<int>(ui_.ComboItems.size());
    for (int index = 0; index < tracks; ++index) ChooseTrack(index);
    EditFrame();
    SaveMidi();
  }

  CheckUserFile();
  CheckWorkCopy();
  CheckWalk();
  CheckMessages();
  CheckSoundFileLoads();
  CheckFolders();
  for (const auto& message : ui_.Messages) outcome_.Messages.push_back(message.Text);
}

void Road::ChooseTrack(int index) {
  Combo1Click(session_, index);
  if (choices_.Bit()) EditFrame();
  if (!ui_.IsEnabled(Control::Command1)) return;
  Command1Click(session_);
  if (!ui_.IsEnabled(Control::Command5)) return;
  ++outcome_.ListsBuilt;
  const std::int64_t rows = session_.decoder.LastEventIndex + 1;
  if (ui_.ListRows != rows || session_.buffers.Rows.size() != rows)
    Fault("track " + std::to_string(index + 1) + ": the list does not show the decoded rows");
  const std::size_t steps_before = session_.undo.Steps();
  const std::uint64_t list = session_.undo.List();
  const std::string listed_copy = ReadFileBytes(session_.WorkCopyPath());
  const std::vector<EventRecord> listed_rows = session_.buffers.Rows.Records();
  EditCells();
  if (choices_.Bit()) EditRows();
  if (choices_.Bit()) SaveTrack();
  if (choices_.Bit()) UndoAndRedo(index, steps_before, listed_copy, listed_rows, list);
}

// Deletes and inserts rows as the bytes say; the list keeps at least one row, so that the track
// still has something to save.
void Road::EditRows() {
  static constexpr const char* kEvents[] = {"90 3C 64", "80 3C 00", "B0 07 64", "C0 05", "D0 10", "E0 00 40",
                                            "F0 02 7E F7", "FF 01 01 41", "FF 51 03 07 A1 20", "FF 58 04 06 03 18 08"};
  const std::int64_t steps = choices_.Below(kMostCellEdits);
  for (std::int64_t k = 0; k < steps; ++k) {
    const auto rows = session_.buffers.Rows.size();
    if (rows == 0) return;
    const std::int64_t item = choices_.Below(rows) + 1;
    if (choices_.Bit()) {
      const std::int32_t delta = std::max(session_.buffers.Rows.Record(item - 1).Delta, 0);
      // Now and then past the next event's time, which must be refused.
      InsertItem(session_, item, choices_.Below(std::int64_t{delta} + 2), kEvents[choices_.Below(std::size(kEvents))]);
    } else if (rows > 2) {
      DeleteItems(session_, {item});
    }
    ++outcome_.RowEdits;
    if (session_.buffers.Rows.size() != session_.decoder.LastEventIndex + 1 ||
        ui_.ListRows != session_.buffers.Rows.size())
      Fault("after an insert or delete the list, its rows and their count disagree");
  }
}

// Takes back every step since the track was listed, which gives its working copy and rows back
// as they were, then makes them all again, which gives what they made.
void Road::UndoAndRedo(int index, std::size_t steps_before, const std::string& listed_copy,
                       const std::vector<EventRecord>& listed_rows, std::uint64_t list) {
  const std::string done_copy = ReadFileBytes(session_.WorkCopyPath());
  const std::vector<EventRecord> done_rows = session_.buffers.Rows.Records();
  // The saves above listed the track again; their steps are left as they are.
  if (session_.undo.Steps() < steps_before || ui_.rewritten) return;
  const std::size_t steps = session_.undo.Steps() - steps_before;
  const std::string track = "track " + std::to_string(index + 1);
  for (std::size_t k = 0; k < steps; ++k)
    if (!UndoCommand(session_).Done) return Fault(track + ": undo failed");
  ++outcome_.Undone;
  // A save listed the track again: the rows shown come from the saved copy.
  const bool relisted = session_.undo.List() != list;
  if (ReadFileBytes(session_.WorkCopyPath()) != listed_copy) Fault(track + ": undo did not give the working copy back");
  if (!relisted && session_.buffers.Rows.Records() != listed_rows) Fault(track + ": undo did not give the rows back");
  for (std::size_t k = 0; k < steps; ++k)
    if (!RedoCommand(session_).Done) return Fault(track + ": redo failed");
  if (ReadFileBytes(session_.WorkCopyPath()) != done_copy) Fault(track + ": redo did not make the working copy again");
  if (!relisted && session_.buffers.Rows.Records() != done_rows) Fault(track + ": redo did not make the rows again");
}

void Road::EditCells() {
  const std::int64_t items = ui_.ListRows;
  const std::int64_t edits = choices_.Below(kMostCellEdits);
  for (std::int64_t k = 0; k < edits && items > 0; ++k) {
    const std::int64_t item = choices_.Below(items) + 1;
    const auto column = static_cast<std::int32_t>(choices_.Below(5));
    const std::size_t opened = ui_.CellEdits.size();
    CellClick(session_, item, column, 1, true);
    // A cell the program would not open is edited anyway now and then: the end of an edit may
    // come for any cell the window lets the user type into.
    if (ui_.CellEdits.size() == opened && !choices_.Bit()) continue;
    const std::string old_text = ListCellText(session_, item, column);
    CellEditDone(session_, item, column, old_text, choices_.Text());
    ++outcome_.CellEdits;
  }
}

// "Save Track", now and then edited and saved once more without a new decode in between: the
// track written back decodes again into the rows it was last saved from.
void Road::SaveTrack() {
  const int index = session_.file.CurrentTrack - 1;
  std::vector<EventRecord> saved_rows;
  for (int save = 0; save < 2; ++save) {
    if (save > 0) {
      if (!choices_.Bit()) break;
      EditCells();
    }
    saved_rows = session_.buffers.Rows.Records();
    const std::string before = ReadFileBytes(session_.WorkCopyPath());
    const std::size_t first = MessageCount();
    SaveTrackCommand(session_);
    if (!SaidSince(first, kDataSaved)) {
      // A damaged track's bytes may read otherwise once written back (a delta the first save
      // wrote in its shortest form turns stray bytes into a whole event): a second save may then
      // refuse, as long as it says why and changes nothing.
      const bool reread = save > 0 && !IsPlainValidFile(input_) && ui_.Messages.size() > first &&
                          ui_.Messages[first].Text.ends_with(kTrackChanged);
      if (!reread)
        Fault("track " + std::to_string(index + 1) + ": Save Track failed: " +
              (ui_.Messages.size() > first ? ui_.Messages[first].Text : std::string("no message")));
      if (ReadFileBytes(session_.WorkCopyPath()) != before) Fault("a failed Save Track changed the working copy");
      return;
    }
    track_saved_ = true;
    ++outcome_.TracksSaved;
  }

  Combo1Click(session_, index);
  if (!ui_.IsEnabled(Control::mnuSave)) {
    Fault("track " + std::to_string(index + 1) + " does not decode after Save Track");
    return;
  }
  // A track whose rows all moved before its timed part has none left to list.
  std::vector<EventRecord> rows;
  if (ui_.IsEnabled(Control::Command1)) {
    Command1Click(session_);
    rows = session_.buffers.Rows.Records();
  }
  // Where the timed part begins may move: when it began with bytes the writer leaves out (a
  // status byte without data) or with a text whose delta was edited to 0, the text, tempo and
  // time-signature rows in front of the first channel event now stand before it, as meta lines.
  // Deleted first rows work the other way: their time goes onto the delta after a text in front
  // of the timed part, which then begins with that text, a row of its own now.
  // Every other row reads back as it was saved.
  std::size_t gone = 0;
  while (rows.size() + gone < saved_rows.size() && IsMetaRow(saved_rows[gone])) ++gone;
  std::size_t appeared = 0;
  while (rows.size() > saved_rows.size() + appeared && IsMetaRow(rows[appeared])) ++appeared;
  rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(appeared));
  if (rows.size() + gone != saved_rows.size()) {
    Fault("track " + std::to_string(index + 1) + " has " + std::to_string(rows.size()) + " rows after Save Track, " +
          std::to_string(saved_rows.size()) + " before");
    return;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const EventRecord& a = rows[i];
    EventRecord b = saved_rows[i + gone];
    // A time signature's denominator goes into the file as a power of two: 6 as 8, 0 as 1.
    if (b.Status == kTimeSignatureRowStatus) b.Data2 = WrittenDenominator(b.Data2);
    if (a.Status != b.Status || a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Delta != b.Delta ||
        a.MetaMark != b.MetaMark) {
      Fault("track " + std::to_string(index + 1) + " row " + std::to_string(i + gone + 1) + " reads back as " +
            RowText(a) + " after Save Track of " + RowText(b));
      return;
    }
  }
}

void Road::EditFrame() {
  if (!ui_.IsEnabled(Control::Command2)) return;
  if (choices_.Bit()) ui_.Texts[Control::Text5] = choices_.Text();
  if (session_.decoder.TempoBpm != -1 && choices_.Bit()) ui_.Texts[Control::Text6] = choices_.Text();
  patched_.insert({kDivisionField, kDivisionField + 1});
  if (session_.decoder.TempoBpm != -1)
    for (std::int64_t k = 0; k < 3; ++k) patched_.insert(session_.decoder.TempoPos + k);
  const std::size_t first = MessageCount();
  Command2Click(session_, ui_.GetText(Control::Text6), ui_.GetText(Control::Text5));
  if (SaidSince(first, kDataSaved)) outcome_.EditFrameSaved = true;
}

void Road::SaveMidi() {
  if (!ui_.IsEnabled(Control::mnuSave)) return;
  // Now and then the target exists already, and the question decides.
  std::string before;
  const bool existed = choices_.Bit();
  if (existed) {
    before = choices_.Text();
    WriteFileBytes(saved_path_, before);
  }
  ui_.DialogChoices.push_back({saved_path_, kSavedName});
  const std::size_t first = MessageCount();
  const std::string work_copy = ReadFileBytes(session_.WorkCopyPath());
  SaveAs(session_);
  const bool declined = existed && !(ui_.Messages.size() > first && ui_.Messages[first].Given == Answer::kYes);
  const bool failed = std::any_of(ui_.Messages.begin() + static_cast<std::ptrdiff_t>(first), ui_.Messages.end(),
                                  [](const auto& message) { return message.Text.starts_with("ERROR: File not saved"); });
  if (failed) Fault("Save Midi... failed on a writable folder");
  if (declined) {
    if (ReadFileBytes(saved_path_) != before) Fault("Save Midi... changed the file it was told not to overwrite");
  } else if (!FileExists(saved_path_) || ReadFileBytes(saved_path_) != work_copy) {
    Fault("Save Midi... did not write a copy of the working copy");
  } else {
    outcome_.MidiSaved = true;
  }
}


void Road::CheckUserFile() {
  if (ReadFileBytes(input_path_) != input_) Fault("the user's file changed");
}

void Road::CheckWorkCopy() {
  if (session_.file.WorkCopyName.empty() || !FileExists(session_.WorkCopyPath())) {
    if (outcome_.Loaded) Fault("a loaded file has no working copy");
    return;
  }
  if (ui_.rewritten || track_saved_) return;  // bytes moved; the walk below checks the result
  const std::string work = ReadFileBytes(session_.WorkCopyPath());
  if (work.size() != work_input_.size()) {
    Fault("the working copy changed its length without a repair or a saved track");
    return;
  }
  for (std::size_t i = 0; i < work.size(); ++i) {
    const auto position = static_cast<std::int64_t>(i) + 1;
    const bool repaired_clocks =
        ui_.clocks_repaired && work_input_[i] == 0 && work[i] == 2 && IsClocksByte(work_input_, position);
    if (work[i] != work_input_[i] && !patched_.contains(position) && !repaired_clocks) {
      Fault("the working copy changed at byte " + std::to_string(i + 1) + ", where nothing was to be written");
      return;
    }
  }
}

// A working copy that walked at the load walks now, with as many tracks.
void Road::CheckWalk() {
  if (!walked_) return;
  RecordingToolkit ui;
  RecordingMediaService media;
  Session walker(folders_.App, ui, media);
  walker.file.WorkCopyName = session_.file.WorkCopyName;
  walker.file.ShortName = "WORK";
  walker.file.LoadState = kLoadNormal;
  try {
    walker.file.FileSize = FileLength(walker.WorkCopyPath());
    walker.file.TotalTracks = outcome_.Tracks;
    WalkTrackChunks(walker);
  } catch (const RunError& error) {
    Fault("the working copy no longer walks: error " + std::to_string(error.code()));
    return;
  }
  if (walker.file.LoadState == kLoadFailed || walker.tracks.TrackCount != outcome_.Tracks)
    Fault("the working copy no longer walks: " + std::to_string(walker.tracks.TrackCount) + " tracks of " +
          std::to_string(outcome_.Tracks) + (ui.Messages.empty() ? "" : ", " + ui.Messages.front().Text));
}

void Road::CheckFolders() {
  const std::set<std::string> allowed_app = {kGenmidiName, kLogsFolder, kWorkCopyName, "notes.dat", "data.dat"};
  for (const std::string& name : NamesIn(folders_.App))
    if (!allowed_app.contains(name)) Fault("left in the application folder: " + name);
  for (const std::string& name : NamesIn(JoinPath(folders_.App, kLogsFolder)))
    if (!name.ends_with("txt")) Fault("left in the logs folder: " + name);
  const std::set<std::string> allowed_user = {kInputName, kSavedName, kSoundName};
  for (const std::string& name : NamesIn(folders_.User))
    if (!allowed_user.contains(name)) Fault("left in the user's folder: " + name);
  for (const std::string& name : NamesIn(folders_.Current)) Fault("written to the current folder: " + name);
}

// Without a fault of the machine, no run-time error may reach the user.
void Road::CheckMessages() {
  for (const auto& message : ui_.Messages)
    if (message.Text.starts_with("Error:")) Fault("a run-time error was shown: " + message.Text);
}

// The program goes on: a sound file loads in the same session, with its list.
void Road::CheckSoundFileLoads() {
  const std::string path = JoinPath(folders_.User, kSoundName);
  WriteFileBytes(path, kSoundFile);
  const std::size_t first = MessageCount();
  OpenMidiFile(session_, path);
  if (!session_.file.FileLoaded || !ui_.IsEnabled(Control::Command1) || MessageCount() != first) {
    Fault("a sound file did not load afterwards");
    return;
  }
  Command1Click(session_);
  if (ui_.ListRows != 2) Fault("a sound file's list did not build afterwards");
}

}  // namespace

RoadOutcome RunRoad(const RoadFolders& folders, std::string_view input, std::string_view decisions) {
  RoadOutcome outcome;
  const fs::path previous = fs::current_path();
  fs::current_path(folders.Current);
  try {
    Road(folders, input, decisions, outcome).Run();
  } catch (...) {
    fs::current_path(previous);
    throw;
  }
  fs::current_path(previous);
  return outcome;
}

RoadFolders MakeRoadFolders(const std::string& root, const char* genmidi_source) {
  RoadFolders folders{JoinPath(root, "app"), JoinPath(root, "user"), JoinPath(root, "current")};
  for (const std::string& folder : {folders.App, folders.User, folders.Current}) fs::create_directory(folder);
  if (genmidi_source != nullptr && *genmidi_source != '\0')
    fs::copy_file(genmidi_source, JoinPath(folders.App, kGenmidiName), fs::copy_options::overwrite_existing);
  return folders;
}

}  // namespace quavert::fuzz
