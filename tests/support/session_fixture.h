#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/recording_media_service.h"
#include "app/recording_toolkit.h"
#include "app/session.h"
#include "editing/list_item.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert::testing {

/// A session in its own application folder (with a logs folder and, when the build has one,
/// genmidi.ini), a recording window and a recording media service.
class SessionTest : public ::testing::Test {
 protected:
  SessionTest();

  /// Writes `bytes` as a file of the user's (outside the application folder); returns its path.
  std::string UserFile(std::string_view name, std::string_view bytes);
  /// Opens `bytes` as the user's SONG.MID, as the Open command does: the load decodes track 1.
  void Load(const Bytes& bytes);
  /// Loads a format-0 file of one track holding `track_data`, at 96 ticks per quarter note.
  void LoadTrack(const Bytes& track_data) { Load(Smf(0, 96, {track_data})); }
  /// Chooses track `number` (1-based) in the track chooser, which decodes it.
  void Choose(int number);
  Bytes WorkCopy() const { return AppFileBytes(kWorkCopyName); }
  /// The report of SONG.MID as it stands after a flush.
  std::string Report() {
    session.report.Flush();
    return AppFileBytes("logs/song.txt");
  }
  /// The bytes of a file in the application folder.
  std::string AppFileBytes(std::string_view name) const;
  /// What the list shows: the rows the window was last told to show, read from the session as
  /// the window reads them.
  std::vector<ListItem> ShownItems() const;
  /// The listed rows' records and kept texts, all of them.
  std::vector<EventRecord> ListedRecords() const { return session.buffers.Rows.Records(); }
  std::vector<ListRow> ListedTexts() const;
  /// The text the list shows in a cell (item from 1, column 0 .. 4).
  std::string Cell(std::int64_t item, int column) const;
  /// The device commands of a step that lets go of the file and plays the working copy afterwards.
  std::vector<std::string> DeviceReopened() const;

  TempFolder app;
  TempFolder user;
  RecordingToolkit ui;
  RecordingMediaService media;
  Session session;
};

/// Copies the genmidi.ini the build uses into `folder`, when there is one; true when copied.
bool InstallGenmidi(const std::string& folder);

}  // namespace quavert::testing
