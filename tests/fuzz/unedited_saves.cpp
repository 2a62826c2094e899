#include "fuzz/unedited_saves.h"

#include <map>
#include <stdexcept>

#include "app/recording_media_service.h"
#include "app/recording_toolkit.h"
#include "app/session.h"
#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/save_track.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "support/midi_bytes.h"
#include "support/standard_reader.h"

namespace quavert::fuzz {
namespace {

constexpr int kMostTracks = 72;

// The data length of each meta type with a meaning; -1 for any length. A sequence number has
// two forms, handled apart.
const std::map<int, int> kMetaLengths = {{0x01, -1}, {0x02, -1}, {0x03, -1}, {0x04, -1}, {0x05, -1}, {0x06, -1},
                                         {0x07, -1}, {0x08, -1}, {0x09, -1}, {0x20, 1},  {0x21, 1},  {0x2F, 0},
                                         {0x51, 3},  {0x54, 5},  {0x58, 4},  {0x59, 2},  {0x7F, -1}};

bool EventIsPlain(const testing::StandardEvent& event) {
  if (event.status < 0xF0) {
    for (char byte : event.data)
      if (static_cast<unsigned char>(byte) > 0x7F) return false;
    return true;
  }
  if (event.status != 0xFF) return true;
  const int type = static_cast<unsigned char>(event.data[0]);
  const auto length = static_cast<int>(event.data.size()) - 1;
  if (type == 0x00) return length == 0 || length == 2;
  const auto known = kMetaLengths.find(type);
  return known != kMetaLengths.end() && (known->second < 0 || known->second == length);
}

}  // namespace

bool IsPlainValidFile(std::string_view bytes) {
  testing::StandardFile file;
  try {
    file = testing::ReadStandardFile(bytes);
  } catch (const std::runtime_error&) {
    return false;
  }
  const auto header = [&](std::size_t at) {
    return static_cast<unsigned char>(file.header[at]) << 8 | static_cast<unsigned char>(file.header[at + 1]);
  };
  const int format = header(8);
  const int tracks = header(10);
  if (format > 2 || tracks != static_cast<int>(file.chunks.size()) || tracks > kMostTracks || header(12) == 0)
    return false;
  for (const testing::StandardChunk& chunk : file.chunks) {
    if (chunk.id != "MTrk") return false;
    for (const testing::StandardEvent& event : chunk.events)
      if (!EventIsPlain(event)) return false;
  }
  return true;
}

std::vector<std::string> UneditedSaveFaults(const std::string& app_folder, const std::string& path) {
  std::vector<std::string> faults;
  RecordingToolkit ui;
  RecordingMediaService media;
  Session session(app_folder, ui, media);
  OpenMidiFile(session, path);
  if (!session.file.FileLoaded) return faults;
  const int tracks = session.tracks.TrackCount;
  for (int index = 0; index < tracks; ++index) {
    Combo1Click(session, index);
    if (!ui.IsEnabled(Control::Command1)) continue;
    Command1Click(session);
    if (!ui.IsEnabled(Control::Command5)) continue;
    const std::string before = testing::ReadFileBytes(session.WorkCopyPath());
    SaveTrackCommand(session);
    const std::string after = testing::ReadFileBytes(session.WorkCopyPath());
    try {
      if (testing::TrackMusic(after, index + 1) != testing::TrackMusic(before, index + 1))
        faults.push_back("track " + std::to_string(index + 1) + ": an unedited Save Track changed its events");
    } catch (const std::runtime_error& error) {
      faults.push_back("track " + std::to_string(index + 1) + ": an unedited Save Track wrote an invalid file (" +
                       error.what() + ")");
    }
  }
  return faults;
}

}  // namespace quavert::fuzz
