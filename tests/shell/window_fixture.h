#pragma once

#include <QString>
#include <memory>
#include <string>
#include <string_view>

#include "modal_answerer.h"
#include "playback/recording_media_service.h"
#include "shell/frm_main.h"
#include "support/temp_folder.h"

namespace quavert::testing {

/// Format 1, 96 ticks: a tempo track named "Demo" at 120 beats per minute, and a track with a
/// program change and two notes.
std::string SongOfTwoTracks();

/// Which of the commands that come and go with files and playback are enabled.
struct EnabledState {
  bool mnuSave, Button2, Notes, Text5, Text6, EditSave, SaveTrack, mnuPlay, Button4, mnuPause, Button5, mnuStop,
      Button6;
};

/// Compares the window's controls with `expected`, control by control (a Qt Test check).
void CheckEnabled(frmmain& window, const EnabledState& expected);

/// A main window in its own application folder (with genmidi.ini and a logs folder), a recording
/// media service, and a user that answers the window's modal questions.
class WindowFixture {
 public:
  WindowFixture();
  ~WindowFixture();

  /// Creates the window, shows it and runs its start-up.
  frmmain& Start();
  /// Writes `bytes` as a file of the user's; returns its path.
  std::string UserFile(std::string_view name, std::string_view bytes);
  QString UserPath(std::string_view name) const { return QString::fromStdString(user.Join(name)); }
  /// Opens a file through the open dialog, as the user would with "Open...".
  void OpenThroughDialog(const std::string& path);
  /// Picks a track in Combo1 with the keyboard, as the user would.
  void ChooseTrack(int track);
  /// Clicks a cell of ListView1 (1-based item, column 0..4) with `button`.
  void ClickCell(std::int64_t item, int column, Qt::MouseButton button = Qt::LeftButton);

  TempFolder app;
  TempFolder user;
  RecordingMediaService media;
  ModalAnswerer answerer;
  std::unique_ptr<frmmain> window;
};

}  // namespace quavert::testing
