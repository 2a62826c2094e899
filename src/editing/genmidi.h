#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_folder.h"

namespace quavert {

/// File name of the instrument and drum names in the application folder.
inline constexpr const char* kGenmidiName = kGenmidiFileName;

/// What the lookups need of genmidi.ini, read once: the comma-separated fields from the start of
/// the file (the heading, then "p=Name" per program) and the whole lines after "RHYTHM:".
struct GenmidiNames {
  bool Readable = false;            ///< the file could be read at all
  std::vector<std::string> Fields;  ///< every field of the file in order (field 1 is Fields[0])
  bool HasRhythm = false;           ///< a line reading exactly "RHYTHM:" was found
  std::vector<std::string> DrumLines;  ///< the lines after it, unaltered (key 27 is DrumLines[0])
  bool operator==(const GenmidiNames&) const = default;
};

/// Splits the bytes of a genmidi.ini. Lines end at CR LF, LF or CR. A field ends at a comma or at
/// the end of its line, its leading blanks skipped; a field that opens with a double quote runs to
/// the closing quote, commas included, and what follows the quote up to the next comma is dropped.
GenmidiNames ParseGenmidi(std::string_view bytes);

/// Reads and splits the file at `path` now; Readable is false when it cannot be read.
GenmidiNames ReadGenmidi(const std::string& path);

/// Size and modification time of a file, to tell whether it changed since it was read.
struct FileStamp {
  bool Exists = false;
  std::int64_t Size = -1;
  std::int64_t ModifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

/// genmidi.ini as last read, and the stamp of the file it was read from.
struct GenmidiCache {
  bool Loaded = false;
  std::string Path;  ///< the file read
  FileStamp Stamp;
  GenmidiNames Names;
};

/// Name of program 0..127: field `program` + 2, from after its first "=" (the whole field when it
/// has none). "unknown" when the file could not be read or has too few fields.
std::string LookupInstrument(const GenmidiNames& genmidi, std::int32_t program);
/// The same name as a view into `genmidi` (or a constant), valid while `genmidi` is unchanged.
std::string_view InstrumentName(const GenmidiNames& genmidi, std::int32_t program);

/// Name of drum key `key`: line `key` - 26 after "RHYTHM:", whole. The empty text for a key below
/// 27 or an empty line; "unknown" when the file could not be read, has no "RHYTHM:" line, or ends
/// before the key's line.
std::string LookupDrum(const GenmidiNames& genmidi, std::int32_t key);
/// The same name as a view into `genmidi` (or a constant), valid while `genmidi` is unchanged.
std::string_view DrumName(const GenmidiNames& genmidi, std::int32_t key);

}  // namespace quavert
