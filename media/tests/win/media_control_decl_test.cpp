// Our media-session declarations compile in the Windows build, and the ids
// of the parameterised ones are what the id rule gives for their type
// signatures.

#include "common/win/guid.h"
#include "common/win/media_control.h"
#include "common/winrt_iid.h"

#include <gtest/gtest.h>

namespace orvelle::win {
namespace {

std::string text(const GUID& g) { return guid_text(portable_guid(g)); }

std::string rc(const char* name, const GUID& iid) {
  return signature::runtime_class(std::string("Windows.Media.Control.") + name,
                                  signature::interface_type(text(iid)));
}

TEST(MediaControlDeclarations, ParameterisedIdsFollowTheRule) {
  namespace s = signature;
  namespace g = generic_iid;
  auto id = [](const std::string& sig) { return guid_text(winrt_iid(sig)); };
  const std::string manager =
      rc("GlobalSystemMediaTransportControlsSessionManager", __uuidof(IMediaSessionManager));
  const std::string session = rc("GlobalSystemMediaTransportControlsSession", __uuidof(IMediaSession));
  const std::string props =
      rc("GlobalSystemMediaTransportControlsSessionMediaProperties", __uuidof(IMediaProperties));
  auto args = [](const char* name, const char* iid) {
    return s::runtime_class(std::string("Windows.Media.Control.") + name, s::interface_type(iid));
  };
  EXPECT_EQ(text(__uuidof(IManagerOperation)), id(s::pinterface(g::kAsyncOperation, {manager})));
  EXPECT_EQ(text(__uuidof(IMediaPropertiesOperation)), id(s::pinterface(g::kAsyncOperation, {props})));
  EXPECT_EQ(text(__uuidof(IStreamOperation)),
            id(s::pinterface(g::kAsyncOperation,
                             {s::interface_type("cc254827-4b3d-438f-9232-10c76bc7e038")})));
  EXPECT_EQ(text(__uuidof(IBoolOperation)), id(s::pinterface(g::kAsyncOperation, {s::kBoolean})));
  EXPECT_EQ(text(__uuidof(ISessionList)), id(s::pinterface(g::kVectorView, {session})));
  EXPECT_EQ(text(__uuidof(IReferenceDouble)),
            id(s::pinterface("61c17706-2d65-11e0-9ae8-d48564015472", {"f8"})));
  EXPECT_EQ(text(__uuidof(ICurrentSessionChangedHandler)),
            id(s::pinterface(g::kTypedEventHandler,
                             {manager, args("CurrentSessionChangedEventArgs",
                                            "6969cb39-0bfa-5fe0-8d73-09cc5e5408e1")})));
  EXPECT_EQ(text(__uuidof(ISessionsChangedHandler)),
            id(s::pinterface(g::kTypedEventHandler,
                             {manager, args("SessionsChangedEventArgs",
                                            "bbf0cd32-42c4-5a58-b317-f34bbfbd26e0")})));
  EXPECT_EQ(text(__uuidof(IMediaPropertiesChangedHandler)),
            id(s::pinterface(g::kTypedEventHandler,
                             {session, args("MediaPropertiesChangedEventArgs",
                                            "7d3741cb-adf0-5cef-91ba-cfabcdd77678")})));
  EXPECT_EQ(text(__uuidof(IPlaybackInfoChangedHandler)),
            id(s::pinterface(g::kTypedEventHandler,
                             {session, args("PlaybackInfoChangedEventArgs",
                                            "786756c2-bc0d-50a5-8807-054291fef139")})));
  EXPECT_EQ(text(__uuidof(ITimelinePropertiesChangedHandler)),
            id(s::pinterface(g::kTypedEventHandler,
                             {session, args("TimelinePropertiesChangedEventArgs",
                                            "29033a2f-c923-5a77-bcaf-055ff415ad32")})));
}

}  // namespace
}  // namespace orvelle::win
