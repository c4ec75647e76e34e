// The interface-id rule against ids that mingw-w64's own WinRT headers carry
// (windows.foundation.h, windows.media.speechsynthesis.h): each one fixes the
// hash, the byte order, the version and variant bits and the signature text.
// The ids of our own capture declarations are checked against it in
// capture_decl_test.cpp.

#include "common/sha1.h"
#include "common/winrt_iid.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

namespace orvelle {
namespace {

std::string hex(const Sha1Digest& d) {
  std::string out;
  for (auto b : d) out += fmt::format("{:02x}", b);
  return out;
}

TEST(Sha1, PublishedVectors) {
  EXPECT_EQ(hex(sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(hex(sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  // 56 bytes: the length no longer fits the first padded block.
  EXPECT_EQ(hex(sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(hex(sha1(std::string(1000, 'a'))), "291e9a6c66994949b57ba5e650361e98fc36b1ba");
}

TEST(WinRtIid, MatchesTheIdsMingwHeadersCarry) {
  namespace s = signature;
  namespace g = generic_iid;
  const std::string voice = s::runtime_class("Windows.Media.SpeechSynthesis.VoiceInformation",
                                             s::interface_type("B127D6A4-1291-4604-AA9C-83134083352C"));
  const std::string stream =
      s::runtime_class("Windows.Media.SpeechSynthesis.SpeechSynthesisStream",
                       s::interface_type("83e46e93-244c-4622-ba0b-6229c4d0d65d"));
  struct Case {
    std::string signature, iid;
  } cases[] = {
      {s::pinterface(g::kAsyncOperation, {s::kBoolean}), "cdb5efb3-5788-509d-9be1-71ccb8a3362a"},
      {s::pinterface(g::kAsyncOperationCompletedHandler, {s::kBoolean}),
       "c1d3d1a2-ae17-5a5f-b5a2-bdcc8844889a"},
      // mingw's windows.foundation.h gives fca5679c-bfd4-5187-8b2d-de225049b346 here, an id
      // no signature hashes to; the platform's own headers and metadata use this one.
      {s::pinterface(g::kVectorView, {s::kString}), "2f13c006-a03a-5f69-b090-75a43e33423e"},
      {s::pinterface(g::kVectorView, {s::interface_type("1803def8-dca5-4b6f-9c20-e3d3c0643625")}),
       "b543562c-02b1-5824-80a8-9854130cdadd"},
      {s::pinterface(g::kVectorView, {voice}), "ee8d63ce-51ac-5984-891b-d232fa7f6453"},
      {s::pinterface(g::kIterable, {voice}), "3c33bb52-bd98-5c8c-adee-ee8da0628efc"},
      {s::pinterface(g::kIterator, {voice}), "12d40a27-ae8d-5fb0-8fed-00165d59c6ab"},
      {s::pinterface(g::kAsyncOperation, {stream}), "df9d48ad-9cea-560c-9edc-cb8852cb55e3"},
      {s::pinterface(g::kAsyncOperationCompletedHandler, {stream}),
       "c972b996-6165-50d4-af60-a8c3df51d092"},
  };
  for (const auto& c : cases) EXPECT_EQ(guid_text(winrt_iid(c.signature)), c.iid) << c.signature;
}

TEST(WinRtIid, SignatureText) {
  EXPECT_EQ(signature::pinterface(generic_iid::kTypedEventHandler,
                                  {signature::runtime_class("N.C", signature::interface_type("AB-CD")),
                                   signature::kObject}),
            "pinterface({9de1c534-6ae1-11e0-84e1-18a905bcc53f};rc(N.C;{ab-cd});"
            "cinterface(IInspectable))");
  EXPECT_EQ(signature::enumeration("N.E"), "enum(N.E;i4)");
  EXPECT_EQ(signature::enumeration("N.F", true), "enum(N.F;u4)");
  EXPECT_EQ(signature::delegate_type("AB"), "delegate({ab})");
}

}  // namespace
}  // namespace orvelle
