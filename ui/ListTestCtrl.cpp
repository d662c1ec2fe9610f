#include "ui/ListTestCtrl.h"

#include <windowsx.h>
#include <shellapi.h>
#include <mbstring.h>

#include <vector>

#include "base/ScopedHandles.h"
#include "resource.h"
#include "ui/MemDC.h"

namespace tarnock::ui {

bool ListTestCtrl::sortAscending_ = false;
bool ListTestCtrl::drawnRowWasSelected_ = false;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr UINT kExchangedStates = 0xFF0F;  // focus, selection, cut, drop highlight, overlay and state images
constexpr int kActionDoubleClick = 0;

// The multibyte comparison of the list's texts: case-sensitive, by byte value.
int CompareTexts(const std::string& a, const std::string& b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a.c_str()), reinterpret_cast<const unsigned char*>(b.c_str()));
}

}  // namespace

ItemMenuState DecideItemMenu(bool hasSelection, std::string_view infoText, int lastScanType) {
    ItemMenuState state;
    if (!hasSelection) return state;
    state.show = true;
    state.homepageEnabled = infoText.substr(0, 5) == "http:";
    state.folderEnabled = lastScanType != 6;
    state.deleteEntryEnabled = lastScanType != 6 && lastScanType != 7 && lastScanType != 8;
    return state;
}

int ListActionForCommand(UINT command) {
    switch (command) {
        case ID_LIST_OPINION: return 1;
        case ID_LIST_REMOVE: return 2;
        case ID_LIST_HOMEPAGE: return 3;
        case ID_LIST_SEARCH: return 4;
        case ID_LIST_FOLDER: return 5;
        case ID_LIST_DELETEENTRY: return 6;
        default: return -1;
    }
}

ListTestCtrl::~ListTestCtrl() { sortAscending_ = false; }

void ListTestCtrl::PreSubclass() {
    // The list shows the system's shared image lists, which it must never destroy.
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    if ((style & LVS_SHAREIMAGELISTS) == 0) SetWindowLongPtrW(Hwnd(), GWL_STYLE, style | LVS_SHAREIMAGELISTS);
    header_.Attach(reinterpret_cast<HWND>(SendMessageW(Hwnd(), LVM_GETHEADER, 0, 0)));
    window_ = Hwnd();
}

int ListTestCtrl::ItemCount() const { return static_cast<int>(SendMessageW(Hwnd(), LVM_GETITEMCOUNT, 0, 0)); }

int ListTestCtrl::FirstSelectedRow() const {
    return static_cast<int>(SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListTestCtrl::ColumnCount() const {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(Hwnd(), LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string ListTestCtrl::ItemText(int row, int column) const {
    std::vector<char> buffer(260);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const int length = static_cast<int>(SendMessageA(Hwnd(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
        // A text that fills the buffer may have been cut: try again with more room.
        if (length < static_cast<int>(buffer.size()) - 1 || buffer.size() >= 65536) {
            buffer.back() = '\0';
            return std::string(item.pszText ? item.pszText : "");
        }
        buffer.resize(buffer.size() * 2);
    }
}

void ListTestCtrl::Sort(int column, bool ascending, int first, int last) {
    if (column >= ColumnCount()) return;
    if (last == -1) last = ItemCount() - 1;
    if (first >= last) return;

    const int columns = ColumnCount();
    const std::string pivot = ItemText((first + last) / 2, column);
    int i = first;
    int j = last;
    while (j >= i) {
        while (i < last) {
            const int order = CompareTexts(ItemText(i, column), pivot);
            if (ascending ? order >= 0 : order <= 0) break;
            ++i;
        }
        while (j > first) {
            const int order = CompareTexts(ItemText(j, column), pivot);
            if (ascending ? order <= 0 : order >= 0) break;
            --j;
        }
        if (j >= i) {
            // Equal rows stay where they are.
            if (i != j && CompareTexts(ItemText(i, column), ItemText(j, column)) != 0) ExchangeRows(i, j, columns);
            ++i;
            --j;
        }
    }
    if (first < j) Sort(column, ascending, first, j);
    if (i < last) Sort(column, ascending, i, last);
}

void ListTestCtrl::ExchangeRows(int i, int j, int columns) {
    std::vector<std::string> savedTexts;
    savedTexts.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) savedTexts.push_back(ItemText(i, c));

    LVITEMA attributes[2] = {};
    for (int k = 0; k < 2; ++k) {
        attributes[k].mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        attributes[k].iItem = k == 0 ? i : j;
        attributes[k].stateMask = kExchangedStates;
        SendMessageA(Hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&attributes[k]));
    }

    auto setText = [this](int row, int column, const std::string& text) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(Hwnd(), LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    };
    auto setAttributes = [this](int row, LVITEMA item) {
        item.iItem = row;
        item.iSubItem = 0;
        item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.stateMask = kExchangedStates;
        SendMessageA(Hwnd(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    };

    for (int c = 0; c < columns; ++c) setText(i, c, ItemText(j, c));
    setAttributes(i, attributes[1]);
    for (int c = 0; c < columns; ++c) setText(j, c, savedTexts[static_cast<std::size_t>(c)]);
    setAttributes(j, attributes[0]);
}

bool ListTestCtrl::OnReflectedNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
        case NM_CUSTOMDRAW:
            result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
            return true;
        case LVN_COLUMNCLICK: {
            const auto* click = reinterpret_cast<NMLISTVIEW*>(header);
            const bool ascending = sortAscending_;
            Sort(click->iSubItem, ascending, 0, -1);
            sortAscending_ = !ascending;
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

LRESULT ListTestCtrl::CustomDraw(NMLVCUSTOMDRAW* draw) {
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            const bool selected =
                (SendMessageW(Hwnd(), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
            drawnRowWasSelected_ = selected;
            if (selected) {
                draw->clrText = selectedText_;
                draw->clrTextBk = selectedBackground_;
                // Without its selected state the row is painted in the colours above
                // rather than the system highlight.
                draw->nmcd.uItemState &= ~CDIS_SELECTED;
                LVITEMW state{};
                state.stateMask = LVIS_SELECTED;
                SendMessageW(Hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
            }
            return CDRF_NOTIFYPOSTPAINT;
        }
        case CDDS_ITEMPOSTPAINT:
            if (drawnRowWasSelected_) {
                LVITEMW state{};
                state.state = LVIS_SELECTED;
                state.stateMask = LVIS_SELECTED;
                SendMessageW(Hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
            }
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

void ListTestCtrl::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Hwnd(), &ps);
    if (dc == nullptr) return;
    RECT client;
    GetClientRect(Hwnd(), &client);
    {
        CMemDC mem(dc, client);
        if (viewStyle_ == 1 && header_.Hwnd() != nullptr && IsWindowVisible(header_.Hwnd())) {
            // The header paints itself; the copy of the surface must not cover it.
            RECT headerRect;
            GetWindowRect(header_.Hwnd(), &headerRect);
            MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&headerRect), 2);
            ExcludeClipRect(dc, headerRect.left, headerRect.top, headerRect.right, headerRect.bottom);
        }
        if (mem.IsValid()) {
            RECT clip;
            GetClipBox(mem.Get(), &clip);
            ScopedBrush white(CreateSolidBrush(kWhite));
            FillRect(mem.Get(), &clip, white.Get());
            if (static_cast<COLORREF>(SendMessageW(Hwnd(), LVM_GETTEXTBKCOLOR, 0, 0)) != kWhite)
                SendMessageW(Hwnd(), LVM_SETTEXTBKCOLOR, 0, kWhite);
            DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(mem.Get()), 0);
        } else {
            DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        }
    }
    EndPaint(Hwnd(), &ps);
}

void ListTestCtrl::SendAction(int action) {
    const int row = FirstSelectedRow();
    const HWND target = notifyWindow_;
    if (row < 0 || target == nullptr) return;
    SendMessageA(target, UM_LISTACTION, static_cast<WPARAM>(action), row);
}

void ListTestCtrl::SendSelection() {
    const HWND target = notifyWindow_;
    if (target == nullptr) return;
    const int row = FirstSelectedRow();
    if (row >= 0) SendMessageA(target, UM_LISTSELECTION, 1, row);
    else SendMessageA(target, UM_LISTSELECTION, 0, 0);
}

void ListTestCtrl::ShowItemMenu(LPARAM position) {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU)));
    if (!menu) return;
    const int row = FirstSelectedRow();
    const ItemMenuState state = DecideItemMenu(row >= 0, row >= 0 ? ItemText(row, 1) : std::string(), LastScanType());
    if (!state.show) return;
    const HMENU popup = GetSubMenu(menu.Get(), 0);
    if (popup == nullptr) return;
    if (!state.homepageEnabled) EnableMenuItem(popup, ID_LIST_HOMEPAGE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    if (!state.folderEnabled) EnableMenuItem(popup, ID_LIST_FOLDER, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    if (!state.deleteEntryEnabled)
        EnableMenuItem(popup, ID_LIST_DELETEENTRY, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);

    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (point.x == -1 && point.y == -1) {
        // Asked for from the keyboard: open the menu at the row instead of the screen corner.
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        SendMessageW(Hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        point = {rect.left, rect.bottom};
        ClientToScreen(Hwnd(), &point);
    }
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, 0, Hwnd(), nullptr);
}

void ListTestCtrl::ForwardDroppedFiles(HDROP drop) {
    std::string text = "tarnock|";
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char name[MAX_PATH] = {};
        DragQueryFileA(drop, i, name, MAX_PATH);
        text += name;
        text += '|';
    }
    COPYDATASTRUCT data{};
    data.dwData = 1;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = text.data();
    SendMessageA(GetParent(Hwnd()), WM_COPYDATA, reinterpret_cast<WPARAM>(Hwnd()), reinterpret_cast<LPARAM>(&data));
}

LRESULT ListTestCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            break;
        case WM_LBUTTONDOWN: {
            const LRESULT result = DefaultProc(message, wParam, lParam);
            SendSelection();
            return result;
        }
        case WM_LBUTTONDBLCLK:
            SendAction(kActionDoubleClick);
            return DefaultProc(message, wParam, lParam);
        case WM_CONTEXTMENU:
            ShowItemMenu(lParam);
            return 0;
        case WM_COMMAND: {
            const int action = ListActionForCommand(LOWORD(wParam));
            if (action < 0) break;
            SendAction(action);
            return 0;
        }
        case WM_DROPFILES: {
            const HDROP drop = reinterpret_cast<HDROP>(wParam);
            ForwardDroppedFiles(drop);
            DragFinish(drop);
            return 0;
        }
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

}  // namespace tarnock::ui
