#include "bound_procedures.h"

#include <array>
#include <utility>

namespace quillet::test {

BoundSlot boundSlots[kBoundSlots];

namespace {

template <int N>
LRESULT CALLBACK SlotProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  BoundSlot& slot = boundSlots[N];
  if (slot.window.load() != window) {
    ++slot.strayCalls;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == kProbeMessage) ++slot.probes;
  return CallWindowProcA(slot.below, window, message, wParam, lParam);
}

template <int... N>
constexpr std::array<WNDPROC, sizeof...(N)> SlotProcs(std::integer_sequence<int, N...>) {
  return {{&SlotProc<N>...}};
}
constexpr std::array<WNDPROC, kBoundSlots> slotProcs = SlotProcs(std::make_integer_sequence<int, kBoundSlots>{});

}  // namespace

void Bind(int slot, HWND edit) {
  boundSlots[slot].probes = 0;
  boundSlots[slot].below =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(slotProcs[slot])));
  boundSlots[slot].window = edit;
}

void Unbind(int slot) { boundSlots[slot].window = nullptr; }

long StrayCalls() {
  long total = 0;
  for (const BoundSlot& slot : boundSlots) total += slot.strayCalls;
  return total;
}

}  // namespace quillet::test
