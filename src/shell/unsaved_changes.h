#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace quavert {

/// What closing the window, opening another file or choosing another track would lose: the
/// working copy's changes since the file was opened (or written with "Save Midi..."), and list
/// edits not yet written with "Save Track". Works on digests (content_hash.h), so that a change
/// taken back (typed back, or undone) counts as none.
class UnsavedChanges {
 public:
  /// A load ended. `reference` is the digest of the MIDI data of the file opened, nothing when
  /// no file is loaded now; `name` the file's name for the question. Forgets every list.
  void Loaded(std::optional<std::uint64_t> reference, std::string name);
  /// The working copy as it is now: its digest, nothing when there is none.
  void WorkCopyIs(std::optional<std::uint64_t> work) { work_ = work; }
  /// "Save Midi..." wrote the working copy as it is now into the file named `name`.
  void SavedAs(std::string name);
  /// The list's rows (digest `rows`) hold what the working copy as it is now holds: the track was
  /// just listed, or written with "Save Track".
  void ListMatches(std::uint64_t rows);
  /// The working copy changed (from digest `before`) in a way that leaves its track's rows as they
  /// were (the Edit frame's Save): rows that matched it before still match it.
  void WorkChangedUnderList(std::optional<std::uint64_t> before, std::uint64_t rows);

  /// The working copy differs from the file it came from or was last saved as.
  bool WorkCopyChanged() const { return reference_ && work_ && *work_ != *reference_; }
  /// The list, when shown (`listed`), holds rows the working copy does not.
  bool ListChanged(bool listed, std::uint64_t rows) const;
  const std::string& Name() const { return name_; }

 private:
  std::optional<std::uint64_t> reference_;
  std::optional<std::uint64_t> work_;
  std::string name_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> matching_;  // (working copy, rows) that agree
};

}  // namespace quavert
