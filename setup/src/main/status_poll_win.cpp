#include "main/status_poll_win.h"

#include "common/path_join.h"
#include "common/utf.h"
#include "common/win/owner.h"
#include "main/answer_files_win.h"
#include "main/folder_listing_win.h"
#include "main/host_messages.h"
#include "main/page_actions_win.h"
#include "main/progress.h"
#include "main/status_file.h"

#include <filesystem>
#include <fmt/format.h>
#include <optional>

namespace orvelle::setup {
namespace {

using Clock = std::chrono::steady_clock;

// The whole file, shared with the installer that may be writing it.
std::optional<std::string> read_whole_file(const std::string& path) {
  win::Handle file(CreateFileW(wide_path(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (true) {
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    text.append(buffer, got);
  }
  return text;
}

void take_due_shots(SetupState& state, std::uint64_t elapsed_ms) {
  if (!state.options.shots || !state.page) return;
  std::vector<std::uint64_t> due = due_shots(state.options.shot_at, elapsed_ms);
  if (due.empty()) return;
  const std::string& folder = *state.options.shots;
  std::error_code ignored;
  std::u16string wide = utf8_to_utf16(folder);
  std::filesystem::create_directories(std::filesystem::path(std::wstring(wide.begin(), wide.end())),
                                      ignored);
  for (std::uint64_t t : due)
    state.page->capture_png(join_path(folder, fmt::format("shot-{}.png", t)));
}

void post(SetupState& state, std::string_view json) {
  if (state.page) state.page->post_json(json);
}

}  // namespace

bool status_tick(SetupState& state) {
  auto elapsed = Clock::now() - state.start;
  auto elapsed_ms = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  take_due_shots(state, elapsed_ms);
  if (state.finished != InstallState::Running) return false;

  if (state.options.demo) {
    double t = std::chrono::duration<double, std::milli>(elapsed).count();
    if (auto v = demo_progress(t)) {
      post_progress(state, *v);
    } else {
      state.finished = InstallState::Installed;
      post(state, kInstalledMessage);
    }
    return false;
  }

  if (state.options.status) {
    auto text = read_whole_file(*state.options.status);
    if (text && is_valid_utf8(*text)) {
      StatusWord word = read_status(*text);
      switch (word.kind) {
        case StatusWord::Kind::Done:
          state.finished = InstallState::Installed;
          post(state, kInstalledMessage);
          break;
        case StatusWord::Kind::Failed:
          state.finished = InstallState::Failed;
          post(state, failed_message(word.message, state.options.log.value_or("")));
          break;
        case StatusWord::Kind::Abort:
          return true;
        case StatusWord::Kind::Nothing:
          break;
      }
      return false;
    }
  }

  if (state.options.expect != 0) {
    WindowsLister lister;
    post_progress(state, disk_progress(folder_size(long_folder_path(state.options.dir), lister),
                                       state.options.expect));
  }
  return false;
}

}  // namespace orvelle::setup
