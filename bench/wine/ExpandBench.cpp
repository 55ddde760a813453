// Expansion timings under Wine with the platform's code page conversion;
// run by hand (scripts/wine-exec build/win/bench/tarn_expand_bench.exe).
#include <windows.h>

#include <cstdio>
#include <string>

#include "launcher/Launch.h"

namespace {

double MicrosPerCall(const StaticItem& item, const std::string& word, int calls) {
  LARGE_INTEGER freq, start, end;
  QueryPerformanceFrequency(&freq);
  std::string out;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < calls; ++i) ExpandStaticCommand(item, word, &out);
  QueryPerformanceCounter(&end);
  return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart) / calls;
}

}  // namespace

int main() {
  const std::string pieces[] = {"表示", "ソフト", "ｶﾀｶﾅ", "abc 1+1", "漢字%", "①髙"};
  std::string word;
  for (std::size_t i = 0; word.size() < 259; ++i) word += pieces[i % 6];
  word.resize(259);
  if (static_cast<unsigned char>(word[258]) >= 0x81) word[258] = 'z';
  const std::string command = "https://www.example.com/search?q=%1&ie=UTF-8";
  const int calls = 200000;
  for (int round = 0; round < 3; ++round) {
    std::printf("floor (no encoding)  %.3f us\n", MicrosPerCall({"w", command, false, false}, word, calls));
    std::printf("Shift-JIS encoded    %.3f us\n", MicrosPerCall({"w", command, true, false}, word, calls));
    std::printf("UTF-8 encoded        %.3f us\n", MicrosPerCall({"w", command, true, true}, word, calls));
  }
  return 0;
}
