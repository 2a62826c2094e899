#include <QAbstractItemModelTester>
#include <tuple>

#include "app/loaded_file.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/records.h"
#include "shell/qt_text.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

// The item of the first note on in SongOfTwoTracks' second track: the program change comes first.
constexpr std::int64_t kFirstNote = 2;

class EventListTest : public WindowTestCase {
  Q_OBJECT

  Toolkit& ui() { return f->window->toolkit(); }

 private slots:
  void ModelKeepsEveryCellsBytesAndRefusesCellsOutsideTheList() {
    EventListModel model;
    for (const char* caption : {"Channel", "Notes", "Volume", "Length", "Description"}) model.AddColumn(caption);
    model.Append({{"1", {"60", "100", "96", "x"}}, {"2", {"62", "90", "48", "y"}}});
    model.SetText(0, 1, "7");                                  // shorter: written in place
    model.SetText(0, 2, "a volume text longer than before");  // longer: stored anew
    QVERIFY(!model.setData(model.index(1, 1), QStringLiteral("61")));  // only the program writes cells
    std::vector<std::string> cells;
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 5; ++column) cells.push_back(model.Text(row, column));
    QCOMPARE(cells, (std::vector<std::string>{"1", "7", "a volume text longer than before", "96", "x", "2", "62", "90", "48", "y"}));

    auto error = [](auto&& call) {
      try {
        call();
      } catch (const RunError& failure) {
        return failure.code();
      }
      return 0;
    };
    QCOMPARE((std::vector{error([&] { model.Text(2, 0); }), error([&] { model.Text(-1, 0); }),
                          error([&] { model.SetText(0, 5, "x"); }), error([&] { model.AddColumn(QStringLiteral("Sixth")); })}),
             std::vector<int>(4, kIndexOutOfRange));
  }

  void ListingEditingAndSavingATrack() {
    f->Start();
    QAbstractItemModelTester tester(&w().listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f->Open(f->UserFile("song.mid", SongOfTwoTracks()));
    f->ChooseTrack(2);
    QVERIFY(!w().Text2->toPlainText().contains(QStringLiteral("Demo")));
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(w().listModel().headerData(4, Qt::Horizontal).toString(), QStringLiteral("Description"));

    // Only a left click on a cell the user may change opens the editor, with the cell's text.
    const std::int64_t note = kFirstNote;
    const auto row = static_cast<std::size_t>(note - 1);
    const EventRecord before = session().buffers.EventBuffer[row];
    const std::string shown = ui().ListText(note, 1);
    f->ClickCell(note, 0);
    f->ClickCell(note, 1, Qt::RightButton);
    QVERIFY(f->Editor() == nullptr);
    f->ClickCell(note, 1);
    QVERIFY(f->Editor() != nullptr);
    QCOMPARE(f->Editor()->text(), ToDisplay(shown));

    // Refused: the message is shown and answered, and the editor never wrote the cell.
    f->Edit(note, 1, QStringLiteral("60"));
    const ShownMessage& refusal = f->answerer.Messages.at(0);
    QCOMPARE(refusal.Text + "|" + refusal.Title + "|" + QString::number(refusal.Buttons),
             "Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#|Quavert|" + QString::number(QMessageBox::Ok));
    QCOMPARE(ui().ListText(note, 1), shown);
    QCOMPARE(session().buffers.EventBuffer[row], before);

    f->Edit(note, 1, QStringLiteral("61"), Qt::Key_Escape);  // handed over, it would be refused
    QCOMPARE(f->answerer.Messages.size(), std::size_t{1});

    // Accepted: shown as typed, stored as a number, and the view hears of it.
    QSignalSpy changed(&w().listModel(), &QAbstractItemModel::dataChanged);
    f->Edit(note, 1, QStringLiteral("d5"));
    QCOMPARE(std::tuple(f->answerer.Messages.size(), ui().ListText(note, 1), session().buffers.EventBuffer[row].Data1, changed.isEmpty()),
             std::tuple(std::size_t{1}, std::string("d5"), 62, false));

    // Saved into the working copy and listed again from it.
    QTest::mouseClick(w().Command5, Qt::LeftButton);
    QCOMPARE(f->answerer.Texts().back(), QStringLiteral("Data saved!"));
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(ui().ListText(note, 1), std::string("D5"));

    QCOMPARE(ReadFileBytes(f->user.Join("song.mid")), SongOfTwoTracks());  // the user's file is never touched
  }

  void EditFrameWritesTempoAndTicksIntoTheWorkingCopy() {
    f->Start();
    f->Open(f->UserFile("song.mid", SongOfTwoTracks()));
    for (auto [box, text] : {std::pair{w().Text6, "150"}, std::pair{w().Text5, "192"}}) {
      box->clear();
      QTest::keyClicks(box, text);
    }
    QTest::mouseClick(w().Command2, Qt::LeftButton);
    QCOMPARE(f->answerer.Texts(), QStringList{QStringLiteral("Data saved!")});
    const std::string patched = ReadFileBytes(f->app.Join(kWorkCopyName));
    QCOMPARE(ToHex(patched.substr(12, 2)), std::string("00 C0"));
    QVERIFY(patched.find(Hex("FF 51 03 06 1A 80")) != std::string::npos);  // 400,000 microseconds a beat
  }

  void ExitWithAnEditorOpenHandsNothingOverAndDeletesTheWorkingFiles() {
    f->Start();
    f->ListTrack(2);
    for (const char* name : {kWorkCopyName, kNotesDat, kDataDat}) QVERIFY(FileExists(f->app.Join(name)));
    const auto events = session().buffers.EventBuffer;
    f->ClickCell(kFirstNote, 1);
    QVERIFY(f->Editor() != nullptr);
    f->Editor()->selectAll();
    QTest::keyClicks(f->Editor(), QStringLiteral("200"));  // out of range: would show a message
    f->media.Commands.clear();
    w().mnuExit->trigger();
    QTRY_VERIFY(f->Editor() == nullptr);
    QTest::qWait(20);
    QVERIFY(w().hasEnded() && !w().isVisible() && !w().hook().IsInstalled());
    QVERIFY(f->answerer.Messages.empty() && session().buffers.EventBuffer == events);
    for (const char* name : {kWorkCopyName, kNotesDat, kDataDat}) QVERIFY(!FileExists(f->app.Join(name)));
    QCOMPARE(f->media.Commands, std::vector<std::string>{"Close REDevid1 notify"});
    w().close();  // runs nothing a second time
    QCOMPARE(f->media.Commands.size(), std::size_t{1});
  }
};

}  // namespace

int RunEventListTest(int argc, char** argv) {
  EventListTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "event_list_window_test.moc"
