#pragma once

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/recording_media_service.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/insert_event_dialog.h"
#include "support/midi_bytes.h"
#include "support/session_fixture.h"
#include "support/temp_folder.h"

namespace quavert::testing {

struct ShownMessage {
  QString Text;
  QString Title;
  int Icon = 0;     ///< QMessageBox::Icon
  int Buttons = 0;  ///< QMessageBox::StandardButtons
};

struct ShownDialog {
  QString Title;
  bool Save = false;
  bool ConfirmsOverwrite = false;  ///< the dialog itself would ask before replacing a file
};

/// Plays the user for modal windows: every few milliseconds it answers the active message box
/// with the next scripted button (OK, or No for a question and Discard for "Save changes to NAME?"
/// when none is left) and the active
/// file dialog with the next scripted path (cancelled when none is left or it is empty).
class ModalAnswerer {
 public:
  ModalAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }

  std::deque<int> Buttons;  ///< QMessageBox::StandardButton
  std::deque<QString> Paths;
  /// Runs once while the next message box is up, before it is answered.
  std::function<void()> WhileShown;
  /// Fill in and close other dialogs (Insert Event...), one each time one is up; rejected when none is left.
  std::deque<std::function<void(InsertEventDialog*)>> Fillers;

  std::vector<ShownMessage> Messages;
  std::vector<ShownDialog> Dialogs;

  QStringList Texts() const {
    QStringList texts;
    for (const ShownMessage& message : Messages) texts << message.Text;
    return texts;
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& answers, T otherwise) {
    if (answers.empty()) return otherwise;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }

  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      if (auto action = std::exchange(WhileShown, nullptr)) action();
      Messages.push_back({box->text(), box->windowTitle(), box->icon(), static_cast<int>(box->standardButtons())});
      int answer = QMessageBox::Ok;
      if (box->standardButtons() & QMessageBox::Yes) answer = Next(Buttons, int{QMessageBox::No});
      if (box->standardButtons() & QMessageBox::Discard) answer = Next(Buttons, int{QMessageBox::Discard});
      box->button(static_cast<QMessageBox::StandardButton>(answer))->click();
    } else if (auto* other = qobject_cast<InsertEventDialog*>(modal)) {
      if (Fillers.empty()) {
        other->reject();
      } else {
        const auto fill = Fillers.front();
        Fillers.pop_front();
        fill(other);
      }
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      Dialogs.push_back({dialog->windowTitle(), dialog->acceptMode() == QFileDialog::AcceptSave,
                         !dialog->testOption(QFileDialog::DontConfirmOverwrite)});
      const QString path = Next(Paths, QString());
      if (path.isEmpty()) {
        dialog->reject();
      } else {
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, reached through its base
      }
    }
  }

  QTimer timer_;
};

/// Format 1, 96 ticks: a tempo track named "Demo" at 120 beats per minute, and a track with a
/// program change and two notes.
inline std::string SongOfTwoTracks() {
  return Smf(1, 96, {Hex("00 FF 03 04") + "Demo" + Hex("00 FF 51 03 07 A1 20 00 FF 2F 00"),
                     Hex("00 C0 00 00 90 3C 64 60 80 3C 00 00 90 3E 64 60 80 3E 00 00 FF 2F 00")});
}

/// A main window in its own application folder (with genmidi.ini), a recording media service,
/// and a user that answers the window's modal windows.
struct WindowFixture {
  WindowFixture() {
    // Run by hand, without ctest's environment, the copy next to the program serves.
    if (!InstallGenmidi(app.Path()))
      QFile::copy(QCoreApplication::applicationDirPath() + "/genmidi.ini", QString::fromStdString(app.Join("genmidi.ini")));
  }
  ~WindowFixture() {
    if (window) window->close();
  }

  /// Creates the window, shows it and runs its start-up, as `quavert start_file` would.
  frmmain& Start(const std::string& start_file = {}) {
    window = std::make_unique<frmmain>(app.Path(), media);
    if (!settings_file.empty()) window->session().SettingsFile = settings_file;
    window->show();
    window->FormLoad(start_file);
    return *window;
  }
  /// Writes `bytes` as a file of the user's; returns its path.
  std::string UserFile(std::string_view name, std::string_view bytes) { return user.Write(name, bytes); }
  /// Opens a file through the open dialog, as the user would with "Open...".
  void Open(const std::string& path) {
    answerer.Paths.push_back(QString::fromStdString(path));
    window->mnuOpen->trigger();
  }
  /// Picks a track in Combo1 with the keyboard.
  void ChooseTrack(int track) {
    QComboBox* combo = window->Combo1;
    combo->setFocus();
    while (combo->currentIndex() < track - 1) QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > track - 1) QTest::keyClick(combo, Qt::Key_Up);
  }
  /// Opens `bytes` as the user's song.mid, chooses `track` and lists it; returns the file's path.
  std::string ListTrack(int track, const std::string& bytes = SongOfTwoTracks()) {
    const std::string path = UserFile("song.mid", bytes);
    Open(path);
    ChooseTrack(track);
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    return path;
  }
  /// The editor open on a cell of the list, if any.
  QLineEdit* Editor() const { return qobject_cast<QLineEdit*>(window->cellEditor().OpenEditor()); }
  void ClickCell(std::int64_t item, int column, Qt::MouseButton button = Qt::LeftButton) {
    const QModelIndex cell = window->listModel().index(static_cast<int>(item - 1), column);
    window->ListView1->scrollTo(cell);
    QTest::mouseClick(window->ListView1->viewport(), button, Qt::NoModifier, window->ListView1->visualRect(cell).center());
  }
  /// Clicks the cell, types `text` over the editor's and ends the edit with `key`.
  void Edit(std::int64_t item, int column, const QString& text, Qt::Key key = Qt::Key_Return) {
    ClickCell(item, column);
    QVERIFY(Editor() != nullptr);
    Editor()->selectAll();
    QTest::keyClicks(Editor(), text);
    QTest::keyClick(Editor(), key);
    QTRY_VERIFY(Editor() == nullptr);
    QTest::qWait(10);  // the end of the edit is delivered after the editor has closed
  }

  TempFolder app;
  TempFolder user;
  std::string settings_file;  ///< "" for quavert.ini in the application folder
  RecordingMediaService media;
  ModalAnswerer answerer;
  std::unique_ptr<frmmain> window;
};

/// What the window's test classes share: a new fixture for each test function.
class WindowTestCase : public QObject {
  Q_OBJECT

 protected:
  std::unique_ptr<WindowFixture> f;
  frmmain& w() { return *f->window; }
  Session& session() { return f->window->session(); }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { f.reset(); }
};

int RunWindowTest(int argc, char** argv);
int RunEventListTest(int argc, char** argv);
int RunToolkitTest(int argc, char** argv);
int RunPianoRollTest(int argc, char** argv);
int RunByteViewsTest(int argc, char** argv);
int RunEditingWindowTest(int argc, char** argv);

}  // namespace quavert::testing
