// Milliseconds from the performance counter, for the timing programs run
// by hand under Wine.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarn::test {

// Candidate names of eight letters: every second holds a 'q', every
// hundredth "xyz"; the other letters never make either word. seed runs on
// from name to name.
inline std::string BenchName(int i, unsigned& seed) {
  std::string name;
  for (int k = 0; k < 8; ++k) {
    seed = seed * 1103515245u + 12345u;
    name += static_cast<char>('a' + (seed >> 16) % 16);
  }
  if (i % 2 == 0) name[3] = 'q';
  if (i % 100 == 0) name.replace(4, 3, "xyz");
  return name;
}

inline double NowMs() {
  static const LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// One figure beside its goal; a negative value is a timeout.
inline void Line(const char* what, double value, const char* unit, double goal) {
  if (value < 0) {
    std::printf("  %-52s %10s   goal <= %.0f %s\n", what, "timeout", goal, unit);
    return;
  }
  std::printf("  %-52s %8.0f %s   goal <= %.0f %s  %s\n", what, value, unit, goal, unit,
              value <= goal ? "met" : "MISSED");
}

// Polls until done() holds; false when limitMs passed first.
inline bool WaitFor(const std::function<bool()>& done, double limitMs) {
  const double t0 = NowMs();
  while (!done()) {
    if (NowMs() - t0 > limitMs) return false;
    Sleep(1);
  }
  return true;
}

// The longest time a window took to answer a message sent every 20 ms
// from another thread, while the pinger lives.
class CPinger {
 public:
  // start: the time the program was started, for WorstAt.
  CPinger(HWND window, double start) : Window(window), Start(start), Thread([this] { Run(); }) {}
  ~CPinger() {
    Stop = true;
    Thread.join();
  }
  double Longest() const { return Worst.load(); }
  // When the longest silence began, in ms after the start.
  double LongestAt() const { return WorstAt.load(); }
  // The longest wait for an answer that overlapped from..to (ms after the
  // start); one still unanswered counts up to now.
  double LongestBetween(double from, double to) const {
    std::lock_guard<std::mutex> hold(Lock);
    double longest = 0;
    for (const Ping& p : Pings) {
      if (p.Sent <= to && p.Sent + p.Took >= from) longest = std::max(longest, p.Took);
    }
    if (Waiting.load() && PendingSince <= to) longest = std::max(longest, NowMs() - Start - PendingSince);
    return longest;
  }

 private:
  void Run() {
    while (!Stop) {
      const double t0 = NowMs();
      {
        std::lock_guard<std::mutex> hold(Lock);
        PendingSince = t0 - Start;
        Waiting = true;
      }
      DWORD_PTR result = 0;
      const bool answered = SendMessageTimeoutA(Window, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result) != 0;
      const double took = NowMs() - t0;
      {
        std::lock_guard<std::mutex> hold(Lock);
        Waiting = false;
        Pings.push_back({t0 - Start, took});
      }
      if (!answered && !IsWindow(Window)) break;
      if (took > Worst.load()) {
        Worst = took;
        WorstAt = t0 - Start;
      }
      Sleep(20);
    }
  }
  struct Ping {
    double Sent;  // ms after the start
    double Took;
  };
  HWND Window;
  double Start;
  mutable std::mutex Lock;
  std::vector<Ping> Pings;
  double PendingSince = 0;
  std::atomic<bool> Waiting{false};
  std::atomic<bool> Stop{false};
  std::atomic<double> Worst{0};
  std::atomic<double> WorstAt{0};
  std::thread Thread;
};

}  // namespace tarn::test
