#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/working_copy_change.h"
#include "editing/row_change.h"

namespace quavert {

/// One step the user can take back: changes of the list's rows, of the working copy, or both,
/// under the name the Edit menu shows after "Undo " or "Redo " ("Volume 96 -> 100").
struct UndoEntry {
  std::string Name;
  std::vector<RowChange> Rows;              ///< made in order, taken back in reverse order
  std::optional<WorkingCopyChange> File;    ///< made before the rows, taken back after them
  bool DecodeAgain = false;  ///< the change was a repair made while decoding: decode the track again after it
  /// The listing the rows belong to (UndoHistory::NewList); rows of another listing are left alone.
  std::uint64_t List = 0;
  bool operator==(const UndoEntry&) const = default;
};

/// The steps of the working copy and the list since the file was loaded, to take back and make
/// again. Plain data: the commands that change things record here (RecordChange), UndoCommand
/// and RedoCommand (undo_commands.h) take the steps back and make them again.
class UndoHistory {
 public:
  bool CanUndo() const { return !done_.empty(); }
  bool CanRedo() const { return !undone_.empty(); }
  /// The name of the step Undo would take back; empty when there is none.
  std::string UndoName() const { return done_.empty() ? std::string() : done_.back().Name; }
  std::string RedoName() const { return undone_.empty() ? std::string() : undone_.back().Name; }
  /// Forgets every step (a load ends the history).
  void Clear() {
    done_.clear();
    undone_.clear();
  }
  /// A new step: it can be taken back; what was taken back before can no longer be made again.
  void Record(UndoEntry entry) {
    entry.List = list_;
    done_.push_back(std::move(entry));
    undone_.clear();
  }

  /// The step to take back (or make again) next; the caller applies it and then calls Undone
  /// (Redone), or leaves the history as it is when applying failed.
  const UndoEntry* NextUndo() const { return done_.empty() ? nullptr : &done_.back(); }
  const UndoEntry* NextRedo() const { return undone_.empty() ? nullptr : &undone_.back(); }
  void Undone() {
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
  }
  void Redone() {
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
  }
  std::size_t Steps() const { return done_.size(); }

  /// The list was built again (a decode or "Notes..."): the rows of earlier steps are not its rows,
  /// so taking those steps back or making them again changes only the working copy.
  void NewList() { ++list_; }
  /// The building of a new list was stopped: the list before, `list`, is the list again.
  void ListBack(std::uint64_t list) { list_ = list; }
  std::uint64_t List() const { return list_; }

 private:
  std::vector<UndoEntry> done_;
  std::vector<UndoEntry> undone_;
  std::uint64_t list_ = 0;
};

}  // namespace quavert
