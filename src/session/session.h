#pragma once

#include <string>
#include <string_view>

#include "common/toolkit.h"
#include "decoding/decoder_state.h"
#include "editing/list_builder_state.h"
#include "editing/undo_history.h"
#include "loading/loaded_file.h"
#include "loading/name_tables.h"
#include "loading/report.h"
#include "playback/media_service.h"
#include "playback/media_state.h"
#include "session/view_settings.h"

namespace quavert {

/// Everything one running Quavert holds: the loaded file and its track table, the decoder's
/// results, the editing buffers, the media flags, and the two ports to the outside (the window
/// and the media player). The window and the command-line companion each create one; tests
/// create as many as they like, each with its own application folder.
struct Session {
  Session(std::string app_folder, Toolkit& toolkit, MediaService& media_service);

  /// The folder of the working copy, the working files, logs and a genmidi.ini of the user's.
  std::string AppFolder;
  /// The settings file: quavert.ini in AppFolder unless the program runs installed.
  std::string SettingsFile;
  /// Where genmidi.ini is read when AppFolder has none; "" for nowhere else.
  std::string DataFolder;
  Toolkit& ui;
  MediaService& media;

  LoadedFile file;
  TrackTable tracks;
  NameTables names;
  Report report;
  DecoderState decoder;
  EditBuffers buffers;
  ListBuilderState list;
  MediaState player;
  ViewSettings view;  ///< what the window shows, as remembered
  UndoHistory undo;   ///< the steps since the load, to take back and make again
  bool NotesDatMade = false;  ///< notes.dat was created in this run: shutdown deletes it
  bool DataDatMade = false;   ///< data.dat likewise

  /// AppFolder & "/" & name.
  std::string AppPath(std::string_view name) const;
  /// The working copy's path (meaningful once WorkCopyName is set).
  std::string WorkCopyPath() const;
};

/// Closes every file the program keeps open across routines (the report).
void CloseAllFiles(Session& session);

}  // namespace quavert
