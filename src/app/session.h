#pragma once

#include <string>
#include <string_view>

#include "app/control_states.h"
#include "app/decoder_state.h"
#include "app/list_builder_state.h"
#include "app/loaded_file.h"
#include "app/media_service.h"
#include "app/media_state.h"
#include "app/shown_list.h"
#include "app/toolkit.h"
#include "app/undo_history.h"
#include "app/view_settings.h"
#include "loading/name_tables.h"
#include "loading/report.h"

namespace quavert {

class DecodedRowsTaker;

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
  ShownList shown;  ///< which of the rows the event list shows, and the cells edits wrote
  MediaState player;
  ViewSettings view;  ///< what the window shows, as remembered
  ControlFacts controls;  ///< which controls take input
  UndoHistory undo;   ///< the steps since the load, to take back and make again
  bool NotesDatMade = false;  ///< notes.dat was created in this run: shutdown deletes it
  bool DataDatMade = false;   ///< data.dat likewise
  /// Takes the decoder's rows in place of notes.dat while set (quavert-cli's report).
  DecodedRowsTaker* RowsTaker = nullptr;

  /// AppFolder & "/" & name.
  std::string AppPath(std::string_view name) const;
  /// The working copy's path (meaningful once WorkCopyName is set).
  std::string WorkCopyPath() const;
};

/// The list shown, out of the session while work the user may stop replaces it: its rows with
/// their edits (which may read notes.dat) and the undo steps' list number.
struct ListShown {
  EditBuffers Buffers;
  ShownList Shown;
  std::uint64_t UndoList = 0;
};

/// Takes the list shown out of the session, which goes on with none.
ListShown TakeListShown(Session& session);
/// Shows the list taken out again, as it was.
void PutListShownBack(Session& session, ListShown list);

/// Shows session.controls in the window: every command that changes a fact calls it.
void ShowControls(Session& session);

/// Closes every file the program keeps open across routines (the report).
void CloseAllFiles(Session& session);

}  // namespace quavert
