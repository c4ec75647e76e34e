#pragma once
// How a folder is taken down without ever following a link: what is done
// with each entry, given what the system says it is, and how long a removal
// that others still hold up is tried again.

#include "main/folder_listing.h"

#include <chrono>

namespace orvelle::setup {

enum class EntryRemoval {
  Skip,        // "." and ".."
  Refuse,      // left as it is: at the top, anything but a plain folder
  Walk,        // a plain folder: emptied first, then removed
  RemoveLink,  // a link to a folder, or any folder reparse point: the link goes, never its target
  RemoveFile,  // a file, or a link to one: the name goes, never its target
};

// The step for an entry; the top folder is only ever walked when it is a
// plain folder of its own.
EntryRemoval entry_removal(const FolderEntry& entry, bool top);

// A removal's outcome, from best to worst: several combine to the worst.
enum class RemovalOutcome {
  Removed,
  Gone,     // nothing was there
  Refused,  // an entry that is not what it was listed as, or leads elsewhere: left, never retried
  Held,     // something could not go now (a file still open, a folder not yet empty)
};
RemovalOutcome worse(RemovalOutcome a, RemovalOutcome b);

// The browser's processes may hold files a moment after its view has
// closed: a held removal is tried up to kRemovalTries times, kRemovalGap
// apart; any other outcome ends it.
inline constexpr int kRemovalTries = 30;
inline constexpr std::chrono::milliseconds kRemovalGap{100};
bool try_removal_again(RemovalOutcome last, int tries_done);

}  // namespace orvelle::setup
