#include "generate/midi_checks.h"

#include <cmath>
#include <map>
#include <utility>

namespace quavert::testing {

Contents ContentsOf(const WalkedFile& file) {
  Contents contents;
  for (const WalkedTrack& track : file.tracks) {
    for (const WalkedEvent& event : track.events) {
      if (event.status == 0xFF) {
        contents.meta_types.insert(event.meta_type);
      } else if (event.status >= 0xF0) {
        contents.kinds.insert(event.status);
      } else {
        contents.kinds.insert(event.status & 0xF0);
        ++contents.channel_events;
        if (event.running_status) ++contents.running_status_events;
        if ((event.status == 0x99 || event.status == 0x89)) contents.drum_keys.insert(event.data1);
      }
    }
  }
  return contents;
}

std::string HangingNote(const WalkedFile& file) {
  for (std::size_t t = 0; t < file.tracks.size(); ++t) {
    std::map<std::pair<int, int>, int> sounding;  // (channel, key) -> notes on not yet ended
    for (const WalkedEvent& event : file.tracks[t].events) {
      const int kind = event.status & 0xF0;
      if (event.status >= 0xF0 || (kind != 0x80 && kind != 0x90)) continue;
      const std::pair<int, int> note{event.status & 0x0F, event.data1};
      if (kind == 0x90 && event.data2 > 0) {
        ++sounding[note];
      } else if (sounding[note] > 0) {
        --sounding[note];
      }
    }
    for (const auto& [note, count] : sounding) {
      if (count > 0) {
        return "track " + std::to_string(t + 1) + " channel " + std::to_string(note.first + 1) + " key " +
               std::to_string(note.second);
      }
    }
  }
  return "";
}

int BeatsPerMinute(const WalkedEvent& tempo) {
  const auto& d = tempo.data;
  const double microseconds = static_cast<unsigned char>(d.at(0)) * 65536.0 + static_cast<unsigned char>(d.at(1)) * 256.0 +
                              static_cast<unsigned char>(d.at(2));
  return static_cast<int>(std::floor(500000 / microseconds * 120));
}

std::vector<std::string> TrackNames(const WalkedFile& file) {
  std::vector<std::string> names;
  for (const WalkedTrack& track : file.tracks) {
    std::string name;
    for (const WalkedEvent& event : track.events) {
      if (event.meta_type == 0x03) {
        name = event.data;
        break;
      }
    }
    names.push_back(name);
  }
  return names;
}

}  // namespace quavert::testing
