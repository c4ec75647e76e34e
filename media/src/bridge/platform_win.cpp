#include "bridge/platform_win.h"

#include "bridge/activation_win.h"
#include "bridge/art_win.h"
#include "bridge/event_handler_win.h"
#include "bridge/volume_win.h"
#include "bridge/wait_async_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/hstring.h"
#include "common/win/media_control.h"

#include <objbase.h>
#include <roapi.h>
#include <windows.h>


namespace orvelle::media {
namespace {

using win::ComPtr;

// A text property; a null HSTRING is the empty text.
template <typename Object, typename Getter>
Result<std::string> text_of(Object* object, Getter getter) {
  win::HString value;
  ORVELLE_TRY(win::checked((object->*getter)(value.put())));
  return value.utf8();
}

template <typename Object, typename Getter>
std::optional<std::string> maybe_text(Object* object, Getter getter) {
  Result<std::string> value = text_of(object, getter);
  if (!value) return std::nullopt;
  return std::move(*value);
}

template <typename Handler, typename Source, typename Add, typename Remove>
class WinRegistration final : public Registration {
 public:
  WinRegistration(ComPtr<Source> source, EventRegistrationToken token, Remove remove)
      : source_(std::move(source)), token_(token), remove_(remove) {}
  ~WinRegistration() override { (void)(source_.get()->*remove_)(token_); }

  static Result<std::unique_ptr<Registration>> add(ComPtr<Source> source, Add add, Remove remove,
                                                   EventSink sink) {
    auto handler = win::make_com<EventHandler<Handler>>(std::move(sink));
    EventRegistrationToken token{};
    ORVELLE_TRY(win::checked((source.get()->*add)(handler.get(), &token)));
    return std::unique_ptr<Registration>(new WinRegistration(std::move(source), token, remove));
  }

 private:
  ComPtr<Source> source_;
  EventRegistrationToken token_;
  Remove remove_;
};

template <typename Handler, typename Source, typename Add, typename Remove>
Result<std::unique_ptr<Registration>> register_event(const ComPtr<Source>& source, Add add,
                                                     Remove remove, EventSink sink) {
  return WinRegistration<Handler, Source, Add, Remove>::add(source, add, remove, std::move(sink));
}

class WinSession final : public MediaSession {
 public:
  explicit WinSession(ComPtr<win::IMediaSession> session) : session_(std::move(session)) {}

  Result<std::string> app_id() override {
    return text_of(session_.get(), &win::IMediaSession::get_SourceAppUserModelId);
  }

  Result<TrackProperties> media_properties() override {
    ComPtr<win::IMediaPropertiesOperation> op;
    ORVELLE_TRY(win::made(session_->TryGetMediaPropertiesAsync(op.put()), op));
    ComPtr<win::IMediaProperties> props;
    ORVELLE_TRY(wait_async(op.get(), props.put()));
    if (!props) return error(win::no_object());
    return track_properties_of(*props.get());
  }

  Result<PlaybackInfo> playback_info(PlaybackReading what) override {
    ComPtr<win::IPlaybackInfo> info;
    ORVELLE_TRY(win::made(session_->GetPlaybackInfo(info.put()), info));
    return playback_info_of(*info.get(), what);
  }

  Result<TimelineTicks> timeline() override {
    ComPtr<win::ITimelineProperties> t;
    ORVELLE_TRY(win::made(session_->GetTimelineProperties(t.put()), t));
    win::WinRtTimeSpan start{}, end{}, position{};
    win::WinRtDateTime updated{};
    ORVELLE_TRY(win::checked(t->get_StartTime(&start)));
    ORVELLE_TRY(win::checked(t->get_EndTime(&end)));
    ORVELLE_TRY(win::checked(t->get_Position(&position)));
    ORVELLE_TRY(win::checked(t->get_LastUpdatedTime(&updated)));
    return TimelineTicks{start.Duration, end.Duration, position.Duration, updated.UniversalTime};
  }

  Result<bool> request(PlaybackRequest what) override {
    using S = win::IMediaSession;
    HRESULT (STDMETHODCALLTYPE S::*call)(win::IBoolOperation**) = &S::TryPlayAsync;
    switch (what) {
      case PlaybackRequest::play: break;
      case PlaybackRequest::pause: call = &S::TryPauseAsync; break;
      case PlaybackRequest::toggle: call = &S::TryTogglePlayPauseAsync; break;
      case PlaybackRequest::next: call = &S::TrySkipNextAsync; break;
      case PlaybackRequest::previous: call = &S::TrySkipPreviousAsync; break;
    }
    ComPtr<win::IBoolOperation> op;
    ORVELLE_TRY(win::made((session_.get()->*call)(op.put()), op));
    return answer(op);
  }

  Result<bool> seek(std::int64_t position) override {
    ComPtr<win::IBoolOperation> op;
    ORVELLE_TRY(win::made(session_->TryChangePlaybackPositionAsync(position, op.put()), op));
    return answer(op);
  }

  Result<std::unique_ptr<Registration>> subscribe(SessionEvent event, EventSink sink) override {
    using S = win::IMediaSession;
    switch (event) {
      case SessionEvent::media_properties:
        return register_event<win::IMediaPropertiesChangedHandler>(
            session_, &S::add_MediaPropertiesChanged, &S::remove_MediaPropertiesChanged, std::move(sink));
      case SessionEvent::playback_info:
        return register_event<win::IPlaybackInfoChangedHandler>(
            session_, &S::add_PlaybackInfoChanged, &S::remove_PlaybackInfoChanged, std::move(sink));
      case SessionEvent::timeline:
        break;
    }
    return register_event<win::ITimelinePropertiesChangedHandler>(
        session_, &S::add_TimelinePropertiesChanged, &S::remove_TimelinePropertiesChanged,
        std::move(sink));
  }

 private:
  static Result<bool> answer(const ComPtr<win::IBoolOperation>& op) {
    boolean ok = FALSE;
    ORVELLE_TRY(wait_async(op.get(), &ok));
    return ok != FALSE;
  }

  ComPtr<win::IMediaSession> session_;
};

class WinManager final : public SessionManager {
 public:
  explicit WinManager(ComPtr<win::IMediaSessionManager> m) : manager_(std::move(m)) {}

  Result<std::vector<SessionRef>> sessions() override {
    ComPtr<win::ISessionList> list;
    ORVELLE_TRY(win::made(manager_->GetSessions(list.put()), list));
    UINT32 size = 0;
    ORVELLE_TRY(win::checked(list->get_Size(&size)));
    std::vector<SessionRef> out;
    for (UINT32 i = 0; i < size; ++i) {
      ComPtr<win::IMediaSession> s;
      if (SUCCEEDED(list->GetAt(i, s.put())) && s)
        out.push_back(std::make_shared<WinSession>(std::move(s)));
      else
        out.push_back(nullptr);
    }
    return out;
  }

  Result<SessionRef> current_session() override {
    ComPtr<win::IMediaSession> s;
    ORVELLE_TRY(win::checked(manager_->GetCurrentSession(s.put())));
    if (!s) return SessionRef{};
    return SessionRef(std::make_shared<WinSession>(std::move(s)));
  }

  // These two stay registered for the life of the process.
  Status on_current_session_changed(EventSink sink) override {
    auto handler = win::make_com<EventHandler<win::ICurrentSessionChangedHandler>>(std::move(sink));
    EventRegistrationToken token{};
    return win::checked(manager_->add_CurrentSessionChanged(handler.get(), &token));
  }
  Status on_sessions_changed(EventSink sink) override {
    auto handler = win::make_com<EventHandler<win::ISessionsChangedHandler>>(std::move(sink));
    EventRegistrationToken token{};
    return win::checked(manager_->add_SessionsChanged(handler.get(), &token));
  }

 private:
  ComPtr<win::IMediaSessionManager> manager_;
};

// A thumbnail that cannot be read counts as none.
std::shared_ptr<Thumbnail> thumbnail_from(win::IMediaProperties& props) {
  ComPtr<win::IRandomAccessStreamReference> reference;
  if (FAILED(props.get_Thumbnail(reference.put()))) return nullptr;
  return thumbnail_of(std::move(reference));
}

// The toggle control alone, or every control the state shows.
Result<Controls> controls_of(win::IPlaybackInfo& info, PlaybackReading what) {
  ComPtr<win::IPlaybackControls> c;
  ORVELLE_TRY(win::made(info.get_Controls(c.put()), c));
  boolean toggle = 0;
  std::optional<bool> toggle_read;
  if (SUCCEEDED(c->get_IsPlayPauseToggleEnabled(&toggle))) toggle_read = toggle != 0;
  Controls out{false, false, toggle_read, false, false};
  if (what != PlaybackReading::all) return out;
  auto flag = [&](HRESULT (STDMETHODCALLTYPE win::IPlaybackControls::*get)(boolean*)) {
    boolean v = 0;
    return SUCCEEDED((c.get()->*get)(&v)) && v;
  };
  using C = win::IPlaybackControls;
  out.previous = flag(&C::get_IsPreviousEnabled);
  out.next = flag(&C::get_IsNextEnabled);
  out.play = flag(&C::get_IsPlayEnabled);
  out.pause = flag(&C::get_IsPauseEnabled);
  return out;
}

BOOL CALLBACK collect_window_title(HWND window, LPARAM param) {
  auto* titles = reinterpret_cast<std::vector<std::string>*>(param);
  if (IsWindowVisible(window)) {
    wchar_t buffer[512] = {};
    int n = GetWindowTextW(window, buffer, 512);
    if (n > 0)
      titles->push_back(utf16_to_utf8(
          std::u16string_view(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(n))));
  }
  return TRUE;
}

}  // namespace

TrackProperties track_properties_of(win::IMediaProperties& props) {
  using P = win::IMediaProperties;
  TrackProperties out;
  out.title = maybe_text(&props, &P::get_Title);
  out.artist = maybe_text(&props, &P::get_Artist);
  if (out.artist.value_or("").empty()) out.album_artist = maybe_text(&props, &P::get_AlbumArtist);
  out.album = maybe_text(&props, &P::get_AlbumTitle);
  out.thumbnail = thumbnail_from(props);
  return out;
}

PlaybackInfo playback_info_of(win::IPlaybackInfo& info, PlaybackReading what) {
  PlaybackInfo out{std::nullopt, Controls{}, std::nullopt};
  auto read_status = [&] {
    std::int32_t status = 0;
    if (SUCCEEDED(info.get_PlaybackStatus(&status))) out.status = status;
  };
  if (what == PlaybackReading::toggle) {
    out.controls = controls_of(info, what);
    if (out.controls && out.controls->toggle == false) read_status();
    return out;
  }
  read_status();
  if (what == PlaybackReading::status) return out;
  out.controls = controls_of(info, what);
  ComPtr<win::IReferenceDouble> rate;
  double value = 0;
  if (SUCCEEDED(info.get_PlaybackRate(rate.put())) && rate && SUCCEEDED(rate->get_Value(&value)))
    out.rate = value;
  return out;
}

Result<std::shared_ptr<SessionManager>> WinMediaPlatform::open_manager() {
  ORVELLE_TRY(win::checked(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  ORVELLE_ASSIGN_OR_RETURN(auto statics,
                           activation_factory<win::IMediaSessionManagerStatics>(win::kSessionManagerClass));
  ComPtr<win::IManagerOperation> op;
  ORVELLE_TRY(win::made(statics->RequestAsync(op.put()), op));
  ComPtr<win::IMediaSessionManager> manager;
  ORVELLE_TRY(wait_async(op.get(), manager.put()));
  if (!manager) return error(win::no_object());
  return std::shared_ptr<SessionManager>(std::make_shared<WinManager>(std::move(manager)));
}

std::vector<std::string> WinMediaPlatform::visible_window_titles() {
  std::vector<std::string> titles;
  // A failed enumeration leaves the titles gathered so far.
  (void)EnumWindows(collect_window_title, reinterpret_cast<LPARAM>(&titles));
  return titles;
}

std::string WinMediaPlatform::app_display_name(const std::string& app_id) {
  auto statics = activation_factory<win::IAppInfoStatics>(win::kAppInfoClass);
  if (!statics) return "";
  std::u16string wide = utf8_to_utf16(app_id);
  auto id = win::HString::make(std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()));
  if (!id) return "";
  ComPtr<win::IAppInfo> info;
  ComPtr<win::IAppDisplayInfo> display;
  if (FAILED((*statics)->GetFromAppUserModelId(id->get(), info.put())) || !info ||
      FAILED(info->get_DisplayInfo(display.put())) || !display)
    return "";
  return maybe_text(display.get(), &win::IAppDisplayInfo::get_DisplayName).value_or("");
}

Result<std::vector<std::unique_ptr<AudioSession>>> WinMediaPlatform::audio_sessions() {
  return audio_sessions_win();
}

std::uint32_t WinMediaPlatform::own_process_id() { return GetCurrentProcessId(); }

}  // namespace orvelle::media
