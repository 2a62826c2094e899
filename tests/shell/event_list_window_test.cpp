#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QWheelEvent>
#include <fstream>
#include <tuple>

#include "app/loaded_file.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/records.h"
#include "shell/qt_text.h"
#include "support/run_error_of.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

// The item of the first note on in SongOfTwoTracks' second track: the program change comes first.
constexpr std::int64_t kFirstNote = 2;

// A value of the process's /proc status in kB ("VmRSS").
std::int64_t StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field + ":")) return std::stoll(line.substr(field.size() + 1));
  return -1;
}

// Counts the paints of a widget and, the first time it is shown, runs `on_show` once the events
// run again.
class WidgetWatch : public QObject {
 public:
  WidgetWatch(QWidget* widget, std::function<void()> on_show) : on_show_(std::move(on_show)) {
    widget->installEventFilter(this);
  }
  int Paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    if (event->type() == QEvent::Show && on_show_) QTimer::singleShot(0, std::exchange(on_show_, nullptr));
    return false;
  }

 private:
  std::function<void()> on_show_;
};

class EventListTest : public WindowTestCase {
  Q_OBJECT

  Toolkit& ui() { return f->window->toolkit(); }

 private slots:
  void ModelReadsTheProgramsRowsAndHandsTypedTextOver() {
    std::vector<std::vector<std::string>> rows = {{"1", "60", "100", "96", "x"}, {"2", "62", "90", "48", "y"}};
    EventListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetCellText([&rows](std::int64_t row, int column) {
      if (row >= static_cast<std::int64_t>(rows.size())) throw RunError(kIndexOutOfRange);
      return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    });
    for (const char* caption : {"Channel", "Notes", "Volume", "Length", "Description"}) model.AddColumn(caption);
    model.Reset(2);
    // The program changes a row and says so: the cell reads its new text and the view hears of it.
    rows[0][2] = "a volume text longer than before";
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.RowsChanged(0, 0);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(std::pair(changed[0][0].toModelIndex(), changed[0][1].toModelIndex()), std::pair(model.index(0, 0), model.index(0, 4)));
    std::vector<std::string> cells;
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 5; ++column) cells.push_back(model.Text(row, column));
    QCOMPARE(cells, (std::vector<std::string>{"1", "60", "a volume text longer than before", "96", "x", "2", "62", "90", "48", "y"}));

    // Typed text reaches the program after the event loop has run; the cell stays as it was.
    QVERIFY(!model.setData(model.index(1, 1), QStringLiteral("61")));  // nobody listens yet
    std::vector<CellEdit> edits;
    model.SetEditDone([&edits](const CellEdit& edit) { edits.push_back(edit); });
    QVERIFY(model.setData(model.index(1, 1), QStringLiteral("61")));
    QVERIFY(model.setData(model.index(0, 3), QStringLiteral("7"), EventListModel::kEditThenNextRole));
    QVERIFY(model.setData(model.index(0, 2), QStringLiteral("8"), EventListModel::kEditThenPreviousRole));
    QVERIFY(!model.setData(model.index(0, 3), QStringLiteral("9"), Qt::DisplayRole));
    QVERIFY(edits.empty());
    QTRY_COMPARE(edits.size(), std::size_t{3});
    QCOMPARE(edits, (std::vector<CellEdit>{{2, 1, "62", "61", 0}, {1, 3, "96", "7", 1},
                                           {1, 2, "a volume text longer than before", "8", -1}}));
    QCOMPARE(model.Text(1, 1), std::string("62"));
    model.SetEditDone({});  // stopped: an edit on its way is dropped
    QVERIFY(!model.setData(model.index(1, 1), QStringLiteral("63")));
    QTest::qWait(10);
    QCOMPARE(edits.size(), std::size_t{3});

    // Rows the program no longer has are drawn blank, never read past.
    rows.pop_back();
    QCOMPARE(model.data(model.index(1, 1)).toString(), QString());
    model.Reset(1);
    QCOMPARE(model.rowCount(), 1);

    const auto error = RunErrorOf;
    QCOMPARE((std::vector{error([&] { model.Text(1, 0); }), error([&] { model.Text(-1, 0); }),
                          error([&] { model.Text(0, 5); }), error([&] { model.RowsChanged(0, 1); }),
                          error([&] { model.AddColumn(QStringLiteral("Sixth")); }), error([&] { model.Reset(-1); })}),
             (std::vector<int>{kIndexOutOfRange, kIndexOutOfRange, kIndexOutOfRange, kIndexOutOfRange, kIndexOutOfRange, kOverflow}));
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
    const std::int64_t row = note - 1;
    const EventRecord before = session().buffers.Rows.Record(row);
    const std::string shown = w().listModel().Text(note - 1, 1);
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
    QCOMPARE(w().listModel().Text(note - 1, 1), shown);
    QCOMPARE(session().buffers.Rows.Record(row), before);

    f->Edit(note, 1, QStringLiteral("61"), Qt::Key_Escape);  // handed over, it would be refused
    QCOMPARE(f->answerer.Messages.size(), std::size_t{1});

    // Accepted: shown as typed, stored as a number, and the view hears of it.
    QSignalSpy changed(&w().listModel(), &QAbstractItemModel::dataChanged);
    f->Edit(note, 1, QStringLiteral("d5"));
    QCOMPARE(std::tuple(f->answerer.Messages.size(), w().listModel().Text(note - 1, 1), session().buffers.Rows.Record(row).Data1, changed.isEmpty()),
             std::tuple(std::size_t{1}, std::string("d5"), 62, false));

    // Saved into the working copy and listed again from it.
    QTest::mouseClick(w().Command5, Qt::LeftButton);
    QCOMPARE(f->answerer.Texts().back(), QStringLiteral("Data saved!"));
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(w().listModel().Text(note - 1, 1), std::string("D5"));

    QCOMPARE(ReadFileBytes(f->user.Join("song.mid")), SongOfTwoTracks());  // the user's file is never touched
  }

  // A list of a million rows is read from the working files as it is shown: the window's memory
  // grows by less than a store of every row would take, and it scrolls, edits and saves as any.
  void AMillionRowsAreShownEditedAndSavedWithoutKeepingThem() {
    constexpr std::int64_t kRows = 1000000;
    Bytes track = Hex("00 90 3C 64");
    track.reserve(3 * kRows + 8);
    for (std::int64_t row = 1; row < kRows; ++row) track += row % 2 == 1 ? Hex("10 3C 00") : Hex("00 3C 64");
    track += Hex("00 FF 2F 00");
    f->Start();
    f->Open(f->UserFile("long.mid", Smf(0, 96, {track})));
    [[maybe_unused]] const std::int64_t before = StatusKb("VmRSS");  // unread under AddressSanitizer
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(w().listModel().Count(), kRows);
#if !defined(__SANITIZE_ADDRESS__)
    // A row's record alone takes 28 bytes in memory; the list takes under 20 a row in all.
    const std::int64_t grown = StatusKb("VmRSS") - before;
    QVERIFY2(grown < kRows * 20 / 1024, qPrintable(QString::number(grown) + " kB"));
#endif
    QVERIFY(session().buffers.Rows.RowsInMemory() == 0);

    w().ListView1->scrollToBottom();
    QCOMPARE(w().listModel().Text(kRows - 1, 4), std::string("Off"));
    f->Edit(kRows, 1, QStringLiteral("D5"));
    f->Edit(1, 2, QStringLiteral("99"));
    QCOMPARE(std::pair(w().listModel().Text(kRows - 1, 1), session().buffers.Rows.RowsInMemory()),
             std::pair(std::string("D5"), std::int64_t{2}));
    QTest::mouseClick(w().Command5, Qt::LeftButton);
    QCOMPARE(f->answerer.Texts().back(), QStringLiteral("Data saved!"));
    // Every note is written with its status byte; the two edits stand at the ends of the track.
    const std::string work = ReadFileBytes(f->app.Join(kWorkCopyName));
    QCOMPARE(ToHex(work.substr(22, 5)), std::string("00 90 3C 63 10"));
    QCOMPARE(ToHex(work.substr(work.size() - 7)), std::string("90 3E 00 00 FF 2F 00"));
    QCOMPARE(work.size(), std::size_t{22 + 4 * kRows + 4});
  }

  // A long listing shows its progress in the status bar and the window paints meanwhile, taking
  // no typing; Esc then leaves all as before "Notes...": the list, Text2, the report, notes.dat,
  // the buttons.
  // Listed again without Esc, the rows are shown.
  void LongListingShowsProgressAndEscLeavesAllAsBefore() {
    constexpr std::int64_t kRows = 300000;
    Bytes track = Hex("00 90 3C 64");
    for (std::int64_t row = 1; row < kRows; ++row) track += row % 2 == 1 ? Hex("10 3C 00") : Hex("00 3C 64");
    track += Hex("00 FF 2F 00");
    f->Start();
    f->Open(f->UserFile("long.mid", Smf(0, 96, {track})));
    w().toolkit().SetProgressDelay(0);
    const QString text2 = w().Text2->toPlainText();
    const QString ticks = w().Text5->text();
    session().report.Flush();
    const std::string report = ReadFileBytes(f->app.Join("logs/long.txt"));
    const std::string notes = ReadFileBytes(f->app.Join(kNotesDat));
    bool shown_while_working = false;
    WidgetWatch watch(w().ProgressBar1, [&] {
      shown_while_working = w().ProgressBar1->isVisible();
      QTest::keyClicks(w().Text5, QStringLiteral("9"));
      QTest::keyClick(w().ListView1, Qt::Key_Escape);
    });
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QVERIFY(shown_while_working && watch.Paints > 0 && w().ProgressBar1->isHidden());
    QCOMPARE(w().listModel().Count(), std::int64_t{0});
    QCOMPARE(std::tuple(w().Text2->toPlainText(), w().Text5->text(), w().StatusBar1->text()),
             std::tuple(text2, ticks, QStringLiteral("Cancelled")));
    session().report.Flush();
    QCOMPARE(ReadFileBytes(f->app.Join("logs/long.txt")), report);
    QVERIFY(ReadFileBytes(f->app.Join(kNotesDat)) == notes);
    QVERIFY(w().Command1->isEnabled() && !w().Command5->isEnabled() && f->answerer.Messages.empty());

    // The list is shown while its files are written: the wheel scrolls it, a click edits nothing.
    const int paints = watch.Paints;
    int scrolled_to = 0;
    bool editing = true;
    WidgetWatch scroll_watch(w().ProgressBar1, [&] {
      QWidget* rows = w().ListView1->viewport();
      QWheelEvent wheel(QPointF(rows->rect().center()), QPointF(rows->mapToGlobal(rows->rect().center())), QPoint(),
                        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(rows, &wheel);
      scrolled_to = w().ListView1->verticalScrollBar()->value();
      f->ClickCell(scrolled_to + 2, 1);
      editing = f->Editor() != nullptr;
    });
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(w().listModel().Count(), kRows);
    QVERIFY(scrolled_to > 0 && !editing);
    QVERIFY(watch.Paints > paints && w().ProgressBar1->isHidden() && w().Command5->isEnabled());
    QVERIFY(w().Text2->toPlainText().startsWith(text2 + "       Total Time"));

    // Listed again and stopped, the list shown comes back: its edit not yet saved (the title's
    // "*"), its place and its current row, its undo step.
    f->Edit(scrolled_to + 3, 2, QStringLiteral("65"));
    w().ListView1->verticalScrollBar()->setValue(1000);
    w().ListView1->selectRow(1003);
    const auto listed = [&] {
      return std::tuple(w().windowTitle(), w().listModel().Count(), w().ListView1->verticalScrollBar()->value(),
                        w().ListView1->currentIndex().row(), ToDisplay(session().undo.UndoName()),
                        w().Text2->toPlainText(), w().Command5->isEnabled());
    };
    const auto before = listed();
    QVERIFY(std::get<0>(before).startsWith(QLatin1Char('*')) && std::get<2>(before) == 1000);
    {
      WidgetWatch stop(w().ProgressBar1, [&] { QTest::keyClick(w().ListView1, Qt::Key_Escape); });
      QTest::mouseClick(w().Command1, Qt::LeftButton);
    }
    QVERIFY(listed() == before);
    const QModelIndex edited = w().listModel().index(static_cast<int>(scrolled_to + 2), 2);
    QCOMPARE(std::pair(w().StatusBar1->text(), edited.data().toString()),
             std::pair(QStringLiteral("Cancelled"), QStringLiteral("65")));
  }

  // Esc while another track is decoded keeps the track shown: its list, the chooser, Text2, the
  // report, notes.dat, "Save Track". Chosen again without Esc, the track is decoded. Esc while a
  // file opens gives the file before back likewise, and the title and the recent files as they were.
  void EscStopsTheDecodeOfAChosenTrackOrOfAnOpenedFile() {
    Bytes long_track = Hex("00 90 3C 64");
    for (int row = 1; row < 300000; ++row) long_track += row % 2 == 1 ? Hex("10 3C 00") : Hex("00 3C 64");
    f->Start();
    f->ListTrack(1, Smf(1, 96, {Hex("00 90 3C 64 10 80 3C 00 00 FF 2F 00"), long_track + Hex("00 FF 2F 00")}));
    w().toolkit().SetProgressDelay(0);
    const QString text2 = w().Text2->toPlainText();
    session().report.Flush();
    const std::string report = ReadFileBytes(f->app.Join("logs/song.txt"));
    const std::string notes = ReadFileBytes(f->app.Join(kNotesDat));
    w().ListView1->selectRow(1);
    {
      WidgetWatch watch(w().ProgressBar1, [&] { QTest::keyClick(w().ListView1, Qt::Key_Escape); });
      w().Combo1->setFocus();
      QTest::keyClick(w().Combo1, Qt::Key_Down);
    }
    QCOMPARE(std::tuple(w().Combo1->currentText(), w().listModel().Count(), w().Text2->toPlainText(),
                        w().StatusBar1->text()),
             std::tuple(QStringLiteral("1"), std::int64_t{2}, text2, QStringLiteral("Cancelled")));
    session().report.Flush();
    QCOMPARE(ReadFileBytes(f->app.Join("logs/song.txt")), report);
    QVERIFY(ReadFileBytes(f->app.Join(kNotesDat)) == notes);
    QVERIFY(w().Command5->isEnabled() && w().ProgressBar1->isHidden() && f->answerer.Messages.empty());
    QCOMPARE(w().ListView1->currentIndex().row(), 1);

    f->ChooseTrack(2);
    QVERIFY(w().Text2->toPlainText().contains(QStringLiteral("Track             : 2")));
    QCOMPARE(std::pair(w().listModel().Count(), w().Command5->isEnabled()), std::pair(std::int64_t{0}, false));

    f->ChooseTrack(1);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    w().ListView1->selectRow(1);
    const auto window = [&] {
      return std::tuple(w().windowTitle(), w().Text1->text(), w().Text2->toPlainText(), w().Combo1->count(),
                        w().Combo1->currentText(), w().listModel().Count(), w().Command5->isEnabled(),
                        w().recentFiles());
    };
    const auto before = window();
    {
      WidgetWatch watch(w().ProgressBar1, [&] { QTest::keyClick(w().ListView1, Qt::Key_Escape); });
      f->Open(f->UserFile("long.mid", Smf(0, 96, {long_track + Hex("00 FF 2F 00")})));
    }
    QVERIFY(window() == before);
    QCOMPARE(std::pair(w().StatusBar1->text(), w().ListView1->currentIndex().row()),
             std::pair(QStringLiteral("Cancelled"), 1));
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
    const auto events = session().buffers.Rows.Records();
    f->ClickCell(kFirstNote, 1);
    QVERIFY(f->Editor() != nullptr);
    f->Editor()->selectAll();
    QTest::keyClicks(f->Editor(), QStringLiteral("200"));  // out of range: would show a message
    f->media.Commands.clear();
    w().mnuExit->trigger();
    QTRY_VERIFY(f->Editor() == nullptr);
    QTest::qWait(20);
    QVERIFY(w().hasEnded() && !w().isVisible() && !w().hook().IsInstalled());
    QVERIFY(f->answerer.Messages.empty() && session().buffers.Rows.Records() == events);
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
