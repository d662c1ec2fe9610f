/* A stand-in for the system's web browser control and its HTML engine, for the browser
   dialog's tests. It runs in place in the site window it is given, shows the address it was
   sent to, fires DocumentComplete twice after each Navigate2 (a frame, then the page) and
   records what the container asks of it, one line each, in browser-calls.txt beside itself.
   One object serves every interface; its reference counts are not kept. */
#define COBJMACROS
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>

#include <stdio.h>
#include <string.h>

static const GUID kWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
static const GUID kHtmlDocument = {0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};
static const GUID kBrowserEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
static const GUID kWebBrowser2Iid = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
static const GUID kHtmlDocument2Iid = {0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
static const GUID kHtmlElementIid = {0x3050F1FF, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
static const GUID kHtmlBodyIid = {0x3050F1D8, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

static struct {
    IOleObject ole;
    IOleInPlaceObject inPlace;
    IWebBrowser2 web;
    IConnectionPointContainer container;
    IConnectionPoint point;
    IHTMLDocument2 document;
    IHTMLElement bodyElement;
    IHTMLBodyElement body;
    IClassFactory factory;
    IOleClientSite* site;
    IDispatch* sink;
    HWND parent;
    HWND page;
    WCHAR url[2048];
} g;

static IOleObjectVtbl oleVtbl;
static IOleInPlaceObjectVtbl inPlaceVtbl;
static IWebBrowser2Vtbl webVtbl;
static IConnectionPointContainerVtbl containerVtbl;
static IConnectionPointVtbl pointVtbl;
static IHTMLDocument2Vtbl documentVtbl;
static IHTMLElementVtbl elementVtbl;
static IHTMLBodyElementVtbl bodyVtbl;
static IClassFactoryVtbl factoryVtbl;
static HINSTANCE module;

static void Log(const WCHAR* what, const WCHAR* detail) {
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    while (length > 0 && path[length - 1] != L'\\') --length;
    if (length == 0 || length + 20 >= MAX_PATH) return;
    wcscpy(path + length, L"browser-calls.txt");
    WCHAR line[2200];
    _snwprintf(line, 2199, L"%ls\t%ls\n", what, detail ? detail : L"");
    line[2199] = 0;
    char utf8[6600];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8), NULL, NULL);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (bytes > 1) WriteFile(file, utf8, (DWORD)(bytes - 1), &written, NULL);
    CloseHandle(file);
}

static HRESULT STDMETHODCALLTYPE NotImpl(void* self) {
    (void)self;
    return E_NOTIMPL;
}
static ULONG STDMETHODCALLTYPE Count(void* self) {
    (void)self;
    return 1;
}
static HRESULT STDMETHODCALLTYPE Query(void* self, REFIID iid, void** out) {
    (void)self;
    if (out == NULL) return E_POINTER;
    *out = NULL;
    if (IsEqualIID(iid, &IID_IUnknown) || IsEqualIID(iid, &IID_IOleObject)) *out = &g.ole;
    else if (IsEqualIID(iid, &IID_IOleInPlaceObject) || IsEqualIID(iid, &IID_IOleWindow)) *out = &g.inPlace;
    else if (IsEqualIID(iid, &kWebBrowser2Iid) || IsEqualIID(iid, &IID_IDispatch)) *out = &g.web;
    else if (IsEqualIID(iid, &IID_IConnectionPointContainer)) *out = &g.container;
    else if (IsEqualIID(iid, &IID_IClassFactory)) *out = &g.factory;
    else return E_NOINTERFACE;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE QueryDocument(void* self, REFIID iid, void** out) {
    (void)self;
    if (out == NULL) return E_POINTER;
    *out = NULL;
    if (IsEqualIID(iid, &IID_IUnknown) || IsEqualIID(iid, &IID_IDispatch) || IsEqualIID(iid, &kHtmlDocument2Iid))
        *out = &g.document;
    else return E_NOINTERFACE;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE QueryBody(void* self, REFIID iid, void** out) {
    (void)self;
    if (out == NULL) return E_POINTER;
    *out = NULL;
    if (IsEqualIID(iid, &IID_IUnknown) || IsEqualIID(iid, &IID_IDispatch) || IsEqualIID(iid, &kHtmlElementIid))
        *out = &g.bodyElement;
    else if (IsEqualIID(iid, &kHtmlBodyIid)) *out = &g.body;
    else return E_NOINTERFACE;
    return S_OK;
}

/* Every slot answers E_NOTIMPL except IUnknown's and those set afterwards. */
static void Fill(void* table, size_t size, void* query) {
    void** slots = (void**)table;
    for (size_t i = 0; i < size / sizeof(void*); ++i) slots[i] = (void*)NotImpl;
    slots[0] = query;
    slots[1] = (void*)Count;
    slots[2] = (void*)Count;
}

static void FireDocumentComplete(void) {
    if (g.sink == NULL) return;
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_BSTR;
    args[0].bstrVal = SysAllocString(g.url);
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = (IDispatch*)&g.web;
    DISPPARAMS params = {args, NULL, 2, 0};
    IDispatch_Invoke(g.sink, DISPID_DOCUMENTCOMPLETE, &IID_NULL, 0, DISPATCH_METHOD, &params, NULL, NULL, NULL);
    SysFreeString(args[0].bstrVal);
}

static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        FireDocumentComplete();  /* a frame of the page */
        FireDocumentComplete();  /* the page */
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
        client.left += 12;
        client.top += 12;
        SetBkMode(dc, TRANSPARENT);
        WCHAR text[2200];
        _snwprintf(text, 2199, L"Stand-in browser\n\n%ls", g.url);
        text[2199] = 0;
        DrawTextW(dc, text, -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static HRESULT STDMETHODCALLTYPE SetClientSite(IOleObject* self, IOleClientSite* site) {
    (void)self;
    if (g.site) IOleClientSite_Release(g.site);
    g.site = site;
    if (site) IOleClientSite_AddRef(site);
    Log(L"SetClientSite", site ? L"site" : L"null");
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE DoVerb(IOleObject* self, LONG verb, MSG* msg, IOleClientSite* site, LONG index,
                                        HWND parent, LPCRECT rect) {
    (void)self, (void)verb, (void)msg, (void)site, (void)index;
    if (parent == NULL || rect == NULL) return E_INVALIDARG;
    g.parent = parent;
    if (g.page == NULL)
        g.page = CreateWindowExW(0, L"TarnockStandInPage", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, rect->left,
                                 rect->top, rect->right - rect->left, rect->bottom - rect->top, parent, NULL, module,
                                 NULL);
    Log(L"DoVerb", L"");
    return g.page ? S_OK : E_FAIL;
}
static HRESULT STDMETHODCALLTYPE Close(IOleObject* self, DWORD option) {
    (void)self, (void)option;
    Log(L"Close", IsWindow(g.parent) ? L"site alive" : L"site gone");
    if (g.page) DestroyWindow(g.page);
    g.page = NULL;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE GetPageWindow(IOleInPlaceObject* self, HWND* window) {
    (void)self;
    *window = g.page;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE Deactivate(IOleInPlaceObject* self) {
    (void)self;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE SetObjectRects(IOleInPlaceObject* self, LPCRECT position, LPCRECT clip) {
    (void)self, (void)clip;
    if (g.page && position)
        MoveWindow(g.page, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE Navigate2(IWebBrowser2* self, VARIANT* url, VARIANT* flags, VARIANT* frame,
                                           VARIANT* post, VARIANT* headers) {
    (void)self;
    const int empty = flags && frame && post && headers && V_VT(flags) == VT_EMPTY && V_VT(frame) == VT_EMPTY &&
                      V_VT(post) == VT_EMPTY && V_VT(headers) == VT_EMPTY;
    if (url == NULL || V_VT(url) != VT_BSTR || !empty) {
        Log(L"Navigate2", L"unexpected arguments");
        return E_INVALIDARG;
    }
    lstrcpynW(g.url, V_BSTR(url) ? V_BSTR(url) : L"", 2048);
    Log(L"Navigate2", g.url);
    if (g.page) {
        InvalidateRect(g.page, NULL, TRUE);
        PostMessageW(g.page, WM_APP, 0, 0);
    }
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE GetDocument(IWebBrowser2* self, IDispatch** document) {
    (void)self;
    *document = (IDispatch*)&g.document;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE FindPoint(IConnectionPointContainer* self, REFIID iid, IConnectionPoint** point) {
    (void)self;
    *point = NULL;
    if (!IsEqualIID(iid, &kBrowserEvents2)) return CONNECT_E_NOCONNECTION;
    *point = &g.point;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE Advise(IConnectionPoint* self, IUnknown* sink, DWORD* cookie) {
    (void)self;
    if (g.sink || FAILED(IUnknown_QueryInterface(sink, &IID_IDispatch, (void**)&g.sink))) return E_FAIL;
    *cookie = 7;
    Log(L"Advise", L"");
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE Unadvise(IConnectionPoint* self, DWORD cookie) {
    (void)self;
    if (cookie != 7 || g.sink == NULL) return CONNECT_E_NOCONNECTION;
    IDispatch_Release(g.sink);
    g.sink = NULL;
    Log(L"Unadvise", L"");
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE GetBody(IHTMLDocument2* self, IHTMLElement** body) {
    (void)self;
    *body = &g.bodyElement;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE PutScroll(IHTMLBodyElement* self, BSTR value) {
    (void)self;
    Log(L"put_scroll", value ? value : L"");
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE CreateInstance(IClassFactory* self, IUnknown* outer, REFIID iid, void** out) {
    (void)self;
    if (outer) return CLASS_E_NOAGGREGATION;
    return Query(NULL, iid, out);
}
static HRESULT STDMETHODCALLTYPE LockServer(IClassFactory* self, BOOL lock) {
    (void)self, (void)lock;
    return S_OK;
}

static void Setup(void) {
    Fill(&oleVtbl, sizeof(oleVtbl), (void*)Query);
    oleVtbl.SetClientSite = SetClientSite;
    oleVtbl.DoVerb = DoVerb;
    oleVtbl.Close = Close;
    Fill(&inPlaceVtbl, sizeof(inPlaceVtbl), (void*)Query);
    inPlaceVtbl.GetWindow = GetPageWindow;
    inPlaceVtbl.InPlaceDeactivate = Deactivate;
    inPlaceVtbl.SetObjectRects = SetObjectRects;
    Fill(&webVtbl, sizeof(webVtbl), (void*)Query);
    webVtbl.Navigate2 = Navigate2;
    webVtbl.get_Document = GetDocument;
    Fill(&containerVtbl, sizeof(containerVtbl), (void*)Query);
    containerVtbl.FindConnectionPoint = FindPoint;
    Fill(&pointVtbl, sizeof(pointVtbl), (void*)Query);
    pointVtbl.Advise = Advise;
    pointVtbl.Unadvise = Unadvise;
    Fill(&documentVtbl, sizeof(documentVtbl), (void*)QueryDocument);
    documentVtbl.get_body = GetBody;
    Fill(&elementVtbl, sizeof(elementVtbl), (void*)QueryBody);
    Fill(&bodyVtbl, sizeof(bodyVtbl), (void*)QueryBody);
    bodyVtbl.put_scroll = PutScroll;
    Fill(&factoryVtbl, sizeof(factoryVtbl), (void*)Query);
    factoryVtbl.CreateInstance = CreateInstance;
    factoryVtbl.LockServer = LockServer;
    g.ole.lpVtbl = &oleVtbl;
    g.inPlace.lpVtbl = &inPlaceVtbl;
    g.web.lpVtbl = &webVtbl;
    g.container.lpVtbl = &containerVtbl;
    g.point.lpVtbl = &pointVtbl;
    g.document.lpVtbl = &documentVtbl;
    g.bodyElement.lpVtbl = &elementVtbl;
    g.body.lpVtbl = &bodyVtbl;
    g.factory.lpVtbl = &factoryVtbl;

    WNDCLASSW page;
    memset(&page, 0, sizeof(page));
    page.lpfnWndProc = PageProc;
    page.hInstance = module;
    page.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    page.lpszClassName = L"TarnockStandInPage";
    RegisterClassW(&page);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        Setup();
    }
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!IsEqualCLSID(clsid, &kWebBrowser) && !IsEqualCLSID(clsid, &kHtmlDocument)) return CLASS_E_CLASSNOTAVAILABLE;
    return Query(NULL, iid, out);
}

HRESULT WINAPI DllCanUnloadNow(void) { return S_FALSE; }
