#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "common/run_error.h"
#include "shell/event_list_model.h"
#include "shell/frm_about.h"
#include "shell_tests.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

ListItem Row(std::string notes) { return {"1", {std::move(notes), "100", "96", "On  - Piano"}}; }

class QtToolkitTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowFixture> f;
  Toolkit& ui() { return f->window->toolkit(); }
  frmmain& w() { return *f->window; }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    f->Start();
  }
  void cleanup() { f.reset(); }

  void TextBoxesGiveBackTheBytesTheyWereGiven() {
    const std::string meta = "Text: caf\xE9\xA0" "bar\r\nTempo: 120\r\n";
    ui().SetText(Control::Text2, meta);
    QCOMPARE(ui().GetText(Control::Text2), meta);
    QVERIFY(w().Text2->toPlainText().startsWith(QString::fromUtf8("Text: café")));
    QVERIFY(w().Text2->toPlainText().endsWith(QStringLiteral("bar\nTempo: 120\n")));
    ui().SetText(Control::Text2, ui().GetText(Control::Text2) + "Total Time: 0:01\r\n");
    QCOMPARE(ui().GetText(Control::Text2), meta + "Total Time: 0:01\r\n");

    ui().SetText(Control::Text1, "1234");
    QCOMPARE(w().Text1->text(), QStringLiteral("1234"));
    QCOMPARE(ui().GetText(Control::Text1), std::string("1234"));
  }

  void TypedTextIsReadFromTheBox() {
    ui().SetText(Control::Text6, "120");
    ui().SetEnabled(Control::Text6, true);
    w().Text6->clear();
    QTest::keyClicks(w().Text6, QStringLiteral("96.5"));
    QCOMPARE(ui().GetText(Control::Text6), std::string("96.5"));
  }

  void EnablesAndLocksTheNamedControls() {
    const std::pair<Control, QAction*> actions[] = {
        {Control::mnuSave, w().mnuSave},           {Control::mnuPlay, w().mnuPlay},
        {Control::mnuPause, w().mnuPause},         {Control::mnuStop, w().mnuStop},
        {Control::Toolbar2Button2, w().Toolbar2Buttons[2]}, {Control::Toolbar2Button4, w().Toolbar2Buttons[4]},
        {Control::Toolbar2Button5, w().Toolbar2Buttons[5]}, {Control::Toolbar2Button6, w().Toolbar2Buttons[6]},
    };
    for (const auto& [control, action] : actions) {
      ui().SetEnabled(control, true);
      QVERIFY(action->isEnabled());
      ui().SetEnabled(control, false);
      QVERIFY(!action->isEnabled());
    }
    // A menu entry and its toolbar button are separate controls.
    ui().SetEnabled(Control::mnuPlay, true);
    QVERIFY(!w().Toolbar2Buttons[4]->isEnabled());

    const std::pair<Control, QWidget*> widgets[] = {
        {Control::Command1, w().Command1}, {Control::Command2, w().Command2}, {Control::Command5, w().Command5},
        {Control::Text5, w().Text5},       {Control::Text6, w().Text6},       {Control::Combo1, w().Combo1},
    };
    for (const auto& [control, widget] : widgets) {
      ui().SetEnabled(control, true);
      QVERIFY(widget->isEnabled());
      ui().SetEnabled(control, false);
      QVERIFY(!widget->isEnabled());
    }
    ui().SetLocked(Control::Text5, false);
    QVERIFY(!w().Text5->isReadOnly());
    ui().SetLocked(Control::Text6, true);
    QVERIFY(w().Text6->isReadOnly());
  }

  void TrackChooserSelectsTheItemWithTheText() {
    ui().ComboClear();
    for (const char* item : {"1", "2", "3"}) ui().ComboAddItem(item);
    ui().SetText(Control::Combo1, "2");
    QCOMPARE(w().Combo1->currentIndex(), 1);
    QCOMPARE(ui().GetText(Control::Combo1), std::string("2"));
    w().Combo1->setCurrentIndex(2);
    QCOMPARE(ui().GetText(Control::Combo1), std::string("3"));
    ui().ComboClear();
    QCOMPARE(w().Combo1->count(), 0);
  }

  void StatusCaptionAndBusyPointer() {
    ui().SetStatusText("Loading...");
    QCOMPARE(w().StatusBar1->text(), QStringLiteral("Loading..."));
    ui().SetCaption(" Quavert 0.15 - /music/song.mid");
    QCOMPARE(w().windowTitle(), QStringLiteral(" Quavert 0.15 - /music/song.mid"));

    ui().SetBusy(true);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui().SetBusy(true);  // busy is a state: one "not busy" ends it
    ui().SetBusy(false);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    ui().SetBusy(false);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void LetsPendingEventsRun() {
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    ui().DoEvents();
    QVERIFY(ran);
  }

  void MessageBoxesCarryTitleButtonsAndIcon() {
    QCOMPARE(ui().MessageBox("SONG.MID is not a MIDI file", Buttons::kOk, Icon::kNone, ""), Answer::kOk);
    f->answerer.Buttons = {QMessageBox::Yes, QMessageBox::No};
    QCOMPARE(ui().MessageBox("a.mid already exists, overwrite?", Buttons::kYesNo, Icon::kQuestion, "Confirmation"),
             Answer::kYes);
    QCOMPARE(ui().MessageBox("Repair?", Buttons::kYesNo, Icon::kNone, ""), Answer::kNo);
    ui().MessageBox("x.mid does not exist", Buttons::kOk, Icon::kExclamation, "");

    const auto& shown = f->answerer.Messages;
    QCOMPARE(shown.size(), std::size_t{4});
    QCOMPARE(shown[0].Title, QStringLiteral("Quavert"));
    QCOMPARE(shown[0].Buttons, static_cast<int>(QMessageBox::Ok));
    QCOMPARE(shown[0].Icon, static_cast<int>(QMessageBox::NoIcon));
    QCOMPARE(shown[1].Text, QStringLiteral("a.mid already exists, overwrite?"));
    QCOMPARE(shown[1].Title, QStringLiteral("Confirmation"));
    QCOMPARE(shown[1].Buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(shown[1].Icon, static_cast<int>(QMessageBox::Question));
    QCOMPARE(shown[3].Icon, static_cast<int>(QMessageBox::Warning));
  }

  void MessageTextIsNeverMarkup() {
    QMessageBox box;
    SetUpMessageBox(box, "<b>A.MID</b> is not a MIDI file", Buttons::kOk, Icon::kNone, "");
    QCOMPARE(box.textFormat(), Qt::PlainText);
    QCOMPARE(box.text(), QStringLiteral("<b>A.MID</b> is not a MIDI file"));
    QCOMPARE(box.escapeButton(), box.button(QMessageBox::Ok));
    SetUpMessageBox(box, "Repair?", Buttons::kYesNo, Icon::kNone, "");
    QCOMPARE(box.escapeButton(), box.button(QMessageBox::No));
  }

  void OpenDialogReturnsThePathAndItsName() {
    const std::string path = f->UserFile("song one.mid", "MThd");
    FileDialogSetup setup{f->user.Path(), "Load MIDI file", "MIDI files (*.mid)|*.mid|All files (*.*)|*.*", 4, ""};
    f->answerer.Paths = {QString::fromStdString(path), QString()};
    QCOMPARE(ui().ShowOpenDialog(setup), (FileChoice{path, "song one.mid"}));
    QCOMPARE(ui().ShowOpenDialog(setup), FileChoice{});

    const ShownDialog& shown = f->answerer.Dialogs.at(0);
    QCOMPARE(shown.Title, QStringLiteral("Load MIDI file"));
    QVERIFY(!shown.Save);
    QCOMPARE(shown.Filters, (QStringList{QStringLiteral("MIDI files (*.mid)"), QStringLiteral("All files (*.*)")}));
    QCOMPARE(shown.Directory, QString::fromStdString(f->user.Path()));
    // The program itself tells the user about a name that does not exist.
    QCOMPARE(shown.FileMode, static_cast<int>(QFileDialog::AnyFile));
    const std::string missing = f->user.Join("missing.mid");
    f->answerer.Paths = {QString::fromStdString(missing)};
    QCOMPARE(ui().ShowOpenDialog(setup).FileName, missing);
  }

  void SaveDialogLeavesTheOverwriteQuestionToTheProgram() {
    const std::string existing = f->UserFile("taken.mid", "MThd");
    FileDialogSetup setup{f->user.Path(), "Save MIDI file", "MIDI files (*.mid)|*.mid|All files (*.*)|*.*", 4, ""};
    f->answerer.Paths = {QString::fromStdString(existing)};
    QCOMPARE(ui().ShowSaveDialog(setup), (FileChoice{existing, "taken.mid"}));
    QCOMPARE(f->answerer.Dialogs.size(), std::size_t{1});
    QVERIFY(f->answerer.Dialogs[0].Save);
    QVERIFY(!f->answerer.Dialogs[0].ConfirmsOverwrite);
    QVERIFY(f->answerer.Messages.empty());
    QVERIFY(f->answerer.Others.isEmpty());
  }

  void ListColumnsHaveTheirWidths() {
    QTableView* view = w().ListView1;
    QCOMPARE(w().listModel().columnCount(), 5);
    for (int column = 0; column < 4; ++column)
      QCOMPARE(view->columnWidth(column), view->horizontalHeader()->defaultSectionSize());
    QCOMPARE(view->columnWidth(4), 5000 * view->logicalDpiX() / 1440);
  }

  void ListItemsAreNumberedFromOne() {
    ui().ListAddItems({Row("60"), Row("62")});
    ui().ListAddItems({Row("64")});
    QCOMPARE(ui().ListItemCount(), std::int64_t{3});
    QCOMPARE(ui().ListText(1, 1), std::string("60"));
    QCOMPARE(ui().ListText(3, 1), std::string("64"));
    ui().ListSetText(2, 0, "16");
    QCOMPARE(ui().ListText(2, 0), std::string("16"));
    QCOMPARE(w().listModel().data(w().listModel().index(1, 0)).toString(), QStringLiteral("16"));
    bool refused = false;
    try {
      ui().ListText(4, 1);
    } catch (const RunError& failure) {
      refused = failure.code() == kIndexOutOfRange;
    }
    QVERIFY(refused);
    ui().ListClear();
    QCOMPARE(ui().ListItemCount(), std::int64_t{0});
  }

  void CellEditorHandsOverTheEditAndNeverWritesTheCell() {
    std::vector<CellEdit> done;
    w().cellEditor().SetEditDone([&done](const CellEdit& edit) { done.push_back(edit); });
    ui().ListAddItems({Row("60"), Row("62")});

    ui().ListBeginCellEdit(2, 1, "D4");
    auto* editor = qobject_cast<QLineEdit*>(w().cellEditor().OpenEditor());
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("D4"));
    QCOMPARE(w().ListView1->currentIndex(), w().listModel().index(1, 1));
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("c#5"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(done.size(), std::size_t{1});
    QCOMPARE(done[0], (CellEdit{2, 1, "D4", "c#5"}));
    QCOMPARE(ui().ListText(2, 1), std::string("62"));
    QTRY_VERIFY(w().cellEditor().OpenEditor() == nullptr);

    // Escape ends the edit without handing anything over.
    ui().ListBeginCellEdit(1, 3, "96");
    editor = qobject_cast<QLineEdit*>(w().cellEditor().OpenEditor());
    QVERIFY(editor != nullptr);
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("5"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(w().cellEditor().OpenEditor() == nullptr);
    QTest::qWait(20);
    QCOMPARE(done.size(), std::size_t{1});
    QCOMPARE(ui().ListText(1, 3), std::string("96"));
  }

  void CellEditorRefusesCellsOutsideTheList() {
    ui().ListAddItems({Row("60")});
    for (auto [item, column] : {std::pair{0, 1}, std::pair{2, 1}, std::pair{1, 5}, std::pair{1, -1}}) {
      bool refused = false;
      try {
        ui().ListBeginCellEdit(item, column, "x");
      } catch (const RunError& failure) {
        refused = failure.code() == kIndexOutOfRange;
      }
      QVERIFY(refused);
    }
    QVERIFY(w().cellEditor().OpenEditor() == nullptr);
  }

  void MediaFrameHandleAndSize() {
    QCOMPARE(ui().MediaFrameHandle(), static_cast<std::int64_t>(w().MediaFrame->winId()));
    QVERIFY(ui().MediaFrameHandle() != 0);
    int width = 0;
    int height = 0;
    ui().MediaFrameSize(width, height);
    QCOMPARE(width, w().MediaFrame->width());
    QCOMPARE(height, w().MediaFrame->height());
  }

  void AboutBoxIsNewForEveryShowing() {
    QVERIFY(w().about() != nullptr);  // made hidden at start-up
    QVERIFY(!w().about()->isVisible());
    ui().ShowAbout();
    QCOMPARE(f->answerer.Others, QStringList{QStringLiteral("quavert::frmAbout")});
    QVERIFY(w().about() == nullptr);
    ui().ShowAbout();
    QCOMPARE(f->answerer.Others.size(), 2);
  }
};

}  // namespace

int RunQtToolkitTest(int argc, char** argv) {
  QtToolkitTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "qt_toolkit_test.moc"
