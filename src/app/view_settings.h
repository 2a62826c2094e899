#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"

namespace quavert {

/// How the window shows things, remembered in the settings file after the remembered path.
struct ViewSettings {
  bool PianoRoll = false;      ///< the piano roll is shown under the list
  bool FollowPlayback = true;  ///< the list and the roll keep the played place in view
  bool OffsetColumn = false;   ///< the list shows where each row's event lies in the file
  bool BytesColumn = false;    ///< the list shows each row's event bytes in hex
  bool TimeColumn = false;     ///< the list shows each row's ticks and bar:beat:tick
  bool BytesPane = false;      ///< the chosen track's bytes are shown beside the list
  bool ProblemsPane = false;   ///< the file's problems are listed
  TextEncoding Encoding = TextEncoding::kAutomatic;  ///< how the texts of the file are shown
  /// Files opened before the last one, newest first (the last one is the settings file's first line).
  std::vector<std::string> Recent;
  bool operator==(const ViewSettings&) const = default;
};

/// The lines that remember `view`, each "Name=0" or "Name=1" (the encoding "TextEncoding=NAME")
/// with a line end, then one "Recent=PATH" line for each recent file that a line can hold; "" when every
/// setting is as it is by default, so that the settings file stays the one line of the path.
std::string ViewSettingsLines(const ViewSettings& view);

/// The settings after the first line of the settings file's text `text`; a line that names
/// no setting or holds no 0 or 1 is passed over, and a setting not named keeps its default.
ViewSettings ParseViewSettings(std::string_view text);

/// ParseViewSettings of the settings file at `path`; the defaults when it cannot be read.
ViewSettings ReadViewSettings(const std::string& path);

}  // namespace quavert
