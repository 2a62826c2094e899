#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include <string>

#include "app/session.h"
#include "editing/genmidi.h"
#include "shell/cell_edit_delegate.h"
#include "shell/event_list_model.h"
#include "shell/media_hook.h"
#include "shell/qt_toolkit.h"
#include "shell/track_bytes.h"
#include "shell/unsaved_changes.h"
#include "timeline/file_timeline.h"
#include "timeline/note_spans.h"
#include "timeline/tempo_map.h"

class QAction;
class QActionGroup;
class QMenu;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTableView;
class QTimer;
class QToolBar;

namespace quavert {

class BytesPane;
class EventListModel;
class PianoRoll;
class ProblemsPane;
class frmAbout;

/// The main window: its controls keep the names the program uses for them, its handlers call
/// the program's commands, and it owns the session those commands work on.
class frmmain : public QMainWindow {
  Q_OBJECT

 public:
  frmmain(std::string app_folder, MediaService& media, QWidget* parent = nullptr);
  ~frmmain() override;

  /// Start-up: notes the media frame's handle, hooks the frame, creates the About box hidden,
  /// then the program's own start-up (settings file, logs folder, list columns, then `start_file`
  /// when given, else the remembered file).
  void FormLoad(const std::string& start_file = {});
  /// Shutdown, once: closes the About box and an open cell editor, then the program's own
  /// shutdown and the settings line. Runs when the window closes.
  void ShutDown();
  /// Shows the About box modally; closing it destroys it, so the next showing is a new one.
  void ShowAbout();
  /// The toolbar's click: the button's description picks the command.
  void Toolbar2ButtonClick(const QString& description);
  /// Opens a file dropped on the window as if it had been chosen in the open dialog.
  void OpenDropped(const QString& path);

  Session& session() { return session_; }
  QtToolkit& toolkit() { return toolkit_; }
  EventListModel& listModel() { return *model_; }
  CellEditDelegate& cellEditor() { return *delegate_; }
  MediaFrameHook& hook() { return *hook_; }
  frmAbout* about() const { return about_.get(); }
  /// The chosen track's notes and rows in time, as the piano roll and the playhead use them.
  const NoteSpans& noteSpans() {
    EnsureNotes();
    return *notes_;
  }
  const TempoMap& tempoMap() const { return tempo_map_; }
  /// The follow timer's work, once: asks where playback is and shows it (playhead, marked
  /// row, position slider, place in the status bar).
  void FollowPlayback();
  /// "Play from Here": plays from the selected row's time.
  void PlayFromHere();
  /// Space: Pause while playing, otherwise Play.
  void PlayOrPause();
  /// Shows or hides the piano roll, as View > Piano Roll does.
  void ShowPianoRoll(bool shown);
  bool hasEnded() const { return ended_; }
  /// The chosen track's chunk and its rows' places, as the byte views last read them.
  const TrackBytes& trackBytes() const { return track_bytes_; }
  /// A problem's line was activated: chooses its track as the track chooser does, lists it,
  /// and selects the row whose event holds the problem's offset, or else marks its byte.
  void ShowProblem(qint64 index);
  /// Shows the file's texts through `encoding`, as View > Text Encoding does.
  void SetTextEncoding(TextEncoding encoding);

  /// The program's caption; the title shows "*" before it while something is unsaved.
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }
  /// Opens `path` ("" asks with the open dialog) after asking to save what it would lose.
  void OpenFile(const std::string& path);
  /// Something would be lost by a close or an open now: the working copy differs from the file
  /// it came from or was last saved as, or the list holds edits not yet written with "Save Track".
  bool IsModified() const { return modified_; }
  /// The files File > Open Recent offers, newest first.
  const std::vector<std::string>& recentFiles() const { return recent_; }
  /// F2 or Enter in the list: edits the current cell, or the row's first cell that can be edited.
  void EditCurrentCell();
  /// Edit > Undo (`undo`) or Redo.
  void UndoOrRedo(bool undo);
  /// Edit > Delete: the selected rows, each Note On with its Note Off.
  void DeleteSelectedRows();
  /// Edit > Insert Event...: asks for the event with its dialog and inserts it after the selected row.
  void InsertEvent();

  // The controls, by the names the program gives them.
  QAction* mnuOpen = nullptr;
  QAction* mnuSave = nullptr;
  QAction* mnuExit = nullptr;
  QAction* mnuPlay = nullptr;
  QAction* mnuPause = nullptr;
  QAction* mnuStop = nullptr;
  QAction* mnuAbout = nullptr;
  QMenu* mnuRecent = nullptr;       ///< File > Open Recent
  QAction* mnuUndo = nullptr;       ///< Edit > Undo NAME
  QAction* mnuRedo = nullptr;       ///< Edit > Redo NAME
  QAction* mnuDelete = nullptr;     ///< Edit > Delete (Del): the selected rows
  QAction* mnuInsert = nullptr;     ///< Edit > Insert Event... (Ins): after the selected row
  QAction* EditCellKey = nullptr;   ///< F2, Return and Enter in the list
  QToolBar* Toolbar2 = nullptr;
  /// Toolbar buttons by position 1..6; position 3 is the separator.
  QAction* Toolbar2Buttons[7] = {};
  QTimer* Timer1 = nullptr;
  QFrame* MediaFrame = nullptr;
  QTableView* ListView1 = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* Combo1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command5 = nullptr;
  QGroupBox* Frame1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Text3 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Text4 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* Text6 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text5 = nullptr;
  QPushButton* Command2 = nullptr;
  QPlainTextEdit* Text2 = nullptr;
  QLabel* StatusBar1 = nullptr;  ///< the status bar's simple text

  // The views that show where the music is.
  QAction* mnuPianoRoll = nullptr;
  QAction* mnuFollowPlayback = nullptr;
  QAction* mnuPlayFromHere = nullptr;   ///< Shift+Space and the list's context menu
  QAction* PlayPauseKey = nullptr;      ///< Space
  QSlider* PositionSlider = nullptr;    ///< in Toolbar2: where playback stands, in ticks
  QProgressBar* ProgressBar1 = nullptr;  ///< long work's progress, shown only while it runs
  QLabel* PositionLabel = nullptr;      ///< "Bar B Beat b | mm:ss.t / mm:ss.t" while playing
  QWidget* RollPane = nullptr;          ///< the piano roll and its zoom buttons, under the list
  PianoRoll* Roll = nullptr;
  QPushButton* ZoomInButton = nullptr;
  QPushButton* ZoomOutButton = nullptr;
  QTimer* FollowTimer = nullptr;

  // The views of the file's bytes.
  QAction* mnuOffsetColumn = nullptr;
  QAction* mnuBytesColumn = nullptr;
  QAction* mnuTimeColumn = nullptr;
  QAction* mnuBytes = nullptr;     ///< the bytes pane
  QAction* mnuProblems = nullptr;  ///< the problems pane
  QMenu* mnuTextEncoding = nullptr;
  QActionGroup* TextEncodingGroup = nullptr;  ///< one action per encoding, its data the encoding's number
  BytesPane* BytesView = nullptr;        ///< beside the list
  ProblemsPane* ProblemsView = nullptr;  ///< under the list

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  QWidget* BuildInfoAndEdit();
  QWidget* BuildTrackArea();
  void BuildList();
  void SetDesignState();
  void ConnectHandlers();

  /// What a command did that the window's record of unsaved changes needs to know. An open the
  /// user stopped gave the file before back, with what it had unsaved.
  enum class Change { kOther, kListBuilt, kTrackSaved, kFrameSaved, kOpenStopped };
  /// Runs one command: not after shutdown, not while another command is running (whose pending
  /// events may deliver this click), and never letting a failure escape into the event loop.
  void Command(const std::function<void()>& command, bool sync_views = true, Change change = Change::kOther);
  /// The same for a command that tells what it did.
  void CommandTelling(const std::function<Change()>& command, bool sync_views = true);
  /// After a command: the working copy's digest, a load, a save, the list's state, the title,
  /// the File Size box and the track chooser's names.
  void NoteChanges(Change change, bool loaded);
  /// Runs `command`, which may give back the list it emptied (a decode or an open the user
  /// stopped): the list then goes back to the place and the row it showed.
  void KeepListPlace(const std::function<void()>& command);
  /// Asks "Save changes to NAME?" when leaving (another track: only list edits; another file or
  /// closing: `whole_file`) would lose something; true when the caller may go on.
  bool ConfirmLoss(bool whole_file);
  bool ListChanged() const;
  void ShowTitle();
  void ShowTrackNames();
  void FillRecentMenu();
  /// Opens the editor on the next (`step` 1) or previous (-1) cell after `item`, `column` that the
  /// program lets the user change.
  void EditNextCell(std::int64_t item, int column, int step);
  void SyncToolbarWithMenus();
  void BuildEditMenu();
  void ConnectEditMenu();
  /// The Edit menu's texts and enabled states, after each command and selection.
  void UpdateEditMenu();
  void BuildViews();
  void ConnectViews();
  /// Rebuilds the notes and the tempo map when the rows or the working copy changed.
  void SyncViews();
  /// Reads the tempo map, the song's length and the chosen track's first tick from the working copy.
  void ReadWorkCopyTimeline();
  // The timing of the current track's rows in the working copy, read when first asked for.
  const RowTiming& WorkCopyTiming();
  /// Pairs the listed rows into notes again when they changed since the last time.
  void EnsureNotes();
  void ShowPlace(std::optional<std::int64_t> tick, bool follow);
  void ListRowChosen(int row);
  void RollSpanClicked(qint64 index);
  void SeekTo(std::int64_t tick);
  void UpdatePlaybackControls();
  void ListView1CellClick(const QModelIndex& index);
  void ListView1CellEditDone(const CellEdit& edit);

  // The byte views (frm_main_bytes.cpp).
  void BuildByteMenus(QMenu* view);
  /// The list with the bytes pane beside it.
  QWidget* BuildListArea();
  void BuildProblemsView();
  void ConnectByteViews();
  /// Applies the remembered byte views and encoding to the menus and the views.
  void ShowByteViewSettings();
  /// Reads the chosen track's bytes again when they may have changed and a view shows them, and
  /// lints the file opened again when it changed and the problems are shown.
  void SyncByteViews();
  void ReadTrackBytesIfChanged(bool needed);
  void UpdatePlaceColumns();
  QString PlaceCell(int row, int column) const;
  void ShowRowBytes(int row);
  void BytesClicked(qint64 index);

  QtToolkit toolkit_;
  Session session_;
  EventListModel* model_ = nullptr;
  CellEditDelegate* delegate_ = nullptr;
  MediaFrameHook* hook_ = nullptr;
  std::unique_ptr<frmAbout> about_;
  bool running_command_ = false;
  bool close_pending_ = false;
  bool ended_ = false;
  bool confirming_ = false;              // a question about unsaved changes, or its saves, is under way
  QString caption_;                      // the program's caption, without the "*"
  bool modified_ = false;
  UnsavedChanges unsaved_;
  std::optional<std::uint64_t> work_hash_;  // the working copy after the last command
  std::vector<std::string> recent_;
  std::shared_ptr<const NoteSpans> notes_;
  std::optional<std::uint64_t> rows_shown_;  // the digest of the rows notes_ was built from
  std::int64_t first_tick_ = 0;          // the tick of the chosen track's first row, as notes_ has it
  FileStamp work_stamp_;                 // the working copy as last read
  std::array<std::int64_t, 3> work_track_ = {};  // the track, its first event and length as last read
  std::optional<RowTiming> work_timing_;  // the rows' timing in the working copy, once read
  std::vector<std::int64_t> extra_shown_;  // the ticks between rows notes_ was built with
  TempoMap tempo_map_;
  std::int64_t song_ticks_ = 0;
  bool scrolling_list_ = false;          // the window, not the user, scrolls the list
  qint64 user_scrolled_at_ = -1;         // when the user last scrolled the list (ms since start)
  QElapsedTimer clock_;
  TrackBytes track_bytes_;
  std::vector<std::int64_t> bytes_read_for_;  // what track_bytes_ was read for; empty: read again
  std::string linted_path_;                    // the file the problems were found in
  FileStamp linted_stamp_;
};

}  // namespace quavert
