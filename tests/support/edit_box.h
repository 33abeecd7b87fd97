// A real edit box whose original procedure sits behind a recorder, with
// AddressEditProc installed in front: the recorder sees exactly what
// AddressEditProc hands on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillet::test {

struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::string textAtArrival;  // the box's text when a WM_KEYDOWN arrived
};

class SubclassedEditBox {
 public:
  // Without the recorder AddressEditProc hands on to the box's own procedure.
  explicit SubclassedEditBox(bool withRecorder = true);
  ~SubclassedEditBox();

  HWND window() const { return window_; }
  void SetText(const std::string& text);
  std::string Text() const;
  LRESULT PressEnter();

  static std::vector<RecordedMessage> recorded;
  static constexpr UINT kEchoMessage = WM_USER + 77;  // answered by the recorder itself
  static constexpr LRESULT kEchoResult = 0x5A5A;

 private:
  static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static WNDPROC originalProc;
  HWND window_ = nullptr;
};

}  // namespace quillet::test
