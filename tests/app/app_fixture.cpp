#include "app_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

void AppFolders::SetUp() {
  char tmpl[] = "/tmp/apptest.XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  Root = AnsiString(tmpl) + "/";
  AppData = Root + "config/";
  Home = Root + "home/";
  std::filesystem::create_directories(AppData);
  std::filesystem::create_directories(Home);
  if (const char* h = std::getenv("HOME")) hadHome_ = true, savedHome_ = h;
  if (const char* c = std::getenv("XDG_CONFIG_HOME")) hadConfig_ = true, savedConfig_ = c;
  setenv("HOME", Home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", AppData.substr(0, AppData.size() - 1).c_str(), 1);
}

void AppFolders::TearDown() {
  if (hadHome_) setenv("HOME", savedHome_.c_str(), 1); else unsetenv("HOME");
  if (hadConfig_) setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
  std::error_code ec;
  std::filesystem::permissions(Root, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(Root, ec);
}

void WriteBrandingFile(const AnsiString& path, const AnsiString& plain) {
  AnsiString stored;
  for (char c : plain)
    stored += (c == '\r' || c == '\n') ? c : static_cast<char>(255 - static_cast<unsigned char>(c));
  WriteWholeFile(path, stored);
}

AnsiString ReadWholeFile(const AnsiString& path) {
  std::ifstream in(path, std::ios::binary);
  return AnsiString(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const AnsiString& path, const AnsiString& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}
