// One candidate: a collected file with the name the search compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct AppEntry {
  std::string DispName;   // shell display name without its last extension
  std::string FullPath;   // what is started
  int32_t ListIndex = -1; // position in the path list it was built from
  // The name read in katakana where it holds kanji (電卓: デンタク), folded
  // for kana matching; empty for names without any, and while kana
  // matching is off.
  std::string Reading{};

  bool operator==(const AppEntry&) const = default;
};

using AppEntryList = std::vector<AppEntry>;
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
