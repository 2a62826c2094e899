#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/toolkit.h"
#include "common/text_encoding.h"

class QAction;
class QFileDialog;
class QMessageBox;
class QWidget;

namespace quavert {

class WorkGuard;
class frmmain;

/// Bits of FileDialogSetup::Flags that change how the dialog behaves (4, hide read-only, changes nothing here).
inline constexpr int kOverwritePrompt = 0x2;
inline constexpr int kFileMustExist = 0x1000;

/// The window operations of the program, carried out on the controls of `frmmain`.
class QtToolkit : public Toolkit {
 public:
  explicit QtToolkit(frmmain& window);
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

  Answer MessageBox(std::string_view text, Buttons buttons, Icon icon, std::string_view title) override;
  FileChoice ShowOpenDialog(const FileDialogSetup& setup) override;
  FileChoice ShowSaveDialog(const FileDialogSetup& setup) override;

  std::string GetText(Control control) override;
  void SetText(Control control, std::string_view text) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetLocked(Control control, bool locked) override;

  void ComboClear() override;
  void ComboAddItem(std::string_view text) override;

  void SetStatusText(std::string_view text) override;
  void SetCaption(std::string_view caption) override;
  std::string GetCaption() override;
  void SetBusy(bool busy) override;
  void DoEvents() override;
  void BeginWork(bool stoppable) override;
  bool WorkProgress(std::int64_t done, std::int64_t total) override;
  void EndWork() override;
  void ShowAbout() override;

  void ListAddColumn(std::string_view caption, int width_twips) override;
  void ListReset(std::int64_t rows) override;
  void ListItemsChanged(std::int64_t first, std::int64_t last) override;
  void ListBeginCellEdit(std::int64_t item, int column, std::string_view text) override;

  std::int64_t MediaFrameHandle() override;
  void MediaFrameSize(int& width, int& height) override;

  /// Keeps the media frame's native handle, read once at start-up.
  void SetMediaFrameHandle(std::int64_t handle) { frame_handle_ = handle; }
  /// How Text2 shows the file's texts; the text it shows is read again through the new encoding,
  /// and GetText still gives its bytes as the program set them.
  void SetTextEncoding(TextEncoding encoding);
  /// How many times the track chooser was emptied: only an open does that.
  std::size_t ChooserClears() const { return chooser_clears_; }
  /// How long work runs before its progress shows and the window paints again; half a second
  /// unless a test wants it at once.
  void SetProgressDelay(int milliseconds) { progress_delay_ = milliseconds; }
  /// The path last chosen in the save dialog, once; "" when none was chosen since.
  std::string TakeSaveChoice() { return std::exchange(save_choice_, std::string()); }

 private:
  QWidget* WidgetOf(Control control) const;
  QAction* ActionOf(Control control) const;
  QString WidgetText(Control control) const;

  frmmain& window_;
  struct TextSet {
    std::string Bytes;  // as the program set them
    QString Shown;      // as the control read them back
  };
  std::map<Control, TextSet> texts_set_;  // text the program set comes back byte for byte
  TextSet caption_set_;                   // and so does the caption
  bool busy_ = false;
  std::int64_t frame_handle_ = 0;
  TextEncoding encoding_ = TextEncoding::kAutomatic;
  std::size_t chooser_clears_ = 0;
  std::string save_choice_;
  std::unique_ptr<WorkGuard> guard_;
  int work_depth_ = 0;
  bool work_stoppable_ = false;
  QElapsedTimer work_clock_;
  int progress_delay_ = 500;
};

/// A message box set up as the program shows it: plain text, the title (the application's when
/// empty), OK or Yes and No, and its icon.
void SetUpMessageBox(QMessageBox& box, std::string_view text, Buttons buttons, Icon icon, std::string_view title);

/// A file dialog set up from the program's description of it. The save dialog never asks about
/// overwriting unless the flags ask for it: the program asks itself.
void SetUpFileDialog(QFileDialog& dialog, const FileDialogSetup& setup, bool save);

/// The answer of a message box from the button that closed it.
Answer AnswerOf(int button);

}  // namespace quavert
