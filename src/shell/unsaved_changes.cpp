#include "shell/unsaved_changes.h"

namespace quavert {

void UnsavedChanges::Loaded(std::optional<std::uint64_t> reference, std::string name) {
  reference_ = reference;
  name_ = std::move(name);
  matching_.clear();
}

void UnsavedChanges::SavedAs(std::string name) {
  reference_ = work_;
  name_ = std::move(name);
}

void UnsavedChanges::ListMatches(std::uint64_t rows) {
  if (work_) matching_.insert({*work_, rows});
}

void UnsavedChanges::WorkChangedUnderList(std::optional<std::uint64_t> before, std::uint64_t rows) {
  if (before && matching_.contains({*before, rows})) ListMatches(rows);
}

bool UnsavedChanges::ListChanged(bool listed, std::uint64_t rows) const {
  return listed && work_ && !matching_.contains({*work_, rows});
}

}  // namespace quavert
