#pragma once
// What a page message asks of the window. The page can cause only these.

#include "main/page_message.h"

namespace orvelle::setup {

enum class PageAction { Ignore, Drag, Ready, Close, Start, Retry, Minimize, ShowLogo, HideLogo };

// Exact, case-sensitive types; any other type is ignored.
PageAction page_action(const PageMessage& message);

}  // namespace orvelle::setup
