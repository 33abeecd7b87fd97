// A user-interface thread of its own, as each browser window has one: the
// thread joins COM in a single-threaded apartment, and closures given to Run
// execute there one at a time while the caller waits.
#pragma once

#include <windows.h>

#include <functional>

namespace standin {

class UiThread {
 public:
  UiThread();
  ~UiThread();  // ends the thread's message loop and apartment, and waits for it
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;

  void Run(const std::function<void()>& action);
  DWORD id() const { return id_; }

 private:
  static DWORD WINAPI Main(void* parameter);
  static LRESULT CALLBACK RunnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr;
  DWORD id_ = 0;
  HWND runner_ = nullptr;  // message-only window of the thread
};

}  // namespace standin
