// One browser window of the stand-in: a frame whose address bar is a real
// rebar, ComboBoxEx and edit box inside a WorkerW window, and the browser
// object a helper sees through its site: IWebBrowser2 with get_HWND, Stop
// and Navigate, and DWebBrowserEvents2 through a connection point.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "web_browser_base.h"

namespace standin {

// Every navigation, Stop and event goes to the log, one line each.
void Log(int window, const char* what, const std::string& detail = std::string());

class Browser final : public WebBrowserBase, public IConnectionPointContainer, public IConnectionPoint {
 public:
  // A quiet browser logs and keeps nothing from its first window on.
  Browser(int index, int workerCount, bool quiet = false);
  ~Browser();

  HWND frame() const { return frame_; }
  HWND edit(int worker = 0) const { return worker < static_cast<int>(edits_.size()) ? edits_[worker] : nullptr; }
  int index() const { return index_; }
  const std::string& location() const { return location_; }
  size_t sinkCount() const { return sinks_.size(); }
  // References taken by others (helpers); the stand-in's own is not counted.
  LONG references() const { return references_ - 1; }
  // What happened, one entry per logged line ("Stop called", "arrived <url>"...).
  const std::vector<std::string>& history() const { return history_; }
  void ClearHistory() { history_.clear(); }
  // While quiet nothing is logged or kept, so timing sees only the browser's work.
  void SetQuiet(bool quiet) { quiet_ = quiet; }

  // The user's navigation from the address bar's text.
  void NavigateFromAddressBar(const std::string& typed);
  void NavigateTo(const std::string& url);
  void SendOnQuit();    // OnQuit to the sinks
  void DestroyFrame();  // the window goes, and with it any connection left
  void CloseFrame();    // both

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch (nothing is reachable by name)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IWebBrowser2, the part a helper uses
  HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                     VARIANT* headers) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* window) override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;
  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

 private:
  static LRESULT CALLBACK AddressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void FireBeforeNavigate2(const std::string& url, bool* cancel);
  void FireOnQuit();
  void Note(const char* what, const std::string& detail = std::string());

  struct Sink {
    DWORD cookie;
    IDispatch* dispatch;
  };
  int index_;
  LONG references_ = 1;
  HWND frame_ = nullptr;
  std::vector<HWND> edits_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
  std::string location_;
  int navigationDepth_ = 0;
  std::vector<bool> stopped_;  // per nested navigation: Stop arrived during it
  std::vector<std::string> history_;
  bool quiet_ = false;
};

}  // namespace standin
