// Cache file load and save against a plain read of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "search/CollectSources.h"

namespace {

// Paths of 30 to 120 bytes: folders and names in ASCII, kanji and kana.
PathList MakePaths(std::size_t count) {
  static const char* const parts[] = {"Program Files", "ソフト表", "ツール", "Microsoft Office", "能力",
                                      "十字", "予定表", "Games", "ｶﾀｶﾅ", "bin", "スタートメニュー", "Tools"};
  std::mt19937 rng(static_cast<unsigned>(count));
  PathList paths;
  paths.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t want = 30 + rng() % 91;
    std::string p = "C:\\";
    while (p.size() + 20 < want) {
      p += parts[rng() % 12];
      p += '\\';
    }
    std::string name(1, 'f');
    name += std::to_string(i);
    while (p.size() + name.size() + 4 < want) name += static_cast<char>('a' + rng() % 26);
    p += name + ".exe";
    paths.push_back(std::move(p));
  }
  return paths;
}

const std::string& CacheFile(std::size_t count) {
  static std::map<std::size_t, std::string> files;
  auto it = files.find(count);
  if (it != files.end()) return it->second;
  std::string name = "/tmp/tarn_bench_apppaths_" + std::to_string(count) + ".ini";
  std::string text;
  for (const std::string& p : MakePaths(count)) tarn::AppendCacheLine(text, p);
  FILE* f = std::fopen(name.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return files[count] = name;
}

bool ReadAll(const std::string& name, std::string& text) {
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return false;
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  text.resize(static_cast<std::size_t>(size));
  std::size_t got = std::fread(text.data(), 1, text.size(), f);
  std::fclose(f);
  text.resize(got);
  return true;
}

void BM_ReadFileRaw(benchmark::State& state) {
  const std::string& name = CacheFile(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string text;
    ReadAll(name, text);
    benchmark::DoNotOptimize(text.data());
  }
}

// As the program loads it: the text read whole and the paths as views
// into it, which the naming step turns into records.
void BM_CacheLoad(benchmark::State& state) {
  const std::size_t count = static_cast<std::size_t>(state.range(0));
  const std::string& name = CacheFile(count);
  for (auto _ : state) {
    std::string text;
    tarn::PathViews paths;
    ReadAll(name, text);
    tarn::ParseCacheText(text, paths);
    if (paths.size() != count) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(paths.data());
    // Freeing them is the caller's business, later.
    state.PauseTiming();
    tarn::PathViews().swap(paths);
    std::string().swap(text);
    state.ResumeTiming();
  }
}

// As the pass writes: through a 64 KiB buffer, one path at a time.
void BM_CacheSave(benchmark::State& state) {
  const PathList paths = MakePaths(static_cast<std::size_t>(state.range(0)));
  const std::string name = "/tmp/tarn_bench_apppaths_save.tmp";
  for (auto _ : state) {
    FILE* f = std::fopen(name.c_str(), "wb");
    std::string buffer;
    buffer.reserve(64 * 1024 + 300);
    for (const std::string& p : paths) {
      tarn::AppendCacheLine(buffer, p);
      if (buffer.size() >= 64 * 1024) {
        std::fwrite(buffer.data(), 1, buffer.size(), f);
        buffer.clear();
      }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), f);
    std::fclose(f);
  }
  std::remove(name.c_str());
}

}  // namespace

BENCHMARK(BM_ReadFileRaw)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CacheLoad)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CacheSave)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
