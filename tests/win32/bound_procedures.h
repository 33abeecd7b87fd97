// Window procedures bound to one window each, as window frameworks make them
// (a thunk per window), put under or over a box by the tests: a call for any
// other window, or after the window is gone, is what a freed thunk would
// take, and is counted instead of made.
#pragma once

#include <windows.h>

#include <atomic>

namespace quillet::test {

constexpr int kBoundSlots = 16;
// Counted by the slot that handles it, then handed on.
constexpr UINT kProbeMessage = WM_APP + 0x33;

struct BoundSlot {
  std::atomic<HWND> window{nullptr};  // null: the window is gone
  WNDPROC below = nullptr;
  std::atomic<long> probes{0};
  std::atomic<long> strayCalls{0};
};
extern BoundSlot boundSlots[kBoundSlots];

// Puts slot `slot`'s procedure over `edit`'s current one, bound to `edit`;
// its probe count starts again.
void Bind(int slot, HWND edit);
// The slot's window is gone: a later call to its procedure is stray.
void Unbind(int slot);
// Stray calls of every slot together.
long StrayCalls();

}  // namespace quillet::test
