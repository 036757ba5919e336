// Sounds: sound files and system event sounds (sndPlaySound, PlaySound),
// played through the desktop's event-sound library. MessageBeep (user.h)
// plays its event sound the same way. Without an audio device every call
// is silent and answers FALSE.
#pragma once

#include <functional>

#include "platform/win/kernel/windef.h"

constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_NODEFAULT = 0x0002;
constexpr UINT SND_MEMORY = 0x0004;
constexpr UINT SND_LOOP = 0x0008;
constexpr UINT SND_NOSTOP = 0x0010;
constexpr UINT SND_PURGE = 0x0040;
constexpr UINT SND_ALIAS = 0x00010000;
constexpr UINT SND_FILENAME = 0x00020000;
constexpr UINT SND_RESOURCE = 0x00040004;

// Plays a system sound named by its alias ("SystemAsterisk",
// "SystemExclamation", "SystemHand", "SystemQuestion", "SystemDefault") or
// else a WAV file by path; a name that is neither plays the default sound
// unless SND_NODEFAULT. SND_ASYNC returns at once, otherwise the call
// returns when the sound has ended. A new sound stops the one playing; a
// null name stops it. Sounds from memory, from resources and looping are
// not supported (FALSE).
BOOL sndPlaySoundA(LPCSTR lpszSound, UINT fuSound);
inline BOOL sndPlaySound(LPCSTR lpszSound, UINT fuSound) { return sndPlaySoundA(lpszSound, fuSound); }
// The same with the kind of name given: SND_FILENAME a path, SND_ALIAS a
// system sound; without either, an alias is looked for first. hmod is used
// only for resources, which are not supported.
BOOL PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound);
inline BOOL PlaySound(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) { return PlaySoundA(pszSound, hmod, fdwSound); }

namespace rtl::detail {

// What the layer would play: a file by path, an event sound of the desktop's
// sound theme by its name ("bell", "dialog-information", ...), or a stop of
// the sound playing.
enum TSoundKind { skFile, skEvent, skStop };
struct TSoundCall {
  TSoundKind Kind = skFile;
  AnsiString Name;
  bool Async = false;
  bool operator==(const TSoundCall&) const = default;
};
// Takes the place of the sound device (tests): gets each sound instead of
// playing it; with a hook every call succeeds. Null plays again.
using TSoundHook = std::function<void(const TSoundCall& call)>;
void SetSoundHook(TSoundHook hook);

// MessageBeep's sound for its type, asynchronously; false when nothing
// could play it.
bool PlayBeepSound(UINT type);

}  // namespace rtl::detail
