// A minimal OLE container for the system's web browser control: the control runs in
// place inside a site window, its DocumentComplete events reach a handler, and it is
// closed (events disconnected, deactivated, client site cleared) by Close or with the host.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <oleidl.h>

#include <functional>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

class CBrowserHost {
public:
    CBrowserHost() = default;
    ~CBrowserHost() { Close(); }
    CBrowserHost(const CBrowserHost&) = delete;
    CBrowserHost& operator=(const CBrowserHost&) = delete;

    // Creates the control filling the client area of `site`; false when the control cannot
    // be created or activated (nothing is left behind then).
    bool Create(HWND site, std::function<void()> onDocumentComplete);
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
