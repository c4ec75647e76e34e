#pragma once
// Where the setup page is found: the page's address with the installer's
// values in its query, and the origin its messages must come from.

#include "main/options.h"

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

// Whether a web message comes from the setup page: its source is on
// "https://{host}/". A page that followed a link elsewhere may not answer
// for the user.
bool is_page_source(std::string_view uri);

}  // namespace orvelle::setup
