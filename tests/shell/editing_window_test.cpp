#include <unistd.h>

#include <tuple>

#include "app/loaded_file.h"
#include "common/file_system.h"
#include "decoding/records.h"
#include "shell/event_form.h"
#include "shell/qt_text.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

// The first note on of SongOfTwoTracks' second track: item 2, after the program change.
constexpr std::int64_t kFirstNote = 2;
const QString kQuestion = QStringLiteral("Save changes to song.mid?");

enum Leaving { kClose, kOpen, kTrack };
enum Changed { kNothing, kListEdit, kWorkCopy, kEditTypedBack };

class EditingWindowTest : public WindowTestCase {
  Q_OBJECT

  // song.mid opened, its second track chosen and listed.
  void ListSecondTrack() {
    f->Start();
    f->ListTrack(2);
    QVERIFY(w().Command5->isEnabled());
    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));  // the keys of the menus work in the active window
  }
  std::string WorkCopy() { return ReadFileBytes(f->app.Join(kWorkCopyName)); }
  std::int64_t Rows() { return session().buffers.Rows.size(); }
  void SelectItem(std::int64_t item) {
    w().ListView1->setFocus();
    w().ListView1->setCurrentIndex(w().listModel().index(static_cast<int>(item - 1), 0));
  }

 private slots:
  // What would be lost is asked about, with each answer; nothing is asked when nothing would be.
  void LeavingAsksBeforeChangesAreLost_data() {
    QTest::addColumn<int>("leaving");
    QTest::addColumn<int>("changed");
    QTest::addColumn<int>("answer");  // QMessageBox::StandardButton, 0 for no question
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("left");   // the window closed, the other file or track came
    QTest::addColumn<int>("dialogs"); // save dialogs shown
    const QStringList asked{kQuestion};
    const QStringList saved{kQuestion, QStringLiteral("Data saved!")};
    QTest::newRow("close, nothing changed") << int{kClose} << int{kNothing} << 0 << QStringList() << true << 0;
    QTest::newRow("close, edit typed back") << int{kClose} << int{kEditTypedBack} << 0 << QStringList() << true << 0;
    QTest::newRow("close, list edit, cancel") << int{kClose} << int{kListEdit} << int{QMessageBox::Cancel} << asked << false << 0;
    QTest::newRow("close, list edit, discard") << int{kClose} << int{kListEdit} << int{QMessageBox::Discard} << asked << true << 0;
    QTest::newRow("close, list edit, save") << int{kClose} << int{kListEdit} << int{QMessageBox::Save} << saved << true << 1;
    QTest::newRow("close, saved track, save") << int{kClose} << int{kWorkCopy} << int{QMessageBox::Save} << asked << true << 1;
    QTest::newRow("open, nothing changed") << int{kOpen} << int{kNothing} << 0 << QStringList() << true << 0;
    QTest::newRow("open, saved track, cancel") << int{kOpen} << int{kWorkCopy} << int{QMessageBox::Cancel} << asked << false << 0;
    QTest::newRow("open, saved track, discard") << int{kOpen} << int{kWorkCopy} << int{QMessageBox::Discard} << asked << true << 0;
    QTest::newRow("open, list edit, save") << int{kOpen} << int{kListEdit} << int{QMessageBox::Save} << saved << true << 1;
    QTest::newRow("track, saved track: the copy stays") << int{kTrack} << int{kWorkCopy} << 0 << QStringList() << true << 0;
    QTest::newRow("track, list edit, cancel") << int{kTrack} << int{kListEdit} << int{QMessageBox::Cancel} << asked << false << 0;
    QTest::newRow("track, list edit, discard") << int{kTrack} << int{kListEdit} << int{QMessageBox::Discard} << asked << true << 0;
    QTest::newRow("track, list edit, save") << int{kTrack} << int{kListEdit} << int{QMessageBox::Save} << saved << true << 0;
  }

  void LeavingAsksBeforeChangesAreLost() {
    QFETCH(int, leaving);
    QFETCH(int, changed);
    QFETCH(int, answer);
    QFETCH(QStringList, messages);
    QFETCH(bool, left);
    QFETCH(int, dialogs);
    ListSecondTrack();
    const std::string other = f->UserFile("other.mid", Smf(0, 96, {Hex("00 90 40 64 10 80 40 00 00 FF 2F 00")}));
    const QString shown = ToDisplay(w().listModel().Text(kFirstNote - 1, 1));
    if (changed != kNothing) f->Edit(kFirstNote, 1, QStringLiteral("d5"));
    if (changed == kEditTypedBack) f->Edit(kFirstNote, 1, shown);
    if (changed == kWorkCopy) QTest::mouseClick(w().Command5, Qt::LeftButton);
    QCOMPARE(w().windowTitle().startsWith('*'), changed == kListEdit || changed == kWorkCopy);
    const std::string edited_copy = WorkCopy();

    f->answerer.Messages.clear();
    f->answerer.Dialogs.clear();
    const std::string saved_as = f->user.Join("saved.mid");
    if (answer != 0) f->answerer.Buttons = {answer};
    if (answer == QMessageBox::Save && leaving != kTrack) f->answerer.Paths.push_back(QString::fromStdString(saved_as));
    if (leaving == kClose) w().close();
    if (leaving == kOpen) f->Open(other);
    if (leaving == kTrack) {
      w().Combo1->setFocus();
      QTest::keyClick(w().Combo1, Qt::Key_Up);  // once: a cancel puts the chooser back on track 2
    }

    QCOMPARE(f->answerer.Texts(), messages);
    if (answer != 0) {
      const ShownMessage& question = f->answerer.Messages.front();
      QCOMPARE(std::tuple(question.Title, question.Buttons),
               std::tuple(QStringLiteral("Quavert"), int{QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel}));
    }
    int save_dialogs = 0;
    for (const ShownDialog& dialog : f->answerer.Dialogs) save_dialogs += dialog.Save;
    QCOMPARE(save_dialogs, dialogs);
    if (leaving == kClose) QCOMPARE(w().hasEnded(), left);
    if (leaving == kOpen) QCOMPARE(session().file.LastOpenedPath == other, left);
    if (leaving == kTrack) QCOMPARE(std::tuple(session().file.CurrentTrack, w().Combo1->currentIndex()), left ? std::tuple(1, 0) : std::tuple(2, 1));
    if (!left) QVERIFY(w().windowTitle().startsWith('*'));  // still unsaved
    if (dialogs > 0) {
      // What was saved holds the edit: the new key, D5, on the first note.
      const std::string bytes = ReadFileBytes(saved_as);
      QVERIFY(bytes.find(Hex("90 3E 64 60 80 3E 00")) != std::string::npos);
      if (changed == kWorkCopy) QCOMPARE(bytes, edited_copy);
    }
    if (leaving == kTrack && answer == QMessageBox::Save) QVERIFY(WorkCopy().find(Hex("90 3E 64 60 80 3E 00")) != std::string::npos);
  }

  // Cancelling the save dialog of "Save" keeps the window open: nothing was saved.
  void SaveWhoseDialogIsCancelledStaysOpen() {
    ListSecondTrack();
    f->Edit(kFirstNote, 2, QStringLiteral("90"));
    f->answerer.Messages.clear();
    f->answerer.Buttons = {QMessageBox::Save};
    w().close();
    QCOMPARE(f->answerer.Texts(), (QStringList{kQuestion, QStringLiteral("Data saved!")}));
    QVERIFY(!w().hasEnded() && w().windowTitle().startsWith('*'));
    // The track is saved now: only the working copy is left to lose.
    f->answerer.Messages.clear();
    f->answerer.Buttons = {QMessageBox::Discard};
    w().close();
    QCOMPARE(f->answerer.Texts(), QStringList{kQuestion});
    QVERIFY(w().hasEnded());
  }

  void UndoAndRedoInTheWindow() {
    ListSecondTrack();
    QVERIFY(!w().mnuUndo->isEnabled() && !w().mnuRedo->isEnabled());
    const std::string before = w().listModel().Text(kFirstNote - 1, 2);
    f->Edit(kFirstNote, 2, QStringLiteral("90"));
    QCOMPARE(w().mnuUndo->text(), "Undo Volume " + ToDisplay(before) + " -> 90");
    QVERIFY(w().windowTitle().startsWith('*'));
    QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(std::tuple(w().listModel().Text(kFirstNote - 1, 2), w().mnuUndo->isEnabled(), w().mnuRedo->text()),
             std::tuple(before, false, "Redo Volume " + ToDisplay(before) + " -> 90"));
    QVERIFY(!w().windowTitle().startsWith('*'));  // taken back: nothing to lose
    QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w().listModel().Text(kFirstNote - 1, 2), std::string("90"));
    QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w().listModel().Text(kFirstNote - 1, 2), std::string("90"));

    // Save Track is a step too: undone, the working copy is the file's bytes again.
    const std::string opened = WorkCopy();
    QTest::mouseClick(w().Command5, Qt::LeftButton);
    QVERIFY(WorkCopy() != opened);
    QCOMPARE(w().mnuUndo->text(), QStringLiteral("Undo Save Track"));
    w().mnuUndo->trigger();
    QCOMPARE(WorkCopy(), opened);
    QVERIFY(w().windowTitle().startsWith('*'));  // the list still holds the edit
  }

  void DelDeletesTheSelectedRowsWithTheirNoteOff() {
    ListSecondTrack();
    const std::size_t rows = Rows();
    QVERIFY(!w().mnuDelete->isEnabled() || w().ListView1->selectionModel()->hasSelection());
    SelectItem(kFirstNote);
    QVERIFY(w().mnuDelete->isEnabled());
    QTest::keyClick(w().ListView1, Qt::Key_Delete);
    QCOMPARE(Rows(), rows - 2);  // the Note On and its Note Off
    QCOMPARE(w().listModel().Count(), static_cast<std::int64_t>(rows - 2));
    QCOMPARE(w().mnuUndo->text(), QStringLiteral("Undo Delete 2 Events"));
    QVERIFY(w().windowTitle().startsWith('*'));
    w().mnuUndo->trigger();
    QCOMPARE(Rows(), rows);
  }

  void InsertEventDialogInsertsOrNamesTheAllowedRange() {
    ListSecondTrack();
    const std::size_t rows = Rows();
    SelectItem(1);  // the program change, 0 ticks before the first note
    auto fill = [](EventKind kind, std::function<void(InsertEventDialog*)> set, bool ok = true) {
      return [kind, set, ok](InsertEventDialog* dialog) {
        dialog->SetKind(kind);
        set(dialog);
        ok ? dialog->accept() : dialog->reject();
      };
    };
    // Refused twice (the dialog comes back with its values), then a controller goes in.
    f->answerer.Fillers = {
        fill(EventKind::kController, [](InsertEventDialog* d) { d->Channel->setText("17"); }),
        fill(EventKind::kController, [](InsertEventDialog* d) { d->Channel->setText("2"); d->Ticks->setText("1"); }),
        fill(EventKind::kController, [](InsertEventDialog* d) { d->Ticks->setText("0"); d->Number->setText("7"); d->Value->setText("90"); }),
    };
    QTest::keyClick(w().ListView1, Qt::Key_Insert);
    QCOMPARE(f->answerer.Texts(), (QStringList{"Channel must be between 1 and 16", "Ticks must be between 0 and 0"}));
    QCOMPARE(Rows(), rows + 1);
    const EventRecord added = session().buffers.Rows.Record(1);
    QCOMPARE((std::vector{added.Status, added.Data1, added.Data2}), (std::vector{0xB1, 7, 90}));
    QCOMPARE(w().ListView1->currentIndex().row(), 1);  // the new row

    // A note places its Note Off: both go in, and one undo takes both back.
    SelectItem(2);
    f->answerer.Messages.clear();
    f->answerer.Fillers = {fill(EventKind::kNote, [](InsertEventDialog* d) {
      d->Key->setText("72");
      d->Velocity->setText("80");
      d->Length->setText("48");
    })};
    w().mnuInsert->trigger();
    QVERIFY(f->answerer.Messages.empty());
    QCOMPARE(Rows(), rows + 3);
    const std::vector<EventRecord> now = session().buffers.Rows.Records();
    QCOMPARE((std::vector{now[2].Status, now[2].Data1, now[2].Data2}), (std::vector{0x90, 72, 80}));
    std::int64_t ticks = 0;  // from the new On to its Off
    std::size_t off = 3;
    for (; off < now.size() && !(now[off].Status == 0x80 && now[off].Data1 == 72); ++off) ticks += now[off - 1].Delta;
    QVERIFY(off < now.size());
    QCOMPARE(ticks + now[off - 1].Delta, std::int64_t{48});
    QCOMPARE(w().mnuUndo->text(), QStringLiteral("Undo Insert Note"));
    w().mnuUndo->trigger();
    QCOMPARE(Rows(), rows + 1);

    // Cancelled: nothing changes.
    f->answerer.Fillers = {fill(EventKind::kPitchBend, [](InsertEventDialog*) {}, false)};
    w().mnuInsert->trigger();
    QCOMPARE(Rows(), rows + 1);
  }

  void EventFormReadsEachKindAndNamesTheRangeOfAWrongValue() {
    auto form = [](EventKind kind, std::string channel, std::string a, std::string b, std::string ticks = "0") {
      EventForm f;
      f.Kind = kind;
      f.Channel = channel;
      f.Key = f.Number = a;
      f.Velocity = f.Value = b;
      f.Length = "10";
      f.Hex = a;
      f.Ticks = ticks;
      return f;
    };
    const struct {
      EventForm form;
      std::string hex;
      std::string message;
    } cases[] = {
        {form(EventKind::kNote, "10", "60", "100"), "", ""},
        {form(EventKind::kNote, "1", "128", "100"), "", "Key must be between 0 and 127"},
        {form(EventKind::kNote, "1", "60", "0"), "", "Velocity must be between 1 and 127"},
        {form(EventKind::kController, " 16 ", "+7", "127"), "BF 07 7F", ""},
        {form(EventKind::kController, "0", "7", "1"), "", "Channel must be between 1 and 16"},
        {form(EventKind::kProgram, "1", "127", ""), "C0 7F", ""},
        {form(EventKind::kPitchBend, "1", "", "-8192"), "E0 00 00", ""},
        {form(EventKind::kPitchBend, "1", "", "8191"), "E0 7F 7F", ""},
        {form(EventKind::kPitchBend, "1", "", "0"), "E0 00 40", ""},
        {form(EventKind::kPitchBend, "1", "", "8192"), "", "Pitch bend must be between -8192 and 8191"},
        {form(EventKind::kPressure, "1", "", "x"), "", "Pressure must be between 0 and 127"},
        {form(EventKind::kRawBytes, "", "FF 01 01 41", "", "5"), "FF 01 01 41", ""},
        {form(EventKind::kRawBytes, "", "F0", "", "6"), "", "Ticks must be between 0 and 5"},
        {form(EventKind::kController, "1", "7", "1", "-1"), "", "Ticks must be between 0 and 5"},
    };
    for (const auto& c : cases) {
      const FormResult result = ReadEventForm(c.form, 5, 100);
      QCOMPARE(result.Request ? result.Request->Hex : std::string(), c.hex);
      QCOMPARE(result.Message, c.message);
    }
    // A note longer than the track from its own time is refused with the length it may have.
    QCOMPARE(ReadEventForm(form(EventKind::kNote, "1", "60", "1", "5"), 5, 12).Message, std::string("Length must be between 0 and 7"));
    const auto note = ReadEventForm(form(EventKind::kNote, "3", "60", "1", "5"), 5, 15).Request;
    QVERIFY(note.has_value());
    QCOMPARE(std::tuple(note->Hex, note->Channel, note->Key, note->Velocity, note->Length, note->Ticks),
             std::tuple(std::string(), 2, 60, 1, std::int64_t{10}, std::int64_t{5}));
  }

  void RecentFilesAreOfferedNewestFirstAndRemembered() {
    f->Start();
    std::vector<std::string> paths;
    for (int n = 0; n < 10; ++n) paths.push_back(f->UserFile("song" + std::to_string(n) + ".mid", SongOfTwoTracks()));
    for (const std::string& path : paths) f->Open(path);
    f->Open(paths[3]);  // again: to the front, once
    ::unlink(paths[8].c_str());
    emit w().mnuRecent->aboutToShow();
    QStringList texts;
    QList<bool> enabled;
    for (QAction* action : w().mnuRecent->actions()) {
      texts << action->text();
      enabled << action->isEnabled();
    }
    QStringList expected;
    int number = 0;
    for (int n : {3, 9, 8, 7, 6, 5, 4, 2}) expected << QStringLiteral("&%1 %2").arg(++number).arg(QString::fromStdString(paths[n]));
    QCOMPARE(texts, expected);
    QCOMPARE(enabled, (QList<bool>{true, true, false, true, true, true, true, true}));  // a file gone is greyed

    w().mnuRecent->actions().at(7)->trigger();
    QCOMPARE(session().file.LastOpenedPath, paths[2]);
    w().close();
    std::string settings = paths[2] + "\n";
    for (int n : {3, 9, 8, 7, 6, 5, 4}) settings += "Recent=" + paths[n] + "\n";
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), settings);

    // The next run offers them again.
    f->window.reset();
    f->Start();
    QCOMPARE(w().recentFiles().size(), std::size_t{8});
    QCOMPARE(w().recentFiles().front(), paths[2]);
  }

  void KeysEditCellsAndToolbarFollowsTheMenus() {
    ListSecondTrack();
    SelectItem(kFirstNote);
    QTest::keyClick(w().ListView1, Qt::Key_F2);
    QVERIFY(f->Editor() != nullptr);
    QCOMPARE(w().ListView1->currentIndex().column(), 1);  // Notes, the row's first cell to edit
    QTest::keyClicks(f->Editor(), QStringLiteral("d5"));
    QTest::keyClick(f->Editor(), Qt::Key_Tab);  // ends this edit and edits the next cell
    QTRY_VERIFY(f->Editor() != nullptr && w().ListView1->currentIndex().column() == 2);
    QCOMPARE(session().buffers.Rows.Record(kFirstNote - 1).Data1, 62);
    QTest::keyClick(f->Editor(), Qt::Key_Backtab);
    QTRY_VERIFY(f->Editor() != nullptr && w().ListView1->currentIndex().column() == 1);
    QTest::keyClick(f->Editor(), Qt::Key_Escape);
    QTRY_VERIFY(f->Editor() == nullptr);
    w().ListView1->setFocus();
    QTest::keyClick(w().ListView1, Qt::Key_Return);
    QVERIFY(f->Editor() != nullptr);
    QTest::keyClick(f->Editor(), Qt::Key_Escape);

    for (bool on : {false, true}) {
      w().mnuSave->setEnabled(on);
      w().mnuPlay->setEnabled(!on);
      QCOMPARE(std::pair(w().Toolbar2Buttons[2]->isEnabled(), w().Toolbar2Buttons[4]->isEnabled()), std::pair(on, !on));
    }
  }

  // A repair grows the working copy by a byte: File Size says so, and the title has its "*".
  void FileSizeFollowsTheWorkingCopy() {
    const std::string song = Smf(1, 96, {Hex("00 FF 03 01 41 00 FF 2F 00"),
                                         Hex("00 FF 51 03 07 A1 20 00 3C 64 10 80 3C 00 00 FF 2F 00")});
    f->Start();
    f->Open(f->UserFile("song.mid", song));
    QCOMPARE(w().Text1->text(), QString::number(song.size()));
    QCOMPARE(w().Combo1->itemText(0), QStringLiteral("1 - A"));
    QVERIFY(!w().windowTitle().startsWith('*'));
    f->answerer.Buttons = {QMessageBox::Yes};
    f->ChooseTrack(2);
    QCOMPARE(f->answerer.Texts(), QStringList{QStringLiteral("ERROR: Probably missing byte.  Repair? ")});
    QCOMPARE(w().Text1->text(), QString::number(song.size() + 1));
    QVERIFY(w().windowTitle().startsWith('*'));
    QCOMPARE(w().Combo1->itemText(1), QStringLiteral("2"));
  }
};

}  // namespace

int RunEditingWindowTest(int argc, char** argv) {
  EditingWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "editing_window_test.moc"
