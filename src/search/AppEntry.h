// One candidate: a collected file with the name the search compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct AppEntry {
  std::string DispName;   // shell display name without its last extension
  std::string FullPath;   // what is started
  int32_t ListIndex = -1; // position in the path list it was built from
  // Where its list keeps the reading of the name (see AppEntryList); 0 for
  // none. In what would be padding: a record is no larger for it.
  uint32_t ReadingAt{};

  bool operator==(const AppEntry&) const = default;
};

// The candidates, in order, and the readings of their names in kanji
// (電卓: デンタク, folded for kana matching), kept in one block beside them:
// only names in kanji have one, and only while kana matching is on.
class AppEntryList : public std::vector<AppEntry> {
 public:
  using std::vector<AppEntry>::vector;

  // The reading of a record of this list; empty when it has none.
  std::string_view ReadingOf(const AppEntry& e) const {
    if (e.ReadingAt == 0 || e.ReadingAt + 1 >= Readings.size()) return {};
    const std::size_t at = e.ReadingAt + 1;
    const std::size_t size = static_cast<unsigned char>(Readings[at - 2]) | static_cast<unsigned char>(Readings[at - 1]) << 8;
    return std::string_view(Readings).substr(at, size);
  }
  bool HasReadings() const { return !Readings.empty(); }
  std::size_t ReadingBytes() const { return Readings.capacity(); }
  // Gives e, a record of this list, its reading; one longer than 65 535
  // bytes is left out.
  void SetReading(AppEntry& e, std::string_view reading) {
    e.ReadingAt = 0;
    if (reading.empty() || reading.size() > 0xFFFF || Readings.size() > 0xFFFF0000u) return;
    e.ReadingAt = static_cast<uint32_t>(Readings.size()) + 1;
    Readings += static_cast<char>(reading.size() & 0xFF);
    Readings += static_cast<char>(reading.size() >> 8);
    Readings += reading;
  }
  void ClearReadings() {
    for (AppEntry& e : *this) e.ReadingAt = 0;
    std::string().swap(Readings);
  }

 private:
  std::string Readings;  // per reading: its length (2 bytes, low first), its bytes
};
using PathList = std::vector<std::string>;

// A search result: positions of records in one list of candidates, which
// it keeps alive. The records themselves are never copied, so a result of
// 100 000 candidates costs one integer each.
class MatchList {
 public:
  using Positions = std::vector<int32_t>;

  class const_iterator {
   public:
    const_iterator(const MatchList* list, std::size_t i) : List(list), I(i) {}
    const AppEntry& operator*() const { return (*List)[I]; }
    const AppEntry* operator->() const { return &(*List)[I]; }
    const_iterator& operator++() {
      ++I;
      return *this;
    }
    bool operator==(const const_iterator& o) const { return I == o.I; }

   private:
    const MatchList* List;
    std::size_t I;
  };

  MatchList() = default;
  MatchList(std::shared_ptr<const AppEntryList> records, Positions at)
      : Records(std::move(records)), At(std::move(at)) {}

  std::size_t size() const { return At.size(); }
  bool empty() const { return At.empty(); }
  const AppEntry& operator[](std::size_t i) const { return (*Records)[static_cast<std::size_t>(At[i])]; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, At.size()}; }

  // The list the positions point into.
  const std::shared_ptr<const AppEntryList>& Source() const { return Records; }
  // The positions, in shown order; reordering them reorders the result.
  Positions& Order() { return At; }
  const Positions& Order() const { return At; }

 private:
  std::shared_ptr<const AppEntryList> Records;
  Positions At;
};
