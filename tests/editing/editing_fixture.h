#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/recording_toolkit.h"
#include "decoding/records.h"
#include "playback/recording_media_service.h"
#include "session/session.h"
#include "support/temp_folder.h"

namespace quavert::testing {

/// A recording window that also keeps how many items each call added to the list.
class ChunkRecordingToolkit : public RecordingToolkit {
 public:
  std::vector<std::size_t> AddedChunks;
  void ListAddItems(const std::vector<ListItem>& items) override {
    AddedChunks.push_back(items.size());
    RecordingToolkit::ListAddItems(items);
  }
};

/// A session with its name tables filled and the build's genmidi.ini in its application folder.
class EditingTest : public ::testing::Test {
 protected:
  EditingTest();

  /// Puts `records` in place as a listed track without going through the working files: the
  /// editing buffers and the window's items, as the list builder leaves them.
  void ShowRows(const std::vector<EventRecord>& records);
  /// Writes `records` to notes.dat as a decode leaves it (whole blocks of 100, -1 rows after the
  /// last event) and sets the decoder's row count.
  void DecodedRows(const std::vector<EventRecord>& records);
  /// Creates the report of the loaded file, as a load does.
  void OpenReport() { session.report.Create(app.Join("logs/song.txt")); }
  std::string ReportBytes();

  TempFolder app;
  ChunkRecordingToolkit ui;
  RecordingMediaService media;
  Session session;
};

}  // namespace quavert::testing
