// A host dialog for the result-list tests: the list bound to control 1000 and wired the
// way the main dialog wires it, recording every message the list sends.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/ResultList.h"
#include "list_host_ids.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "resource.h"
#include "ui/HButton.h"
#include "ui/ListTestCtrl.h"
#include "ui/framework/Dialog.h"

namespace listtest {

using tarnock::CResultList;
using tarnock::ui::CHButton;
using tarnock::ui::ListTestCtrl;

// Runs the thread's messages for `ms` milliseconds.
inline void Pump(int ms = 30) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (std::chrono::steady_clock::now() < end);
}

struct Sent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class HostDialog : public tarnock::ui::CDialog {
public:
    HostDialog() : CDialog(IDD_LIST_HOST) {
        BindControl(IDC_RESULT_LIST, list);
        BindControl(IDC_HOST_EMPTY_BUTTON, emptyButton);
        BindControl(IDC_STYLE, styleButton);
        for (UINT message : {UINT(UM_LISTSELECTION), UINT(UM_LISTACTION)}) {
            OnMessage(message, [this, message](WPARAM w, LPARAM l) -> std::optional<LRESULT> {
                sent.push_back({message, w, l});
                return 0;
            });
        }
        OnMessage(WM_COPYDATA, [this](WPARAM, LPARAM l) -> std::optional<LRESULT> {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
            copyDataKind = data->dwData;
            copyData.assign(static_cast<const char*>(data->lpData), data->cbData);
            return TRUE;
        });
        for (UINT command : {UINT(ID_STYLE_ICON), UINT(ID_STYLE_REPORT), UINT(ID_STYLE_LIST)})
            OnCommand(command, [this, command] { rows.HandleStyleCommand(command); });
    }

    BOOL OnInitDialog() override {
        rows.InsertColumns();
        list.SetNotifyWindow(Hwnd());
        DragAcceptFiles(list.Hwnd(), TRUE);
        rows.ResetImageLists();
        return TRUE;
    }

    // Sends a column click the way the list reports it to its parent.
    void ClickColumn(int column) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = list.Hwnd();
        click.hdr.idFrom = IDC_RESULT_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(Hwnd(), WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&click));
    }

    void Select(int row) {
        LVITEMW state{};
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list.Hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    LVITEMA Attributes(int row) const {
        LVITEMA item{};
        item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.iItem = row;
        item.stateMask = 0xFF0F;
        SendMessageA(list.Hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item;
    }

    ListTestCtrl list;
    CResultList rows{list};
    CHButton emptyButton;
    CHButton styleButton;
    std::vector<Sent> sent;
    ULONG_PTR copyDataKind = 0;
    std::string copyData;
};

// The host dialog shown on the test display, the settings key cleaned before and after.
class ListHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Olmatic\\Tarnock");
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&init);
        ASSERT_TRUE(host.Create());
        SetWindowPos(host.Hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateWindow(host.Hwnd());
        Pump(50);
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump(10);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Olmatic\\Tarnock");
    }
    HostDialog host;
};

using tarnock::testing::TempFolder;
using tarnock::testing::WindowsPath;

}  // namespace listtest
