// Milliseconds from the performance counter, for the timing programs run
// by hand under Wine.
#pragma once

#include <windows.h>

#include <string>

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

}  // namespace tarn::test
