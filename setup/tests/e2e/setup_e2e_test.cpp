// orvelle-setup under Wine: the real program where no WebView2 runtime
// exists, and the program with a stand-in page, whose window, logo and
// clean-up are checked through its report, a screenshot of the display and
// the files it leaves.

#include "e2e/xwd.h"
#include "main/options.h"
#include "main/page_address.h"
#include "main/window_rule.h"
#include "overhang/logo_geometry.h"
#include "tools/e2e/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace orvelle::e2e {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the build tree, visible to Wine as Z:.
struct Scratch {
  fs::path path;
  Scratch() {
    path = fs::path(ORVELLE_SETUP_SCRATCH) / ("run-" + std::to_string(std::random_device{}()));
    fs::create_directories(path);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string windows(const std::string& name) const {
    std::string p = "Z:" + (path / name).string();
    for (char& c : p)
      if (c == '/') c = '\\';
    return p;
  }
};

// The browser data folders of every run, in Wine's temporary folders.
std::vector<fs::path> data_folders() {
  std::vector<fs::path> found;
  const char* prefix = std::getenv("WINEPREFIX");
  fs::path users = fs::path(prefix ? prefix : ORVELLE_WINEPREFIX) / "drive_c" / "users";
  std::error_code ec;
  for (const auto& user : fs::directory_iterator(users, ec)) {
    for (fs::path temp : {user.path() / "Temp", user.path() / "AppData" / "Local" / "Temp"}) {
      std::error_code none;
      for (const auto& entry : fs::directory_iterator(temp, none))
        if (entry.path().filename().string().starts_with("orvelle-setup-webview"))
          found.push_back(entry.path());
    }
  }
  return found;
}

// A Windows path on drive C: of the Wine prefix, as a path here.
fs::path on_drive_c(std::string windows) {
  const char* prefix = std::getenv("WINEPREFIX");
  for (char& c : windows)
    if (c == '\\') c = '/';
  return fs::path(prefix ? prefix : ORVELLE_WINEPREFIX) / "drive_c" / windows.substr(3);
}

TEST(SetupExe, WithoutWebView2ItFailsWithOneLineAndWritesNothing) {
  ASSERT_TRUE(fs::exists(ORVELLE_SETUP_EXE));
  Scratch scratch;
  auto before = data_folders();
  Outcome o = run_windows(ORVELLE_SETUP_EXE,
                          {"--ui", scratch.windows("ui"), "--ready", scratch.windows("ready"),
                           "--result", scratch.windows("result"), "--status",
                           scratch.windows("status"), "--shots", scratch.windows("shots"),
                           "--shot-at", "0", "--offscreen"});
  EXPECT_EQ(o.exit_code, 2);
  EXPECT_EQ(o.out, "");
  static const std::regex kLine(
      R"(orvelle-setup: WebView2 environment: WebView2Loader\.dll: [^\n]+ \(0x8007007E\) \(0x80004003\)\n)");
  EXPECT_TRUE(std::regex_match(o.err, kLine)) << o.err;
  EXPECT_TRUE(fs::is_empty(scratch.path));
  // No folder of its own left (those of ended runs may have been swept).
  for (const fs::path& folder : data_folders())
    EXPECT_NE(std::ranges::find(before, folder), before.end()) << folder;
}

std::string fmt_move(long x, long y) {
  return "move " + std::to_string(x) + " " + std::to_string(y);
}

struct Box {
  long left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& o, const Box& b) {
  return o << b.left << "," << b.top << "-" << b.right << "," << b.bottom;
}

// The stand-in's report: one line per window, by its first word.
struct Report {
  Box main, page, logo, work;
  long client_width = 0, client_height = 0, system_dpi = 0, window_dpi = 0;
  std::uint32_t style = 0;
  bool has_logo = false, logo_visible = false, logo_owned = false;
  int logo_alpha = -1;  // the constant alpha last presented
};

Report report(Background& setup) {
  Report r;
  EXPECT_TRUE(setup.send("report"));
  for (int i = 0; i < 4; ++i) {
    auto line = setup.next_line(std::chrono::seconds(20));
    if (!line) {
      ADD_FAILURE() << "no report";
      break;
    }
    std::istringstream in(*line);
    std::string word, skip, flag, owner;
    in >> word;
    if (word == "main") {
      in >> r.main.left >> r.main.top >> r.main.right >> r.main.bottom >> skip >> r.client_width >>
          r.client_height >> skip >> std::hex >> r.style;
    } else if (word == "page") {
      in >> r.page.left >> r.page.top >> r.page.right >> r.page.bottom;
    } else if (word == "logo") {
      r.has_logo = !(in >> r.logo.left >> r.logo.top >> r.logo.right >> r.logo.bottom).fail();
      in >> flag >> skip >> owner >> skip >> r.logo_alpha;
      r.logo_visible = flag == "visible";
      r.logo_owned = owner == "main";
    } else if (word == "work") {
      in >> r.work.left >> r.work.top >> r.work.right >> r.work.bottom >> skip >> r.system_dpi >>
          r.window_dpi;
    }
  }
  return r;
}

bool orange(Rgb c) { return c.r > 180 && c.g > 60 && c.g < 160 && c.b < 100; }

// The display once shown says so: a loaded machine paints the window and
// fades the logo in late, so it is taken again until shown holds or the
// deadline passes, and the last one is kept as setup-window.xwd.
std::optional<Screenshot> screen_once(const std::function<bool(const Screenshot&)>& shown) {
  std::optional<Screenshot> screen;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  do {
    Outcome shot = run_process({"/usr/bin/xwd", "-root", "-silent"}, "");
    EXPECT_EQ(shot.exit_code, 0) << shot.err;
    fs::create_directories(ORVELLE_SETUP_SCRATCH);
    std::ofstream(fs::path(ORVELLE_SETUP_SCRATCH) / "setup-window.xwd", std::ios::binary) << shot.out;
    screen = Screenshot::read(shot.out);
    if (!screen || shown(*screen)) return screen;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < until);
  return screen;
}

TEST(SetupWindow, FramelessWindowAddressAndLogoOverTheCorner) {
  ASSERT_TRUE(std::getenv("DISPLAY")) << "the test looks at the X display Wine draws on";
  std::vector<std::string> args = {"--lang", "pl", "--dir", "C:\\Program Files\\X",
                                   "--version", "1.2.3-beta_4~x", "--log", "C:\\Temp\\a b.log"};
  auto setup = start_windows(ORVELLE_SETUP_STAND_IN_EXE, args);
  auto lines = setup->lines_until("ready", std::chrono::seconds(60));
  ASSERT_EQ(lines.size(), 3u) << testing::PrintToString(lines);
  EXPECT_EQ(lines[0], "navigate " + setup::page_address(setup::parse_setup_options(args)));
  ASSERT_TRUE(lines[1].starts_with("data ")) << lines[1];
  fs::path data = on_drive_c(lines[1].substr(5));
  EXPECT_TRUE(fs::is_directory(data)) << data;
  // Another window's folder, as a second instance would see it.
  fs::path other = data.parent_path() / "orvelle-setup-webview-0";
  fs::create_directories(other);

  // Frameless (the client area is the whole window), of the rule's size, centred.
  Report r = report(*setup);
  Rect work{int(r.work.left), int(r.work.top), int(r.work.right), int(r.work.bottom)};
  setup::WindowBox box = setup::window_box(work, std::uint32_t(r.system_dpi), false);
  EXPECT_EQ(r.main, (Box{box.x, box.y, box.x + box.width, box.y + box.height}));
  EXPECT_EQ(r.client_width, box.width);
  EXPECT_EQ(r.client_height, box.height);
  EXPECT_EQ(r.style & 0x82CE0000u, 0x82CE0000u);
  EXPECT_EQ(r.style & 0x00010000u, 0u);  // no maximise box
  EXPECT_EQ(r.page, r.main);
  EXPECT_FALSE(r.has_logo);

  // The page asks for the logo: it overhangs the top-left corner and fades in.
  ASSERT_TRUE(setup->send(R"(page {"type":"overhang","show":true})"));
  r = report(*setup);
  setup::LogoGeometry g = setup::logo_geometry(std::uint32_t(r.window_dpi));
  ASSERT_TRUE(r.has_logo);
  EXPECT_TRUE(r.logo_visible);
  EXPECT_TRUE(r.logo_owned);
  Box logo{r.main.left + g.window_dx, r.main.top + g.window_dy,
           r.main.left + g.window_dx + g.canvas, r.main.top + g.window_dy + g.canvas};
  EXPECT_EQ(r.logo, logo);

  auto page_at = [&](const Screenshot& s) { return s.at(int(r.main.left + 300), int(r.main.top + 300)); };
  auto mark_at = [&](const Screenshot& s) {
    return s.at(int(logo.left + g.offset + g.logo / 7), int(logo.top + g.offset + g.logo * 3 / 10));
  };
  // Shown: the page painted beneath and the logo's mark orange and no
  // longer changing, so the fade is over.
  std::optional<Rgb> last_mark;
  auto screen = screen_once([&](const Screenshot& s) {
    const Rgb page = page_at(s), mark = mark_at(s);
    const bool still = last_mark && last_mark->r == mark.r && last_mark->g == mark.g && last_mark->b == mark.b;
    last_mark = mark;
    return page.r == 0x22 && page.g == 0x66 && page.b == 0xAA && orange(mark) && still;
  });
  ASSERT_TRUE(screen);
  auto at = [&](long x, long y) { return screen->at(int(logo.left + x), int(logo.top + y)); };
  // The mark's square in the overhanging band, left of and above the window.
  EXPECT_TRUE(orange(at(g.band_columns * 3 / 4, g.band_rows + 10)));
  EXPECT_TRUE(orange(at(g.band_columns + 10, g.band_rows * 3 / 4)));
  EXPECT_TRUE(orange(at(g.offset + g.logo / 7, g.offset + g.logo * 3 / 10)));
  // Not drawn inside the window's corner, nor beyond the mark.
  EXPECT_FALSE(orange(at(g.band_columns + 6, g.band_rows + 6)));
  EXPECT_FALSE(orange(at(2, 2)));
  // The page beneath, away from the logo.
  Rgb page = page_at(*screen);
  EXPECT_EQ(page.r, 0x22);
  EXPECT_EQ(page.g, 0x66);
  EXPECT_EQ(page.b, 0xAA);

  // The window moves; the logo follows.
  ASSERT_TRUE(setup->send(fmt_move(r.main.left + 50, r.main.top + 40)));
  EXPECT_EQ(setup->next_line(std::chrono::seconds(20)), "moved");
  Report moved = report(*setup);
  EXPECT_EQ(moved.logo.left, moved.main.left + g.window_dx);
  EXPECT_EQ(moved.logo.top, moved.main.top + g.window_dy);
  EXPECT_EQ(moved.main.left, r.main.left + 50);

  // A dpi change makes the logo again; shown before, it is shown again.
  ASSERT_TRUE(setup->send("dpi"));
  EXPECT_EQ(setup->next_line(std::chrono::seconds(20)), "dpi changed");
  Report changed = report(*setup);
  EXPECT_TRUE(changed.logo_visible);
  EXPECT_EQ(changed.logo, moved.logo);
  EXPECT_EQ(changed.main, moved.main);

  // Closed: exit code 0, its own data folder removed, the other's kept.
  ASSERT_TRUE(setup->send("close"));
  EXPECT_EQ(setup->wait(std::chrono::seconds(60)), 0);
  EXPECT_FALSE(fs::exists(data));
  EXPECT_TRUE(fs::exists(other));
  fs::remove_all(other);
}

// The stand-in, up and ready, with the lines before "ready".
struct StandIn {
  std::unique_ptr<Background> process;
  std::vector<std::string> first_lines;
};
StandIn stand_in(const std::vector<std::string>& args) {
  StandIn s{start_windows(ORVELLE_SETUP_STAND_IN_EXE, args), {}};
  s.first_lines = s.process->lines_until("ready", std::chrono::seconds(60));
  EXPECT_FALSE(s.first_lines.empty());
  if (!s.first_lines.empty()) {
    EXPECT_EQ(s.first_lines.back(), "ready");
  }
  return s;
}

// The next text posted to the page, skipping the other lines.
std::optional<std::string> next_post(Background& b, std::chrono::milliseconds deadline) {
  auto until = std::chrono::steady_clock::now() + deadline;
  while (true) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    auto line = b.next_line(left);
    if (!line) return std::nullopt;
    if (line->starts_with("post ")) return line->substr(5);
  }
}

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool appears(const fs::path& file, std::chrono::seconds deadline) {
  auto until = std::chrono::steady_clock::now() + deadline;
  while (!fs::exists(file)) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);

TEST(SetupPage, MessagesActAndAnswersAreWrittenWhole) {
  Scratch scratch;
  fs::copy_file(ORVELLE_FAKE_INSTALLER_EXE, scratch.path / "installer.exe");
  fs::create_directories(scratch.path / "shots");  // the logo's file does not make it
  auto s = stand_in({"--ready", scratch.windows("ready"), "--result", scratch.windows("result"),
                     "--setup", scratch.windows("installer.exe"), "--shots",
                     scratch.windows("shots")});
  Background& setup = *s.process;
  for (const char* message :
       {R"({"type":"ready","x":1})", R"({"type":"ready"})", R"(["Ready"])", R"({"type":" ready"})",
        R"({"type":"start","type":"start"})", R"({"type":"retry","show":1})", "not json",
        R"({"type":"drag"})", R"({"type":"overhang","show":true})", R"(["minimize"])"})
    ASSERT_TRUE(setup.send(std::string("page ") + message));
  // A report comes after every command before it has been carried out.
  Report r = report(setup);
  EXPECT_EQ(contents(scratch.path / "ready"), "ready");
  EXPECT_FALSE(fs::exists(scratch.path / "ready.part"));
  EXPECT_FALSE(fs::exists(scratch.path / "result"));  // the broken answers did nothing
  // Dragged (the move loop runs inside the handler, the state given back
  // meanwhile) and minimised: nothing ended, and the logo followed the window.
  ASSERT_TRUE(r.has_logo);
  setup::LogoGeometry g = setup::logo_geometry(std::uint32_t(r.window_dpi));
  EXPECT_EQ(r.logo.left, r.main.left + g.window_dx);
  EXPECT_EQ(r.logo.top, r.main.top + g.window_dy);
  EXPECT_TRUE(contents(scratch.path / "shots" / "overhang.png").starts_with(kPngSignature));
  EXPECT_FALSE(fs::exists(scratch.path / "shots" / "shot-0.png"));  // no --shot-at

  // "retry" starts the installer's own program, answers "close" and ends.
  ASSERT_TRUE(setup.send(R"(page {"type":"retry"})"));
  EXPECT_EQ(setup.wait(std::chrono::seconds(60)), 0);
  EXPECT_EQ(contents(scratch.path / "result"), "close");
  EXPECT_FALSE(fs::exists(scratch.path / "result.part"));
  EXPECT_TRUE(appears(scratch.path / "installer.exe.started", std::chrono::seconds(30)));
}

TEST(SetupPage, StartIsTheAnswerAndACloseWithoutOneSaysClose) {
  struct Case {
    std::string command, answer;
  } cases[] = {{R"(page {"type":"start"})", "start"},
               {R"(page {"type":"close"})", "close"},
               {"close", "close"}};
  for (const auto& c : cases) {
    Scratch scratch;
    auto s = stand_in({"--result", scratch.windows("result")});
    ASSERT_TRUE(s.process->send(c.command));
    EXPECT_EQ(s.process->wait(std::chrono::seconds(60)), 0) << c.command;
    EXPECT_EQ(contents(scratch.path / "result"), c.answer) << c.command;
  }
}

TEST(SetupStatus, DiskThenStatusFileDriveThePageInOrder) {
  Scratch scratch;
  fs::create_directories(scratch.path / "dir" / "sub");
  std::ofstream(scratch.path / "dir" / "a.bin", std::ios::binary) << std::string(2048, 'x');
  auto s = stand_in({"--status", scratch.windows("status"), "--log", "C:\\Temp\\a\"b.log",
                     "--dir", scratch.windows("dir"), "--expect", "4", "--result",
                     scratch.windows("result"), "--shots", scratch.windows("shots"),
                     "--shot-at", "0,1500"});
  Background& setup = *s.process;
  auto post = [&] { return next_post(setup, std::chrono::milliseconds(5000)); };
  EXPECT_EQ(post(), R"({"type":"progress","value":0.5000})");
  std::ofstream(scratch.path / "dir" / "sub" / "b.bin", std::ios::binary) << std::string(6144, 'x');
  EXPECT_EQ(post(), R"({"type":"progress","value":0.9800})");  // capped
  std::ofstream(scratch.path / "status", std::ios::binary) << "running\n";
  std::ofstream(scratch.path / "status", std::ios::binary) << "failed\ndisk \"full\"\t!\n\ncode 5";
  EXPECT_EQ(post(), R"({"type":"failed","message":"disk \"full\"\t!  code 5","log":"C:\\Temp\\a\"b.log"})");
  std::ofstream(scratch.path / "status", std::ios::binary) << "done\n";
  EXPECT_EQ(next_post(setup, std::chrono::milliseconds(600)), std::nullopt);  // finished once
  EXPECT_TRUE(appears(scratch.path / "shots" / "shot-1500.png", std::chrono::seconds(20)));
  EXPECT_TRUE(contents(scratch.path / "shots" / "shot-0.png").starts_with(kPngSignature));
  ASSERT_TRUE(setup.send("close"));
  EXPECT_EQ(setup.wait(std::chrono::seconds(60)), 0);
  EXPECT_EQ(contents(scratch.path / "result"), "close");
}

// The stand-in's data folder, from its "data" line, as a path here.
fs::path data_folder_of(const StandIn& s) {
  for (const std::string& line : s.first_lines)
    if (line.starts_with("data ")) return on_drive_c(line.substr(5));
  ADD_FAILURE() << "no data line";
  return {};
}

// Reports until the logo's alpha is the given one.
bool logo_alpha_reaches(Background& setup, int alpha, std::chrono::seconds deadline) {
  auto until = std::chrono::steady_clock::now() + deadline;
  while (std::chrono::steady_clock::now() < until) {
    Report r = report(setup);
    if (r.logo_visible && r.logo_alpha == alpha) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

TEST(SetupWindow, TheLogoFadesInFullyAgainAfterADpiChange) {
  auto s = stand_in({});
  Background& setup = *s.process;
  ASSERT_TRUE(setup.send(R"(page {"type":"overhang","show":true})"));
  ASSERT_TRUE(logo_alpha_reaches(setup, 255, std::chrono::seconds(30)));
  // Made again at the new dpi, shown at alpha 0 and faded in by its timer.
  ASSERT_TRUE(setup.send("dpi"));
  EXPECT_EQ(setup.next_line(std::chrono::seconds(20)), "dpi changed");
  EXPECT_TRUE(logo_alpha_reaches(setup, 255, std::chrono::seconds(30)));
  ASSERT_TRUE(setup.send("close"));
  EXPECT_EQ(setup.wait(std::chrono::seconds(60)), 0);
}

TEST(SetupPage, OnlyThePageItselfMayAnswer) {
  Scratch scratch;
  auto s = stand_in({"--result", scratch.windows("result"), "--ready", scratch.windows("ready")});
  Background& setup = *s.process;
  // The page followed a link: what the other site posts does nothing.
  for (const char* source : {"https://evil/?https://setup.orvelle.example/",
                             "https://setup.orvelle.example.evil/setup.html"}) {
    ASSERT_TRUE(setup.send(std::string("from ") + source + R"( {"type":"ready"})"));
    ASSERT_TRUE(setup.send(std::string("from ") + source + R"( {"type":"start"})"));
  }
  Report r = report(setup);  // after the commands before it
  EXPECT_GT(r.main.right, r.main.left);
  EXPECT_FALSE(fs::exists(scratch.path / "ready"));
  EXPECT_FALSE(fs::exists(scratch.path / "result"));
  ASSERT_TRUE(setup.send(R"(from https://setup.orvelle.example/setup.html#step2 {"type":"start"})"));
  EXPECT_EQ(setup.wait(std::chrono::seconds(60)), 0);
  EXPECT_EQ(contents(scratch.path / "result"), "start");
}

TEST(SetupData, ItsFolderGoesWhenTheStartUpFailsAfterMakingIt) {
  Scratch scratch;
  Outcome o = run_windows(ORVELLE_SETUP_STAND_IN_EXE,
                          {"--stand-in-fail", "--result", scratch.windows("result")});
  EXPECT_EQ(o.exit_code, 2);
  EXPECT_EQ(o.err, "orvelle-setup: stand-in page: failed after its data folder (0x80004005)\n");
  static const std::regex kData(R"(data ([^\n]+)\n)");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(o.out, m, kData)) << o.out;
  EXPECT_FALSE(fs::exists(on_drive_c(m[1]))) << m[1];
  EXPECT_TRUE(fs::is_empty(scratch.path));
}

TEST(SetupData, FoldersOfEndedRunsAreSweptAndRunningOnesKept) {
  StandIn running = stand_in({});
  fs::path running_data = data_folder_of(running);
  StandIn ended = stand_in({});
  fs::path ended_data = data_folder_of(ended);
  ASSERT_TRUE(fs::is_directory(ended_data));
  ended.process.reset();  // ended from outside, as an installer may: no clean-up runs
  EXPECT_TRUE(fs::is_directory(ended_data));

  StandIn next = stand_in({});
  EXPECT_FALSE(fs::exists(ended_data));
  EXPECT_TRUE(fs::is_directory(running_data));
  fs::path next_data = data_folder_of(next);
  for (StandIn* s : {&running, &next}) {
    ASSERT_TRUE(s->process->send("close"));
    EXPECT_EQ(s->process->wait(std::chrono::seconds(60)), 0);
  }
  EXPECT_FALSE(fs::exists(running_data));
  EXPECT_FALSE(fs::exists(next_data));
}

// A folder and a file that planted links lead to, outside every folder the
// program removes, and whether they still hold what they were made with.
struct LinkTargets {
  fs::path folder, file;
  explicit LinkTargets(const Scratch& scratch)
      : folder(scratch.path / "victim"), file(scratch.path / "victim.txt") {
    fs::create_directories(folder / "deep");
    std::ofstream(folder / "precious.txt") << "precious";
    std::ofstream(folder / "deep" / "also.txt") << "also";
    std::ofstream(file) << "file";
  }
  bool whole() const {
    return contents(folder / "precious.txt") == "precious" &&
           contents(folder / "deep" / "also.txt") == "also" && contents(file) == "file";
  }
};

// Plants in folder what a sweep must take down and what it must leave: a
// link to a folder, a link to a file, a read-only file and nested folders.
void plant(const fs::path& folder, const LinkTargets& targets) {
  fs::create_directories(folder / "EBWebView" / "nested" / "deeper");
  std::ofstream(folder / "EBWebView" / "nested" / "deeper" / "x.txt") << "x";
  std::ofstream(folder / "EBWebView" / "read-only.txt") << "r";
  fs::permissions(folder / "EBWebView" / "read-only.txt", fs::perms::owner_read | fs::perms::group_read);
  fs::create_directory_symlink(targets.folder, folder / "EBWebView" / "inner");
  fs::create_symlink(targets.file, folder / "file-link");
}

// What a removal of a planted folder left, links not followed: nothing, or
// under Wine the links and the folders that hold them. Wine opens every
// link made on the Unix side as what it points to, so no Windows call can
// remove the link itself; everything else must be gone.
std::set<std::string> left_after_removal(const fs::path& folder) {
  std::set<std::string> left;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec))
    left.insert(it->path().lexically_relative(folder).string());
  return left;
}
const std::set<std::string> kOnlyLinksLeft = {"EBWebView", "EBWebView/inner", "file-link"};

// The user's temporary folder under Wine, as a path here: the parent of the
// data folder a start that fails at once names.
fs::path wine_temp_folder() {
  Outcome o = run_windows(ORVELLE_SETUP_STAND_IN_EXE, {"--stand-in-fail"});
  static const std::regex kData(R"(data ([^\n]+)\n)");
  std::smatch m;
  if (!std::regex_search(o.out, m, kData)) {
    ADD_FAILURE() << o.out << o.err;
    return {};
  }
  return on_drive_c(m[1]).parent_path();
}

TEST(SetupData, TheStartUpSweepRemovesLinksAsLinksAndLeavesTheirTargetsWhole) {
  ASSERT_TRUE(fs::exists(ORVELLE_SETUP_EXE));
  Scratch scratch;
  LinkTargets targets(scratch);
  fs::path temp = wine_temp_folder();
  ASSERT_FALSE(temp.empty());
  // An odd number is never a Windows process id: the run has surely ended.
  fs::path stale = temp / "orvelle-setup-webview-999983";
  fs::remove_all(stale);
  plant(stale, targets);

  Outcome o = run_windows(ORVELLE_SETUP_EXE, {"--ui", scratch.windows("ui"), "--result",
                                              scratch.windows("result"), "--offscreen"});
  EXPECT_EQ(o.exit_code, 2) << o.err;  // no WebView2 here: it ends after the sweep
  EXPECT_TRUE(targets.whole());
  std::set<std::string> left = left_after_removal(stale);
  if (!left.empty()) {
    EXPECT_EQ(left, kOnlyLinksLeft);
  }
  EXPECT_FALSE(fs::exists(scratch.path / "result"));
  fs::remove_all(stale);
}

TEST(SetupData, ItsOwnFolderGoesAtTheEndWithoutFollowingALinkPlantedInIt) {
  Scratch scratch;
  LinkTargets targets(scratch);
  auto s = stand_in({"--result", scratch.windows("result")});
  fs::path data = data_folder_of(s);
  ASSERT_TRUE(fs::is_directory(data / "EBWebView"));
  plant(data, targets);  // while the window runs

  ASSERT_TRUE(s.process->send(R"(page {"type":"start"})"));
  EXPECT_EQ(s.process->wait(std::chrono::seconds(60)), 0);
  EXPECT_EQ(contents(scratch.path / "result"), "start");
  EXPECT_TRUE(targets.whole());
  std::set<std::string> left = left_after_removal(data);
  if (!left.empty()) {
    EXPECT_EQ(left, kOnlyLinksLeft);
  }
  fs::remove_all(data);
}

TEST(SetupData, ATemporaryFolderThatCannotBeUsedIsAFailedStart) {
  // Set inside Wine: it takes neither TMP nor TEMP from here. Its own
  // GetTempPathW makes a relative one full, so the stand-in gives the
  // program one that is not.
  std::string too_long = "C:\\" + std::string(300, 't');
  std::string exe = "Z:" + std::string(ORVELLE_SETUP_EXE);
  std::ranges::replace(exe, '/', '\\');
  Outcome o = run_windows("cmd", {"/c", "set TMP=" + too_long + "&& set TEMP=" + too_long + "&& " + exe +
                                            " --result Z:\\nowhere\\result --offscreen"});
  EXPECT_EQ(o.exit_code, 2);
  EXPECT_TRUE(std::regex_match(o.err, std::regex(R"(orvelle-setup: temporary folder: [^\n]+ \(0x800700CE\)\n)")))
      << o.err;

  Scratch scratch;
  o = run_windows(ORVELLE_SETUP_STAND_IN_EXE,
                  {"--stand-in-temp", "relative\\temp", "--result", scratch.windows("result")});
  EXPECT_EQ(o.exit_code, 2);
  EXPECT_EQ(o.err, "orvelle-setup: temporary folder: not a full path: relative\\temp (0x800700A1)\n");
  EXPECT_EQ(o.out, "");  // no data folder made
  EXPECT_TRUE(fs::is_empty(scratch.path));
}

// The install folder is walked by its full path in the long form: deeper
// than MAX_PATH, and with a name the short form would trim ("sub." is
// "sub" there, which does not exist) still counted.
TEST(SetupStatus, TheDiskIsCountedInAFolderDeeperThanMaxPath) {
  Scratch scratch;
  fs::path dir = scratch.path;
  for (int i = 0; i < 6; ++i) dir /= std::string(50, char('a' + i));
  fs::create_directories(dir / "sub.");
  std::ofstream(dir / "a.bin", std::ios::binary) << std::string(1024, 'x');
  std::ofstream(dir / "sub." / "b.bin", std::ios::binary) << std::string(1024, 'x');
  std::string windows = "Z:" + dir.string();
  std::ranges::replace(windows, '/', '\\');
  ASSERT_GT(windows.size(), 260u);
  auto s = stand_in({"--dir", windows, "--expect", "4"});
  EXPECT_EQ(next_post(*s.process, std::chrono::seconds(20)), R"({"type":"progress","value":0.5000})");
  ASSERT_TRUE(s.process->send("close"));
  EXPECT_EQ(s.process->wait(std::chrono::seconds(60)), 0);
}

TEST(SetupStatus, DoneOnceAbortAtOnceAndTheDemo) {
  {
    Scratch scratch;
    std::ofstream(scratch.path / "status", std::ios::binary) << "done\r\nlater lines";
    auto s = stand_in({"--status", scratch.windows("status")});
    EXPECT_EQ(next_post(*s.process, std::chrono::seconds(5)), std::string(R"({"type":"installed"})"));
    EXPECT_EQ(next_post(*s.process, std::chrono::milliseconds(600)), std::nullopt);
  }
  {
    Scratch scratch;
    std::ofstream(scratch.path / "status", std::ios::binary) << "abort";
    auto s = stand_in({"--status", scratch.windows("status"), "--result", scratch.windows("result")});
    EXPECT_EQ(s.process->wait(std::chrono::seconds(60)), 0);
    EXPECT_FALSE(fs::exists(scratch.path / "result"));
  }
  {
    auto s = stand_in({"--demo"});
    auto first = next_post(*s.process, std::chrono::seconds(5));
    ASSERT_TRUE(first);
    double v = std::stod(first->substr(first->find("value\":") + 7));
    EXPECT_GT(v, 0.0);
    EXPECT_LT(v, 0.1);
  }
}

}  // namespace
}  // namespace orvelle::e2e
