#include "base/ModelessRegistry.h"

#include <algorithm>
#include <iterator>

bool CModelessRegistry::Add(void* window) {
  if (Used == 0) std::fill(std::begin(Windows), std::end(Windows), nullptr);
  if (Used >= kMax || !window) return false;
  if (std::find(Windows, Windows + Used, window) != Windows + Used) return false;
  Windows[Used++] = window;
  return true;
}

bool CModelessRegistry::Remove(void* window) {
  void** end = Windows + Used;
  void** it = std::find(Windows, end, window);
  if (it == end || !window) return false;
  std::move(it + 1, end, it);
  Windows[--Used] = nullptr;
  return true;
}
