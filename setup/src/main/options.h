#pragma once
// The command line of orvelle-setup, as the installer writes it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::setup {

// Paths and texts are UTF-8; an optional path is present, possibly empty,
// once its option was given.
struct SetupOptions {
  std::string ui;
  std::string lang = "en";
  std::string dir;
  std::string version;
  std::vector<std::uint64_t> shot_at;  // milliseconds from the loop's start
  std::optional<std::string> ready;
  std::optional<std::string> status;
  std::optional<std::string> result;
  std::optional<std::string> setup;
  std::optional<std::string> log;
  std::optional<std::string> shots;  // absent when given empty
  std::uint64_t expect = 0;  // KiB; 0: no disk progress
  bool demo = false;
  bool offscreen = false;
};

// The arguments after the program's name. Nothing is refused: the
// installer's line must never keep the window from opening.
SetupOptions parse_setup_options(const std::vector<std::string>& args);

// The window title in the page's language.
std::string window_title(const SetupOptions& options);

}  // namespace orvelle::setup
