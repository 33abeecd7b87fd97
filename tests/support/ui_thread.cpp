#include "ui_thread.h"

#include <ole2.h>

namespace standin {
namespace {

constexpr char kRunnerClass[] = "QuilletStandInRunner";
constexpr UINT kRunMessage = WM_APP + 1;

}  // namespace

UiThread::UiThread() {
  WNDCLASSA runner = {};
  runner.lpfnWndProc = RunnerProc;
  runner.hInstance = GetModuleHandleA(nullptr);
  runner.lpszClassName = kRunnerClass;
  RegisterClassA(&runner);  // fails harmlessly once it exists
  ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Main, this, 0, &id_);
  if (thread_ != nullptr) WaitForSingleObject(ready_, INFINITE);
}

UiThread::~UiThread() {
  if (thread_ != nullptr) {
    if (runner_ != nullptr) {
      PostMessageA(runner_, WM_CLOSE, 0, 0);
    } else {
      PostThreadMessageA(id_, WM_QUIT, 0, 0);
    }
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  CloseHandle(ready_);
}

void UiThread::Run(const std::function<void()>& action) {
  if (runner_ != nullptr) SendMessageA(runner_, kRunMessage, 0, reinterpret_cast<LPARAM>(&action));
}

DWORD WINAPI UiThread::Main(void* parameter) {
  auto* self = static_cast<UiThread*>(parameter);
  OleInitialize(nullptr);
  self->runner_ = CreateWindowExA(0, kRunnerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  SetEvent(self->ready_);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  OleUninitialize();
  return 0;
}

LRESULT CALLBACK UiThread::RunnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunMessage) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace standin
