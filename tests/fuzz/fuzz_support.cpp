#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <unistd.h>

#include "platform/win/gdiplus/gdiplus.h"

namespace fuzz {

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char templ[] = "/tmp/fuzz-XXXXXX";
    std::string dir = mkdtemp(templ) ? templ : "/tmp";
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    return dir;
  }();
  return folder;
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::rename(temp.c_str(), path.c_str());
  return path;
}

void StartGraphics() {
  static const bool started = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ScratchFolder();
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&token, &input, nullptr);
    return true;
  }();
  (void)started;
}

}  // namespace fuzz
