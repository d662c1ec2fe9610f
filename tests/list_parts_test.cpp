// The result list's building blocks: icon lookup, off-screen surface, hover button,
// installer product cache, item-menu and style-menu decisions.
#include <gtest/gtest.h>

#include "list_host.h"
#include "ui/UseShGetFileInfo.h"
#include "ui/MemDC.h"

using namespace listtest;
using tarnock::CUseShGetFileInfo;
using tarnock::InstallerProductList;
using tarnock::ScopedBitmap;
using tarnock::ScopedBrush;
using tarnock::ScopedKey;
using tarnock::ScopedMemoryDc;
using tarnock::ScopedSelect;
using tarnock::ui::CMemDC;
using tarnock::ui::DecideItemMenu;
using tarnock::ui::ListActionForCommand;

TEST(ListIconLookup, CleansThePathBeforeTheExistenceTest) {
    struct Case {
        const char* given;
        const char* cleaned;
    } cases[] = {
        {"\"C:\\Program Files\\App\\app.exe\",0", "C:\\Program Files\\App\\app.exe"},
        {"C:\\\\Windows\\\\notepad.exe", "C:\\Windows\\notepad.exe"},
        {"C:\\a,b\\x.exe,-101", "C:\\a,b\\x.exe"},
        {",5", ",5"},  // a comma only at the start is no icon-number suffix
        {"\"\"", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CUseShGetFileInfo::CleanIconPath(c.given), c.cleaned) << c.given;
}

TEST(ListIconLookup, MissingFilesGiveMinusOneAndExistingOnesTheirTypeIcon) {
    CUseShGetFileInfo lookup;
    EXPECT_EQ(lookup.GetIconIndex("", false), -1);
    EXPECT_EQ(lookup.GetIconIndex("C:\\no\\such\\file.exe", false), -1);
    EXPECT_EQ(lookup.GetIconIndex("\"C:\\no\\such\\file.ico\",0", true), -1);

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string notepad = std::string(windows) + "\\notepad.exe";
    ASSERT_TRUE(tarnock::PathExists(notepad));
    std::string decorated("\"");
    decorated.append(tarnock::ReplaceAll(notepad, "\\", "\\\\")).append("\",0");
    EXPECT_GE(lookup.GetIconIndex(decorated, false), 0);
    EXPECT_EQ(lookup.GetIconIndex(decorated, false), lookup.GetIconIndex(notepad, false));
    EXPECT_NE(lookup.GetSystemImageList(true), nullptr);
    EXPECT_NE(lookup.GetSystemImageList(false), nullptr);
}

TEST(ListIconLookup, AnIcoFileWithoutAnOwnerGetsTheShellsIconForItsType) {
    const std::string file = TempFolder() + "tarnock_lookup.ICO";
    ASSERT_TRUE(CopyFileA(WindowsPath(TARNOCK_BUILD_DIR "/art/program.ico").c_str(), file.c_str(), FALSE));
    CUseShGetFileInfo lookup;
    const HIMAGELIST large = lookup.GetSystemImageList(false);
    const int before = ImageList_GetImageCount(large);
    EXPECT_GE(lookup.GetIconIndex(file, false), 0);
    EXPECT_EQ(ImageList_GetImageCount(large), before);
    DeleteFileA(file.c_str());
}

TEST(ListMemDC, CopiesExactlyItsRectangleToTheTarget) {
    tarnock::ScopedWindowDc screen(nullptr);
    ScopedMemoryDc target(CreateCompatibleDC(screen.Get()));
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), 200, 120));
    ScopedSelect selected(target.Get(), bitmap.Get());
    const RECT all{0, 0, 200, 120};
    ScopedBrush grey(CreateSolidBrush(RGB(50, 50, 50)));
    ScopedBrush red(CreateSolidBrush(RGB(255, 0, 0)));

    for (const RECT rect : {RECT{0, 0, 100, 50}, RECT{30, 40, 130, 90}}) {
        FillRect(target.Get(), &all, grey.Get());
        {
            CMemDC mem(target.Get(), rect);
            ASSERT_TRUE(mem.IsValid());
            // Drawn in the rectangle's coordinates, a bit beyond it on every side.
            const RECT wide{rect.left - 5, rect.top - 5, rect.right + 5, rect.bottom + 5};
            FillRect(mem.Get(), &wide, red.Get());
            EXPECT_EQ(GetPixel(target.Get(), rect.left, rect.top), RGB(50, 50, 50)) << "copied before destruction";
        }
        for (int y = 0; y < 120; y += 1) {
            for (int x = 0; x < 200; x += 1) {
                const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                ASSERT_EQ(GetPixel(target.Get(), x, y), inside ? RGB(255, 0, 0) : RGB(50, 50, 50))
                    << x << "," << y << " rect " << rect.left << "," << rect.top;
            }
        }
    }
}

TEST(ListItemMenu, DisablesTheHomepageFolderAndEntryItemsByTheRules) {
    struct Case {
        bool selected;
        const char* info;
        int scanType;
        bool show, homepage, folder, entry;
    } cases[] = {
        {false, "http://x", 1, false, false, false, false},
        {true, "http://www.example.com", 5, true, true, true, true},
        {true, "http:", 7, true, true, true, false},
        {true, "https://www.example.com", 5, true, false, true, true},
        {true, "HTTP://www.example.com", 5, true, false, true, true},
        {true, "C:\\Program Files\\x.exe", 7, true, false, true, false},
        {true, "http://addon", 6, true, true, false, false},
        {true, "", 6, true, false, false, false},
        {true, "{7E57AC70-0000-4000-8000-00000000AC01}", 8, true, false, true, false},
        {true, "", 10, true, false, true, true},
        {true, "", 2, true, false, true, true},
    };
    for (const Case& c : cases) {
        const auto state = DecideItemMenu(c.selected, c.info, c.scanType);
        EXPECT_EQ(state.show, c.show) << c.info;
        EXPECT_EQ(state.homepageEnabled, c.homepage) << c.info;
        EXPECT_EQ(state.folderEnabled, c.folder) << c.info << " " << c.scanType;
        EXPECT_EQ(state.deleteEntryEnabled, c.entry) << c.info << " " << c.scanType;
    }
    EXPECT_EQ(ListActionForCommand(ID_LIST_OPINION), 1);
    EXPECT_EQ(ListActionForCommand(ID_LIST_REMOVE), 2);
    EXPECT_EQ(ListActionForCommand(ID_LIST_HOMEPAGE), 3);
    EXPECT_EQ(ListActionForCommand(ID_LIST_SEARCH), 4);
    EXPECT_EQ(ListActionForCommand(ID_LIST_FOLDER), 5);
    EXPECT_EQ(ListActionForCommand(ID_LIST_DELETEENTRY), 6);
    EXPECT_EQ(ListActionForCommand(ID_STYLE_ICON), -1);
}

TEST(ListStyleMenu, ChecksTheItemOfTheCurrentStyle) {
    EXPECT_EQ(CResultList::CheckedStyleCommand(0), UINT(ID_STYLE_ICON));
    EXPECT_EQ(CResultList::CheckedStyleCommand(1), UINT(ID_STYLE_REPORT));
    EXPECT_EQ(CResultList::CheckedStyleCommand(3), UINT(ID_STYLE_LIST));
    EXPECT_EQ(CResultList::CheckedStyleCommand(2), 0u);
    EXPECT_EQ(CResultList::CheckedStyleCommand(7), 0u);
    EXPECT_EQ(CResultList::StyleForCommand(ID_STYLE_ICON), 0);
    EXPECT_EQ(CResultList::StyleForCommand(ID_STYLE_REPORT), 1);
    EXPECT_EQ(CResultList::StyleForCommand(ID_STYLE_LIST), 3);
    EXPECT_EQ(CResultList::StyleForCommand(ID_LIST_SEARCH), -1);
}

TEST(ListResources, MenusCarryTheirItemsInOrder) {
    struct Expected {
        UINT menu;
        const wchar_t* popup;
        std::vector<std::pair<UINT, const wchar_t*>> items;
    } menus[] = {
        {IDR_LIST_MENU, L"SUB_LIST_MENU",
         {{ID_LIST_OPINION, L"사용자 의견보기(view)"},
          {ID_LIST_REMOVE, L"밀기(삭제)"},
          {ID_LIST_HOMEPAGE, L"홈페이지로 이동(제작사)"},
          {ID_LIST_SEARCH, L"검색해보기(naver.com)"},
          {ID_LIST_FOLDER, L"폴더열기(folder)"},
          {ID_LIST_DELETEENTRY, L"목록만 삭제하기"}}},
        {IDR_STYLE_MENU, L"목록 스타일 변경하기",
         {{ID_STYLE_ICON, L"아이콘 리스트"}, {ID_STYLE_REPORT, L"리포트 리스트"}, {ID_STYLE_LIST, L"간단 리스트"}}},
    };
    for (const Expected& e : menus) {
        tarnock::ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(e.menu)));
        ASSERT_TRUE(menu);
        wchar_t text[128] = {};
        GetMenuStringW(menu.Get(), 0, text, 128, MF_BYPOSITION);
        EXPECT_STREQ(text, e.popup);
        const HMENU popup = GetSubMenu(menu.Get(), 0);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(e.items.size()));
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            EXPECT_EQ(GetMenuItemID(popup, i), e.items[static_cast<std::size_t>(i)].first);
            GetMenuStringW(popup, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            EXPECT_STREQ(text, e.items[static_cast<std::size_t>(i)].second);
        }
    }
    ScopedBitmap skin(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_HEADER)));
    ASSERT_TRUE(skin);
    BITMAP info{};
    GetObjectW(skin.Get(), sizeof(info), &info);
    EXPECT_GE(info.bmWidth, 2);
    EXPECT_GE(info.bmHeight, 19);
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DEFAULT_PROGRAM)), nullptr);
}

namespace {

constexpr char kProducts[] = "Software\\TarnockTests\\List\\Products";

class ListInstallerProducts : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarnockTests\\List"); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarnockTests\\List"); }
    static void Product(const std::string& name, const char* productName, const char* productIcon) {
        ScopedKey key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(kProducts) + "\\" + name).c_str(), key.Put()),
                  ERROR_SUCCESS);
        for (auto [value, text] : {std::pair{"ProductName", productName}, std::pair{"ProductIcon", productIcon}}) {
            if (text == nullptr) continue;
            RegSetValueExA(key.Get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(std::strlen(text) + 1));
        }
    }
};

}  // namespace

TEST_F(ListInstallerProducts, CachesEveryProductButCurlyBraceKeys) {
    const std::string korean = tarnock::AnsiFromWide(L"한글 제품");
    Product("00A1B2", "First Product", "C:\\Windows\\Installer\\{X}\\icon.exe");
    Product("{5C1E0000-0000-0000-0000-000000000000}", "Braced", "C:\\b.ico");
    Product("11C3D4", korean.c_str(), nullptr);
    Product("22E5F6", nullptr, nullptr);

    InstallerProductList products;
    char buffer[MAX_PATH];
    // The registry hands subkeys out in its own order; the cache keeps that order.
    EXPECT_EQ(LoadInstallerProducts(HKEY_CURRENT_USER, std::string(kProducts) + "\\", buffer, products), 4);
    ASSERT_EQ(products.size(), 3u);
    EXPECT_EQ(products[0].productKey, "00A1B2");
    EXPECT_EQ(products[0].productName, "First Product");
    EXPECT_EQ(products[0].productIcon, "C:\\Windows\\Installer\\{X}\\icon.exe");
    EXPECT_EQ(products[1].productKey, "11C3D4");
    EXPECT_EQ(products[1].productName, korean);
    EXPECT_EQ(products[1].productIcon, "");
    EXPECT_EQ(products[2].productKey, "22E5F6");
    EXPECT_EQ(products[2].productName, "");
    EXPECT_EQ(products[2].productIcon, "");
}

TEST_F(ListInstallerProducts, AMissingKeyLeavesTheCacheUnchangedAndAnEmptyOneGivesNothing) {
    InstallerProductList products{{"keep", "me", ""}};
    char buffer[MAX_PATH];
    EXPECT_EQ(LoadInstallerProducts(HKEY_CURRENT_USER, kProducts, buffer, products), -1);
    ASSERT_EQ(products.size(), 1u);

    ScopedKey key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kProducts, key.Put()), ERROR_SUCCESS);
    products.clear();
    EXPECT_EQ(LoadInstallerProducts(HKEY_CURRENT_USER, kProducts, buffer, products), 0);
    EXPECT_TRUE(products.empty());
}
