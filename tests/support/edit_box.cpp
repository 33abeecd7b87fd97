#include "edit_box.h"

#include "browser/address_edit.h"

namespace quillet::test {

std::vector<RecordedMessage> SubclassedEditBox::recorded;
WNDPROC SubclassedEditBox::originalProc = nullptr;

SubclassedEditBox::SubclassedEditBox(bool withRecorder) {
  window_ = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 400, 24, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) return;
  SendMessageA(window_, EM_SETLIMITTEXT, 60000, 0);
  if (withRecorder) {
    originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedEditBox::Recorder)));
  }
  SubclassAddressEdit(window_);
  recorded.clear();
}

SubclassedEditBox::~SubclassedEditBox() {
  if (window_ != nullptr) DestroyWindow(window_);
  recorded.clear();
}

void SubclassedEditBox::SetText(const std::string& text) {
  SetWindowTextA(window_, text.c_str());
  recorded.clear();
}

std::string SubclassedEditBox::Text() const {
  int length = GetWindowTextLengthA(window_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(window_, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

LRESULT SubclassedEditBox::PressEnter() { return SendMessageA(window_, WM_KEYDOWN, VK_RETURN, 0x001C0001); }

LRESULT CALLBACK SubclassedEditBox::Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RecordedMessage entry{message, wParam, lParam, {}};
  if (message == WM_KEYDOWN) {
    // Straight to the original procedure, so the read is not recorded itself.
    char text[8192];
    LRESULT length = CallWindowProcA(originalProc, window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    entry.textAtArrival.assign(text, static_cast<size_t>(length));
  }
  recorded.push_back(entry);
  if (message == kEchoMessage) return kEchoResult;
  return CallWindowProcA(originalProc, window, message, wParam, lParam);
}

}  // namespace quillet::test
