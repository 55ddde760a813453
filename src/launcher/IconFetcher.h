// Small icons of candidate files, asked of the shell on a thread of its own.
// The full question reads the file (about 3 ms under Wine), so a page of
// rows asked on the user-interface thread would hold up every repaint; the
// cheap question (from the name alone) stands in until the answer is there.
// Answers come back through a message-only window of the thread that made
// the fetcher.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/WindowBase.h"

// The shell's small system icon index of a file, -1 when it has none. quick
// asks from the name alone, without touching the file.
int SmallIconIndex(const std::string& path, bool quick);

class CIconFetcher : private CWindowBase {
 public:
  struct Answer {
    std::uint64_t Batch = 0;  // as asked
    std::size_t Key = 0;      // as asked
    int Icon = -1;            // the full answer
    bool Dropped = false;     // never asked: too many questions were waiting
    bool Differs = false;     // the full answer is not the quick one
  };

  // ready runs on the making thread whenever answers are waiting, and once
  // the shell's small system image list is built: the thread starts with
  // that, as it takes a while the first time in a process (and whoever asks
  // the shell for an icon meanwhile waits for it), then asks for the icons
  // of the fixed paths.
  CIconFetcher(std::function<void()> ready, std::vector<std::string> fixedPaths);
  ~CIconFetcher() override;
  CIconFetcher(const CIconFetcher&) = delete;
  CIconFetcher& operator=(const CIconFetcher&) = delete;

  // The image list, nullptr until it is built and the fixed icons are in.
  HIMAGELIST Images() const;
  // The icon of fixedPaths[i], once Images() is there.
  int FixedIcon(std::size_t i) const;
  // The newest questions are answered first: they are the rows on screen.
  void Ask(std::uint64_t batch, std::size_t key, const std::string& path);
  // Drops the questions not yet taken up (no answer comes for them).
  void Forget();
  std::vector<Answer> TakeAnswers();

  struct State;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::shared_ptr<State> Shared;
  std::function<void()> Ready;
};
