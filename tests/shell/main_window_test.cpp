#include <sys/stat.h>

#include <tuple>

#include "app/loaded_file.h"
#include "commands/lifecycle.h"
#include "common/file_system.h"
#include "decoding/records.h"
#include "shell/command_line.h"
#include "shell/frm_about.h"
#include "shell/media_hook.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

const Bytes kSong = SongOfTwoTracks();
const QString kCaption = QStringLiteral(" Quavert 0.15");
constexpr const char* kMode = "Status REDevid1 mode";

// What start-up finds in the settings file, from nothing to a file it opens.
enum Remembered { kNoSettings, kEmptySettings, kUnreadableSettings, kGoneFile, kBrokenFile, kFile };

// "Save Midi..." (menu and button), "Notes...", the Edit frame, "Save Track", Play, Pause and
// Stop (menu and button each): 1 enabled, 0 disabled, ? when the controls of one disagree.
QString EnabledState(frmmain& w) {
  QString state;
  for (const std::vector<QObject*>& group : std::vector<std::vector<QObject*>>{
           {w.mnuSave, w.Toolbar2Buttons[2]}, {w.Command1}, {w.Text5, w.Text6, w.Command2}, {w.Command5},
           {w.mnuPlay, w.Toolbar2Buttons[4]}, {w.mnuPause, w.Toolbar2Buttons[5]}, {w.mnuStop, w.Toolbar2Buttons[6]}}) {
    QSet<bool> enabled;
    for (QObject* control : group) enabled << control->property("enabled").toBool();
    state += enabled.size() > 1 ? '?' : enabled.contains(true) ? '1' : '0';
  }
  return state;
}

class WindowTest : public WindowTestCase {
  Q_OBJECT

  // Drags a file from the desktop onto the window and drops it; it opens once the drop is over.
  void Drop(const std::string& path) {
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &drop);
    QTRY_VERIFY(w().Combo1->count() > 0);
  }

 private slots:
  void StartUpOpensTheRememberedFileAndShutdownRemembersItAgain_data() {
    QTest::addColumn<int>("remembered");
    QTest::addColumn<QStringList>("messages");  // shown at start-up
    QTest::newRow("no settings file") << int{kNoSettings} << QStringList();
    QTest::newRow("empty settings file") << int{kEmptySettings} << QStringList();
    QTest::newRow("unreadable settings file") << int{kUnreadableSettings} << QStringList();
    QTest::newRow("remembered file gone") << int{kGoneFile} << QStringList();
    QTest::newRow("remembered file no MIDI file") << int{kBrokenFile} << QStringList{" TAKE 2, FINAL.MID is not a MIDI file"};
    QTest::newRow("remembered file") << int{kFile} << QStringList();
  }

  void StartUpOpensTheRememberedFileAndShutdownRemembersItAgain() {
    QFETCH(int, remembered);
    QFETCH(QStringList, messages);
    const std::string settings = f->app.Join(kSettingsFileName);
    const std::string path = f->user.Join(" take 2, final.mid");  // restored exactly as written
    if (remembered >= kBrokenFile) f->UserFile(" take 2, final.mid", remembered == kFile ? kSong : "RIFF");
    if (remembered == kEmptySettings) WriteFileBytes(settings, "");
    if (remembered == kUnreadableSettings) ::mkdir(settings.c_str(), 0755);
    if (remembered >= kGoneFile) WriteFileBytes(settings, path + "\r\nnot read\r\n");
    // Left by an earlier run: only what this run makes is deleted.
    for (const char* name : {kNotesDat, kDataDat}) WriteFileBytes(f->app.Join(name), "old");

    f->Start();
    QCOMPARE(f->answerer.Texts(), messages);
    QVERIFY(f->answerer.Dialogs.empty());
    const QStringList shown{w().windowTitle(), w().Text1->text(), w().Text3->text(), w().Text4->text(), w().Text5->text(),
                            w().Text6->text(), w().Combo1->itemText(0), w().Combo1->itemText(1)};
    if (remembered == kFile) {
      QCOMPARE(shown, (QStringList{kCaption + " - " + QString::fromStdString(path), QString::number(kSong.size()), "2",
                                   "Multi", "96", "120", "1 - Demo", "2"}));  // the track's name follows its number
      QVERIFY(w().Text2->toPlainText().contains(QStringLiteral("Demo")));
    } else {
      QCOMPARE(shown, QStringList{kCaption} + QStringList(7, QString()));
      QCOMPARE(f->media.Commands.empty(), remembered != kBrokenFile);
    }
    if (remembered == kNoSettings) QCOMPARE(ReadFileBytes(settings), std::string("\n"));

    f->answerer.Messages.clear();
    w().close();
    QVERIFY(f->answerer.Messages.empty());
    if (remembered == kUnreadableSettings)
      QVERIFY(FolderExists(settings));  // cannot be written either: left as it is
    else
      QCOMPARE(ReadFileBytes(settings), (remembered >= kBrokenFile ? path : std::string()) + "\n");
    QCOMPARE((std::vector{FileExists(f->app.Join(kWorkCopyName)), FileExists(f->app.Join(kNotesDat)), FileExists(f->app.Join(kDataDat))}),
             (std::vector{false, remembered != kFile, true}));
  }

  // quavert FILE: the file given is opened instead of the remembered one, and remembered in its
  // place; one that does not exist is said so, and the remembered file stays remembered. The
  // settings file lies apart from the application folder, as for an installed program.
  void StartUpOpensTheFileGivenInsteadOfTheRememberedOne_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("file given") << true << QStringList();
    QTest::newRow("file given missing") << false << QStringList{"given.mid does not exist"};
  }

  void StartUpOpensTheFileGivenInsteadOfTheRememberedOne() {
    QFETCH(bool, exists);
    QFETCH(QStringList, messages);
    f->settings_file = f->user.Join("quavert.ini");
    const std::string remembered = f->UserFile("remembered.mid", kSong);
    WriteFileBytes(f->settings_file, remembered + "\n");
    const std::string given = exists ? f->UserFile("given.mid", kSong) : f->user.Join("given.mid");

    f->Start(given);
    QCOMPARE(f->answerer.Texts(), messages);
    QCOMPARE(w().windowTitle(), exists ? kCaption + " - " + QString::fromStdString(given) : kCaption);
    QCOMPARE(w().Combo1->count(), exists ? 2 : 0);
    w().close();
    // The file opened before stays among the recent files, after the last one.
    QCOMPARE(ReadFileBytes(f->settings_file), exists ? given + "\nRecent=" + remembered + "\n" : remembered + "\n");
    QVERIFY(!FileExists(f->app.Join(kSettingsFileName)));
  }

  void CommandLineGivesAFileHelpOrVersion() {
    using Action = WindowCommandLine::Action;
    const std::vector<std::pair<std::vector<std::string>, WindowCommandLine>> cases = {
        {{}, {Action::kRun, "", ""}},
        {{"song.mid"}, {Action::kRun, "song.mid", ""}},
        {{"--", "-odd.mid"}, {Action::kRun, "-odd.mid", ""}},
        {{"-"}, {Action::kRun, "-", ""}},
        {{"song.mid", "--help"}, {Action::kHelp, "", ""}},
        {{"-x", "-h"}, {Action::kHelp, "", ""}},
        {{"--version", "--help"}, {Action::kVersion, "", ""}},
        {{"--", "--help"}, {Action::kRun, "--help", ""}},
        {{"a.mid", "b.mid"}, {Action::kUsageError, "", "only one FILE can be opened"}},
        {{"--play", "a.mid"}, {Action::kUsageError, "", "unexpected argument '--play'"}},
    };
    for (const auto& [args, expected] : cases) QCOMPARE(ParseWindowArguments(args), expected);
  }

  void CommandsAreEnabledAsFilesAndPlaybackCome() {
    f->Start();
    const std::string song = f->UserFile("song.mid", Smf(1, 96, {Hex("00 FF 03 04") + "Demo" + Hex("00 FF 2F 00"),
                                                                  Hex("00 90 3C 64 60 80 3C 00 00 FF 2F 00"),
                                                                  Hex("00 FF 60 01 00 00 FF 2F 00")}));
    const std::string text = f->UserFile("notes.txt", "these are not MIDI bytes");
    f->media.Replies["Status REDevid1 length"] = "384";
    const struct {
      const char* event;
      std::function<void()> act;
      const char* state;
      QStringList messages;
    } steps[] = {
        {"before any file", [] {}, "0000000", {}},
        {"load failed", [&] { f->answerer.Paths = {QString::fromStdString(text)}; w().Toolbar2Buttons[1]->trigger(); },
         "0000000", {"NOTES.TXT is not a MIDI file"}},
        {"path accepted (track 1 has nothing to list)", [&] { f->Open(song); }, "1010100", {}},
        {"track chosen", [&] { f->ChooseTrack(2); }, "1110100", {}},
        {"list built", [&] { QTest::mouseClick(w().Command1, Qt::LeftButton); }, "1111100", {}},
        {"play", [&] { w().Toolbar2Buttons[4]->trigger(); }, "1111111", {}},
        {"pause", [&] { w().Toolbar2Buttons[5]->trigger(); }, "1111100", {}},
        {"resume", [&] { w().mnuPlay->trigger(); }, "1111111", {}},
        {"stop", [&] { w().Toolbar2Buttons[6]->trigger(); }, "1111100", {}},
        {"play again", [&] { w().Toolbar2Buttons[4]->trigger(); }, "1111111", {}},
        // The About box is no command: checked as soon as it closes, the poll ran while it was open.
        {"poll sees stopped while the About box is open",
         [&] {
           f->media.Replies[kMode] = "stopped";
           w().Timer1->setInterval(5);
           QTimer::singleShot(300, &w(), [&] {
             if (w().about() != nullptr) w().about()->accept();
           });
           w().mnuAbout->trigger();
         },
         "1111100", {}},
        {"another track chosen", [&] { f->ChooseTrack(1); }, "1010100", {}},
        {"decode failed", [&] { f->ChooseTrack(3); }, "0000000", {"Invalid byte: 96"}},
        {"a good track again", [&] { f->ChooseTrack(2); }, "1110000", {}},
        {"load failed after a good one", [&] { f->Open(text); }, "0000000", {"NOTES.TXT is not a MIDI file"}},
        {"a file dropped on the window opens", [&] { Drop(song); }, "1010100", {}},
    };
    for (const auto& step : steps) {
      f->answerer.Messages.clear();
      step.act();
      QVERIFY2(EnabledState(w()) == QLatin1String(step.state), qPrintable(step.event + (": " + EnabledState(w()))));
      QVERIFY2(f->answerer.Texts() == step.messages, step.event);
    }
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{3});  // none for the drop
    QCOMPARE(f->answerer.Dialogs.at(0).Title, QStringLiteral("Load MIDI file"));
  }

  void SaveMidiAsksBeforeReplacingAFile() {
    f->Start();
    f->Open(f->UserFile("song.mid", kSong));
    const std::string taken = f->UserFile("taken.mid", "keep me");
    f->answerer.Paths = {QString::fromStdString(taken), QString::fromStdString(taken)};
    f->answerer.Buttons = {QMessageBox::No, QMessageBox::Yes};

    w().mnuSave->trigger();
    QCOMPARE(ReadFileBytes(taken), std::string("keep me"));
    w().Toolbar2Buttons[2]->trigger();
    QCOMPARE(ReadFileBytes(taken), kSong);

    const ShownDialog& dialog = f->answerer.Dialogs.at(1);
    QCOMPARE(dialog.Title, QStringLiteral("Save MIDI file"));
    QVERIFY(dialog.Save && !dialog.ConfirmsOverwrite);  // the program asks itself, once
    QCOMPARE(f->answerer.Texts(), QStringList(2, QStringLiteral("taken.mid already exists, overwrite?")));
    const ShownMessage& question = f->answerer.Messages[0];
    QCOMPARE(std::tuple(question.Title, question.Icon, question.Buttons),
             std::tuple(QStringLiteral("Confirmation"), int{QMessageBox::Question}, int{QMessageBox::Yes | QMessageBox::No}));
  }

  void ACommandRunsAloneAndClosingWaitsForItsEnd() {
    f->Start();
    bool ended_during_command = true;
    f->answerer.WhileShown = [&] {
      w().Toolbar2Buttons[1]->trigger();  // "Open" again while the first one's message is up
      w().close();
      ended_during_command = w().hasEnded();
    };
    f->Open(f->user.Join("missing.mid"));
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    QCOMPARE(f->answerer.Texts(), QStringList{QStringLiteral("missing.mid does not exist")});
    QCOMPARE(f->answerer.Messages[0].Icon, static_cast<int>(QMessageBox::Warning));
    QVERIFY(!ended_during_command && w().hasEnded() && !w().isVisible());
  }

  void MediaFrameHookSwallowsOnlyNotifications() {
    f->Start();
    constexpr auto kOther = static_cast<QEvent::Type>(QEvent::User + 1);
    struct Spy : QObject {  // what reaches the frame past the hook
      std::vector<int> seen;
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == kMediaNotifyEvent || event->type() == kOther) seen.push_back(event->type());
        return false;
      }
    } spy;
    w().MediaFrame->installEventFilter(&spy);
    w().hook().Install(w().MediaFrame);  // filters run newest first: the hook now comes before the spy
    QEvent notify(kMediaNotifyEvent);
    QEvent other(kOther);
    for (QEvent* event : {&notify, &other}) QCoreApplication::sendEvent(w().MediaFrame, event);
    w().hook().Unhook();
    QCoreApplication::sendEvent(w().MediaFrame, &notify);
    QCOMPARE(spy.seen, (std::vector<int>{kOther, kMediaNotifyEvent}));
  }
};

}  // namespace

int RunWindowTest(int argc, char** argv) {
  WindowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "main_window_test.moc"
