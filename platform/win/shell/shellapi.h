// Opening documents, folders and addresses with the desktop's programs, and
// showing an item in the file manager ("explorer.exe" with "/select,").
// Programs start directly from an argument vector (no shell in between)
// and run on their own; nothing waits for them.
#pragma once

#include <functional>
#include <vector>

#include "platform/win/kernel/windef.h"

// Errors ShellExecute answers (a success is greater than 32).
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_SHARE = 26;
constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
constexpr int SE_ERR_DDETIMEOUT = 28;
constexpr int SE_ERR_DDEFAIL = 29;
constexpr int SE_ERR_DDEBUSY = 30;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int SE_ERR_DLLNOTFOUND = 32;

// lpOperation: null or "open" (any case). lpFile: a document or folder
// (absolute, or relative to lpDirectory, else to the current folder), an
// address (http:, https:, mailto:), or "explorer.exe" with lpParameters
// "/select,<path>" (optionally after "/e,") or a folder to open.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd);
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters, LPCWSTR lpDirectory,
                        INT nShowCmd);
inline HINSTANCE ShellExecute(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                              INT nShowCmd) {
  return ShellExecuteA(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
}

namespace rtl::detail {

// Takes the place of starting programs (tests): gets each argument vector
// that would have started (the program first) and answers the exit status
// the program would have had; a failed attempt to show an item in the file
// manager falls back to opening its folder. With a hook, the programs
// count as installed.
using TShellSpawnHook = std::function<int(const std::vector<AnsiString>& argv)>;
void SetShellSpawnHook(TShellSpawnHook hook);

}  // namespace rtl::detail
