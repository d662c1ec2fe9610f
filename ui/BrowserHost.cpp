#include "ui/BrowserHost.h"

#include <exdispid.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <utility>

namespace tarnock::ui {

namespace {

// The HTML document class of the system's browser engine.
constexpr CLSID kHtmlDocument = {0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

}  // namespace

// The container side the control talks to: client site, in-place site and frame, and the
// sink of the control's DWebBrowserEvents2 (an IDispatch).
class CBrowserHost::Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame,
                                 public IDispatch {
public:
    Site(HWND window, std::function<void()> onDocumentComplete, AddressCheck allow, AddressSink elsewhere)
        : window_(window),
          onDocumentComplete_(std::move(onDocumentComplete)),
          allow_(std::move(allow)),
          elsewhere_(std::move(elsewhere)) {}

    // The control's own identity, to tell its page from its frames.
    void SetTop(IUnknown* top) {
        top_.Reset();
        if (top) top->QueryInterface(IID_IUnknown, top_.PutVoid());
    }

    // After this nothing reaches the dialog any more, whatever the control still holds.
    // Navigations are refused from now on.
    void Detach() {
        window_ = nullptr;
        onDocumentComplete_ = nullptr;
        allow_ = nullptr;
        elsewhere_ = nullptr;
        activeObject_.Reset();
        top_.Reset();
    }
    IOleInPlaceActiveObject* ActiveObject() const { return activeObject_.Get(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) *out = static_cast<IDispatch*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                  RECT* clip, OLEINPLACEFRAMEINFO* info) override {
        if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || info == nullptr)
            return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        RECT client{};
        if (window_) GetClientRect(window_, &client);
        *position = client;
        *clip = client;
        info->fMDIApp = FALSE;
        info->hwndFrame = window_ ? GetAncestor(window_, GA_ROOT) : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override {
        activeObject_.Reset();
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or status line.
    STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        activeObject_.Reset();
        if (object && window_) object->QueryInterface(IID_IOleInPlaceActiveObject, activeObject_.PutVoid());
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the control's events
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (FilterNavigation(id, params, top_.Get(), allow_, elsewhere_)) return S_OK;
        if (id == DISPID_DOCUMENTCOMPLETE && onDocumentComplete_) {
            // A copy: the handler may close the host, which detaches this site.
            const std::function<void()> handler = onDocumentComplete_;
            handler();
        }
        return S_OK;
    }

private:
    ~Site() = default;

    std::atomic<ULONG> references_{1};
    HWND window_;
    std::function<void()> onDocumentComplete_;
    AddressCheck allow_;
    AddressSink elsewhere_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;
    ComPtr<IUnknown> top_;
};

bool CBrowserHost::CanShowPages() {
    ComPtr<IUnknown> document;
    return SUCCEEDED(
        CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, document.PutVoid()));
}

namespace {

// A VARIANT argument, following one reference (the events pass most arguments by reference).
const VARIANT* Argument(const DISPPARAMS* params, UINT fromEnd) {
    if (params == nullptr || params->rgvarg == nullptr || fromEnd >= params->cArgs) return nullptr;
    const VARIANT* value = &params->rgvarg[fromEnd];
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) value = value->pvarVal;
    return value;
}

std::wstring TextArgument(const DISPPARAMS* params, UINT fromEnd) {
    const VARIANT* value = Argument(params, fromEnd);
    if (value == nullptr) return {};
    if (value->vt == VT_BSTR && value->bstrVal) return value->bstrVal;
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal && *value->pbstrVal) return *value->pbstrVal;
    return {};
}

void Cancel(DISPPARAMS* params, UINT fromEnd) {
    if (params == nullptr || params->rgvarg == nullptr || fromEnd >= params->cArgs) return;
    VARIANT& value = params->rgvarg[fromEnd];
    if (value.vt == (VT_BYREF | VT_BOOL) && value.pboolVal) *value.pboolVal = VARIANT_TRUE;
}

bool IsTop(const DISPPARAMS* params, UINT fromEnd, IUnknown* top) {
    if (top == nullptr) return true;
    const VARIANT* value = Argument(params, fromEnd);
    if (value == nullptr || value->vt != VT_DISPATCH || value->pdispVal == nullptr) return false;
    ComPtr<IUnknown> identity;
    if (FAILED(value->pdispVal->QueryInterface(IID_IUnknown, identity.PutVoid()))) return false;
    return identity.Get() == top;
}

}  // namespace

bool CBrowserHost::FilterNavigation(DISPID id, DISPPARAMS* params, IUnknown* top, const AddressCheck& allow,
                                    const AddressSink& elsewhere) {
    // Arguments come last to first: rgvarg[0] is the event's last argument.
    switch (id) {
        case DISPID_BEFORENAVIGATE2: {  // browser, URL, flags, target frame, post data, headers, Cancel
            if (params == nullptr || params->cArgs < 7) return true;
            const std::wstring address = TextArgument(params, 5);
            if (allow && !address.empty() && allow(address)) return true;
            Cancel(params, 0);
            // A frame of the page (an advertisement, say) opens nothing.
            if (elsewhere && !address.empty() && IsTop(params, 6, top)) elsewhere(address);
            return true;
        }
        case DISPID_NEWWINDOW3: {  // new browser, Cancel, flags, context address, address
            if (params == nullptr || params->cArgs < 5) return true;
            Cancel(params, 3);
            const std::wstring address = TextArgument(params, 0);
            if (elsewhere && !address.empty()) elsewhere(address);
            return true;
        }
        case DISPID_NEWWINDOW2:  // new browser, Cancel
            if (params != nullptr && params->cArgs >= 2) Cancel(params, 0);
            return true;
        default: return false;
    }
}

bool CBrowserHost::Create(HWND site, std::function<void()> onDocumentComplete, AddressCheck allow,
                          AddressSink elsewhere) {
    Close();
    if (site == nullptr) return false;
    site_ = new Site(site, std::move(onDocumentComplete), std::move(allow), std::move(elsewhere));
    auto fail = [this] {
        Close();
        return false;
    };
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object_.PutVoid())))
        return fail();
    if (FAILED(object_->SetClientSite(static_cast<IOleClientSite*>(site_)))) return fail();
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(object_.As(persist))) persist->InitNew();
    RECT client{};
    GetClientRect(site, &client);
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0, site,
                               &client)))
        return fail();
    if (FAILED(object_.As(browser_))) return fail();
    site_->SetTop(browser_.Get());
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(object_.As(inPlace))) inPlace->SetObjectRects(&client, &client);

    ComPtr<IConnectionPointContainer> container;
    if (SUCCEEDED(object_.As(container)) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, events_.Put()))) {
        if (FAILED(events_->Advise(static_cast<IDispatch*>(site_), &cookie_))) events_.Reset();
    }
    return true;
}

void CBrowserHost::Close() {
    if (events_) {
        events_->Unadvise(cookie_);
        events_.Reset();
        cookie_ = 0;
    }
    browser_.Reset();
    if (object_) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(object_.As(inPlace))) inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    if (site_) {
        site_->Detach();
        std::exchange(site_, nullptr)->Release();
    }
}

bool CBrowserHost::TranslateAccelerator(MSG& msg) {
    IOleInPlaceActiveObject* active = site_ ? site_->ActiveObject() : nullptr;
    return active != nullptr && active->TranslateAccelerator(&msg) == S_OK;
}

}  // namespace tarnock::ui
