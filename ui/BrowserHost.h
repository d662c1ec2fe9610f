// A minimal OLE container for the system's web browser control: the control runs in
// place inside a site window, its DocumentComplete events reach a handler, and it is
// closed (events disconnected, deactivated, client site cleared) by Close or with the host.
// The control runs inside this (elevated) process, so it shows only the addresses its
// filter allows; every other navigation and every new window is cancelled and handed on.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <oleidl.h>

#include <functional>
#include <string>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

class CBrowserHost {
public:
    CBrowserHost() = default;
    ~CBrowserHost() { Close(); }
    CBrowserHost(const CBrowserHost&) = delete;
    CBrowserHost& operator=(const CBrowserHost&) = delete;

    // Whether the control may show an address; where a refused top-level address goes
    // instead (the user's default browser, outside this process).
    using AddressCheck = std::function<bool(const std::wstring&)>;
    using AddressSink = std::function<void(const std::wstring&)>;

    // Creates the control filling the client area of `site`; false when the control cannot
    // be created or activated (nothing is left behind then). Without `allow` every
    // navigation is refused.
    bool Create(HWND site, std::function<void()> onDocumentComplete, AddressCheck allow = {},
                AddressSink elsewhere = {});

    // Handles the control's navigation events: BeforeNavigate2 of an address `allow` refuses
    // is cancelled, and when it is the page itself (the event's browser is `top`, or `top` is
    // null) the address goes to `elsewhere`; NewWindow2 and NewWindow3 are always cancelled,
    // NewWindow3's address going to `elsewhere`. True when `id` was one of these events.
    static bool FilterNavigation(DISPID id, DISPPARAMS* params, IUnknown* top, const AddressCheck& allow,
                                 const AddressSink& elsewhere);
    // Must run while the site window still exists.
    void Close();

    IWebBrowser2* Browser() const { return browser_.Get(); }
    // Lets the active control handle its own keys (Tab in forms, Delete, clipboard keys).
    bool TranslateAccelerator(MSG& msg);

    // True when the system can show web pages in the control: its HTML engine can be
    // created. Creating the browser control alone proves nothing (it exists without one).
    static bool CanShowPages();

private:
    class Site;

    Site* site_ = nullptr;  // one reference, released by Close
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> events_;
    DWORD cookie_ = 0;
};

}  // namespace tarnock::ui
