#pragma once
// Our own declarations of the Windows.Media.Control and AppInfo interfaces
// the media bridge uses, written from the platform's public documentation
// (mingw-w64 has none of them): exact interface ids and vtable order. Slots
// the bridge never calls keep their place with opaque parameter types. Ids
// of parameterised interfaces come from winrt_iid.h's rule; the
// media_control_decl test recomputes them.

#include "common/win/async_operation.h"

#include <asyncinfo.h>
#include <eventtoken.h>
#include <inspectable.h>

#include <cstdint>

namespace orvelle::win {

inline constexpr wchar_t kSessionManagerClass[] =
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";
inline constexpr wchar_t kAppInfoClass[] = L"Windows.ApplicationModel.AppInfo";

// Windows.Foundation.DateTime: 100-ns units since 1601-01-01 UTC.
struct WinRtDateTime {
  std::int64_t UniversalTime;
};
// Windows.Foundation.TimeSpan, as the media session reports it.
struct WinRtTimeSpan {
  std::int64_t Duration;
};

// Windows.Foundation.IReference<Double>
struct IReferenceDouble : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
};

// TypedEventHandler<Sender, Args>: one shape for every event the bridge
// follows; the tag only tells the ids apart.
template <typename Tag>
struct ITypedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(IInspectable* sender, IInspectable* args) = 0;
};
struct CurrentSessionChangedTag;
struct SessionsChangedTag;
struct MediaPropertiesChangedTag;
struct PlaybackInfoChangedTag;
struct TimelinePropertiesChangedTag;
using ICurrentSessionChangedHandler = ITypedHandler<CurrentSessionChangedTag>;
using ISessionsChangedHandler = ITypedHandler<SessionsChangedTag>;
using IMediaPropertiesChangedHandler = ITypedHandler<MediaPropertiesChangedTag>;
using IPlaybackInfoChangedHandler = ITypedHandler<PlaybackInfoChangedTag>;
using ITimelinePropertiesChangedHandler = ITypedHandler<TimelinePropertiesChangedTag>;

struct IMediaSession;
struct IMediaSessionManager;
struct IMediaProperties;

// IAsyncOperation<IRandomAccessStreamWithContentType>: the stream is taken
// as a plain object and asked for the stream interface the decoder takes.
using IStreamOperation = IAsyncOperationOf<IInspectable*>;

// Windows.Storage.Streams.IRandomAccessStreamReference: a thumbnail.
struct IRandomAccessStreamReference : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE OpenReadAsync(IStreamOperation** operation) = 0;
};

// IVectorView<GlobalSystemMediaTransportControlsSession>
struct ISessionList : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, IMediaSession** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE IndexOf(IMediaSession* item, UINT32* index, boolean* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 start, UINT32 capacity, IMediaSession** items,
                                            UINT32* actual) = 0;
};

using IManagerOperation = IAsyncOperationOf<IMediaSessionManager*>;
using IMediaPropertiesOperation = IAsyncOperationOf<IMediaProperties*>;
using IBoolOperation = IAsyncOperationOf<boolean>;

// IGlobalSystemMediaTransportControlsSessionManagerStatics
struct IMediaSessionManagerStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE RequestAsync(IManagerOperation** operation) = 0;
};

// IGlobalSystemMediaTransportControlsSessionManager
struct IMediaSessionManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetCurrentSession(IMediaSession** session) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSessions(ISessionList** sessions) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_CurrentSessionChanged(ICurrentSessionChangedHandler* handler,
                                                              EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_CurrentSessionChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_SessionsChanged(ISessionsChangedHandler* handler,
                                                        EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_SessionsChanged(EventRegistrationToken token) = 0;
};

struct ITimelineProperties;
struct IPlaybackInfo;

// IGlobalSystemMediaTransportControlsSession
struct IMediaSession : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetMediaPropertiesAsync(IMediaPropertiesOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTimelineProperties(ITimelineProperties** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPlaybackInfo(IPlaybackInfo** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryPlayAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryPauseAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryStopAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryRecordAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryFastForwardAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryRewindAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TrySkipNextAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TrySkipPreviousAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeChannelUpAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeChannelDownAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryTogglePlayPauseAsync(IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeAutoRepeatModeAsync(std::int32_t mode,
                                                                 IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangePlaybackRateAsync(double rate, IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeShuffleActiveAsync(boolean active,
                                                                IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangePlaybackPositionAsync(std::int64_t position,
                                                                   IBoolOperation** op) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_TimelinePropertiesChanged(
      ITimelinePropertiesChangedHandler* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_TimelinePropertiesChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_PlaybackInfoChanged(IPlaybackInfoChangedHandler* handler,
                                                            EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_PlaybackInfoChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_MediaPropertiesChanged(IMediaPropertiesChangedHandler* handler,
                                                               EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_MediaPropertiesChanged(EventRegistrationToken token) = 0;
};

// IGlobalSystemMediaTransportControlsSessionMediaProperties
struct IMediaProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TrackNumber(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Genres(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTrackCount(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Thumbnail(IRandomAccessStreamReference** value) = 0;
};

// IGlobalSystemMediaTransportControlsSessionTimelineProperties
struct ITimelineProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_StartTime(WinRtTimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_EndTime(WinRtTimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MinSeekTime(WinRtTimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MaxSeekTime(WinRtTimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Position(WinRtTimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(WinRtDateTime* value) = 0;
};

// IGlobalSystemMediaTransportControlsSessionPlaybackControls
struct IPlaybackControls : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IsPlayEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPauseEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsStopEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRecordEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsFastForwardEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRewindEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsNextEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPreviousEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsChannelUpEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsChannelDownEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPlayPauseToggleEnabled(boolean* value) = 0;
};

// IGlobalSystemMediaTransportControlsSessionPlaybackInfo
struct IPlaybackInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Controls(IPlaybackControls** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackStatus(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackRate(IReferenceDouble** value) = 0;
};

struct IAppInfo;

// Windows.ApplicationModel.IAppInfoStatics
struct IAppInfoStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Current(IAppInfo** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFromAppUserModelId(HSTRING app_user_model_id,
                                                          IAppInfo** value) = 0;
};

// Windows.ApplicationModel.IAppDisplayInfo
struct IAppDisplayInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* value) = 0;
};

// Windows.ApplicationModel.IAppInfo
struct IAppInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Id(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AppUserModelId(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DisplayInfo(IAppDisplayInfo** value) = 0;
};

}  // namespace orvelle::win

__CRT_UUID_DECL(orvelle::win::IMediaSessionManagerStatics, 0x2050c4ee, 0x11a0, 0x57de, 0xae, 0xd7,
                0xc9, 0x7c, 0x70, 0x33, 0x82, 0x45)
__CRT_UUID_DECL(orvelle::win::IMediaSessionManager, 0xcace8eac, 0xe86e, 0x504a, 0xab, 0x31, 0x5f,
                0xf8, 0xff, 0x1b, 0xce, 0x49)
__CRT_UUID_DECL(orvelle::win::IMediaSession, 0x7148c835, 0x9b14, 0x5ae2, 0xab, 0x85, 0xdc, 0x9b,
                0x1c, 0x14, 0xe1, 0xa8)
__CRT_UUID_DECL(orvelle::win::IMediaProperties, 0x68856cf6, 0xadb4, 0x54b2, 0xac, 0x16, 0x05, 0x83,
                0x79, 0x07, 0xac, 0xb6)
__CRT_UUID_DECL(orvelle::win::ITimelineProperties, 0xede34136, 0x6f25, 0x588d, 0x8e, 0xcf, 0xea,
                0x5b, 0x67, 0x35, 0xaa, 0xa5)
__CRT_UUID_DECL(orvelle::win::IPlaybackControls, 0x6501a3e6, 0xbc7a, 0x503a, 0xbb, 0x1b, 0x68, 0xf1,
                0x58, 0xf3, 0xfb, 0x03)
__CRT_UUID_DECL(orvelle::win::IPlaybackInfo, 0x94b4b6cf, 0xe8ba, 0x51ad, 0x87, 0xa7, 0xc1, 0x0a,
                0xde, 0x10, 0x61, 0x27)
__CRT_UUID_DECL(orvelle::win::IAppInfoStatics, 0xcf1f782a, 0xe48b, 0x4f0c, 0x9b, 0x0b, 0x79, 0xc3,
                0xf8, 0x95, 0x7d, 0xd7)
__CRT_UUID_DECL(orvelle::win::IAppInfo, 0xcf7f59b3, 0x6a09, 0x4de8, 0xa6, 0xc0, 0x57, 0x92, 0xd5,
                0x68, 0x80, 0xd1)
__CRT_UUID_DECL(orvelle::win::IAppDisplayInfo, 0x1aeb1103, 0xe4d4, 0x41aa, 0xa4, 0xf6, 0xc4, 0xa2,
                0x76, 0xe7, 0x9e, 0xac)
__CRT_UUID_DECL(orvelle::win::IRandomAccessStreamReference, 0x33ee3134, 0x1dd6, 0x4e3a, 0x80, 0x67,
                0xd1, 0xc1, 0x62, 0xe8, 0x64, 0x2b)
// Parameterised: the rule's ids for their type signatures (see the test).
// IAsyncOperation<IRandomAccessStreamWithContentType>
__CRT_UUID_DECL(orvelle::win::IStreamOperation, 0xc4a57c5e, 0x32b0, 0x55b3, 0xad, 0x13, 0xce, 0x1c,
                0x23, 0x04, 0x1e, 0xd6)
// IAsyncOperation<GlobalSystemMediaTransportControlsSessionManager>
__CRT_UUID_DECL(orvelle::win::IManagerOperation, 0x3eec115e, 0x7346, 0x5c27, 0x8c, 0x5f, 0xda, 0x78,
                0x51, 0x4a, 0x27, 0x7b)
// IAsyncOperation<GlobalSystemMediaTransportControlsSessionMediaProperties>
__CRT_UUID_DECL(orvelle::win::IMediaPropertiesOperation, 0xb185e6f3, 0xe0d8, 0x51cb, 0x91, 0x3f,
                0xc9, 0x8d, 0x48, 0xc9, 0x3c, 0x46)
// IAsyncOperation<Boolean>
__CRT_UUID_DECL(orvelle::win::IBoolOperation, 0xcdb5efb3, 0x5788, 0x509d, 0x9b, 0xe1, 0x71, 0xcc,
                0xb8, 0xa3, 0x36, 0x2a)
// IVectorView<GlobalSystemMediaTransportControlsSession>
__CRT_UUID_DECL(orvelle::win::ISessionList, 0x9b2672da, 0x5088, 0x5a1d, 0xac, 0xd9, 0xa3, 0xfc, 0x5e,
                0xf1, 0xcf, 0xa4)
// IReference<Double>
__CRT_UUID_DECL(orvelle::win::IReferenceDouble, 0x2f2d6c29, 0x5473, 0x5f3e, 0x92, 0xe7, 0x96, 0x57,
                0x2b, 0xb9, 0x90, 0xe2)
// TypedEventHandler<Manager, CurrentSessionChangedEventArgs>
__CRT_UUID_DECL(orvelle::win::ICurrentSessionChangedHandler, 0x228bd0ed, 0x1fa2, 0x5e9b, 0xa6, 0xec,
                0x42, 0x56, 0x61, 0x73, 0x10, 0x3b)
// TypedEventHandler<Manager, SessionsChangedEventArgs>
__CRT_UUID_DECL(orvelle::win::ISessionsChangedHandler, 0x2e2a8630, 0xdc8c, 0x530a, 0x97, 0x46, 0xbc,
                0x98, 0x4d, 0x4b, 0x02, 0x9e)
// TypedEventHandler<Session, MediaPropertiesChangedEventArgs>
__CRT_UUID_DECL(orvelle::win::IMediaPropertiesChangedHandler, 0x0f2ce2b7, 0xafa7, 0x5ed0, 0x8c, 0xb6,
                0x8c, 0x40, 0xcf, 0x9b, 0x3a, 0x5f)
// TypedEventHandler<Session, PlaybackInfoChangedEventArgs>
__CRT_UUID_DECL(orvelle::win::IPlaybackInfoChangedHandler, 0x2bdf1426, 0xd41f, 0x5896, 0x89, 0x7f,
                0xef, 0xc0, 0xb0, 0xfa, 0x73, 0x92)
// TypedEventHandler<Session, TimelinePropertiesChangedEventArgs>
__CRT_UUID_DECL(orvelle::win::ITimelinePropertiesChangedHandler, 0xe8bf62af, 0xfac1, 0x5fff, 0x90,
                0x53, 0x0b, 0xf1, 0x91, 0xae, 0x77, 0x7e)
