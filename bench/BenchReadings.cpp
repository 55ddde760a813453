// What readings find: BM_ReadingRecall searches real program names in kanji
// (Windows' own tools, common Japanese software) with the romaji a person
// types for them and counts those found (misses go to stderr);
// BM_ReadingExtraHits counts what readings add to the hits of short words
// on 20 000 names of the benchmark list with a third in kanji.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "search/AppEntry.h"
#include "search/Matching.h"
#include "search/Readings.h"

const tarn::CReadingTable& BenchReadingTable();
const AppEntryList& BenchKanjiEntries(std::size_t count, bool readings);

namespace {

struct RealName {
  const char* Name;
  const char* Word;
};

const RealName kRealNames[] = {
    // Windows
    {"電卓", "dentaku"}, {"設定", "settei"}, {"付箋", "fusen"}, {"拡大鏡", "kakudaikyou"},
    {"文字コード表", "mojiko-dohyou"}, {"システム情報", "jouhou"}, {"メモ帳", "memochou"},
    {"切り取り & スケッチ", "kiritori"}, {"切り取り領域とスケッチ", "kiritori"}, {"画面キーボード", "gamen"},
    {"音声認識", "onseininshiki"}, {"天気", "tenki"}, {"時計", "tokei"}, {"地図", "chizu"}, {"写真", "shashin"},
    {"映画 & テレビ", "eiga"}, {"予定表", "yoteihyou"}, {"電話", "denwa"}, {"ファイル名を指定して実行", "jikkou"},
    {"管理ツール", "kanri"}, {"コンピューターの管理", "kanri"}, {"ディスクの最適化", "saitekika"},
    {"システムの復元", "fukugen"}, {"既定のプログラム", "kiteino"}, {"音量ミキサー", "onryou"},
    {"印刷の管理", "insatsu"}, {"資格情報マネージャー", "shikakujouhou"}, {"回復ドライブ", "kaifuku"},
    {"記憶域", "kiokuiki"}, {"信頼性モニター", "shinraisei"}, {"電源オプション", "dengen"},
    {"日付と時刻", "hizuke"}, {"個人用設定", "kojinyou"}, {"手書き入力", "tegaki"}, {"数式入力パネル", "suushiki"},
    {"新しいフォルダー", "atarashii"}, {"ごみ箱", "gomibako"}, {"送る", "okuru"}, {"問題ステップ記録ツール", "mondai"},
    {"録音機", "rokuonki"}, {"リモート デスクトップ接続", "setsuzoku"}, {"共有フォルダー", "kyouyuu"},
    {"コマンド プロンプト", "komando"}, {"付属品", "fuzokuhin"}, {"簡単操作", "kantan"}, {"入力", "nyuuryoku"},
    {"既定のアプリ", "kitei"}, {"画面の録画", "rokuga"}, {"ペイント 3D", "peinto"}, {"保存", "hozon"},
    // Japanese software
    {"秀丸エディタ", "hidemaru"}, {"秀丸メール", "hidemaru"}, {"一太郎 2024", "ichitarou"}, {"花子", "hanako"},
    {"弥生会計 24", "yayoi"}, {"弥生販売", "yayoihanbai"}, {"やよいの青色申告", "aoiro"}, {"筆まめ", "fudemame"},
    {"筆王", "fudeou"}, {"筆ぐるめ", "fudegurume"}, {"宛名職人", "atena"}, {"駅すぱあと", "eki"},
    {"乗換案内", "norikae"}, {"年賀状作成", "nengajou"}, {"楽々はがき", "rakuraku"}, {"家計簿", "kakeibo"},
    {"会計王", "kaikeiou"}, {"給与計算", "kyuuyo"}, {"確定申告", "kakutei"}, {"桐", "kiri"}, {"蔵衛門", "kuraemon"},
    {"窓の杜", "madonomori"}, {"紙copi", "kami"}, {"広辞苑", "koujien"}, {"大辞林", "daijirin"},
    {"明鏡国語辞典", "meikyou"}, {"英和辞典", "eiwa"}, {"和英辞典", "waei"}, {"漢字辞典", "kanji"},
    {"日本語入力", "nihongo"}, {"将棋", "shougi"}, {"囲碁", "igo"}, {"麻雀", "maajan"}, {"花札", "hanafuda"},
    {"上海", "shanhai"}, {"信長の野望", "nobunaga"}, {"三國志", "sangokushi"}, {"桃太郎電鉄", "momotarou"},
    {"太鼓の達人", "taiko"}, {"電車でGO!", "densha"}, {"刀剣乱舞", "touken"}, {"原神", "genshin"},
    {"桜時計", "sakura"}, {"鶴亀メール", "tsurukame"}, {"電子辞書", "denshi"}, {"翻訳", "honyaku"},
    {"圧縮・解凍", "kaitou"}, {"動画編集", "douga"}, {"画像編集", "gazou"}, {"写真整理", "seiri"},
    {"名刺管理", "meishi"}, {"顧客管理", "kokyaku"}, {"在庫管理", "zaiko"}, {"請求書", "seikyuusho"},
    {"見積書", "mitsumori"}, {"住所録", "juushoroku"}, {"取扱説明書", "toriatsukai"}, {"体験版", "taikenban"},
};

void BM_ReadingRecall(benchmark::State& state) {
  AppEntryList entries;
  for (const RealName& r : kRealNames) entries.push_back({r.Name, "C:\\x.lnk", 0});
  tarn::SetReadings(entries, &BenchReadingTable());
  std::size_t found = 0, read = 0;
  for (auto _ : state) {
    found = read = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      MatchList::Positions at;
      AppEntryList one{entries[i]};
      one.SetReading(one[0], entries.ReadingOf(entries[i]));
      tarn::FilterEntries(one, kRealNames[i].Word, at, {true});
      found += at.size();
      read += entries[i].ReadingAt != 0;
      if (at.empty() && state.iterations() == 0)
        std::fprintf(stderr, "not found: %s by %s (read %s)\n", kRealNames[i].Name, kRealNames[i].Word,
                     std::string(entries.ReadingOf(entries[i])).c_str());
    }
  }
  state.counters["names"] = static_cast<double>(entries.size());
  state.counters["read"] = static_cast<double>(read);
  state.counters["found"] = static_cast<double>(found);
}

// Short words as they are typed, romaji and English alike.
const char* const kWords[] = {"se", "set", "ka", "kai", "tar", "ed", "memo", "note", "doc", "pdf", "mail", "to",
                              "shi", "ji", "in", "te", "ko", "na", "ge", "ma", "ha", "de", "ri", "su"};

void BM_ReadingExtraHits(benchmark::State& state) {
  const AppEntryList& with = BenchKanjiEntries(20000, true);
  const AppEntryList& without = BenchKanjiEntries(20000, false);
  double extra = 0, before = 0;
  for (auto _ : state) {
    extra = before = 0;
    for (const char* word : kWords) {
      MatchList::Positions a, b;
      tarn::FilterEntries(with, word, a, {true});
      tarn::FilterEntries(without, word, b, {true});
      extra += static_cast<double>(a.size() - b.size());
      before += static_cast<double>(b.size());
    }
  }
  const double words = sizeof kWords / sizeof kWords[0];
  state.counters["hits_per_word"] = before / words;
  state.counters["extra_per_word"] = extra / words;
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("BM_ReadingRecall", BM_ReadingRecall)->Iterations(1);
  benchmark::RegisterBenchmark("BM_ReadingExtraHits", BM_ReadingExtraHits)->Iterations(1);
  return true;
}();

}  // namespace
