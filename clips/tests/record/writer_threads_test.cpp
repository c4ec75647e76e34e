// Each accepted save gets a detached thread of its own, named "writer".

#include "record/writer_threads.h"

#include "support/thread_name.h"

#include <gtest/gtest.h>

#include <future>

namespace orvelle::clips {
namespace {

TEST(WriterThreads, RunTheBodyWithTheJobOnANamedThread) {
  name_threads_as_the_program_does();
  std::promise<std::pair<std::string, std::string>> ran;
  WriterThreads writers([&](SaveJob job) { ran.set_value({current_thread_name(), job.id}); });
  SaveJob job;
  job.id = "w7";
  writers.launch(std::move(job));
  auto done = ran.get_future();
  ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(done.get(), (std::pair<std::string, std::string>{"writer", "w7"}));
}

}  // namespace
}  // namespace orvelle::clips
