#pragma once
// What the window tells the page: progress, and the installation's end.

#include <optional>
#include <string>
#include <string_view>

namespace orvelle::setup {

// {"type":"progress","value":V}, V with exactly four decimals.
std::string progress_message(double value);
inline constexpr std::string_view kInstalledMessage = R"({"type":"installed"})";
// {"type":"failed","message":M,"log":L}.
std::string failed_message(std::string_view message, std::string_view log);

// Progress never goes backwards nor below 0, and a change under 0.002 is
// not worth a message: the value to send, if any, with last updated.
std::optional<double> progress_to_send(double& last, double value);

}  // namespace orvelle::setup
