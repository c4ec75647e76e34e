#include "tools/e2e/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace orvelle::e2e {
namespace {

// A process group of its own (so Wine's children end with it), and SIGPIPE
// at its default: the tests ignore it, an ignored signal survives exec, and
// the program should start as a client would start it.
void spawn_attributes(posix_spawnattr_t& attr) {
  posix_spawnattr_init(&attr);
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &pipe_signal);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
}

}  // namespace

Outcome run_process(const std::vector<std::string>& argv, const std::string& input,
                    std::chrono::seconds deadline) {
  Outcome outcome;
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) return outcome;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawnattr_t attr;
  spawn_attributes(attr);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (spawned != 0) {
    close(in[1]);
    close(out[0]);
    close(err[0]);
    return outcome;
  }
  signal(SIGPIPE, SIG_IGN);
  std::size_t written = 0;
  if (input.empty()) close(in[1]), in[1] = -1;
  auto until = std::chrono::steady_clock::now() + deadline;
  bool out_open = true, err_open = true;
  while (out_open || err_open) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(-pid, SIGKILL);
      break;
    }
    pollfd fds[3] = {{out_open ? out[0] : -1, POLLIN, 0},
                     {err_open ? err[0] : -1, POLLIN, 0},
                     {in[1], POLLOUT, 0}};
    if (poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    char buffer[65536];
    for (int k = 0; k < 2; ++k) {
      if (!(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
      if (n > 0) {
        (k == 0 ? outcome.out : outcome.err).append(buffer, static_cast<std::size_t>(n));
      } else {
        (k == 0 ? out_open : err_open) = false;
      }
    }
    if (in[1] >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t n = write(in[1], input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n <= 0 || written == input.size()) close(in[1]), in[1] = -1;
    }
  }
  if (in[1] >= 0) close(in[1]);
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
  return outcome;
}

Outcome run_windows(const std::string& exe, const std::vector<std::string>& args,
                    const std::string& input, std::chrono::seconds deadline) {
  std::vector<std::string> argv = {ORVELLE_WINE_RUN, exe};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_process(argv, input, deadline);
}

Background::Background(const std::vector<std::string>& argv) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC)) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawnattr_t attr;
  spawn_attributes(attr);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(in[0]);
  close(out[1]);
  in_ = in[1];
  out_ = out[0];
}

Background::~Background() {
  if (in_ >= 0) close(in_);
  if (out_ >= 0) close(out_);
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::vector<std::string> Background::lines_until(std::string_view line,
                                                 std::chrono::seconds deadline) {
  std::vector<std::string> lines;
  auto until = std::chrono::steady_clock::now() + deadline;
  while (auto next = next_line(std::chrono::duration_cast<std::chrono::milliseconds>(
             until - std::chrono::steady_clock::now()))) {
    lines.push_back(std::move(*next));
    if (lines.back() == line) break;
  }
  return lines;
}

std::optional<std::string> Background::next_line(std::chrono::milliseconds deadline) {
  auto until = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    if (std::size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0 || out_ < 0) return std::nullopt;
    pollfd fd = {out_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return std::nullopt;
    if (!(fd.revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[4096];
    ssize_t n = read(out_, buffer, sizeof buffer);
    if (n <= 0) {
      close(out_);
      out_ = -1;
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

bool Background::send(std::string_view line) {
  if (in_ < 0) return false;
  signal(SIGPIPE, SIG_IGN);
  std::string text(line);
  text += '\n';
  for (std::size_t written = 0; written < text.size();) {
    ssize_t n = write(in_, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

void Background::close_input() {
  if (in_ >= 0) close(in_);
  in_ = -1;
}

void Background::close_output() {
  if (out_ >= 0) close(out_);
  out_ = -1;
  pending_.clear();
}

int Background::wait(std::chrono::seconds deadline) {
  if (pid_ <= 0) return -1;
  auto until = std::chrono::steady_clock::now() + deadline;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (done < 0 || std::chrono::steady_clock::now() >= until) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    poll(nullptr, 0, 20);
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::unique_ptr<Background> start_windows(const std::string& exe,
                                          const std::vector<std::string>& args) {
  std::vector<std::string> argv = {ORVELLE_WINE_RUN, exe};
  argv.insert(argv.end(), args.begin(), args.end());
  return std::make_unique<Background>(argv);
}

}  // namespace orvelle::e2e
