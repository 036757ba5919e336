// Ini files and the registry: a read through TIniFile (one file read per
// call), loading a TMemIniFile, opening a registry key and reading a value.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"

namespace {

// A temporary folder for the benchmark's files, removed at the end.
class TTempDir {
 public:
  std::string Path;
  TTempDir() {
    char tmpl[] = "/tmp/inifile_bench.XXXXXX";
    Path = mkdtemp(tmpl);
  }
  ~TTempDir() { std::filesystem::remove_all(Path); }
};

// Sections of `keys` keys each, `sections` of them.
std::string IniText(int sections, int keys) {
  std::string s;
  for (int i = 0; i < sections; ++i) {
    s += "[Section" + std::to_string(i) + "]\r\n";
    for (int k = 0; k < keys; ++k) s += "Key" + std::to_string(k) + "=Some value number " + std::to_string(k) + "\r\n";
    s += "\r\n";
  }
  return s;
}

void BM_IniFileReadString(benchmark::State& state) {
  TTempDir dir;
  const std::string file = dir.Path + "/settings.ini";
  std::ofstream(file, std::ios::binary) << IniText(4, 50);  // 200 keys
  TIniFile ini(file);
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadString("Section2", "Key25", ""));
}
BENCHMARK(BM_IniFileReadString);

void BM_MemIniFileLoad(benchmark::State& state) {
  TTempDir dir;
  const std::string file = dir.Path + "/big.ini";
  std::ofstream(file, std::ios::binary) << IniText(20, 98);  // 2,000 lines
  for (auto _ : state) {
    TMemIniFile ini(file);
    benchmark::DoNotOptimize(ini.ReadString("Section19", "Key97", ""));
  }
}
BENCHMARK(BM_MemIniFileLoad);

void BM_RegistryOpenRead(benchmark::State& state) {
  TTempDir dir;
  setenv("XDG_CONFIG_HOME", dir.Path.c_str(), 1);
  {
    TRegistry reg;
    reg.OpenKey("\\Software\\Bench", true);
    for (int i = 0; i < 50; ++i) reg.WriteString("Value" + std::to_string(i), "text " + std::to_string(i));
  }
  for (auto _ : state) {
    TRegistry reg;
    reg.OpenKeyReadOnly("\\Software\\Bench");
    benchmark::DoNotOptimize(reg.ReadString("Value25"));
  }
}
BENCHMARK(BM_RegistryOpenRead);

}  // namespace
