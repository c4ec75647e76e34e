// The answer files under Wine, also when the installer holds the result
// file open the way it reads it: sharing reading and writing, not deletion.

#include "common/tests/support/unix_link_win.h"
#include "common/win/owner.h"
#include "main/answer_files_win.h"
#include "main/page_actions_win.h"
#include "support/scratch_win.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orvelle::setup {
namespace {

// The file as the installer holds it.
win::Handle hold_open(const std::string& path) {
  return win::Handle(CreateFileW(wide_path(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

// What the installer reads through its handle, from the start.
std::string read_held(const win::Handle& file) {
  SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
  char buffer[64];
  DWORD got = 0;
  if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return "(unreadable)";
  return std::string(buffer, got);
}

std::string contents(const std::string& path) {
  std::ifstream in(std::filesystem::path(wide_path(path)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool exists(const std::string& path) {
  return GetFileAttributesW(wide_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(AnswerFiles, ReachTheInstallerWhoHoldsTheFileOpen) {
  ScratchFolder scratch;
  std::string result = scratch.file("result");
  {
    win::Handle held = hold_open(result);
    ASSERT_TRUE(held);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(held.get(), "earlier text", 12, &written, nullptr));
    EXPECT_TRUE(write_answer(result, "start"));
    EXPECT_EQ(read_held(held), "start");
    EXPECT_FALSE(exists(result + ".part"));
  }
  // Nobody holds it: written whole through the move.
  EXPECT_TRUE(write_answer(result, "close"));
  EXPECT_EQ(contents(result), "close");
  EXPECT_FALSE(exists(result + ".part"));
  // No folder to write in: nothing anywhere.
  std::string nowhere = scratch.file("missing\\result");
  EXPECT_FALSE(write_answer(nowhere, "close"));
  EXPECT_FALSE(exists(nowhere + ".part"));
}

// The part's name is ours, so whatever is there is not the installer's: a
// part a run left goes, a link planted there is never written through.
TEST(AnswerFiles, APartLeftAtItsNameIsReplacedAndALinkThereNeverFollowed) {
  namespace fs = std::filesystem;
  ScratchFolder scratch, elsewhere;
  std::string result = scratch.file("result");
  std::ofstream(fs::path(wide_path(result + ".part")), std::ios::binary) << "left by a run";
  EXPECT_TRUE(write_answer(result, "close"));
  EXPECT_EQ(contents(result), "close");
  EXPECT_FALSE(exists(result + ".part"));

  std::string victim = elsewhere.file("victim.txt");
  std::ofstream(fs::path(wide_path(victim)), std::ios::binary) << "precious";
  fs::path link(wide_path(result + ".part"));
  ASSERT_TRUE(test::unix_link(fs::path(wide_path(victim)), link));
  EXPECT_TRUE(write_answer(result, "start"));  // in place instead
  EXPECT_EQ(contents(result), "start");
  EXPECT_EQ(contents(victim), "precious");
  test::unix_remove(link);
}

TEST(AnswerFiles, TheAnswerCountsOnceAFileHoldsIt) {
  ScratchFolder scratch;
  {
    SetupState state;
    state.options.result = scratch.file("result");
    win::Handle held = hold_open(*state.options.result);
    ASSERT_TRUE(held);
    answer_once(state, "start");
    EXPECT_TRUE(state.answered);
    EXPECT_EQ(read_held(held), "start");
    answer_once(state, "close");  // later answers write nothing
    EXPECT_EQ(read_held(held), "start");
  }
  {
    // The result's folder is not there yet: that answer reached nobody, and
    // the next one, once it can be written, is the answer.
    SetupState state;
    state.options.result = scratch.file("later\\result");
    answer_once(state, "start");
    EXPECT_FALSE(state.answered);
    std::filesystem::create_directories(scratch.path / "later");
    answer_once(state, "close");
    EXPECT_TRUE(state.answered);
    EXPECT_EQ(contents(*state.options.result), "close");
  }
  {
    SetupState state;  // no --result: the first answer is given all the same
    answer_once(state, "close");
    EXPECT_TRUE(state.answered);
  }
}

}  // namespace
}  // namespace orvelle::setup
