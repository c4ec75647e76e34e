// The Windows halves Wine can run: the polled wait for an asynchronous
// operation, the agile event delegate and what a session's properties are
// asked for, each against a COM fake of our own written from the documented
// behaviour.

#include "bridge/event_handler_win.h"
#include "bridge/platform_win.h"
#include "bridge/volume.h"
#include "bridge/volume_win.h"
#include "bridge/wait_async_win.h"
#include "common/win/media_control.h"

#include <winstring.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cwchar>
#include <map>
#include <string>

namespace orvelle::media {
namespace {

using namespace std::chrono_literals;

// An IAsyncOperation<Boolean> that finishes after a number of status queries
// (never, when negative).
class FakeBoolOperation final : public win::ComObject<win::IBoolOperation, IAsyncInfo> {
 public:
  FakeBoolOperation(int polls, AsyncStatus end, HRESULT results, boolean value)
      : polls_(polls), end_(end), results_(results), value_(value) {}
  int cancels = 0, queries = 0;

  HRESULT STDMETHODCALLTYPE put_Completed(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Completed(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetResults(boolean* value) override {
    *value = value_;
    return results_;
  }
  HRESULT STDMETHODCALLTYPE get_Id(unsigned* id) override {
    *id = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override {
    ++queries;
    *status = polls_ >= 0 && queries > polls_ ? end_ : AsyncStatus::Started;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override {
    *code = results_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override {
    ++cancels;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  int polls_;
  AsyncStatus end_;
  HRESULT results_;
  boolean value_;
};

TEST(WaitAsync, TakesTheResultOnceFinished) {
  auto op = win::make_com<FakeBoolOperation>(5, AsyncStatus::Completed, S_OK, TRUE);
  boolean value = FALSE;
  ASSERT_TRUE(wait_async(static_cast<win::IBoolOperation*>(op.get()), &value));
  EXPECT_TRUE(value);
  EXPECT_EQ(op->queries, 6);
  EXPECT_EQ(op->cancels, 0);
}

TEST(WaitAsync, AFailedOperationGivesItsError) {
  auto op = win::make_com<FakeBoolOperation>(0, AsyncStatus::Error, E_ACCESSDENIED, FALSE);
  boolean value = FALSE;
  Status s = wait_async(static_cast<win::IBoolOperation*>(op.get()), &value);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().code, static_cast<std::uint32_t>(E_ACCESSDENIED));
}

TEST(WaitAsync, GivesUpAfterThreeSecondsAndCancels) {
  auto op = win::make_com<FakeBoolOperation>(-1, AsyncStatus::Completed, S_OK, TRUE);
  boolean value = FALSE;
  auto start = std::chrono::steady_clock::now();
  Status s = wait_async(static_cast<win::IBoolOperation*>(op.get()), &value);
  auto took = std::chrono::steady_clock::now() - start;
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().code, hresult::kAbort);
  EXPECT_EQ(op->cancels, 1);
  EXPECT_GE(took, 3s);
  EXPECT_LT(took, 5s);
  EXPECT_GT(op->queries, 100);  // polled every few milliseconds, not once
}

// Media properties whose every read is counted; an artist of null cannot
// be read.
class FakeProperties final : public win::ComObject<win::IMediaProperties> {
 public:
  explicit FakeProperties(const wchar_t* artist) : artist_(artist) {}
  std::map<std::string, int> reads;

  HRESULT STDMETHODCALLTYPE get_Title(HSTRING* v) override { return text("title", L"Song", v); }
  HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* v) override { return text("subtitle", L"", v); }
  HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* v) override { return text("album artist", L"Various", v); }
  HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* v) override {
    if (artist_) return text("artist", artist_, v);
    ++reads["artist"];
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* v) override { return text("album", L"Record", v); }
  HRESULT STDMETHODCALLTYPE get_TrackNumber(std::int32_t*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Genres(IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_AlbumTrackCount(std::int32_t*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Thumbnail(win::IRandomAccessStreamReference** v) override {
    ++reads["thumbnail"];
    *v = nullptr;
    return S_OK;
  }

 private:
  HRESULT text(const char* what, const wchar_t* value, HSTRING* out) {
    ++reads[what];
    return WindowsCreateString(value, static_cast<UINT32>(std::wcslen(value)), out);
  }
  const wchar_t* artist_;
};

// The album artist is asked for only when it stands in for the artist.
TEST(SessionReading, TheAlbumArtistOnlyForAnEmptyArtist) {
  struct Case {
    const wchar_t* artist;
    int album_artist_reads;
  } cases[] = {{L"Band", 0}, {L"", 1}, {nullptr, 1}};
  for (const Case& c : cases) {
    auto props = win::make_com<FakeProperties>(c.artist);
    TrackProperties t = track_properties_of(*props.get());
    EXPECT_EQ(props->reads["album artist"], c.album_artist_reads);
    EXPECT_EQ(t.album_artist.has_value(), c.album_artist_reads == 1);
    EXPECT_EQ(t.title, "Song");
    EXPECT_EQ(t.album, "Record");
    EXPECT_EQ(props->reads["title"] + props->reads["artist"] + props->reads["album"], 3);
  }
}

// Playback controls and info whose every read is counted.
class FakeControls final : public win::ComObject<win::IPlaybackControls> {
 public:
  explicit FakeControls(std::map<std::string, int>& reads, boolean toggle) : reads_(reads), toggle_(toggle) {}
  HRESULT STDMETHODCALLTYPE get_IsPlayEnabled(boolean* v) override { return flag("play", TRUE, v); }
  HRESULT STDMETHODCALLTYPE get_IsPauseEnabled(boolean* v) override { return flag("pause", TRUE, v); }
  HRESULT STDMETHODCALLTYPE get_IsStopEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsRecordEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsFastForwardEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsRewindEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsNextEnabled(boolean* v) override { return flag("next", TRUE, v); }
  HRESULT STDMETHODCALLTYPE get_IsPreviousEnabled(boolean* v) override { return flag("previous", FALSE, v); }
  HRESULT STDMETHODCALLTYPE get_IsChannelUpEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsChannelDownEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsPlayPauseToggleEnabled(boolean* v) override { return flag("toggle", toggle_, v); }

 private:
  HRESULT flag(const char* what, boolean value, boolean* out) {
    ++reads_[what];
    *out = value;
    return S_OK;
  }
  std::map<std::string, int>& reads_;
  boolean toggle_;
};

class FakeRate final : public win::ComObject<win::IReferenceDouble> {
 public:
  HRESULT STDMETHODCALLTYPE get_Value(double* v) override {
    *v = 1.5;
    return S_OK;
  }
};

class FakePlaybackInfo final : public win::ComObject<win::IPlaybackInfo> {
 public:
  explicit FakePlaybackInfo(boolean toggle) : toggle_(toggle) {}
  std::map<std::string, int> reads;
  HRESULT STDMETHODCALLTYPE get_Controls(win::IPlaybackControls** v) override {
    ++reads["controls"];
    *v = win::make_com<FakeControls>(reads, toggle_).detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_PlaybackStatus(std::int32_t* v) override {
    ++reads["status"];
    *v = kPaused;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_PlaybackRate(win::IReferenceDouble** v) override {
    ++reads["rate"];
    *v = win::make_com<FakeRate>().detach();
    return S_OK;
  }

 private:
  boolean toggle_;
};

// The status pass reads the status alone; "toggle" its control, and the
// status only when the control is off; a state reading everything.
TEST(SessionReading, EachCallerReadsWhatItNeeds) {
  using M = std::map<std::string, int>;
  struct Case {
    PlaybackReading what;
    boolean toggle;
    M reads;
  } cases[] = {
      {PlaybackReading::status, TRUE, M{{"status", 1}}},
      {PlaybackReading::toggle, TRUE, M{{"controls", 1}, {"toggle", 1}}},
      {PlaybackReading::toggle, FALSE, M{{"controls", 1}, {"toggle", 1}, {"status", 1}}},
      {PlaybackReading::all, TRUE,
       M{{"status", 1}, {"controls", 1}, {"toggle", 1}, {"previous", 1}, {"next", 1}, {"play", 1},
         {"pause", 1}, {"rate", 1}}},
  };
  for (const Case& c : cases) {
    auto info = win::make_com<FakePlaybackInfo>(c.toggle);
    PlaybackInfo out = playback_info_of(*info.get(), c.what);
    EXPECT_EQ(info->reads, c.reads) << static_cast<int>(c.what);
    ASSERT_TRUE(out.controls);
    if (c.what == PlaybackReading::all) {
      EXPECT_EQ(out.status, kPaused);
      EXPECT_EQ(out.rate, 1.5);
      EXPECT_FALSE(out.controls->previous);
      EXPECT_TRUE(out.controls->next && out.controls->play && out.controls->pause);
    }
  }
}

TEST(EventHandler, AgileFreeThreadedDelegate) {
  std::atomic<int> calls = 0;
  auto keep = std::make_shared<int>(0);
  std::weak_ptr<int> alive = keep;
  auto handler = win::make_com<EventHandler<win::ISessionsChangedHandler>>(
      [&calls, keep = std::move(keep)] { ++calls; });
  for (const IID& iid : {__uuidof(IUnknown), __uuidof(IAgileObject), __uuidof(IMarshal),
                         __uuidof(win::ISessionsChangedHandler)}) {
    win::ComPtr<IUnknown> out;
    EXPECT_EQ(handler->QueryInterface(iid, out.put_void()), S_OK);
    EXPECT_TRUE(out);
  }
  win::ComPtr<IUnknown> other;
  EXPECT_EQ(handler->QueryInterface(__uuidof(win::ICurrentSessionChangedHandler), other.put_void()),
            E_NOINTERFACE);
  EXPECT_EQ(handler->QueryInterface(__uuidof(IUnknown), nullptr), E_POINTER);
  EXPECT_EQ(handler->Invoke(nullptr, nullptr), S_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(alive.expired());
  handler.reset();
  EXPECT_TRUE(alive.expired());  // the sink goes with the last reference
}

}  // namespace
}  // namespace orvelle::media

namespace orvelle::media {
namespace {

// Wine has no GetApplicationUserModelId: the query is found at run time,
// and a desktop process then has no app id, only its executable's path.
TEST(ProcessIdentity, OwnProcess) {
  auto who = process_identity(GetCurrentProcessId());
  ASSERT_TRUE(who);
  EXPECT_TRUE(who->image_path.ends_with("media_win_tests.exe")) << who->image_path;
  EXPECT_TRUE(process_matches("x.media_win_tests!App", *who));
  EXPECT_FALSE(process_identity(0));
}

}  // namespace
}  // namespace orvelle::media
