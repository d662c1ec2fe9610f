// The result list's decisions: which items of the item menu apply, the style menu's check
// mark, and the menus of the resources.
#include <gtest/gtest.h>

#include "list_host.h"

using namespace listtest;
using tarnock::ScopedBitmap;
using tarnock::ui::DecideItemMenu;
using tarnock::ui::ListActionForCommand;

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
