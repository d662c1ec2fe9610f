#include "ui/framework/Dialog.h"

#include "ui/framework/Application.h"
#include "ui/framework/MessageLoop.h"
#include "ui/framework/SubclassedWindow.h"

namespace tarnock::ui {

namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
    if (hwnd_ != nullptr && !modal_) {
        const HWND window = hwnd_;
        hwnd_ = nullptr;
        SetWindowLongPtrW(window, DWLP_USER, 0);  // no callbacks into a dying object
        loop::Unregister(*this);
        ::DestroyWindow(window);
    }
}

INT_PTR CDialog::DoModal() {
    // As the dialog manager does: the owner is the top-level window of the given parent.
    const HWND owner = parent_ != nullptr ? GetAncestor(parent_, GA_ROOT) : nullptr;
    modal_ = true;
    ended_ = false;
    result_ = -1;
    if (CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this)) == nullptr) {
        modal_ = false;
        return -1;
    }
    const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    if (!ended_ && hwnd_ != nullptr) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        loop::Run([this] { return !ended_ && hwnd_ != nullptr; });
    }
    // The owner comes back before the dialog goes, so the activation returns to it.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (hwnd_ != nullptr) {
        if (owner != nullptr && GetActiveWindow() == hwnd_) SetActiveWindow(owner);
        ::DestroyWindow(hwnd_);
    }
    modal_ = false;
    return result_;
}

bool CDialog::Create(HWND parent) {
    if (parent) parent_ = parent;
    modal_ = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent_, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (hwnd_ == nullptr) return;
    if (modal_) {
        result_ = result;
        ended_ = true;
        PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop even when a sent message ended it
    } else {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

bool CDialog::PreTranslateMessage(MSG& msg) { return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &msg); }

void CDialog::DestroyWindow() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void CDialog::OnMessage(UINT message, MessageHandler handler) { messages_[message] = std::move(handler); }
void CDialog::OnCommand(UINT id, CommandHandler handler) {
    commands_[{id, 1}] = handler;
    commands_[{id, 0}] = std::move(handler);
}
void CDialog::OnCommand(UINT id, UINT code, CommandHandler handler) { commands_[{id, code}] = std::move(handler); }
void CDialog::BindControl(int id, CSubclassedWindow& control) { bindings_[id] = &control; }

LRESULT CDialog::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->hwnd_ = window;
        loop::Register(*self);
        if (CApplication* app = CApplication::Current(); app && app->MainDialog() == self) app->SetMainWindow(window);
        for (auto& [id, control] : self->bindings_) {
            if (control->Attach(GetDlgItem(window, id))) self->boundWindows_[control->Hwnd()] = control;
        }
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    const INT_PTR result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        loop::Unregister(*self);
        if (CApplication* app = CApplication::Current(); app && app->MainWindow() == window) app->SetMainWindow(nullptr);
        self->hwnd_ = nullptr;
        self->boundWindows_.clear();
        self->PostNcDestroy();  // may delete the object
    }
    return result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    auto finish = [&](LRESULT value) -> INT_PTR {
        if (ReturnsDirectly(message)) return static_cast<INT_PTR>(value);
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, value);
        return TRUE;
    };

    if (auto found = messages_.find(message); found != messages_.end()) {
        if (std::optional<LRESULT> value = found->second(wParam, lParam)) return finish(*value);
    }

    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            const UINT id = LOWORD(wParam);
            const UINT code = HIWORD(wParam);
            if (auto found = commands_.find({id, code}); found != commands_.end()) {
                found->second();
                return TRUE;
            }
            if (code > 1) return FALSE;  // other notifications of the two standard buttons
            if (id == IDOK) {
                OnOK();
                return TRUE;
            }
            if (id == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return FALSE;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (auto found = boundWindows_.find(header->hwndFrom); found != boundWindows_.end()) {
                LRESULT value = 0;
                if (found->second->OnReflectedNotify(header, value)) return finish(value);
            }
            return FALSE;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (auto found = boundWindows_.find(item->hwndItem); found != boundWindows_.end()) {
                if (found->second->OnReflectedDrawItem(item)) return finish(TRUE);
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

}  // namespace tarnock::ui
