// The screen saver's web-browser component: the system's browser control
// with the document-host interfaces its container answers (downloads, host
// flags, message boxes, help, script errors), options and print options.
#pragma once

#include <windows.h>
#include <docobj.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <urlmon.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Classes.h"
#include "HostedWBRules.h"
#include "HostedWBShell.h"
#include "WebBrowser.h"

struct IHTMLDocument2;

namespace browser {

enum class TPrintOrientationOption { poPortrait, poLandscape };

class TMargins : public velfw::TPersistent {
public:
    double Left = 0, Right = 0, Top = 0, Bottom = 0;
};

class TPrintOptions : public velfw::TPersistent {
public:
    const velfw::TStringList& HTMLHeader() const { return htmlHeader_; }
    velfw::TStringList& HTMLHeader() { return htmlHeader_; }
    void SetHTMLHeader(const velfw::TStringList& lines) { htmlHeader_.Assign(lines); }
    std::string Header;
    std::string Footer;
    TMargins Margins;
    TPrintOrientationOption Orientation = TPrintOrientationOption::poPortrait;
    bool UsesInches = false;  // margins in inches, else millimetres

private:
    velfw::TStringList htmlHeader_;
};

using TRefreshEvent = std::function<void(velfw::TObject* sender, int cmdId, bool& cancel)>;
using TScriptErrorEvent = std::function<void(velfw::TObject* sender, const std::string& errorLine,
                                             const std::string& errorCharacter, const std::string& errorCode,
                                             const std::string& errorMessage, const std::string& errorUrl,
                                             bool& continueScript, bool& showDialog)>;
using TUnloadEvent = std::function<void(velfw::TObject* sender)>;
// The document-host events: no sender, the callback's arguments unchanged,
// their result is the callback's.
using TGetOverrideKeyPathEvent = std::function<HRESULT(LPOLESTR* pchKey, DWORD dw)>;
using TShowContextMenuEvent =
    std::function<HRESULT(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved)>;
using TGetHostInfoEvent = std::function<HRESULT(DOCHOSTUIINFO* pInfo)>;
using TShowUIEvent = std::function<HRESULT(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                           IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                           IOleInPlaceUIWindow* pDoc)>;
using THideUIEvent = std::function<HRESULT()>;
using TUpdateUIEvent = std::function<HRESULT()>;
using TEnableModelessEvent = std::function<HRESULT(BOOL fEnable)>;
using TOnDocWindowActivateEvent = std::function<HRESULT(BOOL fActivate)>;
using TOnFrameWindowActivateEvent = std::function<HRESULT(BOOL fActivate)>;
using TResizeBorderEvent = std::function<HRESULT(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow)>;
using TTranslateAcceleratorEvent = std::function<HRESULT(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID)>;
using TGetOptionKeyPathEvent = std::function<HRESULT(LPOLESTR* pchKey, DWORD dw)>;
using TGetDropTargetEvent = std::function<HRESULT(IDropTarget* pDropTarget, IDropTarget** ppDropTarget)>;
using TGetExternalEvent = std::function<HRESULT(IDispatch** ppDispatch)>;
using TTranslateUrlEvent = std::function<HRESULT(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut)>;
using TFilterDataObjectEvent = std::function<HRESULT(IDataObject* pDO, IDataObject** ppDORet)>;
using TShowMessageEvent = std::function<HRESULT(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                                                LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult)>;
using TShowHelpEvent = std::function<HRESULT(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData,
                                             POINT ptMouse, IDispatch* pDispatchObjectHit)>;
using TGetTypeInfoCountEvent = std::function<HRESULT(UINT* count)>;
using TGetTypeInfoEvent = std::function<HRESULT(UINT index, LCID localeId, ITypeInfo** typeInfo)>;
using TGetIDsOfNamesEvent =
    std::function<HRESULT(REFIID iid, LPOLESTR* names, UINT nameCount, LCID localeId, DISPID* dispIds)>;
using TInvokeEvent = std::function<HRESULT(DISPID dispId, REFIID iid, LCID localeId, WORD flags, DISPPARAMS* params,
                                           VARIANT* varResult, EXCEPINFO* excepInfo, UINT* argErr)>;
using TQueryServiceEvent = std::function<HRESULT(REFGUID rsid, REFIID iid, void** obj)>;
using TCloseQueryEvent = std::function<void(velfw::TObject* sender, bool& canClose)>;
using TShowDialogEvent = std::function<void(velfw::TObject* sender, HWND h)>;

using velfw::DISPID_AMBIENT_DLCONTROL_ID;

class THostedWB : public velfw::TWebBrowser {
public:
    explicit THostedWB(velfw::TComponent* owner);
    ~THostedWB() override;

    std::string UserAgent;
    bool ReplaceCaption = false;
    std::string HelpFile;
    bool EnableDDE = false;

    TPrintOptions& PrintOptions() { return printOptions_; }
    TDownloadControlOptions DownloadOptions() const { return downloadOptions_; }
    void SetDownloadOptions(TDownloadControlOptions value);
    TUserInterfaceOptions UserInterfaceOptions() const { return userInterfaceOptions_; }
    void SetUserInterfaceOptions(TUserInterfaceOptions value);
    bool fpExceptions() const { return fpExceptions_; }
    void SetfpExceptions(bool value);

    uint32_t DownloadControlValue() const { return downloadControlValue_; }
    uint32_t HostFlagsValue() const { return hostFlagsValue_; }
    bool LocaleUsesInches() const { return localeUsesInches_; }
    HWND HiddenWindow() const { return shell_ ? shell_->HiddenWindow() : nullptr; }
    // The owner whose window procedure the owner hook replaced; none without.
    velfw::TWinControl* HookedOwner() const { return shell_ ? shell_->HookedOwner() : nullptr; }
    bool ControlWindowHooked() const { return shell_ && shell_->ControlHooked(); }
    // Made by Loaded; none for a control made in code, and none when the
    // system could not make one.
    IInternetSecurityManager* SecurityManager() const { return securityManager_.Get(); }
    IInternetZoneManager* ZoneManager() const { return zoneManager_.Get(); }

    TUnloadEvent OnUnload;
    TRefreshEvent OnRefresh;
    TScriptErrorEvent OnScriptError;
    TGetOverrideKeyPathEvent OnGetOverrideKeyPath;
    TShowContextMenuEvent OnShowContextMenu;
    TGetHostInfoEvent OnGetHostInfo;
    TShowUIEvent OnShowUI;
    THideUIEvent OnHideUI;
    TUpdateUIEvent OnUpdateUI;
    TEnableModelessEvent OnEnableModeless;
    TOnDocWindowActivateEvent OnOnDocWindowActivate;
    TOnFrameWindowActivateEvent OnOnFrameWindowActivate;
    TResizeBorderEvent OnResizeBorder;
    TTranslateAcceleratorEvent OnTranslateAccelerator;
    TGetOptionKeyPathEvent OnGetOptionKeyPath;
    TGetDropTargetEvent OnGetDropTarget;
    TGetExternalEvent OnGetExternal;
    TTranslateUrlEvent OnTranslateUrl;
    TFilterDataObjectEvent OnFilterDataObject;
    TShowMessageEvent OnShowMessage;
    TShowHelpEvent OnShowHelp;
    TGetTypeInfoCountEvent OnGetTypeInfoCount;
    TGetTypeInfoEvent OnGetTypeInfo;
    TGetIDsOfNamesEvent OnGetIDsOfNames;
    TInvokeEvent OnInvoke;
    TQueryServiceEvent OnQueryService;
    TCloseQueryEvent OnCloseQuery;
    TShowDialogEvent OnShowDialog;

    // The document-host callbacks, as the site hands them on. They may raise;
    // the site turns that into a result code.
    HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved);
    HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo);
    HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                   IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc);
    HRESULT HideUI();
    HRESULT UpdateUI();
    HRESULT EnableModeless(BOOL fEnable);
    HRESULT OnDocWindowActivate(BOOL fActivate);
    HRESULT OnFrameWindowActivate(BOOL fActivate);
    HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow);
    HRESULT TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID);
    HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw);
    HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget);
    HRESULT GetExternal(IDispatch** ppDispatch);
    HRESULT TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut);
    HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet);
    HRESULT GetOverrideKeyPath(LPOLESTR* pchKey, DWORD dw);
    HRESULT ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType, LPOLESTR lpstrHelpFile,
                        DWORD dwHelpContext, LRESULT* plResult);
    HRESULT ShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                     IDispatch* pDispatchObjectHit);
    HRESULT QueryStatus(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD* prgCmds, OLECMDTEXT* pCmdText);
    HRESULT Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut);
    HRESULT QueryService(REFGUID guidService, REFIID riid, void** ppvObject);

    // The ambient-property dispatch of the site.
    HRESULT AmbientGetTypeInfoCount(UINT* count) override;
    HRESULT AmbientGetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT AmbientGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT AmbientInvoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* excepInfo, UINT* argErr) override;

    // Navigate2 with an address (the other arguments the integer 0), or with
    // an item-ID list as a byte array (the others empty): the shell requests
    // the component answers in the shell's place.
    void NavigateUrl(const std::string& url);
    void NavigatePidl(LPCITEMIDLIST list);

protected:
    void Loaded() override;
    // The shown document as a web page. Raises when there is no document or
    // it is not a web page.
    velfw::ComPtr<IHTMLDocument2> HtmlDocument();
    // The event object of the script error being reported: the document's
    // window's event. Raises when the document, its window or the event
    // object cannot be had; null when there is no event object.
    virtual velfw::ComPtr<IDispatch> ScriptErrorEventObject();

private:
    class Site;
    class ShellHost;
    void NotifyDownloadControl();
    void RegisterUserAgent();
    void RemoveUserAgent();

    Site* hostSite_ = nullptr;  // the site's doc-host face; cleared when this goes
    TPrintOptions printOptions_;
    TDownloadControlOptions downloadOptions_;
    TUserInterfaceOptions userInterfaceOptions_;
    uint32_t downloadControlValue_ = 0;
    uint32_t hostFlagsValue_ = 0;
    bool localeUsesInches_ = false;
    std::unique_ptr<ShellHost> shellHost_;
    std::unique_ptr<THostedWBShell> shell_;  // hidden window, window hooks, DDE answers
    bool fpExceptions_ = true;
    // The token's name as written; the property may be changed afterwards.
    std::optional<std::string> writtenUserAgent_;
    velfw::ComPtr<IInternetSecurityManager> securityManager_;
    velfw::ComPtr<IInternetZoneManager> zoneManager_;
};

// Tells the control that an ambient property changed: the control's
// automation object (Application) as IOleControl, OnAmbientPropertyChange.
// Replaceable so that tests can watch the notifications of construction.
using TAmbientChangeNotifier = std::function<void(THostedWB& sender, DISPID id)>;
extern TAmbientChangeNotifier AmbientChangeNotifier;
void NotifyControlOfAmbientChange(THostedWB& sender, DISPID id);

// Reads the browser's stored page setup (header, footer, margins) into
// `options`; nothing when the key does not exist.
void ReadPageSetup(TPrintOptions& options);

// The control word the process had when the unit started.
uint16_t SavedFpuControlWord();

// Unit start-up (once, before any component exists) and shutdown.
void InitHostedWBUnit();
void DoneHostedWBUnit();

}  // namespace browser
