// The browser windows the helper is connected to. All windows of a process
// share the one object, and each calls in on its own user-interface thread;
// a record keeps, for each window, its browser and the cookie of its
// connection, so that an event finds its own window again by the thread it
// arrives on, and attaching a window again finds its record by the browser.
#pragma once

#include <windows.h>
#include <exdisp.h>

namespace quillet {

struct BrowserWindowRecord {
  DWORD threadId;         // the window's user-interface thread
  IWebBrowser2* browser;  // one reference
  IUnknown* identity;     // the browser's identity, only compared
  HWND window;            // its top-level window, as get_HWND gave it
  DWORD cookie;           // of the window's event connection
  BrowserWindowRecord* next;
};

// Lists of records by thread, newest first, behind a lock: windows come and
// go on their own threads, and an event finds its window by its thread in a
// list of its own, however many windows are open. No browser is called while
// the lock is held.
class BrowserWindowRecords {
 public:
  BrowserWindowRecords();
  ~BrowserWindowRecords();  // ForgetAll
  BrowserWindowRecords(const BrowserWindowRecords&) = delete;
  BrowserWindowRecords& operator=(const BrowserWindowRecords&) = delete;

  bool Holds(IUnknown* identity);
  // A new record for a connected window, taking a reference to `browser`.
  // False when there is no memory for it.
  bool Add(DWORD threadId, IWebBrowser2* browser, IUnknown* identity, HWND window, DWORD cookie);
  // The browser of the window attached last on `threadId`, with a reference
  // for the caller, or null.
  IWebBrowser2* BrowserOfThread(DWORD threadId);
  // The top-level window of the window attached last on `threadId`, or null.
  HWND WindowOfThread(DWORD threadId);
  // Takes the record of the window attached last on `threadId` out of the
  // list, or returns null; the caller disconnects and frees it.
  BrowserWindowRecord* TakeOfThread(DWORD threadId);
  // Takes every record out of the list, as a chain through `next`.
  BrowserWindowRecord* TakeAll();
  // Frees every record without calling anything: no disconnection, no release.
  void ForgetAll();

 private:
  static constexpr unsigned kBuckets = 64;
  BrowserWindowRecord*& BucketOf(DWORD threadId) { return buckets_[(threadId >> 2) % kBuckets]; }
  BrowserWindowRecord* buckets_[kBuckets] = {};
  CRITICAL_SECTION lock_;
};

// Disconnects the record's window, lets its browser go and frees the record.
void ReleaseWindowRecord(BrowserWindowRecord* record);

}  // namespace quillet
