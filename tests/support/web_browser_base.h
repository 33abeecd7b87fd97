// Every IWebBrowser2 method answers E_NOTIMPL here; the stand-in overrides
// the few the helper relies on. The list follows the platform header.
#pragma once

#include <exdisp.h>

class WebBrowserBase : public IWebBrowser2 {
 public:
  HRESULT STDMETHODCALLTYPE GoBack() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GoForward() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GoHome() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GoSearch() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Refresh() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Refresh2(VARIANT *Level) override { (void)Level; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch **ppDisp) override { (void)ppDisp; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch **ppDisp) override { (void)ppDisp; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Container(IDispatch **ppDisp) override { (void)ppDisp; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Document(IDispatch **ppDisp) override { (void)ppDisp; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL *pBool) override { (void)pBool; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Type(BSTR *Type) override { (void)Type; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Left(LONG *pl) override { (void)pl; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Left(LONG Left) override { (void)Left; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Top(LONG *pl) override { (void)pl; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Top(LONG Top) override { (void)Top; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Width(LONG *pl) override { (void)pl; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Width(LONG Width) override { (void)Width; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Height(LONG *pl) override { (void)pl; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Height(LONG Height) override { (void)Height; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_LocationName(BSTR *LocationName) override { (void)LocationName; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR *LocationURL) override { (void)LocationURL; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL *pBool) override { (void)pBool; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Quit() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ClientToWindow(int *pcx, int *pcy) override { (void)pcx; (void)pcy; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutProperty(BSTR Property, VARIANT vtValue) override { (void)Property; (void)vtValue; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetProperty(BSTR Property, VARIANT *pvtValue) override { (void)Property; (void)pvtValue; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR *Name) override { (void)Name; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FullName(BSTR *FullName) override { (void)FullName; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Path(BSTR *Path) override { (void)Path; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL *pBool) override { (void)pBool; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_StatusBar(VARIANT_BOOL *pBool) override { (void)pBool; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_StatusBar(VARIANT_BOOL Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_StatusText(BSTR *StatusText) override { (void)StatusText; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_StatusText(BSTR StatusText) override { (void)StatusText; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ToolBar(int *Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ToolBar(int Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_MenuBar(VARIANT_BOOL *Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_MenuBar(VARIANT_BOOL Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FullScreen(VARIANT_BOOL *pbFullScreen) override { (void)pbFullScreen; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_FullScreen(VARIANT_BOOL bFullScreen) override { (void)bFullScreen; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Navigate2(VARIANT *URL, VARIANT *Flags, VARIANT *TargetFrameName, VARIANT *PostData, VARIANT *Headers) override { (void)URL; (void)Flags; (void)TargetFrameName; (void)PostData; (void)Headers; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryStatusWB(OLECMDID cmdID, OLECMDF *pcmdf) override { (void)cmdID; (void)pcmdf; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT *pvaIn, VARIANT *pvaOut) override { (void)cmdID; (void)cmdexecopt; (void)pvaIn; (void)pvaOut; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ShowBrowserBar(VARIANT *pvaClsid, VARIANT *pvarShow, VARIANT *pvarSize) override { (void)pvaClsid; (void)pvarShow; (void)pvarSize; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE *plReadyState) override { (void)plReadyState; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Offline(VARIANT_BOOL *pbOffline) override { (void)pbOffline; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Offline(VARIANT_BOOL bOffline) override { (void)bOffline; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Silent(VARIANT_BOOL *pbSilent) override { (void)pbSilent; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Silent(VARIANT_BOOL bSilent) override { (void)bSilent; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_RegisterAsBrowser(VARIANT_BOOL *pbRegister) override { (void)pbRegister; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_RegisterAsBrowser(VARIANT_BOOL bRegister) override { (void)bRegister; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_RegisterAsDropTarget(VARIANT_BOOL *pbRegister) override { (void)pbRegister; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_RegisterAsDropTarget(VARIANT_BOOL bRegister) override { (void)bRegister; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_TheaterMode(VARIANT_BOOL *pbRegister) override { (void)pbRegister; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_TheaterMode(VARIANT_BOOL bRegister) override { (void)bRegister; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_AddressBar(VARIANT_BOOL *Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_AddressBar(VARIANT_BOOL Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Resizable(VARIANT_BOOL *Value) override { (void)Value; return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Resizable(VARIANT_BOOL Value) override { (void)Value; return E_NOTIMPL; }
};
