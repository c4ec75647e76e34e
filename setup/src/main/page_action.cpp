#include "main/page_action.h"

namespace orvelle::setup {

PageAction page_action(const PageMessage& m) {
  if (m.type == "drag") return PageAction::Drag;
  if (m.type == "ready") return PageAction::Ready;
  if (m.type == "close") return PageAction::Close;
  if (m.type == "start") return PageAction::Start;
  if (m.type == "retry") return PageAction::Retry;
  if (m.type == "minimize") return PageAction::Minimize;
  if (m.type == "overhang") return m.show ? PageAction::ShowLogo : PageAction::HideLogo;
  return PageAction::Ignore;
}

}  // namespace orvelle::setup
