#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quavert {

/// How many files File > Open Recent offers.
inline constexpr std::size_t kMostRecentFiles = 8;

/// `recent` (newest first) with `path` in front and nowhere else, cut to `most` entries. An
/// empty path changes nothing.
std::vector<std::string> WithRecent(std::vector<std::string> recent, const std::string& path,
                                    std::size_t most = kMostRecentFiles);

/// What the settings file keeps after its first line `last`: the recent files other than `last`,
/// so that with it they are at most `most`.
std::vector<std::string> RecentBefore(const std::vector<std::string>& recent, const std::string& last,
                                      std::size_t most = kMostRecentFiles);

}  // namespace quavert
