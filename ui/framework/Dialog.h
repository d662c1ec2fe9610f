// Dialogs from resource templates, modal or modeless, with tables that map window
// messages and command identifiers to handlers.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace tarnock::ui {

class CSubclassedWindow;

class CDialog {
public:
    // A handler returns the message's result, or nothing to leave it to the default processing.
    using MessageHandler = std::function<std::optional<LRESULT>(WPARAM, LPARAM)>;
    using CommandHandler = std::function<void()>;

    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally: the owner is disabled and the framework's message loop runs
    // until EndDialog, so the pre-translation chain sees every message of the dialog.
    // -1 when the window cannot be created.
    INT_PTR DoModal();
    // Modeless creation; the window stays hidden until shown unless the template says otherwise.
    bool Create(HWND parent = nullptr);
    // Ends a modal dialog with `result`; hides a modeless one.
    void EndDialog(INT_PTR result);
    void DestroyWindow();

    // A look at a message for one of the dialog's windows before it is dispatched; true when
    // it was handled here. The default gives the dialog manager's keyboard handling.
    virtual bool PreTranslateMessage(MSG& msg);

    HWND Hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    UINT TemplateId() const { return templateId_; }

protected:
    // Tables, filled by the derived class's constructor.
    void OnMessage(UINT message, MessageHandler handler);
    // A click, menu item or accelerator (notification codes 0 and 1) of `id`.
    void OnCommand(UINT id, CommandHandler handler);
    // One notification code of control `id` (EN_CHANGE, LBN_SELCHANGE, ...).
    void OnCommand(UINT id, UINT code, CommandHandler handler);
    // Binds a control object to the dialog's item `id` at initialisation, before OnInitDialog.
    void BindControl(int id, CSubclassedWindow& control);

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Runs after the window is gone; a self-owning dialog deletes itself here.
    virtual void PostNcDestroy() {}

    // The handling the dialog manager would give the message without the tables.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = -1;
    std::unordered_map<UINT, MessageHandler> messages_;
    std::map<std::pair<UINT, UINT>, CommandHandler> commands_;  // (id, notification code)
    std::unordered_map<int, CSubclassedWindow*> bindings_;
    std::unordered_map<HWND, CSubclassedWindow*> boundWindows_;
};

}  // namespace tarnock::ui
