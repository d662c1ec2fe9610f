// The skinned, captionless window that shows one web page in the system's web browser
// control: moved by pressing its painted frame, closed with its painted close mark or the
// "닫기" button. When the system cannot show pages in the control, the dialog ends at once
// with IDABORT and the caller opens the address elsewhere.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/BDialog.h"

namespace tarnock::ui {

class CBrowserHost;

class CHelp : public CBDialog {
public:
    // The owner keeps the dialog in front of it and outlives it.
    explicit CHelp(HWND owner);
    ~CHelp() override;

    // The address to show, 8-bit code-page text; set before the dialog runs.
    std::string url;
    // Which addresses the dialog may show (url among them), and where any other address
    // the page navigates to or opens in a new window goes instead. Without `allowAddress`
    // the dialog shows nothing.
    std::function<bool(const std::wstring&)> allowAddress;
    std::function<void(const std::wstring&)> openElsewhere;

    bool PreTranslateMessage(MSG& msg) override;

protected:
    BOOL OnInitDialog() override;

private:
    void OnDocumentComplete();
    bool InCloseMark(POINT point) const;
    void CloseBrowser();

    HWND browser_ = nullptr;  // the window of control 1017, the control's site
    std::unique_ptr<CBrowserHost> host_;
};

// Asks the system's browser control to render pages in the newest document mode it has,
// for the running program (the per-program browser emulation setting of the current user).
void UseNewestBrowserMode();

}  // namespace tarnock::ui
