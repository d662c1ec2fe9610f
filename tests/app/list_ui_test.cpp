// The result list in a real dialog on the test display: sorting, the messages to the main
// dialog, dropped files, the item menu, icons, display styles, painting, hover buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <thread>

#include "list_host.h"
#include "base/Settings.h"
#include "ui/UseShGetFileInfo.h"

using namespace listtest;

namespace {

struct Row {
    std::string name;
    std::string info;
    std::string iconFile;
};

std::string Key(const std::string& name) { return "key-" + name; }

// Adds the rows with keys "key-NAME", item values 100, 101, ... and the places HKLM64,
// HKLM32, HKCU, HKLM64, ... in order.
void AddRows(HostDialog& host, const std::vector<Row>& rows) {
    static const char* const kPlaces[] = {"HKLM64", "HKLM32", "HKCU"};
    int value = 100;
    for (const Row& row : rows) {
        host.rows.AddListRow(row.name, row.info, Key(row.name), row.iconFile, value, kPlaces[(value - 100) % 3]);
        ++value;
    }
}

std::vector<std::string> Column(const HostDialog& host, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < host.list.ItemCount(); ++row) texts.push_back(host.list.ItemText(row, column));
    return texts;
}

// An .ico file of the build's own default icon, under the given file name.
std::string MakeIcoFile(const std::string& fileName) {
    const std::string file = TempFolder() + fileName;
    CopyFileA(WindowsPath(TARNOCK_BUILD_DIR "/art/program.ico").c_str(), file.c_str(), FALSE);
    return file;
}

// Everything that follows a row through a sort.
struct RowIdentity {
    std::string info, key, iconFile;
    int image;
    LPARAM value;
    bool selected;
    std::string place;
    bool operator==(const RowIdentity&) const = default;
};

std::map<std::string, RowIdentity> Identities(const HostDialog& host) {
    std::map<std::string, RowIdentity> result;
    for (int row = 0; row < host.list.ItemCount(); ++row) {
        const LVITEMA item = host.Attributes(row);
        result[host.list.ItemText(row, 0)] = {host.list.ItemText(row, 1), host.list.ItemText(row, 2),
                                              host.list.ItemText(row, 3), item.iImage, item.lParam,
                                              (item.state & LVIS_SELECTED) != 0, host.list.ItemText(row, 4)};
    }
    return result;
}

std::vector<std::string> Sorted(std::vector<std::string> texts, bool ascending) {
    // std::string compares by unsigned byte value, like the list's multibyte comparison.
    if (ascending) std::sort(texts.begin(), texts.end());
    else std::sort(texts.begin(), texts.end(), std::greater<>());
    return texts;
}

// A pixel copy of a window as it is on the screen.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    int Count(COLORREF colour, RECT area) const {
        int n = 0;
        for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height); ++y)
            for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width); ++x)
                if (At(x, y) == colour) ++n;
        return n;
    }
};

Capture CaptureWindow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(150);
    RECT rect;
    GetWindowRect(window, &rect);
    Capture shot;
    shot.width = rect.right - rect.left;
    shot.height = rect.bottom - rect.top;
    tarnock::ScopedWindowDc screen(nullptr);
    tarnock::ScopedMemoryDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    tarnock::ScopedBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        tarnock::ScopedSelect selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, shot.width, shot.height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }
    GdiFlush();
    const auto* data = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < shot.width * shot.height; ++i) {
        const uint32_t p = data[i];
        shot.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    return shot;
}

// Saves a capture as a 24-bit .bmp under BUILD/screenshots/.
void SaveCapture(const Capture& shot, const std::string& name) {
    const std::string folder = WindowsPath(TARNOCK_BUILD_DIR "/screenshots");
    CreateDirectoryA(folder.c_str(), nullptr);
    const int stride = (shot.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(stride * shot.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    std::vector<char> line(static_cast<std::size_t>(stride));
    for (int y = shot.height - 1; y >= 0; --y) {
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = shot.At(x, y);
            line[static_cast<std::size_t>(x * 3)] = static_cast<char>(GetBValue(c));
            line[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>(GetGValue(c));
            line[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>(GetRValue(c));
        }
        out.write(line.data(), stride);
    }
}

// Opens a popup menu through `open` and reads the states of `ids` while it is shown.
struct MenuProbe {
    static inline std::vector<UINT> ids;
    static inline std::vector<UINT> states;
    static inline bool seen = false;
    static inline int ticks = 0;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND menuWindow = FindWindowW(L"#32768", nullptr);
        if (!seen && menuWindow != nullptr && IsWindowVisible(menuWindow)) {
            const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
            for (UINT id : ids) states.push_back(GetMenuState(menu, id, MF_BYCOMMAND));
            seen = true;
            EndMenu();
        } else if (++ticks > 100) {
            EndMenu();  // never leave a test waiting in a menu
        }
    }

    template <typename Open>
    static bool Run(std::vector<UINT> wanted, Open open) {
        ids = std::move(wanted);
        states.clear();
        seen = false;
        ticks = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
        open();
        KillTimer(nullptr, timer);
        return seen;
    }
};

std::vector<Row> SampleRows() {
    return {
        {"delta", "http://delta.example.com", ""},
        {"alpha", "C:\\Program Files\\Alpha\\alpha.exe", "C:\\no\\such\\alpha.exe"},
        {"Charlie", "charlie info", ""},
        {tarnock::AnsiFromWide(L"하늘 메신저"), "http://sky.example.kr", ""},
        {"bravo", "bravo info", ""},
        {tarnock::AnsiFromWide(L"가나다 툴바"), "https://ganada.example.kr", ""},
        {"echo", "echo info", ""},
    };
}

}  // namespace

TEST_F(ListHostTest, ColumnClicksSortDescendingThenAscendingAndRowsKeepTheirData) {
    std::vector<Row> rows = SampleRows();
    rows[2].iconFile = MakeIcoFile("tarnock_sort.ico");  // one row with an icon of its own
    AddRows(host, rows);
    host.Select(4);
    const auto before = Identities(host);
    ASSERT_EQ(before.size(), rows.size());
    EXPECT_NE(before.at("Charlie").image, before.at("delta").image);
    const std::vector<std::string> names = Column(host, 0);

    host.ClickColumn(0);
    EXPECT_EQ(Column(host, 0), Sorted(names, false));
    EXPECT_EQ(Identities(host), before);
    EXPECT_EQ(host.list.ItemText(host.list.FirstSelectedRow(), 0), "bravo");

    host.ClickColumn(0);
    EXPECT_EQ(Column(host, 0), Sorted(names, true));
    EXPECT_EQ(Identities(host), before);

    // The direction is shared: after the two clicks the next column sorts descending,
    // and after that one a different column ascending.
    host.ClickColumn(1);
    EXPECT_EQ(Column(host, 1), Sorted(Column(host, 1), false));
    host.ClickColumn(2);
    EXPECT_EQ(Column(host, 2), Sorted(Column(host, 2), true));
    EXPECT_EQ(Identities(host), before);
    DeleteFileA(rows[2].iconFile.c_str());
}

TEST_F(ListHostTest, EqualRowsAreNeverExchangedAndColumnsBeyondTheHeaderAreIgnored) {
    std::vector<Row> rows;
    for (const char* name : {"m", "c", "x", "a", "q", "b", "z"}) rows.push_back({name, "same", ""});
    AddRows(host, rows);
    const std::vector<std::string> names = Column(host, 0);
    host.ClickColumn(1);
    EXPECT_EQ(Column(host, 0), names);
    host.ClickColumn(1);
    EXPECT_EQ(Column(host, 0), names);

    host.list.Sort(5, true);  // the header has five columns, the last one 4
    host.list.Sort(7, false);
    EXPECT_EQ(Column(host, 0), names);

    // A sub-range sorts only its rows.
    host.list.Sort(0, true, 1, 3);
    EXPECT_EQ(Column(host, 0), (std::vector<std::string>{"m", "a", "c", "x", "q", "b", "z"}));
    // Case-sensitive by byte value: capitals first.
    host.list.Sort(0, true);
    host.rows.AddListRow("B", "", "", "", 0);
    host.list.Sort(0, true);
    EXPECT_EQ(host.list.ItemText(0, 0), "B");
}

TEST_F(ListHostTest, ClicksReportTheSelectionAndDoubleClicksAndItemCommandsTheAction) {
    const HWND list = host.list.Hwnd();
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(60, 60));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    SendMessageW(list, WM_COMMAND, ID_LIST_OPINION, 0);
    ASSERT_EQ(host.sent.size(), 1u) << "an empty list reports only the click";
    EXPECT_EQ(host.sent[0].message, UINT(UM_LISTSELECTION));
    EXPECT_EQ(host.sent[0].wParam, 0u);
    EXPECT_EQ(host.sent[0].lParam, 0);

    AddRows(host, SampleRows());
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    const LPARAM point = MAKELPARAM(rect.left + 20, (rect.top + rect.bottom) / 2);
    host.sent.clear();
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].message, UINT(UM_LISTSELECTION));
    EXPECT_EQ(host.sent[0].wParam, 1u);
    EXPECT_EQ(host.sent[0].lParam, 2);

    host.sent.clear();
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
    const UINT commands[] = {ID_LIST_OPINION, ID_LIST_REMOVE, ID_LIST_HOMEPAGE, ID_LIST_SEARCH, ID_LIST_FOLDER,
                             ID_LIST_DELETEENTRY};
    for (UINT command : commands) SendMessageW(list, WM_COMMAND, command, 0);
    std::vector<std::pair<WPARAM, LPARAM>> actions;
    for (const Sent& s : host.sent)
        if (s.message == UM_LISTACTION) actions.push_back({s.wParam, s.lParam});
    EXPECT_EQ(actions, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}}));
}

TEST_F(ListHostTest, DroppedFilesReachTheParentAsTheCommandLineHandOver) {
    const char files[] = "C:\\a.lnk\0C:\\Users\\b c.lnk\0D:\\c.lnk\0";
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(files));
    ASSERT_NE(memory, nullptr);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files, sizeof(files));
    GlobalUnlock(memory);

    SendMessageW(host.list.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // the list frees it
    EXPECT_EQ(host.copyDataKind, 1u);
    EXPECT_EQ(host.copyData, "tarnock|C:\\a.lnk|C:\\Users\\b c.lnk|D:\\c.lnk|");
}

TEST_F(ListHostTest, TheItemMenuOpensOnlyForASelectedRowWithItsItemsDisabledByTheRules) {
    const HWND list = host.list.Hwnd();
    const std::vector<UINT> probed{ID_LIST_HOMEPAGE, ID_LIST_FOLDER, ID_LIST_SEARCH};
    auto open = [&] { SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(200, 200)); };
    EXPECT_FALSE(MenuProbe::Run(probed, open)) << "no menu on an empty list";

    AddRows(host, SampleRows());
    EXPECT_FALSE(MenuProbe::Run(probed, open)) << "no menu without a selection";

    struct Case {
        int row;
        int scanType;
        bool homepage, folder;
    } cases[] = {{0, 5, true, true}, {5, 5, false, true}, {1, 7, false, true}, {3, 6, true, false}};
    for (const Case& c : cases) {
        host.Select(c.row);
        host.list.SetLastScanType(c.scanType);
        ASSERT_TRUE(MenuProbe::Run(probed, open)) << c.row;
        ASSERT_EQ(MenuProbe::states.size(), 3u);
        EXPECT_EQ((MenuProbe::states[0] & MF_GRAYED) == 0, c.homepage) << c.row;
        EXPECT_EQ((MenuProbe::states[1] & MF_GRAYED) == 0, c.folder) << c.row;
        EXPECT_EQ(MenuProbe::states[2] & MF_GRAYED, 0u);
    }
    // Shift+F10 from the keyboard comes without a position.
    EXPECT_TRUE(MenuProbe::Run(probed, [&] { SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); }));
}

TEST_F(ListHostTest, RowsWithoutAnIconFileGetTheDefaultIconOfTheViewAndIcoFilesTheirOwn) {
    const int small = host.rows.DefaultIconSmall();
    const int large = host.rows.DefaultIconLarge();
    EXPECT_GE(small, 1);
    EXPECT_GE(large, 1);
    auto imageOf = [&](int row) { return host.Attributes(row).iImage; };

    host.rows.AddListRow("empty", "", "k1", "", 1);
    host.rows.AddListRow("missing", "", "k2", "C:\\no\\such\\file.exe", 2);
    EXPECT_EQ(imageOf(0), small);
    EXPECT_EQ(imageOf(1), small);
    ASSERT_TRUE(host.rows.ApplyDisplayStyle(0, false));
    host.rows.AddListRow("empty icon view", "", "k3", "", 3);
    EXPECT_EQ(imageOf(2), large);
    ASSERT_TRUE(host.rows.ApplyDisplayStyle(3, false));
    host.rows.AddListRow("missing list view", "", "k4", "\"C:\\no\\such.ico\",0", 4);
    EXPECT_EQ(imageOf(3), small);

    tarnock::CUseShGetFileInfo lookup;
    const HIMAGELIST smallList = lookup.GetSystemImageList(true);
    const HIMAGELIST largeList = lookup.GetSystemImageList(false);
    int row = 4;
    for (const char* name : {"tarnock_lower.ico", "tarnock_UPPER.ICO", "tarnock_Mixed.iCo"}) {
        const std::string file = MakeIcoFile(name);
        const int smallCount = ImageList_GetImageCount(smallList);
        const int largeCount = ImageList_GetImageCount(largeList);
        host.rows.AddListRow(name, "", name, file, row);
        EXPECT_EQ(imageOf(row), largeCount) << name << ": the icon appended to the large list";
        EXPECT_EQ(ImageList_GetImageCount(smallList), smallCount + 1) << name;
        EXPECT_EQ(ImageList_GetImageCount(largeList), largeCount + 1) << name;
        EXPECT_EQ(host.list.ItemText(row, 3), file);
        DeleteFileA(file.c_str());
        ++row;
    }
    // The list still shows the system lists after the lookup re-attached them.
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(host.list.Hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)), smallList);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(host.list.Hwnd(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0)), largeList);

    // A new scan reuses the default icon already in the lists.
    const int count = ImageList_GetImageCount(smallList);
    host.rows.ResetImageLists();
    EXPECT_EQ(ImageList_GetImageCount(smallList), count);
    EXPECT_EQ(host.rows.DefaultIconSmall(), small);
}

TEST_F(ListHostTest, StyleCommandsSwitchTheViewKeepRowsAndStoreTheSetting) {
    AddRows(host, SampleRows());
    const std::vector<std::string> names = Column(host, 0);
    const std::vector<std::string> keys = Column(host, 2);
    const std::vector<std::string> places = Column(host, 4);
    ASSERT_GE(places.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(places.begin(), places.begin() + 3),
              std::vector<std::string>({"HKLM64", "HKLM32", "HKCU"}));
    const HWND list = host.list.Hwnd();
    EXPECT_EQ(host.list.ViewStyle(), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);

    struct Case {
        UINT command;
        int style;
    } cases[] = {{ID_STYLE_ICON, 0}, {ID_STYLE_LIST, 3}, {ID_STYLE_REPORT, 1}, {ID_STYLE_ICON, 0}};
    for (const Case& c : cases) {
        SendMessageW(host.Hwnd(), WM_COMMAND, c.command, 0);
        Pump(20);
        EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, c.style);
        EXPECT_EQ(host.list.ViewStyle(), c.style);
        EXPECT_EQ(tarnock::settings::Read(tarnock::settings::kDisplayStyle), c.style);
        EXPECT_EQ(Column(host, 0), names);
        EXPECT_EQ(Column(host, 2), keys);
        EXPECT_EQ(Column(host, 4), places);
        EXPECT_EQ(host.list.ColumnCount(), 5);  // two visible, three hidden
    }

    // Styles other than 0, 1 and 3 change nothing and write nothing.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Olmatic\\Tarnock");
    EXPECT_FALSE(host.rows.ApplyDisplayStyle(2, true));
    EXPECT_FALSE(host.rows.ApplyDisplayStyle(7, true));
    EXPECT_EQ(host.list.ViewStyle(), 0);
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, 0);
    tarnock::ScopedKey key;
    EXPECT_NE(RegOpenKeyA(HKEY_CURRENT_USER, tarnock::settings::kKeyPath, key.Put()), ERROR_SUCCESS);
}

TEST_F(ListHostTest, TheStyleMenuChecksTheCurrentStyle) {
    const std::vector<UINT> probed{ID_STYLE_ICON, ID_STYLE_REPORT, ID_STYLE_LIST};
    auto open = [&] { host.rows.ShowStyleMenu(host.Hwnd()); };
    for (int style : {1, 0, 3}) {
        host.rows.ApplyDisplayStyle(style, false);
        ASSERT_TRUE(MenuProbe::Run(probed, open)) << style;
        const UINT checked = CResultList::CheckedStyleCommand(style);
        for (std::size_t i = 0; i < probed.size(); ++i)
            EXPECT_EQ((MenuProbe::states[i] & MF_CHECKED) != 0, probed[i] == checked) << style << " " << probed[i];
    }
}

TEST_F(ListHostTest, PaintsOnWhiteWithTheSelectionColoursAndTheSkinnedHeader) {
    std::vector<Row> rows = SampleRows();
    rows.push_back({tarnock::AnsiFromWide(L"알약 백신"), tarnock::AnsiFromWide(L"한글 정보 텍스트"), ""});
    AddRows(host, rows);
    host.Select(3);
    const HWND list = host.list.Hwnd();
    const COLORREF selection = RGB(101, 144, 193);
    const COLORREF white = RGB(255, 255, 255);

    struct View {
        int style;
        const char* name;
    } views[] = {{1, "list_report"}, {0, "list_icon"}, {3, "list_list"}};
    for (const View& view : views) {
        host.rows.ApplyDisplayStyle(view.style, false);
        const Capture shot = CaptureWindow(list);
        SaveCapture(shot, view.name);
        ASSERT_GT(shot.width, 100);
        const RECT all{0, 0, shot.width, shot.height};
        EXPECT_GT(shot.Count(selection, all), 50) << view.name << ": the selected row in its own colours";
        EXPECT_EQ(shot.At(shot.width - 20, shot.height - 20), white) << view.name;
        // Nothing is left to paint: the custom draw does not keep the list repainting.
        UpdateWindow(list);
        EXPECT_FALSE(GetUpdateRect(list, nullptr, FALSE)) << view.name;
        if (view.style == 1) {
            RECT header;
            GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
            MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&header), 2);
            const int border = (shot.width - [&] { RECT c; GetClientRect(list, &c); return c.right; }()) / 2;
            const int y = border + 10;
            // The header band shows the skin's gradient, not the list's white background,
            // with a separator in front of the second column.
            tarnock::ScopedBitmap skin(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_HEADER)));
            tarnock::ScopedMemoryDc skinDc(CreateCompatibleDC(nullptr));
            tarnock::ScopedSelect skinSelected(skinDc.Get(), skin.Get());
            for (int row : {3, 10, 16}) {
                EXPECT_EQ(shot.At(border + 30, border + row), GetPixel(skinDc.Get(), 0, row)) << row;
                EXPECT_EQ(shot.At(border + 300, border + row), GetPixel(skinDc.Get(), 0, row)) << row;
            }
            EXPECT_EQ(shot.At(border + 259, y), RGB(168, 176, 186));
            EXPECT_EQ(shot.At(border + 260, y), RGB(168, 176, 186));
            EXPECT_EQ(shot.Count(selection, RECT{0, border, shot.width, border + header.bottom}), 0);
        }
    }
    const Capture dialog = CaptureWindow(host.Hwnd());
    SaveCapture(dialog, "list_dialog");
}

TEST_F(ListHostTest, HoverButtonsSizeThemselvesAroundTheirCentre) {
    const HWND empty = host.emptyButton.Hwnd();
    const HWND style = host.styleButton.Hwnd();
    EXPECT_EQ(GetWindowLongPtrW(style, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    auto rectOf = [&](HWND button) {
        RECT r;
        GetWindowRect(button, &r);
        MapWindowPoints(nullptr, host.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto redraw = [&](HWND button) {
        InvalidateRect(button, nullptr, TRUE);
        UpdateWindow(button);
        Pump(30);
    };

    const RECT start = rectOf(empty);
    const int centreX = (start.left + start.right) / 2;
    redraw(empty);
    EXPECT_EQ(rectOf(empty).right - rectOf(empty).left, 4);
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DEFAULT_PROGRAM));
    host.emptyButton.SetIcon(icon);
    redraw(empty);
    RECT now = rectOf(empty);
    EXPECT_EQ(now.right - now.left, 20);
    EXPECT_NEAR((now.left + now.right) / 2, centreX, 2);

    host.styleButton.SetIcon(icon);
    host.styleButton.SetUnderlineMode(2);
    host.styleButton.SetHoverColour(RGB(50, 128, 255), 1);
    redraw(style);
    SIZE extent{};
    {
        tarnock::ScopedWindowDc dc(style);
        tarnock::ScopedSelect font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(style, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc.Get(), L"스타일변경", 5, &extent);
    }
    now = rectOf(style);
    EXPECT_EQ(now.right - now.left, 2 * (extent.cx / 2 + 8) + 4);
    EXPECT_EQ(now.bottom - now.top, extent.cy + 4);

    // Underlined and in the hover colour only between the first move and the leave.
    const COLORREF hover = RGB(50, 128, 255);
    auto longestHoverRun = [&](const Capture& shot) {
        int best = 0;
        for (int y = 0; y < shot.height; ++y) {
            int run = 0;
            for (int x = 0; x < shot.width; ++x) {
                run = shot.At(x, y) == hover ? run + 1 : 0;
                best = std::max(best, run);
            }
        }
        return best;
    };
    const Capture plain = CaptureWindow(style);
    SendMessageW(style, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(host.styleButton.IsHovering());
    const Capture hovered = CaptureWindow(style);
    SendMessageW(style, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(host.styleButton.IsHovering());
    const Capture left = CaptureWindow(style);
    SaveCapture(hovered, "hbutton_hover");
    SaveCapture(plain, "hbutton_plain");
    EXPECT_EQ(plain.Count(hover, RECT{0, 0, plain.width, plain.height}), 0);
    EXPECT_GE(longestHoverRun(hovered), extent.cx - 2) << "the underline spans the caption";
    EXPECT_EQ(left.Count(hover, RECT{0, 0, left.width, left.height}), 0);

    // Disabled: embossed, never in the caption colour.
    EnableWindow(style, FALSE);
    SendMessageW(style, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const Capture disabled = CaptureWindow(style);
    SaveCapture(disabled, "hbutton_disabled");
    const RECT text{20, 0, disabled.width, disabled.height};
    EXPECT_EQ(disabled.Count(RGB(0, 0, 10), text), 0);
    EXPECT_EQ(disabled.Count(hover, text), 0);
    EXPECT_GT(disabled.Count(GetSysColor(COLOR_3DSHADOW), text), 5);
}

TEST_F(ListHostTest, TheToolTipGetsItsToolOnceAndTheLatestText) {
    host.styleButton.SetToolTipText(nullptr, true);
    EXPECT_EQ(host.styleButton.ToolTip(), nullptr);
    host.styleButton.SetToolTipText(L"디스플레이방식을 변경합니다.", true);
    const HWND tip = host.styleButton.ToolTip();
    ASSERT_NE(tip, nullptr);
    host.styleButton.SetToolTipText(L"두 번째 설명", true);
    EXPECT_EQ(host.styleButton.ToolTip(), tip);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = host.styleButton.Hwnd();
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"두 번째 설명");
}

TEST_F(ListHostTest, DestroyingTheListLeavesTheSharedSystemImageListsAlive) {
    AddRows(host, SampleRows());
    tarnock::CUseShGetFileInfo lookup;
    const HIMAGELIST smallList = lookup.GetSystemImageList(true);
    const int count = ImageList_GetImageCount(smallList);
    ASSERT_GT(count, 0);
    EXPECT_TRUE(GetWindowLongPtrW(host.list.Hwnd(), GWL_STYLE) & LVS_SHAREIMAGELISTS);
    host.DestroyWindow();
    Pump(20);
    EXPECT_EQ(host.list.Window(), nullptr);
    host.rows.AddListRow("after", "", "", "", 0);  // no window: nothing happens
    EXPECT_EQ(lookup.GetSystemImageList(true), smallList);
    EXPECT_EQ(ImageList_GetImageCount(smallList), count);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(smallList, &cx, &cy));
    EXPECT_GT(cx, 0);
}
