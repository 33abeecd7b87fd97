#include "browser/window_records.h"

#include "browser/browser_helper.h"
#include "platform/process_heap.h"

namespace quillet {

BrowserWindowRecords::BrowserWindowRecords() { InitializeCriticalSection(&lock_); }

BrowserWindowRecords::~BrowserWindowRecords() {
  ForgetAll();
  DeleteCriticalSection(&lock_);
}

void BrowserWindowRecords::ForgetAll() {
  BrowserWindowRecord* record = TakeAll();
  while (record != nullptr) {
    BrowserWindowRecord* next = record->next;
    HeapDelete(record);
    record = next;
  }
}

// Only at attach: a window attached again may come on any thread.
bool BrowserWindowRecords::Holds(IUnknown* identity) {
  bool found = false;
  EnterCriticalSection(&lock_);
  for (BrowserWindowRecord* first : buckets_) {
    for (BrowserWindowRecord* record = first; record != nullptr && !found; record = record->next) {
      found = record->identity == identity;
    }
  }
  LeaveCriticalSection(&lock_);
  return found;
}

bool BrowserWindowRecords::Add(DWORD threadId, IWebBrowser2* browser, IUnknown* identity, HWND window,
                               DWORD cookie) {
  BrowserWindowRecord* record = HeapNew<BrowserWindowRecord>(
      BrowserWindowRecord{threadId, browser, identity, window, cookie, nullptr});
  if (record == nullptr) return false;
  browser->AddRef();
  EnterCriticalSection(&lock_);
  BrowserWindowRecord*& first = BucketOf(threadId);
  record->next = first;
  first = record;
  LeaveCriticalSection(&lock_);
  return true;
}

IWebBrowser2* BrowserWindowRecords::BrowserOfThread(DWORD threadId) {
  IWebBrowser2* browser = nullptr;
  EnterCriticalSection(&lock_);
  for (BrowserWindowRecord* record = BucketOf(threadId); record != nullptr; record = record->next) {
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
  for (BrowserWindowRecord* record = BucketOf(threadId); record != nullptr; record = record->next) {
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
  BrowserWindowRecord** link = &BucketOf(threadId);
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
  BrowserWindowRecord* all = nullptr;
  EnterCriticalSection(&lock_);
  for (BrowserWindowRecord*& first : buckets_) {
    while (BrowserWindowRecord* record = first) {
      first = record->next;
      record->next = all;
      all = record;
    }
  }
  LeaveCriticalSection(&lock_);
  return all;
}

void ReleaseWindowRecord(BrowserWindowRecord* record) {
  ConnectBrowserEvents(record->browser, nullptr, &record->cookie, false);
  record->browser->Release();
  HeapDelete(record);
}

}  // namespace quillet
