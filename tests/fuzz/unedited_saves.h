#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quavert::fuzz {

/// Whether `bytes` is a Standard MIDI File as the format writes one, judged without the
/// program's own reader: a six-byte header of format 0, 1 or 2 announcing as many tracks as
/// there are "MTrk" chunks (and no other chunk), every track read event by event with data
/// bytes below 128, meta events of the types the format gives a meaning, with the lengths it
/// gives them, and each track ended by its end of track.
bool IsPlainValidFile(std::string_view bytes);

/// Opens `path`, a valid file, in a fresh session in `app_folder` and saves every track that
/// lists with "Save Track", unedited; returns a fault in words for each track whose events
/// (their times and bytes, as a standard reader sees them) the save did not keep.
std::vector<std::string> UneditedSaveFaults(const std::string& app_folder, const std::string& path);

}  // namespace quavert::fuzz
