#pragma once
// Where the setup page is found: the page's address with the installer's
// values in its query, and the browser's own data folder.

#include "main/options.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvelle::setup {

// The host name the page folder is served under; the page's own links use
// the same name.
inline constexpr std::string_view kPageHost = "setup.orvelle.example";

// Unreserved bytes stay, every other byte of the UTF-8 text becomes "%XX".
std::string percent_encode(std::string_view text);

// "https://{host}/setup.html?lang=…&dir=…&version=…&log=…".
std::string page_address(const SetupOptions& options);

// The browser's data folder inside the temporary folder. It carries the
// process id: the folder is removed when the window closes, and a second
// window (the installer's retry starts one) must not lose its data then.
std::string user_data_folder(std::string_view temp_folder, std::uint32_t process_id);

}  // namespace orvelle::setup
