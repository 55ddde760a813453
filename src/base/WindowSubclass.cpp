#include "base/WindowSubclass.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr char kChainProperty[] = "TarnSubclass";

}  // namespace

// What a window carries in its property: its own procedure and the
// subclasses in front of it, the last put on first.
struct CWindowSubclass::Chain {
  WNDPROC Original = nullptr;
  std::vector<CWindowSubclass*> Subclasses;
};

CWindowSubclass::CWindowSubclass(Handler handler) : OnMessage(std::move(handler)) {}

CWindowSubclass::~CWindowSubclass() { Remove(); }

bool CWindowSubclass::Install(HWND window) {
  if (Hooked == window && window) return true;
  if (!IsWindow(window)) return false;
  Remove();
  auto* chain = static_cast<Chain*>(GetPropA(window, kChainProperty));
  if (!chain) {
    chain = new Chain;
    chain->Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainProc)));
    if (!chain->Original || !SetPropA(window, kChainProperty, chain)) {
      if (chain->Original) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->Original));
      delete chain;
      return false;
    }
  }
  chain->Subclasses.push_back(this);
  Hooked = window;
  return true;
}

void CWindowSubclass::Remove() {
  HWND window = Hooked;
  if (!window) return;
  Hooked = nullptr;
  auto* chain = static_cast<Chain*>(GetPropA(window, kChainProperty));
  if (!chain) return;
  std::erase(chain->Subclasses, this);
  // Whoever put a procedure in front of ours since keeps calling it: the
  // chain stays, passing everything on, until the window is destroyed.
  if (!chain->Subclasses.empty() ||
      GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&ChainProc))
    return;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->Original));
  RemovePropA(window, kChainProperty);
  delete chain;
}

LRESULT CWindowSubclass::CallNext(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  auto* chain = static_cast<Chain*>(GetPropA(window, kChainProperty));
  if (!chain) return DefWindowProcA(window, message, wParam, lParam);
  auto it = std::find(chain->Subclasses.begin(), chain->Subclasses.end(), this);
  if (it != chain->Subclasses.begin() && it != chain->Subclasses.end()) {
    const CWindowSubclass* below = *(it - 1);
    return below->OnMessage(window, message, wParam, lParam);
  }
  return CallWindowProcA(chain->Original, window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowSubclass::ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* chain = static_cast<Chain*>(GetPropA(window, kChainProperty));
  if (!chain) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The last message: every subclass lets go, the window gets its own
    // procedure back and handles it alone.
    RemovePropA(window, kChainProperty);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->Original));
    for (CWindowSubclass* subclass : chain->Subclasses) subclass->Hooked = nullptr;
    const WNDPROC original = chain->Original;
    delete chain;
    return CallWindowProcA(original, window, message, wParam, lParam);
  }
  if (chain->Subclasses.empty()) return CallWindowProcA(chain->Original, window, message, wParam, lParam);
  // The handler may remove its subclass (or delete its object) while it runs.
  return chain->Subclasses.back()->OnMessage(window, message, wParam, lParam);
}
