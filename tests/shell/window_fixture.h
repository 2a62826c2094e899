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

  TempFolder app;
  TempFolder user;
  RecordingMediaService media;
  ModalAnswerer answerer;
  std::unique_ptr<frmmain> window;
};

}  // namespace quavert::testing
