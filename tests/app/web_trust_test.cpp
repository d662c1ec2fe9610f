// What the embedded browser may show, and where every other navigation goes.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdispid.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/WebActions.h"
#include "base/TextUtil.h"
#include "ui/BrowserHost.h"

namespace tarnock {
namespace {

using ui::CBrowserHost;

TEST(WebTrust, OriginsOfAddresses) {
    const struct {
        const char* address;
        const char* origin;
    } cases[] = {
        {"http://Maker.Example/tarnock/proctag.html?page=1", "http://maker.example"},
        {"HTTPS://maker.example:8443/x", "https://maker.example:8443"},
        {"http://maker.example?x=1", "http://maker.example"},
        {"http://maker.example@elsewhere.example/", ""},  // user information hides the real host
        {"file:///C:/Windows/", ""},
        {"javascript:alert(1)", ""},
        {"about:blank", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(web::AddressOrigin(c.address), c.origin) << c.address;
}

// The maker's site is what Tarnock.ini beside the program configures.
class MakerSite : public ::testing::Test {
protected:
    void SetUp() override {
        const PathParts parts = SplitPath(ModulePath());
        ini_ = parts.drive + parts.directory + "Tarnock.ini";
        std::ofstream(ini_, std::ios::binary | std::ios::trunc) << "[Site]\r\nMaker=http://maker.example/\r\n";
    }
    void TearDown() override { DeleteFileA(ini_.c_str()); }
    std::string ini_;
};

TEST_F(MakerSite, OnlyPagesOfTheMakersSiteMayBeShown) {
    const struct {
        const char* address;
        bool allowed;
    } cases[] = {
        {"http://maker.example/tarnock/proctag.html?page=1&tag=x", true},
        {"http://MAKER.example/", true},
        {"https://maker.example/", false},  // another scheme is another site
        {"http://maker.example.elsewhere.example/", false},
        {"http://maker.example:8080/", false},
        {"http://maker.example@elsewhere.example/", false},
        {"http://elsewhere.example/?http://maker.example/", false},
        {"file:///C:/Windows/win.ini", false},
    };
    for (const auto& c : cases) EXPECT_EQ(web::IsMakerSiteAddress(c.address), c.allowed) << c.address;
    DeleteFileA(ini_.c_str());
    EXPECT_FALSE(web::IsMakerSiteAddress("http://maker.example/"));  // nothing configured
}

// A dispatch object standing for a browser of the control (the page or one of its frames).
class FakeBrowser final : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

// The arguments of one event as the control passes them, last argument first.
class EventArguments {
public:
    explicit EventArguments(std::size_t count) : values_(count) {
        for (VARIANT& value : values_) VariantInit(&value);
        inner_.reserve(count);  // the arguments point into it
    }
    ~EventArguments() {
        for (BSTR text : texts_) SysFreeString(text);
    }
    // `index` counts from the event's first argument.
    void Dispatch(std::size_t index, IDispatch* object) {
        VARIANT& value = At(index);
        value.vt = VT_DISPATCH;
        value.pdispVal = object;
    }
    void TextByReference(std::size_t index, const wchar_t* text) {
        inner_.push_back({});
        VariantInit(&inner_.back());
        inner_.back().vt = VT_BSTR;
        inner_.back().bstrVal = Text(text);
        VARIANT& value = At(index);
        value.vt = VT_BYREF | VT_VARIANT;
        value.pvarVal = &inner_.back();
    }
    void Text(std::size_t index, const wchar_t* text) {
        VARIANT& value = At(index);
        value.vt = VT_BSTR;
        value.bstrVal = Text(text);
    }
    void CancelFlag(std::size_t index) {
        VARIANT& value = At(index);
        value.vt = VT_BYREF | VT_BOOL;
        value.pboolVal = &cancel;
    }
    DISPPARAMS* Params() {
        params_.rgvarg = values_.data();
        params_.cArgs = static_cast<UINT>(values_.size());
        return &params_;
    }
    VARIANT_BOOL cancel = VARIANT_FALSE;

private:
    VARIANT& At(std::size_t index) { return values_[values_.size() - 1 - index]; }
    BSTR Text(const wchar_t* text) {
        texts_.push_back(SysAllocString(text));
        return texts_.back();
    }
    std::vector<VARIANT> values_;
    std::vector<VARIANT> inner_;
    std::vector<BSTR> texts_;
    DISPPARAMS params_{};
};

TEST(WebTrust, TheBrowserShowsOnlyAllowedPagesAndSendsTheRestElsewhere) {
    FakeBrowser page;
    FakeBrowser frame;
    std::vector<std::wstring> elsewhere;
    const CBrowserHost::AddressCheck allow = [](const std::wstring& address) {
        return address.rfind(L"http://maker.example/", 0) == 0;
    };
    const CBrowserHost::AddressSink sink = [&](const std::wstring& address) { elsewhere.push_back(address); };

    const struct {
        const wchar_t* address;
        IDispatch* browser;
        bool withFilter;
        bool cancelled;
        bool handedOn;
    } navigations[] = {
        {L"http://maker.example/tarnock/proctag.html", &page, true, false, false},
        {L"http://elsewhere.example/", &page, true, true, true},
        {L"http://ads.example/frame.html", &frame, true, true, false},  // a frame opens nothing
        {L"http://maker.example/", &page, false, true, true},  // no filter: shown elsewhere only
        {L"", &page, true, true, false},
    };
    for (const auto& n : navigations) {
        SCOPED_TRACE(AnsiFromWide(n.address));
        elsewhere.clear();
        // BeforeNavigate2(browser, URL, flags, target frame, post data, headers, Cancel)
        EventArguments event(7);
        event.Dispatch(0, n.browser);
        event.TextByReference(1, n.address);
        event.CancelFlag(6);
        EXPECT_TRUE(CBrowserHost::FilterNavigation(DISPID_BEFORENAVIGATE2, event.Params(), &page,
                                                   n.withFilter ? allow : CBrowserHost::AddressCheck(), sink));
        EXPECT_EQ(event.cancel == VARIANT_TRUE, n.cancelled);
        EXPECT_EQ(elsewhere, n.handedOn ? std::vector<std::wstring>{n.address} : std::vector<std::wstring>{});
    }

    // New windows never open inside this process, not even the maker's.
    elsewhere.clear();
    EventArguments newWindow(5);  // NewWindow3(new browser, Cancel, flags, context, URL)
    newWindow.CancelFlag(1);
    newWindow.Text(4, L"http://maker.example/popup.html");
    EXPECT_TRUE(CBrowserHost::FilterNavigation(DISPID_NEWWINDOW3, newWindow.Params(), &page, allow, sink));
    EXPECT_EQ(newWindow.cancel, VARIANT_TRUE);
    EXPECT_EQ(elsewhere, std::vector<std::wstring>{L"http://maker.example/popup.html"});
    EventArguments oldWindow(2);  // NewWindow2(new browser, Cancel)
    oldWindow.CancelFlag(1);
    EXPECT_TRUE(CBrowserHost::FilterNavigation(DISPID_NEWWINDOW2, oldWindow.Params(), &page, allow, sink));
    EXPECT_EQ(oldWindow.cancel, VARIANT_TRUE);

    EventArguments other(2);
    EXPECT_FALSE(CBrowserHost::FilterNavigation(DISPID_DOCUMENTCOMPLETE, other.Params(), &page, allow, sink));
}

}  // namespace
}  // namespace tarnock
