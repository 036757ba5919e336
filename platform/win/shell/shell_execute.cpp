// ShellExecute: documents, folders and addresses open with xdg-open; an
// item is shown in the file manager through its freedesktop interface
// (dbus-send), falling back to opening the item's folder. Programs start
// from an argument vector, never through a shell, in a session of their
// own; a thread of ours reaps each one, so none is left a zombie.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_object.h"
#include "platform/win/shell/shellapi.h"

extern char** environ;

namespace rtl::detail {
namespace {

constexpr DWORD kErrorNoAssociation = 1155;
constexpr int kStarted = 42;  // any value above 32 says "started"

std::mutex& HookLock() {
  static std::mutex m;
  return m;
}
TShellSpawnHook& SpawnHook() {
  static TShellSpawnHook hook;
  return hook;
}
TShellSpawnHook CurrentHook() {
  std::lock_guard g(HookLock());
  return SpawnHook();
}

HINSTANCE Answer(int code, DWORD error) {
  if (code <= 32) SetLastError(error);
  return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(code));
}

AnsiString Lower(AnsiString s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

AnsiString Trim(const AnsiString& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == AnsiString::npos) return AnsiString();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

AnsiString Unquote(const AnsiString& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

// The program's file found along PATH; "" when it is not installed.
AnsiString FindProgram(const AnsiString& name) {
  const char* path = std::getenv("PATH");
  AnsiString dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t at = 0;
  while (at <= dirs.size()) {
    size_t end = dirs.find(':', at);
    if (end == AnsiString::npos) end = dirs.size();
    AnsiString dir = dirs.substr(at, end - at);
    at = end + 1;
    if (dir.empty()) continue;
    AnsiString full = dir + "/" + name;
    struct stat st {};
    if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(full.c_str(), X_OK) == 0) return full;
  }
  return AnsiString();
}

// Starts a program on its own; the process watcher reaps it and tells
// onExit its exit status (non-zero when it did not exit normally). Answers
// 0 or the errno of the failure.
int StartDetached(const AnsiString& program, const std::vector<AnsiString>& argv,
                  std::function<void(int status)> onExit) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attrs;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attrs);
  for (int fd = 0; fd < 3; ++fd) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  sigset_t defaults, mask;
  sigfillset(&defaults);
  sigdelset(&defaults, SIGKILL);
  sigdelset(&defaults, SIGSTOP);
  sigemptyset(&mask);
  posix_spawnattr_setsigdefault(&attrs, &defaults);
  posix_spawnattr_setsigmask(&attrs, &mask);
  // A session of its own: the program outlives a terminal's hang-up and
  // is not stopped by the keys typed to ours.
  posix_spawnattr_setflags(&attrs, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
  std::vector<char*> args;
  for (const AnsiString& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int err = posix_spawn(&pid, program.c_str(), &actions, &attrs, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attrs);
  if (err != 0) return err;
  // Without a process descriptor the child runs on, unreaped until we exit;
  // waiting for it here could hold the caller for as long as it runs.
  WatchDetachedChild(pid, std::move(onExit));
  return 0;
}

// A file: address of an absolute path. Everything but unreserved bytes and
// the delimiter is escaped; dbus-send splits its array arguments at commas,
// so one in a name must not reach it as is.
AnsiString FileUri(const AnsiString& path) {
  static const char hex[] = "0123456789ABCDEF";
  AnsiString r = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      r += static_cast<char>(c);
    } else {
      r += '%';
      r += hex[c >> 4];
      r += hex[c & 15];
    }
  }
  return r;
}

AnsiString CurrentFolder() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? AnsiString(buf) : AnsiString("/");
}

// A path made absolute against the given folder (itself made absolute
// against the current one).
AnsiString Absolute(const AnsiString& path, const AnsiString& directory) {
  if (!path.empty() && path[0] == '/') return path;
  AnsiString base = directory.empty() ? CurrentFolder() : Absolute(directory, AnsiString());
  if (base.empty() || base.back() != '/') base += '/';
  return base + path;
}

AnsiString ParentFolder(const AnsiString& path) {
  AnsiString p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  size_t slash = p.rfind('/');
  if (slash == AnsiString::npos || slash == 0) return "/";
  return p.substr(0, slash);
}

// SE_ERR_* for a path that cannot be opened; 0 when it exists.
int MissingCode(const AnsiString& path, DWORD& error) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return 0;
  int e = errno;
  if (e == EACCES) {
    error = ERROR_ACCESS_DENIED;
    return SE_ERR_ACCESSDENIED;
  }
  struct stat parent {};
  if (e == ENOTDIR || stat(ParentFolder(path).c_str(), &parent) != 0) {
    error = ERROR_PATH_NOT_FOUND;
    return SE_ERR_PNF;
  }
  error = ERROR_FILE_NOT_FOUND;
  return SE_ERR_FNF;
}

// Runs argv (the program's name first): through the hook when there is
// one, else as a program found along PATH. onExit hears its exit status.
HINSTANCE Run(const std::vector<AnsiString>& argv, std::function<void(int status)> onExit = nullptr) {
  if (TShellSpawnHook hook = CurrentHook()) {
    int status = hook(argv);
    if (onExit) onExit(status);
    return Answer(kStarted, 0);
  }
  AnsiString program = FindProgram(argv[0]);
  if (program.empty()) return Answer(SE_ERR_NOASSOC, kErrorNoAssociation);
  int err = StartDetached(program, argv, std::move(onExit));
  if (err == 0) return Answer(kStarted, 0);
  if (err == EACCES || err == EPERM) return Answer(SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED);
  return Answer(0, ERROR_NOT_ENOUGH_MEMORY);
}

HINSTANCE OpenWithDesktop(const AnsiString& target) { return Run({"xdg-open", target}); }

// The file manager shows the item selected; when it cannot (no file
// manager service, no dbus-send), the item's folder opens instead.
HINSTANCE ShowItem(const AnsiString& path) {
  AnsiString folder = ParentFolder(path);
  bool hooked = static_cast<bool>(CurrentHook());
  if (!hooked && FindProgram("dbus-send").empty()) return OpenWithDesktop(folder);
  std::vector<AnsiString> argv = {"dbus-send",
                                  "--session",
                                  "--print-reply",
                                  "--dest=org.freedesktop.FileManager1",
                                  "--type=method_call",
                                  "/org/freedesktop/FileManager1",
                                  "org.freedesktop.FileManager1.ShowItems",
                                  "array:string:" + FileUri(path),
                                  "string:"};
  return Run(argv, [folder](int status) {
    if (status != 0) OpenWithDesktop(folder);
  });
}

bool IsAddress(const AnsiString& file) {
  AnsiString l = Lower(file);
  for (const char* scheme : {"http:", "https:", "mailto:"})
    if (l.rfind(scheme, 0) == 0) return true;
  return false;
}

bool IsFileManager(const AnsiString& file) {
  size_t cut = file.find_last_of("/\\");
  AnsiString name = Lower(cut == AnsiString::npos ? file : file.substr(cut + 1));
  return name == "explorer.exe" || name == "explorer";
}

// The file manager's command line: switches ("/e", "/n", "/separate",
// "/root") separated by commas, "/select,<path>" to show an item, or a
// folder to open.
HINSTANCE FileManager(const AnsiString& parameters, const AnsiString& directory) {
  AnsiString rest = Trim(parameters);
  bool select = false;
  while (!rest.empty() && rest[0] == '/') {
    size_t comma = rest.find(',');
    AnsiString sw = Lower(Trim(rest.substr(0, comma)));
    if (sw != "/e" && sw != "/n" && sw != "/separate" && sw != "/root" && sw != "/select") break;  // a path
    rest = comma == AnsiString::npos ? AnsiString() : Trim(rest.substr(comma + 1));
    if (sw == "/select") {
      select = true;
      break;
    }
  }
  AnsiString target = Unquote(rest);
  if (target.empty()) {
    if (select) return Answer(SE_ERR_FNF, ERROR_FILE_NOT_FOUND);
    target = CurrentFolder();
  }
  AnsiString path = Absolute(target, directory);
  DWORD error = 0;
  if (int code = MissingCode(path, error)) return Answer(code, error);
  return select ? ShowItem(path) : OpenWithDesktop(path);
}

}  // namespace

void SetShellSpawnHook(TShellSpawnHook hook) {
  std::lock_guard g(HookLock());
  SpawnHook() = std::move(hook);
}

}  // namespace rtl::detail

using namespace rtl::detail;

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory, INT) {
  if (lpOperation && *lpOperation && Lower(lpOperation) != "open")
    return Answer(SE_ERR_NOASSOC, kErrorNoAssociation);
  if (!lpFile || !*lpFile) return Answer(SE_ERR_FNF, ERROR_FILE_NOT_FOUND);
  AnsiString file = lpFile;
  AnsiString directory = lpDirectory ? lpDirectory : "";
  if (IsFileManager(file)) return FileManager(lpParameters ? lpParameters : "", directory);
  if (IsAddress(file)) return OpenWithDesktop(file);
  AnsiString path = Absolute(file, directory);
  DWORD error = 0;
  if (int code = MissingCode(path, error)) return Answer(code, error);
  return OpenWithDesktop(path);
}

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters, LPCWSTR lpDirectory,
                        INT nShowCmd) {
  auto narrow = [](LPCWSTR s) { return s ? WideToAnsi(s) : AnsiString(); };
  AnsiString op = narrow(lpOperation), file = narrow(lpFile), params = narrow(lpParameters), dir = narrow(lpDirectory);
  return ShellExecuteA(hwnd, lpOperation ? op.c_str() : nullptr, lpFile ? file.c_str() : nullptr,
                       lpParameters ? params.c_str() : nullptr, lpDirectory ? dir.c_str() : nullptr, nShowCmd);
}
