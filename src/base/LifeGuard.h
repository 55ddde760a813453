// For objects that a nested message loop can delete. A message box, a launch
// or anything else that pumps messages may close the window and delete the
// object whose member is running: take a watch before such a call and ask it
// afterwards before touching a member again.
#pragma once

#include <memory>

namespace tarn {

class LifeGuard {
 public:
  class Watcher {
   public:
    explicit operator bool() const { return !Token.expired(); }

   private:
    friend class LifeGuard;
    explicit Watcher(const std::shared_ptr<const bool>& token) : Token(token) {}
    std::weak_ptr<const bool> Token;
  };

  LifeGuard() = default;
  LifeGuard(const LifeGuard&) = delete;
  LifeGuard& operator=(const LifeGuard&) = delete;

  // A watcher that stays true until the guard, and so the object holding
  // it, is destroyed.
  Watcher Watch() const { return Watcher(Token); }

 private:
  std::shared_ptr<const bool> Token = std::make_shared<const bool>(true);
};

}  // namespace tarn
