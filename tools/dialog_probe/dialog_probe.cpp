// Shows one of the common dialogs on the real display so that a script can
// answer it with real input and read the outcome on standard output.
//
//   dialog_probe msgbox          -> "result=<button id>"
//   dialog_probe open <folder>   -> each chosen path on its own line, or
//                                   "cancelled"
//
// The windows have fixed titles ("Probe", "Probe Open") for the script to
// find them by.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/comdlg/commdlg.h"
#include "platform/win/win32.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: dialog_probe msgbox | dialog_probe open <folder>\n");
  return 2;
}

int ProbeMessageBox() {
  int r = MessageBoxA(nullptr, "Proceed?", "Probe", MB_YESNO | MB_ICONQUESTION);
  std::printf("result=%d\n", r);
  return 0;
}

// The buffer holds either one full path, or the folder followed by the
// names, each ended by a zero, with an empty name last.
std::vector<std::string> SplitSelection(const char* buf) {
  std::vector<std::string> parts;
  for (const char* p = buf; *p; p += std::strlen(p) + 1) parts.emplace_back(p);
  if (parts.size() <= 1) return parts;
  std::string dir = parts.front();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  std::vector<std::string> paths;
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(dir + parts[i]);
  return paths;
}

int ProbeOpen(const char* folder) {
  std::vector<char> buf(64 * 1024, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "PDF Files\0*.pdf\0All Files\0*.*\0\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  ofn.lpstrInitialDir = folder;
  ofn.lpstrTitle = "Probe Open";
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!GetOpenFileNameA(&ofn)) {
    DWORD err = CommDlgExtendedError();
    if (err) std::printf("error=%lu\n", static_cast<unsigned long>(err));
    else std::printf("cancelled\n");
    return err ? 1 : 0;
  }
  for (const std::string& p : SplitSelection(buf.data())) std::printf("%s\n", p.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  int rc = 2;
  if (!std::strcmp(argv[1], "msgbox"))
    rc = ProbeMessageBox();
  else if (!std::strcmp(argv[1], "open") && argc >= 3)
    rc = ProbeOpen(argv[2]);
  else
    return Usage();
  std::fflush(stdout);
  return rc;
}
