#include "launcher/IconFetcher.h"

#include <shellapi.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "base/Failure.h"
#include "base/WinHandle.h"

namespace {

constexpr char kWindowClass[] = "TarnIconAnswers";
constexpr UINT kAnswersWaiting = WM_APP + 1;
// A page holds a few dozen rows; more waiting questions are rows that
// scrolled by, and the oldest of them are dropped.
constexpr std::size_t kMaxWaiting = 256;

struct Question {
  std::uint64_t Batch;
  std::size_t Key;
  std::string Path;
};

}  // namespace

struct CIconFetcher::State {
  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<Question> Questions;
  std::vector<Answer> Answers;
  bool Stop = false;
  bool Told = false;  // a wake-up message is on its way
  HWND Notify = nullptr;
  std::vector<std::string> FixedPaths;
  std::vector<int> FixedIcons;
  HIMAGELIST Images = nullptr;  // set last, under Lock
};

int SmallIconIndex(const std::string& path, bool quick) {
  // The shell cannot take a longer path.
  if (path.size() >= MAX_PATH) return -1;
  SHFILEINFOA sfi = {};
  const UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (quick ? SHGFI_USEFILEATTRIBUTES : 0);
  if (!SHGetFileInfoA(path.c_str(), quick ? FILE_ATTRIBUTE_NORMAL : 0, &sfi, sizeof sfi, flags)) return -1;
  return sfi.iIcon;
}

namespace {

void Tell(CIconFetcher::State& state) {
  if (!state.Told && !state.Stop) state.Told = PostMessageA(state.Notify, kAnswersWaiting, 0, 0) != FALSE;
}

void Work(std::shared_ptr<CIconFetcher::State> state) {
  tarn::ScopedComInit com;
  SHFILEINFOA sfi = {};
  auto images = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  std::vector<int> fixed;
  for (const std::string& path : state->FixedPaths) fixed.push_back(SmallIconIndex(path, false));
  std::unique_lock<std::mutex> hold(state->Lock);
  state->FixedIcons = std::move(fixed);
  state->Images = images;
  Tell(*state);
  for (;;) {
    state->Wake.wait(hold, [&] { return state->Stop || !state->Questions.empty(); });
    if (state->Stop) return;
    Question q = std::move(state->Questions.back());
    state->Questions.pop_back();
    hold.unlock();
    CIconFetcher::Answer a;
    a.Batch = q.Batch;
    a.Key = q.Key;
    a.Icon = SmallIconIndex(q.Path, false);
    a.Differs = a.Icon != SmallIconIndex(q.Path, true);
    hold.lock();
    state->Answers.push_back(a);
    Tell(*state);
  }
}

}  // namespace

CIconFetcher::CIconFetcher(std::function<void()> ready, std::vector<std::string> fixedPaths)
    : Shared(std::make_shared<State>()), Ready(std::move(ready)) {
  Shared->FixedPaths = std::move(fixedPaths);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClass(instance, kWindowClass, nullptr) ||
      !CreateFor(kWindowClass, "", 0, 0, 0, 0, 0, instance, HWND_MESSAGE)) {
    TARN_REPORT_LAST_ERROR(0);
  }
  Shared->Notify = Window();
  // Not waited for at the end: a question about a file on a slow network
  // share must not hold up the exit.
  std::thread(&Work, Shared).detach();
}

CIconFetcher::~CIconFetcher() {
  {
    std::lock_guard<std::mutex> hold(Shared->Lock);
    Shared->Stop = true;
    Shared->Questions.clear();
  }
  Shared->Wake.notify_one();
}

void CIconFetcher::Ask(std::uint64_t batch, std::size_t key, const std::string& path) {
  {
    std::lock_guard<std::mutex> hold(Shared->Lock);
    Shared->Questions.push_back({batch, key, path});
    if (Shared->Questions.size() > kMaxWaiting) {
      Answer dropped;
      dropped.Batch = Shared->Questions.front().Batch;
      dropped.Key = Shared->Questions.front().Key;
      dropped.Dropped = true;
      Shared->Questions.pop_front();
      Shared->Answers.push_back(dropped);
      Tell(*Shared);
    }
  }
  Shared->Wake.notify_one();
}

HIMAGELIST CIconFetcher::Images() const {
  std::lock_guard<std::mutex> hold(Shared->Lock);
  return Shared->Images;
}

int CIconFetcher::FixedIcon(std::size_t i) const {
  std::lock_guard<std::mutex> hold(Shared->Lock);
  return i < Shared->FixedIcons.size() ? Shared->FixedIcons[i] : -1;
}

void CIconFetcher::Forget() {
  std::lock_guard<std::mutex> hold(Shared->Lock);
  Shared->Questions.clear();
}

std::vector<CIconFetcher::Answer> CIconFetcher::TakeAnswers() {
  std::lock_guard<std::mutex> hold(Shared->Lock);
  Shared->Told = false;
  std::vector<Answer> out;
  out.swap(Shared->Answers);
  return out;
}

LRESULT CIconFetcher::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kAnswersWaiting) return Default(message, wParam, lParam);
  if (Ready) Ready();
  return 0;
}
