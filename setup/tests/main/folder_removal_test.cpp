#include "main/folder_removal.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

FolderEntry entry(const char* name, bool directory, bool reparse, bool read_only = false) {
  FolderEntry e;
  e.name = name;
  e.directory = directory;
  e.reparse_point = reparse;
  e.read_only = read_only;
  return e;
}

TEST(FolderRemoval, ALinkIsNeverEnteredAndOnlyAPlainTopIsWalked) {
  struct Case {
    FolderEntry entry;
    EntryRemoval inside, top;
  } cases[] = {
      {entry("EBWebView", true, false), EntryRemoval::Walk, EntryRemoval::Walk},
      {entry("ro", true, false, true), EntryRemoval::Walk, EntryRemoval::Walk},
      {entry("inner", true, true), EntryRemoval::RemoveLink, EntryRemoval::Refuse},
      {entry("junction", true, true, true), EntryRemoval::RemoveLink, EntryRemoval::Refuse},
      {entry("Local State", false, false), EntryRemoval::RemoveFile, EntryRemoval::Refuse},
      {entry("locked", false, false, true), EntryRemoval::RemoveFile, EntryRemoval::Refuse},
      {entry("file-link", false, true), EntryRemoval::RemoveFile, EntryRemoval::Refuse},
      {entry(".", true, false), EntryRemoval::Skip, EntryRemoval::Skip},
      {entry("..", true, true), EntryRemoval::Skip, EntryRemoval::Skip},
      {entry("...", true, false), EntryRemoval::Walk, EntryRemoval::Walk},
      {entry(".x", false, false), EntryRemoval::RemoveFile, EntryRemoval::Refuse},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(entry_removal(c.entry, false), c.inside) << c.entry.name;
    EXPECT_EQ(entry_removal(c.entry, true), c.top) << c.entry.name;
  }
}

TEST(FolderRemoval, OnlyWhatIsStillHeldIsTriedAgainAndNotForever) {
  using O = RemovalOutcome;
  struct Case {
    O last;
    int tries_done;
    bool again;
  } cases[] = {
      {O::Held, 1, true},     {O::Held, kRemovalTries - 1, true}, {O::Held, kRemovalTries, false},
      {O::Removed, 1, false}, {O::Gone, 1, false},                {O::Refused, 1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(try_removal_again(c.last, c.tries_done), c.again)
        << int(c.last) << " after " << c.tries_done;
  // Held outweighs a refusal (what is held may still go), a refusal outweighs success.
  EXPECT_EQ(worse(O::Refused, O::Held), O::Held);
  EXPECT_EQ(worse(O::Removed, O::Refused), O::Refused);
  EXPECT_EQ(worse(O::Gone, O::Removed), O::Gone);
  EXPECT_EQ(kRemovalTries * kRemovalGap, std::chrono::seconds(3));
}

}  // namespace
}  // namespace orvelle::setup
