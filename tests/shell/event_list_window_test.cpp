#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>

#include "loading/loaded_file.h"
#include "shell/event_list_model.h"
#include "shell_tests.h"
#include "support/midi_bytes.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

class EventListWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowFixture> f;
  frmmain& w() { return *f->window; }
  Session& session() { return f->window->session(); }
  Toolkit& ui() { return f->window->toolkit(); }

  // Opens the song, chooses its second track (program change, two notes) and lists it.
  void ListSecondTrack() {
    f->Start();
    f->OpenThroughDialog(f->UserFile("song.mid", SongOfTwoTracks()));
    f->ChooseTrack(2);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
  }

  // The first item whose Description starts with `prefix`; 0 when none does.
  std::int64_t ItemWith(const std::string& prefix) {
    for (std::int64_t item = 1; item <= ui().ListItemCount(); ++item)
      if (ui().ListText(item, 4).rfind(prefix, 0) == 0) return item;
    return 0;
  }

  QLineEdit* Editor() { return qobject_cast<QLineEdit*>(w().cellEditor().OpenEditor()); }

  // Types `text` over the open editor's and ends the edit with Return.
  void TypeIntoEditor(const QString& text) {
    QLineEdit* editor = Editor();
    QVERIFY(editor != nullptr);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(Editor() == nullptr);
    QTest::qWait(10);  // the end of the edit is delivered after the editor has closed
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { f.reset(); }

  void NotesListsTheChosenTrack() {
    ListSecondTrack();
    QVERIFY(f->answerer.Messages.empty());
    QCOMPARE(ui().ListItemCount(), static_cast<std::int64_t>(session().buffers.ListBuffer.size()));
    QCOMPARE(ui().ListItemCount(), std::int64_t{5});
    QCOMPARE(w().listModel().rowCount(), 5);
    QVERIFY(ItemWith("Instrument: ") == 1);
    QVERIFY(w().Text2->toPlainText().contains(QStringLiteral("Total Time")));
    // The event list is built.
    CheckEnabled(w(), EnabledState{true, true, true, true, true, true, true, true, true, false, false, false, false});
    QVERIFY(session().DataDatMade);

    // Another track empties the list and disables "Save Track" again.
    f->ChooseTrack(1);
    QCOMPARE(ui().ListItemCount(), std::int64_t{0});
    QVERIFY(!w().Command5->isEnabled());
  }

  void OnlyALeftClickOnAValueCellOpensTheEditor() {
    ListSecondTrack();
    const std::int64_t note = ItemWith("On");
    QVERIFY(note > 0);
    f->ClickCell(note, 0);
    QVERIFY(Editor() == nullptr);
    f->ClickCell(note, 4);
    QVERIFY(Editor() == nullptr);
    f->ClickCell(note, 1, Qt::RightButton);
    QVERIFY(Editor() == nullptr);
    f->ClickCell(1, 2);  // a program change has no Volume
    QVERIFY(Editor() == nullptr);

    f->ClickCell(note, 1);
    QVERIFY(Editor() != nullptr);
    QCOMPARE(Editor()->text(), QString::fromStdString(ui().ListText(note, 1)));
    QCOMPARE(w().ListView1->currentIndex(), w().listModel().index(static_cast<int>(note - 1), 1));
  }

  void AcceptedNoteIsShownAsTypedAndStoredAsANumber() {
    ListSecondTrack();
    const std::int64_t note = ItemWith("On");
    f->ClickCell(note, 1);
    TypeIntoEditor(QStringLiteral("d5"));
    QVERIFY(f->answerer.Messages.empty());
    QCOMPARE(ui().ListText(note, 1), std::string("d5"));
    const auto row = static_cast<std::size_t>(note - 1);
    QCOMPARE(session().buffers.EventBuffer[row].Data1, 62);
    QCOMPARE(session().buffers.ListBuffer[row].Notes, std::string("62"));
  }

  void RejectedValueShowsItsMessageAndChangesNothing() {
    ListSecondTrack();
    const std::int64_t note = ItemWith("On");
    const auto row = static_cast<std::size_t>(note - 1);
    const EventRecord before = session().buffers.EventBuffer[row];
    const std::string shown = ui().ListText(note, 1);

    f->ClickCell(note, 1);
    TypeIntoEditor(QStringLiteral("60"));
    QCOMPARE(f->answerer.MessageTexts(),
             QStringList{QStringLiteral("Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#")});
    QCOMPARE(f->answerer.Messages[0].Title, QStringLiteral("Quavert"));
    QCOMPARE(f->answerer.Messages[0].Buttons, static_cast<int>(QMessageBox::Ok));
    QCOMPARE(ui().ListText(note, 1), shown);
    QCOMPARE(session().buffers.EventBuffer[row], before);

    f->answerer.Clear();
    f->ClickCell(note, 3);
    TypeIntoEditor(QStringLiteral("1000000"));
    QCOMPARE(f->answerer.MessageTexts(), QStringList{QStringLiteral("Data must be between 0 and 999999")});
    f->ClickCell(note, 3);
    TypeIntoEditor(QStringLiteral("999999"));
    QCOMPARE(f->answerer.Messages.size(), std::size_t{1});
    QCOMPARE(session().buffers.EventBuffer[row].Delta, 999999);
  }

  void ProgramChangeTakesTheNewInstrumentName() {
    ListSecondTrack();
    const std::string before = ui().ListText(1, 4);
    f->ClickCell(1, 1);
    TypeIntoEditor(QStringLiteral("25"));
    QVERIFY(f->answerer.Messages.empty());
    QCOMPARE(ui().ListText(1, 1), std::string("25"));
    QVERIFY(ui().ListText(1, 4).rfind("Instrument: ", 0) == 0);
    QVERIFY(ui().ListText(1, 4) != before);
    QCOMPARE(ui().ListText(1, 4), session().buffers.ListBuffer[0].Description);
  }

  void SaveTrackWritesTheEditsIntoTheWorkingCopy() {
    ListSecondTrack();
    const std::int64_t note = ItemWith("On");
    f->ClickCell(note, 1);
    TypeIntoEditor(QStringLiteral("d5"));
    f->media.Commands.clear();

    QTest::mouseClick(w().Command5, Qt::LeftButton);

    QCOMPARE(f->answerer.MessageTexts(), QStringList{QStringLiteral("Data saved!")});
    QVERIFY(ReadFileBytes(f->app.Join(kWorkCopyName)) != SongOfTwoTracks());
    QCOMPARE(f->media.Commands.front(), std::string("Close REDevid1 notify"));
    QVERIFY(std::any_of(f->media.Commands.begin(), f->media.Commands.end(), [](const std::string& command) {
      return command.rfind("Open ", 0) == 0 && command.find(kWorkCopyName) != std::string::npos;
    }));

    // Listed again from the working copy, the row shows the saved note by its name.
    f->ChooseTrack(1);
    f->ChooseTrack(2);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(ui().ListText(note, 1), std::string("D5"));
  }

  void EditFrameSavesIntoTheWorkingCopy() {
    f->Start();
    const std::string song = SongOfTwoTracks();
    f->OpenThroughDialog(f->UserFile("song.mid", song));
    QCOMPARE(w().Text6->text(), QStringLiteral("120"));
    QVERIFY(!w().Text6->isReadOnly());

    w().Text6->clear();
    QTest::keyClicks(w().Text6, QStringLiteral("501"));
    f->media.Commands.clear();
    QTest::mouseClick(w().Command2, Qt::LeftButton);
    QCOMPARE(f->answerer.MessageTexts(),
             (QStringList{QStringLiteral("Tempo must be between 50 and 500"), QStringLiteral("Data saved!")}));
    QCOMPARE(ReadFileBytes(f->app.Join(kWorkCopyName)), song);
    // The device is closed while the working copy is written and opened on it again.
    QCOMPARE(f->media.Commands.front(), std::string("Close REDevid1 notify"));
    QVERIFY(f->media.Commands.size() >= 2);
    QVERIFY(f->media.Commands[1].find(kWorkCopyName) != std::string::npos);

    f->answerer.Clear();
    w().Text5->clear();
    QTest::keyClicks(w().Text5, QStringLiteral("192"));
    QTest::mouseClick(w().Command2, Qt::LeftButton);
    QCOMPARE(f->answerer.MessageTexts().back(), QStringLiteral("Data saved!"));
    const std::string patched = ReadFileBytes(f->app.Join(kWorkCopyName));
    QCOMPARE(patched.substr(12, 2), Hex("00 C0"));
    QCOMPARE(patched.substr(14), song.substr(14));
  }
};

}  // namespace

int RunEventListWindowTest(int argc, char** argv) {
  EventListWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "event_list_window_test.moc"
