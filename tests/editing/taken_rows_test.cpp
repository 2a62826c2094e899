#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/taken_rows.h"
#include "commands/track_selection.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using namespace testing;

// Values at the ends of the plain form of notes.dat's fields read back as written: the decoder
// hands a record in that form over as it stands, and any other through its text.
TEST(TakenRowsRoundTrip, RecordsInThePlainFormReadBackAsTheyStand) {
  for (const std::int32_t value : {-999999, -1000, -257, -1, 0, 1, 127, 1023, 1024, 999999})
    for (int field = 0; field < 7; ++field) {
      EventRecord record;
      std::int32_t* fields[] = {&record.Status,  &record.Data1,    &record.Data2,    &record.Delta,
                                &record.RowKind, &record.MetaMark, &record.NoteState};
      *fields[field] = value;
      char text[kEventRecordLength];
      WriteEventRecord(record, text);
      bool exact = false;
      EXPECT_EQ(ParseEventRecord({text, kEventRecordLength}, &exact), record) << value << " in field " << field;
      EXPECT_TRUE(exact);
    }
  for (const std::int32_t delta : {-999999999, -1000000, 1000000, 268435583, 999999999}) {
    EventRecord record;
    record.Delta = delta;
    char text[kEventRecordLength];
    WriteEventRecord(record, text);
    EXPECT_EQ(ParseEventRecord({text, kEventRecordLength}), record) << delta;
  }
}

// One run of the report's steps over a file: loaded, then every track chosen and listed with the
// rows nobody keeps, either from notes.dat as "Notes..." lists them or from the rows the decode
// handed over.
struct ReportRun {
  explicit ReportRun(bool taken) : session(app.Path(), ui, media) {
    std::filesystem::create_directory(app.Join("logs"));
    InstallGenmidi(app.Path());
    if (!taken) return;
    rows = std::make_unique<TakenTrackRows>(session);
    session.RowsTaker = rows.get();
  }
  ~ReportRun() { session.RowsTaker = nullptr; }

  void Run(const Bytes& file, const std::vector<Answer>& answers) {
    ui.Answers.assign(answers.begin(), answers.end());
    OpenMidiFile(session, user.Write("SONG.MID", file));
    if (!session.file.FileLoaded) return;
    // As quavert-cli's report: track 1 is listed as the load left it, a later one when it decoded.
    for (int track = 1; track <= session.tracks.TrackCount; ++track) {
      if (track > 1) Combo1Click(session, track - 1);
      if ((track > 1 && !session.controls.FileCommands) || !session.controls.Notes) continue;
      if (rows) {
        ListTakenRows(session, *rows);
      } else {
        Unkept unkept;
        Command1Click(session, &unkept);
      }
      texts += ui.Texts[Control::Text2] + "|";
    }
    session.report.Flush();
  }

  struct Unkept final : ListedRows {
    void Row(std::int64_t, const ListRowTexts&) override {}
  };

  TempFolder app;
  TempFolder user;
  RecordingToolkit ui;
  RecordingMediaService media;
  Session session;
  std::unique_ptr<TakenTrackRows> rows;
  std::string texts;  // Text2 after each listing
};

const Bytes kEnd = Hex("00 FF 2F 00");

// `count` note pairs on channel 1, each of its own key and length, the offs under running status.
Bytes Notes(int count) {
  Bytes bytes;
  for (int i = 0; i < count; ++i) {
    const char key = static_cast<char>(i % 100 + 20);
    bytes += Hex("00 90") + key + Hex("64") + static_cast<char>(i % 101 + 1) + key + Hex("00");
  }
  return bytes;
}

struct TakenCase {
  const char* name;
  Bytes file;
  std::vector<Answer> answers;
  std::string shows;  // a message the run shows, or a text of the report; "" for none of either
  bool listed;        // some track is listed
};

// The report listed from the rows the decode handed over is the report listed from notes.dat,
// byte for byte, with the same messages and texts: meta-event lines before the rows, running
// status, wide numbers (a tempo of 6E7 beats per minute, a delta of 28 bits), a track that
// stops with an error after whole blocks, and both repairs, the missing byte decoding the track
// again after a block.
TEST(TakenRows, TheReportIsTheOneListedFromTheWorkingFiles) {
  const Bytes meta = Hex("00 FF 03 04 4C 65 61 64 00 FF 51 03 07 A1 20 00 FF 58 04 04 02 18 08");
  const Bytes wide = Hex("00 FF 51 03 00 00 01 00 FF 58 04 03 0E 18 08 FF FF FF 7F B0 07 64 00 0A 40") +
                     Hex("00 F0 02 7E F7 00 FF 01 02 48 69 00 C9 05 00 99 24 50");
  const Bytes sysex_then_tempo = Hex("00 F0 02 7E F7 00 FF 51 03 07 A1 20");
  const std::vector<TakenCase> cases = {
      {"meta lines and wide numbers", Smf(1, 96, {meta + Notes(130) + wide + kEnd, Notes(3) + kEnd, kEnd}), {},
       "16384268435455 Time Signature", true},
      {"error after blocks", Smf(1, 96, {meta + Notes(160) + Hex("00 FF 58 04 00 02 18 08") + Notes(2) + kEnd, Notes(2) + kEnd}),
       {}, "ERROR: Invalid Time Signature", true},
      {"time signature repair", Smf(0, 96, {Notes(120) + Hex("00 FF 58 04 04 02 00 08") + Notes(2) + kEnd}), {Answer::kYes},
       "ERROR: Invalid Time Signature.  Repair? ", true},
      {"missing byte repaired", Smf(1, 96, {meta + Notes(150) + sysex_then_tempo + Hex("00 3C 64 10 80 3C 00") + kEnd, Notes(1) + kEnd}),
       {Answer::kYes}, "ERROR: Probably missing byte.  Repair? ", true},
      {"missing byte kept", Smf(0, 96, {Notes(150) + sysex_then_tempo + Hex("00 3C 64 10 80 3C 00") + kEnd}), {Answer::kNo},
       "ERROR: Probably missing byte.  Repair? ", false},
  };
  for (const TakenCase& test : cases) {
    ReportRun files(false);
    files.Run(test.file, test.answers);
    ReportRun taken(true);
    taken.Run(test.file, test.answers);
    const std::string report = ReadFileBytes(files.app.Join("logs/song.txt"));
    EXPECT_EQ(ReadFileBytes(taken.app.Join("logs/song.txt")), report) << test.name;
    EXPECT_EQ(taken.ui.MessageTexts(), files.ui.MessageTexts()) << test.name;
    EXPECT_EQ(taken.texts, files.texts) << test.name;
    EXPECT_EQ(ReadFileBytes(taken.app.Join(kWorkCopyName)), ReadFileBytes(files.app.Join(kWorkCopyName))) << test.name;
    // The case is what it says: its lines were listed, its message shown, and nothing written
    // to the working files from the rows handed over.
    EXPECT_EQ(report.find("Total Time") != std::string::npos, test.listed) << test.name;
    const std::vector<std::string> messages = files.ui.MessageTexts();
    EXPECT_TRUE(std::find(messages.begin(), messages.end(), test.shows) != messages.end() ||
                (messages.empty() && report.find(test.shows) != std::string::npos))
        << test.name << "\n" << report;
    EXPECT_EQ(ReadFileBytes(taken.app.Join(kNotesDat)), "") << test.name;
  }
}

// A track whose lines outgrow the memory kept for them goes on in a file, and comes out whole.
TEST(TakenRows, LinesBeyondTheMemoryKeptComeOutInOrder) {
  const Bytes file = Smf(0, 96, {Hex("00 FF 03 01 41") + Notes(70000) + kEnd});
  ReportRun files(false);
  files.Run(file, {});
  ReportRun taken(true);
  taken.Run(file, {});
  const std::string report = ReadFileBytes(files.app.Join("logs/song.txt"));
  ASSERT_GT(report.size(), TakenTrackRows::kKeptLines);
  EXPECT_TRUE(ReadFileBytes(taken.app.Join("logs/song.txt")) == report);
}

}  // namespace
}  // namespace quavert
