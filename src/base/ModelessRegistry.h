// The windows of open modeless dialogs, in registration order: the message
// loop offers each message to them for keyboard navigation.
#pragma once

#include <cstddef>

class CModelessRegistry {
 public:
  static constexpr std::size_t kMax = 256;
  bool Add(void* window);
  bool Remove(void* window);
  std::size_t Count() const { return Used; }
  void* At(std::size_t i) const { return Windows[i]; }

 private:
  void* Windows[kMax] = {};
  std::size_t Used = 0;
};
