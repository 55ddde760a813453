// Expanding a static item with a full 259-byte search word, in both
// encodings, beside the floor of copying the same word into a command.
#include <benchmark/benchmark.h>

#include <string>

#include "IconvCp932.h"
#include "launcher/UrlEncode.h"

namespace {

// 259 bytes of kanji (some with a 5C trail byte), kana, half-width kana and ASCII.
std::string Word259() {
  const std::string pieces[] = {"表示", "ソフト", "ｶﾀｶﾅ", "abc 1+1", "漢字%", "①髙"};
  std::string w;
  for (std::size_t i = 0; w.size() < 259; ++i) w += pieces[i % 6];
  w.resize(259);
  if ((static_cast<unsigned char>(w[258]) >= 0x81)) w[258] = 'z';
  return w;
}

void BM_ExpandStaticCommand(benchmark::State& state) {
  const bool utf8 = state.range(0) != 0;
  const StaticItem item{"web", "https://www.example.com/search?q=%1&ie=UTF-8", true, utf8};
  const std::string word = Word259();
  std::string out;
  for (auto _ : state) {
    bool ok = ExpandCommand(item, word, &out, &IconvCp932ToUtf8);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel(utf8 ? "UTF-8" : "Shift-JIS");
  state.counters["bytes_out"] = static_cast<double>(out.size());
}
BENCHMARK(BM_ExpandStaticCommand)->Arg(0)->Arg(1);

// Floor: the same word put in place of "%1" without any encoding.
void BM_ExpandStaticCommandFloor(benchmark::State& state) {
  const StaticItem item{"web", "https://www.example.com/search?q=%1&ie=UTF-8", false, false};
  const std::string word = Word259();
  std::string out;
  for (auto _ : state) {
    bool ok = ExpandCommand(item, word, &out, nullptr);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ExpandStaticCommandFloor);

}  // namespace
