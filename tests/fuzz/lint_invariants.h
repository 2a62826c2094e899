#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/road.h"

namespace quavert::fuzz {

/// The lint's two promises, checked on `input` opened in the folders of a road that has run:
/// the lint never fails, and it finds no error exactly when the load and the decode of every
/// track succeed without a question (every question answered No), but for the deliberate
/// differences listed with the check. Returns each failed check in words.
std::vector<std::string> CheckLint(const RoadFolders& folders, std::string_view input);

}  // namespace quavert::fuzz
