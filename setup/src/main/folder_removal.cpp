#include "main/folder_removal.h"

#include <algorithm>

namespace orvelle::setup {

EntryRemoval entry_removal(const FolderEntry& e, bool top) {
  if (e.name == "." || e.name == "..") return EntryRemoval::Skip;
  if (top) return e.directory && !e.reparse_point ? EntryRemoval::Walk : EntryRemoval::Refuse;
  if (!e.directory) return EntryRemoval::RemoveFile;
  return e.reparse_point ? EntryRemoval::RemoveLink : EntryRemoval::Walk;
}

RemovalOutcome worse(RemovalOutcome a, RemovalOutcome b) { return std::max(a, b); }

bool try_removal_again(RemovalOutcome last, int tries_done) {
  return last == RemovalOutcome::Held && tries_done < kRemovalTries;
}

}  // namespace orvelle::setup
