// Sounds through libcanberra: one context for the process, opened on the
// first sound when an audio device is there, so that a machine without one
// stays silent (and quiet: the library's drivers would complain on every
// open).
#include <canberra.h>
#include <sys/stat.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/win/user/mmsystem.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_native.h"

namespace rtl::detail {
namespace {

// Every sound plays under one id, so that the next one can stop it.
constexpr uint32_t kSoundId = 1;
// The default sound when a name is neither an alias nor a file.
const char kDefaultEvent[] = "bell";

struct TSoundState {
  std::mutex Lock;
  TSoundHook Hook;
  ca_context* Context = nullptr;
  bool Tried = false;
  ~TSoundState() {
    if (Context) ca_context_destroy(Context);
  }
};

TSoundState& State() {
  static TSoundState s;
  return s;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// A sound server's socket, or a playback device of the kernel's sound
// system.
bool AudioDevicePresent() {
  const char* server = std::getenv("PULSE_SERVER");
  if (server && *server) return true;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) {
    const std::string dir(run);
    if (Exists(dir + "/pulse/native") || Exists(dir + "/pipewire-0")) return true;
  }
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/dev/snd", ec)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("pcmC", 0) == 0 && !name.empty() && name.back() == 'p') return true;
  }
  return false;
}

// The open context, or null without a device. Called with the lock held.
ca_context* Context(TSoundState& s) {
  if (!s.Tried) {
    s.Tried = true;
    if (AudioDevicePresent() && ca_context_create(&s.Context) == CA_SUCCESS) {
      if (ca_context_open(s.Context) != CA_SUCCESS) {
        ca_context_destroy(s.Context);
        s.Context = nullptr;
      }
    }
  }
  return s.Context;
}

struct TWait {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
};

void Finished(ca_context*, uint32_t, int, void* data) {
  auto* w = static_cast<TWait*>(data);
  std::lock_guard<std::mutex> g(w->Lock);
  w->Finished = true;
  w->Done.notify_all();
}

// Hands the sound to the hook or the device; false when it did not play.
bool Play(const TSoundCall& call) {
  TSoundState& s = State();
  std::unique_lock<std::mutex> g(s.Lock);
  if (s.Hook) {
    TSoundHook hook = s.Hook;
    g.unlock();
    hook(call);
    return true;
  }
  ca_context* c = Context(s);
  if (!c) return false;
  ca_context_cancel(c, kSoundId);
  if (call.Kind == skStop) return true;
  ca_proplist* p = nullptr;
  if (ca_proplist_create(&p) != CA_SUCCESS) return false;
  ca_proplist_sets(p, call.Kind == skFile ? CA_PROP_MEDIA_FILENAME : CA_PROP_EVENT_ID, call.Name.c_str());
  int r;
  if (call.Async) {
    r = ca_context_play_full(c, kSoundId, p, nullptr, nullptr);
    g.unlock();
  } else {
    TWait wait;
    r = ca_context_play_full(c, kSoundId, p, Finished, &wait);
    g.unlock();
    if (r == CA_SUCCESS) {
      std::unique_lock<std::mutex> w(wait.Lock);
      wait.Done.wait(w, [&] { return wait.Finished; });
    }
  }
  ca_proplist_destroy(p);
  return r == CA_SUCCESS;
}

struct TAlias {
  const char* Name;
  const char* Event;
};
// The system sounds an alias names, as the desktop's sound theme calls them.
const TAlias kAliases[] = {
    {"SystemAsterisk", "dialog-information"}, {"SystemExclamation", "dialog-warning"},
    {"SystemHand", "dialog-error"},           {"SystemQuestion", "dialog-question"},
    {"SystemDefault", kDefaultEvent},
};

const char* AliasEvent(const char* name) {
  for (const TAlias& a : kAliases)
    if (strcasecmp(a.Name, name) == 0) return a.Event;
  return nullptr;
}

bool IsRegularFile(const char* path) {
  struct stat st = {};
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// The common road of both entries. lookAlias / lookFile: which kinds of
// name are tried, alias first.
BOOL PlayNamed(LPCSTR name, UINT flags, bool lookAlias, bool lookFile) {
  if (flags & (SND_MEMORY | SND_LOOP | (SND_RESOURCE & ~SND_ASYNC))) return FALSE;
  const bool async = (flags & SND_ASYNC) != 0;
  if (!name) return Play({skStop, AnsiString(), async}) ? TRUE : FALSE;
  if (lookAlias)
    if (const char* event = AliasEvent(name)) return Play({skEvent, event, async}) ? TRUE : FALSE;
  if (lookFile && IsRegularFile(name)) {
    if (Play({skFile, name, async})) return TRUE;
    // A file the device cannot play gets the default sound, like a missing
    // one.
  }
  if (flags & SND_NODEFAULT) return FALSE;
  return Play({skEvent, kDefaultEvent, async}) ? TRUE : FALSE;
}

}  // namespace

void SetSoundHook(TSoundHook hook) {
  TSoundState& s = State();
  std::lock_guard<std::mutex> g(s.Lock);
  s.Hook = std::move(hook);
}

bool PlayBeepSound(UINT type) {
  const char* event = kDefaultEvent;
  switch (type == 0xFFFFFFFF ? 0u : type & 0xF0u) {
    case MB_ICONASTERISK: event = "dialog-information"; break;
    case MB_ICONEXCLAMATION: event = "dialog-warning"; break;
    case MB_ICONHAND: event = "dialog-error"; break;
    case MB_ICONQUESTION: event = "dialog-question"; break;
    default: break;
  }
  return Play({skEvent, event, true});
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL sndPlaySoundA(LPCSTR lpszSound, UINT fuSound) { return PlayNamed(lpszSound, fuSound, true, true); }

BOOL PlaySoundA(LPCSTR pszSound, HMODULE, DWORD fdwSound) {
  if (fdwSound & SND_PURGE) return Play({skStop, AnsiString(), true}) ? TRUE : FALSE;
  const bool file = (fdwSound & SND_FILENAME) != 0, alias = (fdwSound & SND_ALIAS) != 0;
  return PlayNamed(pszSound, fdwSound & ~(SND_FILENAME | SND_ALIAS), !file, !alias);
}
