#include "bridge/stdin_lines.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace orvelle::media {
namespace {

// A stream holding the bytes, read from the start (tmpfile is binary everywhere).
std::FILE* stream_of(const std::string& input) {
  std::FILE* f = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), f);
  std::rewind(f);
  return f;
}

std::vector<LoopMessage> read_all(const std::string& input) {
  auto [sender, receiver] = make_channel<LoopMessage>();
  std::FILE* f = stream_of(input);
  read_stdin_lines(f, std::move(sender));
  std::fclose(f);
  std::vector<LoopMessage> out;
  std::optional<LoopMessage> m;
  while (receiver.try_receive(m) == RecvStatus::value) out.push_back(std::move(*m));
  return out;
}

std::vector<std::string> texts(const std::vector<LoopMessage>& ms) {
  std::vector<std::string> out;
  for (const auto& m : ms)
    out.push_back(std::holds_alternative<Line>(m) ? std::get<Line>(m).text : "<end>");
  return out;
}

TEST(StdinLines, TrimmedLinesThenTheEnd) {
  std::string input = "  {\"cmd\":\"play\"}\r\n\n   \n\xE3\x80\x80\tx\xC2\xA0\nlast";
  EXPECT_EQ(texts(read_all(input)),
            (std::vector<std::string>{"{\"cmd\":\"play\"}", "x", "last", "<end>"}));
  EXPECT_EQ(texts(read_all("")), (std::vector<std::string>{"<end>"}));
  auto [sender, receiver] = make_channel<LoopMessage>();
  read_stdin_lines(nullptr, std::move(sender));  // no standard input at all
  std::optional<LoopMessage> m;
  ASSERT_EQ(receiver.try_receive(m), RecvStatus::value);
  EXPECT_TRUE(std::holds_alternative<EndOfInput>(*m));
}

// A line that is not UTF-8 must not end the client's feed: it goes on to be
// answered as a line that does not parse, and the lines after it still come.
TEST(StdinLines, NotUtf8GoesOn) {
  EXPECT_EQ(texts(read_all("\xFF\xFE\n{\"cmd\":\"next\"}\n")),
            (std::vector<std::string>{"\xFF\xFE", "{\"cmd\":\"next\"}", "<end>"}));
}

TEST(StdinLines, StopsWhenTheLoopIsGone) {
  auto [sender, receiver] = make_channel<LoopMessage>();
  { auto dropped = std::move(receiver); }
  std::string input = "a\nb\n";
  std::FILE* f = stream_of(input);
  read_stdin_lines(f, std::move(sender));  // returns instead of reading on
  EXPECT_EQ(std::ftell(f), 2);
  std::fclose(f);
}

}  // namespace
}  // namespace orvelle::media
