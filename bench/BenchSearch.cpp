// Search over synthetic candidate sets of 10 000 to 1 000 000 records,
// read against BM_ByteScan: a plain per-name byte search of the raw word,
// the least any search has to do. BM_Search/Kana and KanaBroad search with
// kana matching on; read them against BM_Search/Substring and
// BM_SearchBroad. BM_KanaWords runs over every katakana word of the
// dictionary that scripts/kana-words --all writes (path in TARN_KANA_WORDS,
// else build/bench/kana-words.txt): how many find themselves by each of
// their spellings, and how many words each search finds among all of them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/Cp932.h"
#include "search/AppEntry.h"
#include "search/Matching.h"
#include "search/Readings.h"
#include "support/ReadingFile.h"

namespace {

// Name pieces of every script a Japanese desktop shows. None holds the
// tokens below, so each mode's word hits the records tagged for it.
const char* const kPieces[] = {
    "Setup", "Microsoft", "Office", "Word", "Excel", "Player", "Media", "Update", "Uninstall",
    "Readme", "Help", "Tools", "Config", "Manager", "Viewer", "Editor", "Studio", "Net", "Web",
    "Photo", "Music", "Video", "Game", "Launcher", "Driver", "Console", "Server", "Client", "Mail",
    "Paint", "Calc", "Notepad", "Adobe", "Reader", "Visual", "Basic", "Command", "Prompt",
    "Explorer", "Internet", "Remote", "Desktop", "Backup", "Sound", "Record", "Image", "Scanner",
    "Printer", "Font", "Color", "Network", "Monitor", "Utility", "Archive", "Browser", "Movie",
    "2003", "v1.2", "(x86)", "10", "Pro", "Lite", "Plus", "SDK", "PDF", "CD", "DVD", "USB",
    "ＰＤＦ", "ＣＤ", "ＤＶＤ", "Ｗｏｒｄ", "ＭＰ３", "ＵＳＢ",
    "ｾｯﾄｱｯﾌﾟ", "ﾍﾙﾌﾟ", "ｶﾞｲﾄﾞ", "ﾂｰﾙ", "ﾒﾆｭｰ", "ﾌﾟﾚｲﾔｰ", "ﾃﾞｰﾀ", "ﾊﾞｯｸｱｯﾌﾟ",
    "ヘルプ", "マニュアル", "インストール", "ツール", "ゲーム", "エディタ", "ビューア", "ドライバ",
    "設定", "表計算", "年賀状", "画像編集", "説明書", "情報", "会計", "辞書", "地図", "音楽",
    "写真", "動画", "変換", "管理", "印刷", "住所録", "家計簿", "翻訳",
};

const char* const kFolders[] = {
    "C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\",
    "C:\\Program Files\\",
    "C:\\Documents and Settings\\User\\デスクトップ\\",
    "D:\\Tools\\",
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\",
};

// The mode words and the tags that make about 1 % of names match each.
struct ModeCase {
  const char* Name;
  const char* Word;
};
const ModeCase kModes[] = {
    {"Substring", "tar"}, {"Prefix", "^vox"}, {"Exact", "\\zen"}, {"Suffix", "kit$"}, {"InOrder", "*jqy"},
};

std::string Clip(std::string s, std::size_t max) { return std::string(tarn::TruncateToFit(s, max)); }

AppEntryList MakeEntries(std::size_t count) {
  std::mt19937 rng(static_cast<unsigned>(count));
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  const std::size_t pieceCount = sizeof kPieces / sizeof kPieces[0];
  AppEntryList list;
  list.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string name;
    const std::size_t parts = 1 + pick(4);
    for (std::size_t p = 0; p < parts; ++p) {
      if (!name.empty() && pick(2)) name += ' ';
      name += kPieces[pick(pieceCount)];
    }
    name = Clip(name, 5 + pick(36));
    while (name.size() < 5) name += kPieces[pick(pieceCount)];
    name = Clip(name, 40);

    // Tags in mixed case and width, so that folding is what finds them.
    switch (pick(500)) {
      case 0: case 1: case 2: case 3: case 4: {
        static const char* const kTar[] = {"Tar", "TAR", "tar", "ｔａｒ", "ＴＡＲ"};
        name.insert(tarn::TruncateToFit(name, pick(name.size() + 1)).size(), kTar[pick(5)]);
        break;
      }
      case 5: case 6: case 7: case 8: case 9: name = (pick(2) ? "Vox " : "ＶＯＸ ") + name; break;
      case 10: case 11: case 12: case 13: case 14: name = pick(2) ? "Zen" : "ＺＥＮ"; break;
      case 15: case 16: case 17: case 18: case 19: name += pick(2) ? " Kit" : " ＫＩＴ"; break;
      case 20: case 21: case 22: case 23: case 24: name = "Jam " + name + " Quick Yard"; break;
      case 25: case 26: case 27: case 28: case 29: {
        // The romaji word's kana in each script; the form by position, so
        // that the random stream of the other names stays as it was.
        static const char* const kCamera[] = {"カメラ", "かめら", "ｶﾒﾗ"};
        name.insert(tarn::TruncateToFit(name, name.size() / 2).size(), kCamera[i % 3]);
        break;
      }
      default: break;
    }

    std::string path = kFolders[pick(sizeof kFolders / sizeof kFolders[0])];
    path += name;
    path += pick(3) ? ".lnk" : ".exe";
    if (path.size() < 30) path.insert(0, "C:\\Program Files\\Common\\");
    list.push_back({name, Clip(path, 120), static_cast<int32_t>(i)});
  }
  return list;
}

const AppEntryList& Entries(std::size_t count) {
  static std::map<std::size_t, AppEntryList> sets;
  auto it = sets.find(count);
  if (it == sets.end()) it = sets.emplace(count, MakeEntries(count)).first;
  return it->second;
}

void RunSearch(benchmark::State& state, const char* word, tarn::MatchOptions options = {}) {
  const AppEntryList& entries = Entries(static_cast<std::size_t>(state.range(0)));
  // The store keeps its match positions from search to search; the first
  // search into an empty list, which allocates, is shown apart.
  MatchList::Positions matches;
  const auto start = std::chrono::steady_clock::now();
  tarn::FilterEntries(entries, word, matches, options);
  state.counters["first_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) {
    tarn::FilterEntries(entries, word, matches, options);
    benchmark::DoNotOptimize(matches.data());
  }
  state.counters["hit%"] = 100.0 * static_cast<double>(matches.size()) / static_cast<double>(entries.size());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
}

const tarn::CReadingTable& Table() {
  const tarn::CReadingTable& table = tarn::test::SourceReadingTable();
  if (!table.IsOpen()) std::fprintf(stderr, "no reading table at %s\n", TARN_READINGS_FILE);
  return table;
}

// Words of the names Japanese software gives its programs and documents.
const char* const kKanjiWords[] = {
    "電卓", "付箋", "拡大鏡", "文字コード表", "メモ帳", "日本語入力", "圧縮解凍", "削除", "更新", "起動",
    "終了", "確認", "検索", "作成", "保存", "表示", "接続", "共有", "時計", "天気", "予定表", "会議室",
    "名刺管理", "請求書", "見積書", "給与計算", "顧客管理", "在庫管理", "販売管理", "税務申告", "学習",
    "英語", "漢字", "数学", "弥生会計", "一太郎", "秀丸", "筆まめ", "年賀状作成", "家計簿", "住所録",
    "画面", "録音", "録画", "再生", "音声", "翻訳", "辞書", "地図", "写真", "動画", "設定", "情報",
    "切り取り", "貼り付け", "新しいフォルダー", "ごみ箱", "管理ツール", "取扱説明書", "体験版",
};

// The same names with a word in kanji put into about a third of them, read
// by the table: the list the reading search is measured on.
AppEntryList MakeKanjiEntries(std::size_t count) {
  AppEntryList list = MakeEntries(count);
  std::mt19937 rng(static_cast<unsigned>(count) + 1);
  for (AppEntry& e : list) {
    std::string& name = e.DispName;
    bool kanji = false;
    for (std::size_t i = 0; i + 1 < name.size(); i = tarn::NextChar(name, i))
      kanji = kanji || static_cast<unsigned char>(name[i]) >= 0x88;
    if (!kanji && rng() % 16 == 0) {
      const std::size_t at = tarn::TruncateToFit(name, rng() % (name.size() + 1)).size();
      name.insert(at, kKanjiWords[rng() % (sizeof kKanjiWords / sizeof kKanjiWords[0])]);
    }
  }
  return list;
}

const AppEntryList& KanjiEntries(std::size_t count, bool readings) {
  static std::map<std::pair<std::size_t, bool>, AppEntryList> sets;
  auto it = sets.find({count, readings});
  if (it == sets.end()) {
    AppEntryList list = MakeKanjiEntries(count);
    if (readings) tarn::SetReadings(list, &Table());
    it = sets.emplace(std::pair{count, readings}, std::move(list)).first;
  }
  return it->second;
}

void RunKanjiSearch(benchmark::State& state, const char* word, bool kana, bool readings) {
  const AppEntryList& entries = KanjiEntries(static_cast<std::size_t>(state.range(0)), readings);
  MatchList::Positions matches;
  std::size_t kanji = 0;
  for (const AppEntry& e : KanjiEntries(entries.size(), true)) kanji += e.ReadingAt != 0;
  for (auto _ : state) {
    tarn::FilterEntries(entries, word, matches, {kana});
    benchmark::DoNotOptimize(matches.data());
  }
  state.counters["hit%"] = 100.0 * static_cast<double>(matches.size()) / static_cast<double>(entries.size());
  state.counters["read%"] = 100.0 * static_cast<double>(kanji) / static_cast<double>(entries.size());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
}

// Making the readings of a first pass's names (on the worker thread); the
// heap the readings take, against the same records without them.
void BM_MakeReadings(benchmark::State& state) {
  const AppEntryList& source = KanjiEntries(static_cast<std::size_t>(state.range(0)), false);
  AppEntryList list;
  std::size_t heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    list = source;
    state.ResumeTiming();
    tarn::SetReadings(list, &Table());
    benchmark::DoNotOptimize(list.data());
  }
  heap = list.ReadingBytes();
  state.counters["us/name"] = benchmark::Counter(static_cast<double>(list.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert) ;
  state.counters["heap_MB"] = static_cast<double>(heap) / 1e6;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(list.size()));
}

void BM_ByteScan(benchmark::State& state) {
  const AppEntryList& entries = Entries(static_cast<std::size_t>(state.range(0)));
  const char word[] = "tar";
  std::size_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    for (const AppEntry& e : entries) {
      if (memmem(e.DispName.data(), e.DispName.size(), word, sizeof word - 1)) ++hits;
    }
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hit%"] = 100.0 * static_cast<double>(hits) / static_cast<double>(entries.size());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
}

// Each word with its spellings, as scripts/kana-words writes them.
struct KanaWord {
  std::string Name;
  std::vector<std::string> Spellings;
};

const std::vector<KanaWord>& KanaWords() {
  static const std::vector<KanaWord> words = [] {
    std::vector<KanaWord> out;
    const char* path = std::getenv("TARN_KANA_WORDS");
    std::ifstream in(path ? path : "build/bench/kana-words.txt");
    for (std::string line; std::getline(in, line);) {
      KanaWord w;
      for (std::size_t at = 0, tab; at <= line.size(); at = tab + 1) {
        tab = std::min(line.find('\t', at), line.size());
        (w.Name.empty() ? w.Name : w.Spellings.emplace_back()) = line.substr(at, tab - at);
      }
      out.push_back(std::move(w));
    }
    return out;
  }();
  return words;
}

// Every spelling of every word as an exact word against that word alone.
void BM_KanaWordsFindThemselves(benchmark::State& state) {
  const std::vector<KanaWord>& words = KanaWords();
  if (words.empty()) return state.SkipWithError("no word list: run scripts/kana-words --all build/bench/kana-words.txt");
  std::size_t searched = 0, found = 0;
  MatchList::Positions matches;
  for (auto _ : state) {
    searched = found = 0;
    for (const KanaWord& w : words) {
      const AppEntryList one{{w.Name, "C:\\x.exe", 0}};
      for (const std::string& spelling : w.Spellings) {
        tarn::FilterEntries(one, "\\" + spelling, matches, {true});
        found += matches.size();
        ++searched;
      }
    }
  }
  state.counters["words"] = static_cast<double>(words.size());
  state.counters["found%"] = 100.0 * static_cast<double>(found) / static_cast<double>(searched);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(searched));
}

// One word in 50 searched among all the words, in full and by its first
// four letters: the names found per search, for each kind of spelling.
void BM_KanaWordsHits(benchmark::State& state) {
  const std::vector<KanaWord>& words = KanaWords();
  if (words.empty()) return state.SkipWithError("no word list: run scripts/kana-words --all build/bench/kana-words.txt");
  AppEntryList names;
  for (const KanaWord& w : words) names.push_back({w.Name, "C:\\x.exe", static_cast<int32_t>(names.size())});
  std::size_t searches = 0, hits[3] = {};
  MatchList::Positions matches;
  for (auto _ : state) {
    searches = 0;
    std::fill(std::begin(hits), std::end(hits), 0);
    for (std::size_t i = 0; i < words.size(); i += 50, searches += 2) {
      for (std::size_t k = 0; k < 3 && k < words[i].Spellings.size(); ++k) {
        const std::string& spelling = words[i].Spellings[k];
        for (const std::string& word : {spelling, std::string("^").append(spelling, 0, 4)}) {
          tarn::FilterEntries(names, word, matches, {true});
          hits[k] += matches.size();
        }
      }
    }
  }
  const char* const kinds[] = {"hits/input", "hits/short", "hits/again"};
  for (int k = 0; k < 3; ++k)
    state.counters[kinds[k]] = static_cast<double>(hits[k]) / static_cast<double>(searches);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(3 * searches));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

}  // namespace

const tarn::CReadingTable& BenchReadingTable() { return Table(); }
const AppEntryList& BenchKanjiEntries(std::size_t count, bool readings) { return KanjiEntries(count, readings); }

namespace {

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("BM_ByteScan", BM_ByteScan)->Apply(Sizes);
  for (const ModeCase& m : kModes) {
    benchmark::RegisterBenchmark((std::string("BM_Search/") + m.Name).c_str(),
                                 [word = m.Word](benchmark::State& s) { RunSearch(s, word); })
        ->Apply(Sizes);
  }
  benchmark::RegisterBenchmark("BM_SearchBroad", [](benchmark::State& s) { RunSearch(s, "e"); })
      ->Apply(Sizes);
  // A romaji word for about 1 % of the names; and a first keystroke, which
  // stands for every kana it can begin (and for itself).
  benchmark::RegisterBenchmark("BM_Search/Kana", [](benchmark::State& s) { RunSearch(s, "kamera", {true}); })
      ->Apply(Sizes);
  benchmark::RegisterBenchmark("BM_Search/KanaBroad", [](benchmark::State& s) { RunSearch(s, "t", {true}); })
      ->Apply(Sizes);
  benchmark::RegisterBenchmark("BM_KanaWords/FindThemselves", BM_KanaWordsFindThemselves)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_KanaWords/Hits", BM_KanaWordsHits)->Unit(benchmark::kMillisecond);
  // About a third of the names in kanji: a romaji word that their readings
  // find, read against a plain search of the same list.
  // (Kana: the same word before names had readings.)
  benchmark::RegisterBenchmark("BM_SearchKanji/Substring",
                               [](benchmark::State& s) { RunKanjiSearch(s, "tar", false, false); })
      ->Apply(Sizes);
  benchmark::RegisterBenchmark("BM_SearchKanji/Kana", [](benchmark::State& s) { RunKanjiSearch(s, "kaikei", true, false); })
      ->Apply(Sizes);
  benchmark::RegisterBenchmark("BM_SearchKanji/KanaRead",
                               [](benchmark::State& s) { RunKanjiSearch(s, "kaikei", true, true); })
      ->Apply(Sizes);
  benchmark::RegisterBenchmark("BM_MakeReadings", BM_MakeReadings)->Arg(100000)->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
