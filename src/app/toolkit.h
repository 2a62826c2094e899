#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quavert {

/// The controls of the main window that the program addresses by name.
enum class Control {
  Text1, Text2, Text3, Text4, Text5, Text6,
  Combo1,
  Command1,  ///< "Notes..."
  Command2,  ///< "Save" of the Edit frame
  Command5,  ///< "Save Track"
  mnuOpen, mnuSave, mnuExit, mnuPlay, mnuPause, mnuStop, mnuAbout,
  Toolbar2Button1,  ///< "Open"
  Toolbar2Button2,  ///< "Save"
  Toolbar2Button4,  ///< "Play"
  Toolbar2Button5,  ///< "Pause"
  Toolbar2Button6,  ///< "Stop"
};

enum class Buttons { kOk, kYesNo };
enum class Icon { kNone, kExclamation, kQuestion };
enum class Answer { kOk, kYes, kNo };

/// What the common file dialog is set up with before it is shown.
struct FileDialogSetup {
  std::string InitDir;
  std::string DialogTitle;
  std::string Filter;  ///< description|pattern pairs, all separated by "|"
  int Flags = 0;
  std::string FileName;
  bool operator==(const FileDialogSetup&) const = default;
};

/// What the user chose in the file dialog: both empty when the dialog was cancelled.
struct FileChoice {
  std::string FileName;   ///< the full path
  std::string FileTitle;  ///< the name without its folder
  bool operator==(const FileChoice&) const = default;
};

/// The window operations the program needs. Texts are bytes, shown as Latin-1.
/// The window implements it with Qt; tests and the command-line companion have their own.
class Toolkit {
 public:
  virtual ~Toolkit() = default;

  /// Shows a message and waits; an empty title means the application title "Quavert".
  virtual Answer MessageBox(std::string_view text, Buttons buttons = Buttons::kOk,
                            Icon icon = Icon::kNone, std::string_view title = {}) = 0;
  virtual FileChoice ShowOpenDialog(const FileDialogSetup& setup) = 0;
  virtual FileChoice ShowSaveDialog(const FileDialogSetup& setup) = 0;

  virtual std::string GetText(Control control) = 0;
  virtual void SetText(Control control, std::string_view text) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  /// A locked text box shows its text but takes no typing.
  virtual void SetLocked(Control control, bool locked) = 0;

  virtual void ComboClear() = 0;
  virtual void ComboAddItem(std::string_view text) = 0;

  virtual void SetStatusText(std::string_view text) = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  /// The window's caption as last set (by SetCaption or by the window itself).
  virtual std::string GetCaption() = 0;
  /// The busy (hourglass) pointer on the main window, or the default one.
  virtual void SetBusy(bool busy) = 0;
  /// Lets pending window events run.
  virtual void DoEvents() = 0;
  /// Long work begins; BeginWork and EndWork come in pairs and may nest, the outermost pair
  /// counting. While it runs the window takes no input but a request to stop, which only work
  /// begun `stoppable` heeds, and shows the work's progress once it has run a while.
  virtual void BeginWork(bool stoppable) = 0;
  /// The work got to `done` of `total`. True when the user asked stoppable work to stop.
  virtual bool WorkProgress(std::int64_t done, std::int64_t total) = 0;
  virtual void EndWork() = 0;
  virtual void ShowAbout() = 0;

  /// The event list ListView1. It keeps no texts of its own: it shows rows of the session's list
  /// and reads each cell it draws through ShownText (app/shown_list.h). Items are numbered from 1;
  /// column 0 is the main text.
  /// Adds a column header; a width of 0 is the control's default width, others are twips.
  virtual void ListAddColumn(std::string_view caption, int width_twips = 0) = 0;
  /// The list shows `rows` rows from now on, every cell read afresh; 0 empties it. The column
  /// headers stay.
  virtual void ListReset(std::int64_t rows) = 0;
  /// Items `first` .. `last` show other texts now.
  virtual void ListItemsChanged(std::int64_t first, std::int64_t last) = 0;
  /// Opens the in-place editor on a cell, showing `text`. The editor never writes the cell;
  /// the end of the edit is handed to the program (CellEditDone), which stores what it accepts.
  virtual void ListBeginCellEdit(std::int64_t item, int column, std::string_view text) = 0;

  /// The media frame: the native handle the media service names as parent and its size in pixels.
  virtual std::int64_t MediaFrameHandle() = 0;
  virtual void MediaFrameSize(int& width, int& height) = 0;
};

}  // namespace quavert
