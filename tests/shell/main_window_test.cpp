#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "common/file_system.h"
#include "decoding/records.h"
#include "loading/loaded_file.h"
#include "session/lifecycle.h"
#include "shell/event_list_model.h"
#include "shell/frm_about.h"
#include "shell/media_hook.h"
#include "shell_tests.h"
#include "support/midi_bytes.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

const Bytes kSong = SongOfTwoTracks();

QStringList EntriesOf(QMenu* menu) {
  QStringList entries;
  for (QAction* action : menu->actions()) entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return entries;
}

// Counts the events that reach an object after every filter installed before it.
class EventSpy : public QObject {
 public:
  int Notifications = 0;
  int Others = 0;
  QEvent::Type Other = static_cast<QEvent::Type>(QEvent::User + 1);

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == kMediaNotifyEvent) ++Notifications;
    if (event->type() == Other) ++Others;
    return false;
  }
};

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowFixture> f;
  frmmain& w() { return *f->window; }
  Session& session() { return f->window->session(); }
  void ChooseTrack(int track) { f->ChooseTrack(track); }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { f.reset(); }

  void ControlsCarryTheirCaptions() {
    f->Start();
    QCOMPARE(w().windowTitle(), QStringLiteral(" Quavert 0.15"));
    const QList<QAction*> menus = w().menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), QStringLiteral("File"));
    QCOMPARE(EntriesOf(menus[0]->menu()), (QStringList{"Open...", "Save Midi...", "-", "Exit"}));
    QCOMPARE(menus[1]->text(), QStringLiteral("Controls"));
    QCOMPARE(EntriesOf(menus[1]->menu()), (QStringList{"Play", "Pause", "Stop"}));
    QCOMPARE(menus[2]->text(), QStringLiteral("Help"));
    QCOMPARE(EntriesOf(menus[2]->menu()), QStringList{"About..."});
    QCOMPARE(w().mnuOpen->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(w().mnuSave->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(w().mnuExit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    QCOMPARE(w().Frame1->title(), QStringLiteral(" Info "));
    QCOMPARE(w().Label2->text(), QStringLiteral("File Size:"));
    QCOMPARE(w().Label3->text(), QStringLiteral("Total Tracks:"));
    QCOMPARE(w().Label4->text(), QStringLiteral("File Format:"));
    QCOMPARE(w().Frame2->title(), QStringLiteral(" Edit "));
    QCOMPARE(w().Label6->text(), QStringLiteral("Set Tempo:"));
    QCOMPARE(w().Label5->text(), QStringLiteral("Delta Ticks:"));
    QCOMPARE(w().Command2->text(), QStringLiteral("Save"));
    QCOMPARE(w().Label1->text(), QStringLiteral("Track:"));
    QCOMPARE(w().Command1->text(), QStringLiteral("Notes..."));
    QCOMPARE(w().Command5->text(), QStringLiteral("Save Track"));
    const QFontMetrics metrics(w().Text2->font());
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(w().Timer1->interval(), 1000);
    QVERIFY(w().Timer1->isActive());

    QStringList captions;
    for (int column = 0; column < w().listModel().columnCount(); ++column)
      captions << w().listModel().headerData(column, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"Channel", "Notes", "Volume", "Length", "Description"}));
  }

  void ToolbarHasSixButtonsWithDescriptionsAndTips() {
    f->Start();
    const QList<QAction*> buttons = w().Toolbar2->actions();
    QCOMPARE(buttons.size(), 6);
    QVERIFY(buttons[2]->isSeparator());
    const std::pair<const char*, const char*> expected[] = {
        {"Open", "Open..."}, {"Save", "Save Midi..."}, {"", ""}, {"Play", "Play"}, {"Pause", "Pause"}, {"Stop", "Stop"}};
    for (int i = 0; i < 6; ++i) {
      QCOMPARE(buttons[i], w().Toolbar2Buttons[i + 1]);
      if (i == 2) continue;
      QCOMPARE(buttons[i]->data().toString(), QString::fromLatin1(expected[i].first));
      QCOMPARE(buttons[i]->toolTip(), QString::fromLatin1(expected[i].second));
      QVERIFY(!buttons[i]->icon().pixmap(16, 16).isNull());
    }
    QCOMPARE(w().Toolbar2->iconSize(), QSize(16, 16));
  }

  void BeforeAnyFileOnlyOpeningIsPossible() {
    f->Start();
    CheckEnabled(w(), EnabledState{false, false, false, false, false, false, false, false, false, false, false, false, false});
    QVERIFY(w().mnuOpen->isEnabled());
    QVERIFY(w().Toolbar2Buttons[1]->isEnabled());
    QVERIFY(w().mnuExit->isEnabled());
    QVERIFY(w().mnuAbout->isEnabled());
    QVERIFY(w().Text5->isReadOnly());
  }

  void FirstStartCreatesTheSettingsFile() {
    f->Start();
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), std::string("\n"));
    QVERIFY(f->answerer.Messages.empty());
    QVERIFY(f->media.Commands.empty());
    QVERIFY(w().hook().IsInstalled());
  }

  void EmptySettingsOrAGoneFileOpenNothing() {
    WriteFileBytes(f->app.Join(kSettingsFileName), "");
    f->Start();
    QVERIFY(f->answerer.Messages.empty());
    QVERIFY(f->media.Commands.empty());
    QCOMPARE(w().windowTitle(), QStringLiteral(" Quavert 0.15"));
    f.reset();

    f = std::make_unique<WindowFixture>();
    WriteFileBytes(f->app.Join(kSettingsFileName), f->user.Join("gone.mid") + "\n");
    f->Start();
    QVERIFY(f->answerer.Messages.empty());
    QVERIFY(f->media.Commands.empty());
    QCOMPARE(w().Combo1->count(), 0);
  }

  void RememberedFileIsOpenedAtStartUp() {
    const std::string path = f->UserFile("demo song.mid", kSong);
    WriteFileBytes(f->app.Join(kSettingsFileName), path + "\n");
    f->Start();
    QVERIFY(f->answerer.Dialogs.empty());
    QCOMPARE(w().windowTitle(), QStringLiteral(" Quavert 0.15 - ") + QString::fromStdString(path));
    QCOMPARE(w().Combo1->count(), 2);
    QVERIFY(session().file.FileLoaded);
  }

  void OpeningAFileFillsTheInfoFrameAndTheTrackChooser() {
    f->Start();
    const std::string path = f->UserFile("song.mid", kSong);
    f->OpenThroughDialog(path);

    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    QCOMPARE(f->answerer.Dialogs[0].Title, QStringLiteral("Load MIDI file"));
    QVERIFY(f->answerer.Messages.empty());
    QCOMPARE(w().windowTitle(), QStringLiteral(" Quavert 0.15 - ") + QString::fromStdString(path));
    QCOMPARE(w().Text1->text(), QString::number(kSong.size()));
    QCOMPARE(w().Text3->text(), QStringLiteral("2"));
    QCOMPARE(w().Text4->text(), QStringLiteral("Multi"));
    QCOMPARE(w().Text5->text(), QStringLiteral("96"));
    QCOMPARE(w().Combo1->count(), 2);
    QCOMPARE(w().Combo1->itemText(0), QStringLiteral("1"));
    QCOMPARE(w().Combo1->itemText(1), QStringLiteral("2"));
    QCOMPARE(w().Combo1->currentText(), QStringLiteral("1"));
    QVERIFY(!w().Text2->toPlainText().isEmpty());
    // A path accepted for loading.
    CheckEnabled(w(), EnabledState{true, true, w().Command1->isEnabled(), true, true, true, false, true, true, false, false,
                       false, false});
    QVERIFY(!w().Text5->isReadOnly());
    QCOMPARE(ReadFileBytes(f->app.Join(kWorkCopyName)), kSong);
  }

  void ChoosingATrackDecodesIt() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("song.mid", kSong));
    QVERIFY(w().Text2->toPlainText().contains(QStringLiteral("Demo")));

    ChooseTrack(2);
    QCOMPARE(w().Combo1->currentText(), QStringLiteral("2"));
    QCOMPARE(session().file.CurrentTrack, 2);
    QVERIFY(!w().Text2->toPlainText().isEmpty());
    QVERIFY(!w().Text2->toPlainText().contains(QStringLiteral("Demo")));
    // A track is chosen while a file is loaded.
    CheckEnabled(w(), EnabledState{true, true, true, true, true, true, false, true, true, false, false, false, false});
    QVERIFY(f->answerer.Messages.empty());
  }

  void FailedDecodeBlocksTheFileCommandsUntilAGoodTrack() {
    f->Start();
    const Bytes broken = Smf(1, 96, {Hex("00 FF 03 04") + "Demo" + Hex("00 FF 2F 00"),
                                     Hex("00 FF 60 01 00 00 FF 2F 00")});
    f->OpenThroughDialog(f->UserFile("broken.mid", broken));
    QVERIFY(f->answerer.Messages.empty());

    ChooseTrack(2);
    QCOMPARE(f->answerer.MessageTexts(), QStringList{QStringLiteral("Invalid byte: 96")});
    CheckEnabled(w(), EnabledState{false, false, false, false, false, false, false, false, false, false, false, false, false});
    QVERIFY(session().file.FileLoaded);

    ChooseTrack(1);
    QCOMPARE(f->answerer.Messages.size(), std::size_t{1});
    QVERIFY(w().mnuSave->isEnabled());
    QVERIFY(w().Command2->isEnabled());
  }

  void CancelledOrMissingChoiceChangesNothing() {
    f->Start();
    f->answerer.Paths = {QString()};
    w().mnuOpen->trigger();
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    QVERIFY(f->answerer.Messages.empty());
    QVERIFY(f->media.Commands.empty());

    f->OpenThroughDialog(f->user.Join("missing.mid"));
    QCOMPARE(f->answerer.MessageTexts(), QStringList{QStringLiteral("missing.mid does not exist")});
    QCOMPARE(f->answerer.Messages[0].Icon, static_cast<int>(QMessageBox::Warning));
    QVERIFY(f->media.Commands.empty());
    CheckEnabled(w(), EnabledState{false, false, false, false, false, false, false, false, false, false, false, false, false});
  }

  void FailedLoadBlocksTheFileCommands() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("notes.txt", "these are not MIDI bytes"));
    QCOMPARE(f->answerer.MessageTexts(), QStringList{QStringLiteral("NOTES.TXT is not a MIDI file")});
    CheckEnabled(w(), EnabledState{false, false, false, false, false, false, false, false, false, false, false, false, false});
    QCOMPARE(w().Combo1->count(), 0);
    QVERIFY(!session().file.FileLoaded);

    // The window stays usable: the next file opens.
    f->OpenThroughDialog(f->UserFile("song.mid", kSong));
    QVERIFY(session().file.FileLoaded);
    QVERIFY(w().mnuSave->isEnabled());
  }

  void ToolbarRunsExactlyOneCommandPerClick() {
    f->Start();
    f->answerer.Paths = {QString()};
    w().Toolbar2Buttons[1]->trigger();
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    w().Toolbar2Buttons[3]->trigger();  // the separator
    w().Toolbar2ButtonClick(QStringLiteral("open"));  // descriptions are compared case-sensitively
    w().Toolbar2ButtonClick(QString());
    QTest::qWait(20);
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    QVERIFY(f->answerer.Messages.empty());
  }

  void NoCommandStartsWhileAnotherRuns() {
    f->Start();
    f->answerer.Paths = {QString::fromStdString(f->user.Join("missing.mid"))};
    // While the command's message is up, the user clicks "Open" again.
    f->answerer.WhileShown = [this] { w().Toolbar2Buttons[1]->trigger(); };
    w().mnuOpen->trigger();
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    QCOMPARE(f->answerer.Messages.size(), std::size_t{1});
  }

  void SaveMidiAsksBeforeReplacingAFile() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("song.mid", kSong));
    const std::string taken = f->UserFile("taken.mid", "keep me");

    f->answerer.Paths = {QString::fromStdString(taken)};
    f->answerer.Buttons = {QMessageBox::No};
    w().mnuSave->trigger();
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{2});
    const ShownDialog& dialog = f->answerer.Dialogs[1];
    QCOMPARE(dialog.Title, QStringLiteral("Save MIDI file"));
    QVERIFY(dialog.Save);
    QVERIFY(!dialog.ConfirmsOverwrite);
    QCOMPARE(f->answerer.MessageTexts(), QStringList{QStringLiteral("taken.mid already exists, overwrite?")});
    QCOMPARE(f->answerer.Messages[0].Title, QStringLiteral("Confirmation"));
    QCOMPARE(f->answerer.Messages[0].Icon, static_cast<int>(QMessageBox::Question));
    QCOMPARE(f->answerer.Messages[0].Buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(ReadFileBytes(taken), std::string("keep me"));

    // The toolbar's Save runs the same command; Yes replaces the file with the working copy.
    f->answerer.Paths = {QString::fromStdString(taken)};
    f->answerer.Buttons = {QMessageBox::Yes};
    w().Toolbar2Buttons[2]->trigger();
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{3});
    QCOMPARE(f->answerer.Messages.size(), std::size_t{2});
    QCOMPARE(ReadFileBytes(taken), ReadFileBytes(f->app.Join(kWorkCopyName)));

    // A new name is written without a question.
    const std::string fresh = f->user.Join("fresh.mid");
    f->answerer.Paths = {QString::fromStdString(fresh)};
    w().mnuSave->trigger();
    QCOMPARE(f->answerer.Messages.size(), std::size_t{2});
    QCOMPARE(ReadFileBytes(fresh), kSong);
  }

  void PlaybackCommandsFollowTheStateTable() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("song.mid", kSong));
    f->media.Replies["Status REDevid1 length"] = "384";
    f->media.Replies["Status REDevid1 position"] = "192";
    auto sent = [this](const std::string& command) {
      return std::count(f->media.Commands.begin(), f->media.Commands.end(), command);
    };

    w().Toolbar2Buttons[4]->trigger();
    QCOMPARE(sent("Play REDevid1 from 0 to 384 notify"), 1);
    CheckEnabled(w(), EnabledState{true, true, w().Command1->isEnabled(), true, true, true, false, true, true, true, true, true,
                       true});

    w().mnuPause->trigger();
    QCOMPARE(sent("Pause REDevid1 notify"), 1);
    CheckEnabled(w(), EnabledState{true, true, w().Command1->isEnabled(), true, true, true, false, true, true, false, false,
                       false, false});

    w().Toolbar2Buttons[4]->trigger();  // resumes where it paused
    QCOMPARE(sent("Play REDevid1 from 192 to 384 notify"), 1);
    QVERIFY(w().Toolbar2Buttons[5]->isEnabled());

    w().Toolbar2Buttons[6]->trigger();
    QCOMPARE(sent("Stop REDevid1 notify"), 1);
    QVERIFY(!w().mnuPause->isEnabled());
    QVERIFY(!w().mnuStop->isEnabled());
    QVERIFY(w().mnuPlay->isEnabled());

    // The poll notices the end of playback.
    w().mnuPlay->trigger();
    QVERIFY(w().mnuStop->isEnabled());
    f->media.Replies["Status REDevid1 mode"] = "stopped";
    w().Timer1->setInterval(5);
    QTRY_VERIFY(!w().mnuStop->isEnabled());
    QVERIFY(!w().Toolbar2Buttons[5]->isEnabled());
    QVERIFY(!session().player.Playing);
    QVERIFY(sent("Status REDevid1 mode") >= 1);
  }

  void StatusPollGoesOnWhileTheAboutBoxIsOpen() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("song.mid", kSong));
    w().mnuPlay->trigger();
    QVERIFY(w().mnuStop->isEnabled());
    f->media.Replies["Status REDevid1 mode"] = "stopped";
    w().Timer1->setInterval(5);

    f->answerer.CloseOthers = false;
    bool seen_while_open = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&] {
      frmAbout* box = w().about();
      if (box == nullptr || !box->isVisible()) return;
      if (!w().mnuStop->isEnabled()) seen_while_open = true;
      if (seen_while_open) box->accept();
    });
    watcher.start(5);
    QTimer::singleShot(3000, [&] {
      if (w().about() != nullptr) w().about()->reject();
    });
    w().mnuAbout->trigger();
    QVERIFY(seen_while_open);
  }

  void ClosingDuringACommandWaitsForItsEnd() {
    f->Start();
    f->answerer.Paths = {QString::fromStdString(f->user.Join("missing.mid"))};
    bool ended_during_command = true;
    f->answerer.WhileShown = [&] {
      w().close();
      ended_during_command = w().hasEnded();
    };
    w().mnuOpen->trigger();
    QVERIFY(!ended_during_command);
    QVERIFY(w().hasEnded());
    QVERIFY(!w().isVisible());
  }

  void DroppedFileIsOpened() {
    f->Start();
    const std::string path = f->UserFile("dropped.mid", kSong);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &drop);
    QTRY_COMPARE(w().windowTitle(), QStringLiteral(" Quavert 0.15 - ") + QString::fromStdString(path));
    QVERIFY(f->answerer.Dialogs.empty());
    QCOMPARE(session().file.LastOpenedPath, path);

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&w(), &refused);
    QVERIFY(!refused.isAccepted());
  }

  void ShutdownRemovesWorkingFilesAndRemembersThePath() {
    f->Start();
    const std::string path = f->UserFile("a, b.mid", kSong);
    f->OpenThroughDialog(path);
    ChooseTrack(2);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    for (const char* name : {kWorkCopyName, kNotesDat, kDataDat}) QVERIFY(FileExists(f->app.Join(name)));

    w().mnuExit->trigger();

    QVERIFY(w().hasEnded());
    QVERIFY(!w().isVisible());
    for (const char* name : {kWorkCopyName, kNotesDat, kDataDat}) QVERIFY(!FileExists(f->app.Join(name)));
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), path + "\n");
    QCOMPARE(f->media.Commands.back(), std::string("Close REDevid1 notify"));
    QVERIFY(!w().hook().IsInstalled());
    QVERIFY(w().about() == nullptr);
    // Closing again runs nothing a second time.
    f->media.Commands.clear();
    w().close();
    QVERIFY(f->media.Commands.empty());
  }

  void ShutdownWithAnEditorOpenHandsNothingOver() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("song.mid", kSong));
    ChooseTrack(2);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    const auto buffers = session().buffers.EventBuffer;
    QVERIFY(!buffers.empty());
    f->ClickCell(1, 1);
    auto* editor = qobject_cast<QLineEdit*>(w().cellEditor().OpenEditor());
    QVERIFY(editor != nullptr);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("200"));  // out of range: would show a message

    w().close();
    QTRY_VERIFY(w().cellEditor().OpenEditor() == nullptr);
    QTest::qWait(20);
    QVERIFY(w().hasEnded());
    QVERIFY(f->answerer.Messages.empty());
    QVERIFY(session().buffers.EventBuffer == buffers);
  }

  void MediaFrameHookSwallowsOnlyNotifications() {
    f->Start();
    EventSpy spy;
    w().MediaFrame->installEventFilter(&spy);
    // Filters run newest first: installing the hook again puts it before the spy.
    w().hook().Install(w().MediaFrame);
    PostMediaNotify(w().MediaFrame);
    QCoreApplication::postEvent(w().MediaFrame, std::make_unique<QEvent>(spy.Other).release());
    QCoreApplication::processEvents();
    QCOMPARE(spy.Notifications, 0);
    QCOMPARE(spy.Others, 1);

    w().hook().Unhook();
    PostMediaNotify(w().MediaFrame);
    QCoreApplication::processEvents();
    QCOMPARE(spy.Notifications, 1);
    w().MediaFrame->removeEventFilter(&spy);
  }
};

}  // namespace

int RunMainWindowTest(int argc, char** argv) {
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "main_window_test.moc"
