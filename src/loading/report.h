#pragma once

#include <string>
#include <string_view>

#include "common/binary_file.h"

namespace quavert {

/// The per-file report in the logs folder. Created when a load passes its checks and kept open
/// until the next load or shutdown; every line is written as bytes followed by CR LF.
class Report {
 public:
  /// Creates (or empties) the report at `path` and keeps it open. RunError when it cannot.
  void Create(const std::string& path);
  /// Opens the report at `path` again as it stands, to go on writing at its end, as an open
  /// the user stopped gives the report of the file before back. RunError when it cannot.
  void Reopen(const std::string& path);
  /// The report could not be created: lines written until the next load are dropped.
  void MarkUnavailable();
  /// Appends one line. RunError 52 when the report was closed since it was created.
  void WriteLine(std::string_view line);
  /// Appends `lines` as they stand: whole lines, each already ended by CR LF.
  void WriteLines(std::string_view lines);
  /// The bytes written since Create, for TakeBack; 0 while the report is unavailable.
  std::int64_t Written() const { return file_.IsOpen() ? file_.Position() - 1 : 0; }
  /// Takes back the lines written after Written() said `written`: the report is as it was then.
  /// RunError when the file cannot be cut.
  void TakeBack(std::int64_t written);
  /// Hands the lines written so far to the system.
  void Flush();
  /// The same, and has the system start putting them on disk without waiting for it.
  void StartSync();
  /// Closes the report; further lines fail until the next Create.
  void Close();

  bool IsOpen() const { return file_.IsOpen(); }
  /// MarkUnavailable was called since the last Create.
  bool IsUnavailable() const { return unavailable_; }
  const std::string& Path() const { return path_; }

 private:
  BinaryFile file_;
  std::string path_;
  bool unavailable_ = false;
};

/// Separator byte of the report's track headings (U+00C4 in the 8-bit code page).
inline constexpr char kReportRule = static_cast<char>(0xC4);

}  // namespace quavert
