// Sounds: which file or event sound each call plays (recorded through the
// sound hook, so no sound card is needed), and silence without a device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <vector>

#include "platform/win/user/mmsystem.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"

namespace {

namespace fs = std::filesystem;
using rtl::detail::TSoundCall;

class Sounds : public ::testing::Test {
 protected:
  std::vector<TSoundCall> Played;
  std::string Dir, Wav;

  void SetUp() override {
    char tmpl[] = "/tmp/sound_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
    Wav = Dir + "/done sound.wav";
    std::ofstream(Wav) << "RIFF";
    fs::create_directory(Dir + "/folder.wav");
    rtl::detail::SetSoundHook([this](const TSoundCall& c) { Played.push_back(c); });
  }
  void TearDown() override {
    rtl::detail::SetSoundHook(nullptr);
    std::error_code ec;
    fs::remove_all(Dir, ec);
  }
};

TEST_F(Sounds, EachCallPlaysTheFileTheAliasOrTheDefaultSound) {
  const std::string missing = Dir + "/missing.wav", folder = Dir + "/folder.wav";
  struct Case {
    const char* What;
    std::function<BOOL()> Call;
    BOOL Result;
    std::vector<TSoundCall> Expected;
  };
  const std::vector<Case> cases = {
      {"a file, asynchronously", [&] { return sndPlaySound(Wav.c_str(), SND_ASYNC); }, TRUE,
       {{rtl::detail::skFile, Wav, true}}},
      {"a file, waiting for its end", [&] { return sndPlaySound(Wav.c_str(), SND_SYNC); }, TRUE,
       {{rtl::detail::skFile, Wav, false}}},
      {"a missing file plays the default sound", [&] { return sndPlaySound(missing.c_str(), SND_ASYNC); }, TRUE,
       {{rtl::detail::skEvent, "bell", true}}},
      {"a folder is no sound file", [&] { return sndPlaySound(folder.c_str(), SND_ASYNC); }, TRUE,
       {{rtl::detail::skEvent, "bell", true}}},
      {"no default when asked for none",
       [&] { return sndPlaySound(missing.c_str(), SND_ASYNC | SND_NODEFAULT); }, FALSE, {}},
      {"an alias names a system sound", [&] { return sndPlaySound("SystemAsterisk", SND_SYNC); }, TRUE,
       {{rtl::detail::skEvent, "dialog-information", false}}},
      {"no name stops the sound", [&] { return sndPlaySound(nullptr, SND_ASYNC); }, TRUE,
       {{rtl::detail::skStop, "", true}}},
      {"PlaySound of a file name", [&] { return PlaySound(Wav.c_str(), nullptr, SND_FILENAME | SND_ASYNC); }, TRUE,
       {{rtl::detail::skFile, Wav, true}}},
      {"a file name is not looked up as an alias",
       [&] { return PlaySound("SystemHand", nullptr, SND_FILENAME | SND_ASYNC); }, TRUE,
       {{rtl::detail::skEvent, "bell", true}}},
      {"an alias by flag", [&] { return PlaySound("SystemHand", nullptr, SND_ALIAS | SND_ASYNC); }, TRUE,
       {{rtl::detail::skEvent, "dialog-error", true}}},
      {"an alias flag does not reach files",
       [&] { return PlaySound(Wav.c_str(), nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT); }, FALSE, {}},
      {"sounds from memory are not supported", [&] { return PlaySound(Wav.c_str(), nullptr, SND_MEMORY); }, FALSE,
       {}},
      {"looping is not supported", [&] { return sndPlaySound(Wav.c_str(), SND_ASYNC | SND_LOOP); }, FALSE, {}},
      {"purge stops the sound", [&] { return PlaySound(nullptr, nullptr, SND_PURGE); }, TRUE,
       {{rtl::detail::skStop, "", true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    Played.clear();
    EXPECT_EQ(c.Call(), c.Result);
    EXPECT_EQ(Played, c.Expected);
  }
}

TEST_F(Sounds, MessageBeepPlaysTheEventSoundOfItsType) {
  const std::vector<std::pair<UINT, const char*>> cases = {
      {MB_OK, "bell"},
      {0xFFFFFFFF, "bell"},
      {MB_ICONINFORMATION, "dialog-information"},
      {MB_ICONWARNING, "dialog-warning"},
      {MB_ICONERROR, "dialog-error"},
      {MB_ICONQUESTION, "dialog-question"},
      {MB_ICONWARNING | MB_YESNO, "dialog-warning"},
  };
  for (const auto& [type, event] : cases) {
    SCOPED_TRACE(type);
    Played.clear();
    EXPECT_TRUE(MessageBeep(type));
    EXPECT_EQ(Played, (std::vector<TSoundCall>{{rtl::detail::skEvent, event, true}}));
  }
}

bool AudioDeviceHere() {
  const char* server = std::getenv("PULSE_SERVER");
  if (server && *server) return true;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"))
    if (fs::exists(std::string(run) + "/pulse/native") || fs::exists(std::string(run) + "/pipewire-0")) return true;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator("/dev/snd", ec))
    if (e.path().filename().string().rfind("pcmC", 0) == 0) return true;
  return false;
}

TEST_F(Sounds, WithoutADeviceEverySoundIsSilentAndSaysSo) {
  if (AudioDeviceHere()) GTEST_SKIP() << "this machine has an audio device";
  rtl::detail::SetSoundHook(nullptr);
  EXPECT_FALSE(sndPlaySound(Wav.c_str(), SND_SYNC)) << "nothing played, and nothing waited for";
  EXPECT_FALSE(sndPlaySound(Wav.c_str(), SND_ASYNC));
  EXPECT_FALSE(PlaySound("SystemAsterisk", nullptr, SND_ALIAS));
  EXPECT_TRUE(MessageBeep(MB_ICONINFORMATION)) << "a beep is never an error";
}

}  // namespace
