#include "browser/window_records.h"

#include "browser/browser_helper.h"
#include "platform/process_heap.h"

namespace quillet {

BrowserWindowRecords::BrowserWindowRecords() { InitializeCriticalSection(&lock_); }

BrowserWindowRecords::~BrowserWindowRecords() {
  while (BrowserWindowRecord* record = first_) {
    first_ = record->next;
    HeapDelete(record);
  }
  DeleteCriticalSection(&lock_);
}

bool BrowserWindowRecords::Holds(IUnknown* identity) {
  EnterCriticalSection(&lock_);
  BrowserWindowRecord* record = first_;
  while (record != nullptr && record->identity != identity) record = record->next;
  LeaveCriticalSection(&lock_);
  return record != nullptr;
}

bool BrowserWindowRecords::Add(DWORD threadId, IWebBrowser2* browser, IUnknown* identity, HWND window,
                               DWORD cookie) {
  BrowserWindowRecord* record = HeapNew<BrowserWindowRecord>(
      BrowserWindowRecord{threadId, browser, identity, window, cookie, nullptr});
  if (record == nullptr) return false;
  browser->AddRef();
  EnterCriticalSection(&lock_);
  record->next = first_;
  first_ = record;
  LeaveCriticalSection(&lock_);
  return true;
}

IWebBrowser2* BrowserWindowRecords::BrowserOfThread(DWORD threadId) {
  IWebBrowser2* browser = nullptr;
  EnterCriticalSection(&lock_);
  for (BrowserWindowRecord* record = first_; record != nullptr; record = record->next) {
    if (record->threadId == threadId) {
      browser = record->browser;
      browser->AddRef();  // under the lock, so the record cannot be released meanwhile
      break;
    }
  }
  LeaveCriticalSection(&lock_);
  return browser;
}

HWND BrowserWindowRecords::WindowOfThread(DWORD threadId) {
  HWND window = nullptr;
  EnterCriticalSection(&lock_);
  for (BrowserWindowRecord* record = first_; record != nullptr; record = record->next) {
    if (record->threadId == threadId) {
      window = record->window;
      break;
    }
  }
  LeaveCriticalSection(&lock_);
  return window;
}

BrowserWindowRecord* BrowserWindowRecords::TakeOfThread(DWORD threadId) {
  EnterCriticalSection(&lock_);
  BrowserWindowRecord** link = &first_;
  while (*link != nullptr && (*link)->threadId != threadId) link = &(*link)->next;
  BrowserWindowRecord* record = *link;
  if (record != nullptr) {
    *link = record->next;
    record->next = nullptr;
  }
  LeaveCriticalSection(&lock_);
  return record;
}

BrowserWindowRecord* BrowserWindowRecords::TakeAll() {
  EnterCriticalSection(&lock_);
  BrowserWindowRecord* all = first_;
  first_ = nullptr;
  LeaveCriticalSection(&lock_);
  return all;
}

void ReleaseWindowRecord(BrowserWindowRecord* record) {
  ConnectBrowserEvents(record->browser, nullptr, &record->cookie, false);
  record->browser->Release();
  HeapDelete(record);
}

}  // namespace quillet
