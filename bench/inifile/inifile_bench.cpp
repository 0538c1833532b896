// How long cInifile takes to read one value. Every read goes to the file, so
// this is a whole open-read-parse-close per read; a 200-key configuration
// file must answer in under 20 microseconds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "extension/core/cInifile.h"

namespace {

namespace fs = std::filesystem;

// A file of 200 keys in 10 sections, as Windows writes it (CR LF), the
// sections named like the system's own ("Ligação" among them).
fs::path makeIniFile(bool windows1252) {
  fs::path file = fs::temp_directory_path() /
                  ("quill_inifile_bench_" + std::to_string(::getpid()) + (windows1252 ? "_ansi.ini" : ".ini"));
  std::string text;
  for (int s = 0; s < 10; ++s) {
    text += s == 5 ? (windows1252 ? "[Liga\xE7\xE3o]\r\n" : "[Ligação]\r\n") : "[Secção " + std::to_string(s) + "]\r\n";
    if (windows1252 && s != 5) text.replace(text.rfind("Secção"), 8, "Sec\xE7\xE3o");
    for (int k = 0; k < 20; ++k)
      text += "Chave" + std::to_string(k) + "=Valor da chave " + std::to_string(s * 20 + k) + " em C:\\Programas\\\r\n";
    text += "\r\n";
  }
  std::ofstream(file, std::ios::binary) << text;
  return file;
}

void readValues(benchmark::State& state, bool windows1252, const char* section, const char* key) {
  fs::path file = makeIniFile(windows1252);
  quill::cInifile ini;
  ini.setPath(file.string());
  ini.setSection(section);
  ini.setKey(key);
  if (ini.Value().empty()) state.SkipWithError("the key was not found");
  for (auto _ : state) benchmark::DoNotOptimize(ini.Value());
  state.SetItemsProcessed(state.iterations());
  fs::remove(file);
}

// The last key of the last section: the whole file is scanned.
void BM_IniFileValue_200Keys(benchmark::State& state) { readValues(state, false, "Secção 9", "Chave19"); }
void BM_IniFileValue_200Keys_Windows1252(benchmark::State& state) { readValues(state, true, "Ligação", "Chave19"); }
void BM_IniFileValue_200Keys_MissingKey(benchmark::State& state) {
  fs::path file = makeIniFile(false);
  quill::cInifile ini;
  ini.setPath(file.string());
  ini.setSection("Ligação");
  ini.setKey("Inexistente");
  ini.setDefault("FAIL");
  for (auto _ : state) benchmark::DoNotOptimize(ini.Value());
  state.SetItemsProcessed(state.iterations());
  fs::remove(file);
}

BENCHMARK(BM_IniFileValue_200Keys)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IniFileValue_200Keys_Windows1252)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IniFileValue_200Keys_MissingKey)->Iterations(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
