// The skinned controls without the program: pictures decoded by the system's picture
// service from resources, files and memory; strips of four frames drawn masked; skins
// tiled, centred and stretched; the framework's loop, chain and command table; and no GDI
// object left behind by any of their paints.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/ScopedHandles.h"
#include "ids.h"
#include "resource.h"
#include "support/UiDriver.h"
#include "ui/BDialog.h"
#include "ui/Loading.h"
#include "ui/Picture.h"
#include "ui/VexBmp.h"
#include "ui/VexButton.h"
#include "ui/framework/Application.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/MessageLoop.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kFrameColours[4] = {kRed, kGreen, kBlue, kYellow};

std::string ImagePath(const char* name) { return WindowsPath(TARNOCK_UI_IMAGE_DIR) + "\\" + name; }

// Colours compare within `tolerance` per channel (JPEG is lossy).
::testing::AssertionResult Near(COLORREF actual, COLORREF expected, int tolerance = 0) {
    auto channel = [](COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    for (int shift : {0, 8, 16})
        if (std::abs(channel(actual, shift) - channel(expected, shift)) > tolerance)
            return ::testing::AssertionFailure()
                   << std::hex << "colour 0x" << actual << " instead of 0x" << expected;
    return ::testing::AssertionSuccess();
}

// A 32-bit top-down DIB selected into a memory DC, filled with one colour.
class Dib {
public:
    Dib(int width, int height, COLORREF fill) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
        Fill(fill);
    }
    ~Dib() { SelectObject(dc_.Get(), previous_); }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC Dc() const { return dc_.Get(); }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    void Fill(COLORREF colour) {
        GdiFlush();
        const std::uint32_t pixel = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = pixel;
    }
    void Set(int x, int y, COLORREF colour) {
        bits_[y * width_ + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

private:
    int width_;
    int height_;
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// Answers and records the message boxes of this process that carry `caption`.
class BoxWatcher {
public:
    explicit BoxWatcher(std::wstring caption = L"CPicture Error")
        : caption_(std::move(caption)), thread_([this] { Watch(); }) {}
    ~BoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::wstring> Texts() {
        std::lock_guard lock(lock_);
        return texts_;
    }

private:
    void Watch() {
        std::set<HWND> seen;
        while (!stop_) {
            for (HWND box : TopLevelWindows(GetCurrentProcessId(), L"#32770")) {
                if (seen.count(box) || WindowTextW(box) != caption_) continue;
                seen.insert(box);
                {
                    std::lock_guard lock(lock_);
                    texts_.push_back(MessageBoxText(box));
                }
                AnswerDialog(box, IDOK);
            }
            Sleep(10);
        }
    }

    std::wstring caption_;
    std::mutex lock_;
    std::vector<std::wstring> texts_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

DWORD ResourceSize(UINT id) {
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "BMP");
    return found ? SizeofResource(module, found) : 0;
}

long FileSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return file ? static_cast<long>(file.tellg()) : -1;
}

class Com : public ::testing::Test {
protected:
    ScopedOleInit ole_;
};

// ---------------------------------------------------------------------------------------
// Pictures

struct Format {
    const char* file;
    UINT resource;
    int width;
    int height;
    int tolerance;  // per colour channel when drawn
};
constexpr Format kFormats[] = {
    {"quad.bmp", IDR_QUAD_BMP, 40, 20, 0},
    {"quad.jpg", IDR_QUAD_JPG, 64, 32, 48},
    {"quad.gif", IDR_QUAD_GIF, 30, 14, 0},
};

using UiPictures = Com;

TEST_F(UiPictures, EachFormatDecodesFromResourceAndFileWithItsPixelSize) {
    BoxWatcher boxes;
    struct Case {
        const char* file;
        UINT resource;
        int width, height;
    };
    const Case cases[] = {{"quad.bmp", IDR_QUAD_BMP, 40, 20},
                          {"quad.jpg", IDR_QUAD_JPG, 64, 32},
                          {"quad.gif", IDR_QUAD_GIF, 30, 14},
                          {"splash.bmp", IDR_SPLASH_BMP, 223, 81}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ui::CPicture picture;
        ASSERT_TRUE(picture.LoadFromResource(c.resource, "BMP"));
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
        EXPECT_EQ(picture.DataSize(), static_cast<int>(ResourceSize(c.resource)));

        ui::CPicture fromFile;
        ASSERT_TRUE(fromFile.LoadFromFile(ImagePath(c.file).c_str()));
        EXPECT_EQ(fromFile.Width(), c.width);
        EXPECT_EQ(fromFile.Height(), c.height);
        EXPECT_EQ(fromFile.DataSize(), FileSize(ImagePath(c.file)));
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(UiPictures, DrawingStretchesThePictureUprightOntoTheRectangle) {
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.file);
        ui::CPicture picture;
        ASSERT_TRUE(picture.LoadFromResource(format.resource, "BMP"));
        // Twice the picture's size, placed at (3, 2) of a white surface.
        const int w = format.width * 2;
        const int h = format.height * 2;
        Dib dib(w + 6, h + 4, RGB(255, 255, 255));
        ASSERT_TRUE(picture.Draw(dib.Dc(), RECT{3, 2, 3 + w, 2 + h}));
        EXPECT_TRUE(Near(dib.At(3 + w / 4, 2 + h / 4), kRed, format.tolerance));
        EXPECT_TRUE(Near(dib.At(3 + 3 * w / 4, 2 + h / 4), kGreen, format.tolerance));
        EXPECT_TRUE(Near(dib.At(3 + w / 4, 2 + 3 * h / 4), kBlue, format.tolerance));
        EXPECT_TRUE(Near(dib.At(3 + 3 * w / 4, 2 + 3 * h / 4), kYellow, format.tolerance));
        // The corners of the rectangle are the picture's, the margin stays untouched.
        EXPECT_TRUE(Near(dib.At(3, 2), kRed, format.tolerance));
        EXPECT_TRUE(Near(dib.At(2 + w, 1 + h), kYellow, format.tolerance));
        EXPECT_TRUE(Near(dib.At(2, 1), RGB(255, 255, 255)));
        EXPECT_TRUE(Near(dib.At(3 + w, 2 + h), RGB(255, 255, 255)));
    }
}

TEST_F(UiPictures, FailuresShowTheirEnglishMessageAndLeaveThePictureEmpty) {
    BoxWatcher boxes;
    ui::CPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(IDR_QUAD_BMP, "BMP"));
    EXPECT_FALSE(picture.LoadFromResource(IDR_MISSING, "BMP"));
    EXPECT_FALSE(picture.IsLoaded());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_FALSE(picture.Draw(GetDC(nullptr), RECT{0, 0, 10, 10}));
    ASSERT_EQ(boxes.Texts(), std::vector<std::wstring>{L"FindResource() Failed\t"});

    EXPECT_FALSE(picture.LoadFromFile(ImagePath("no-such-picture.bmp").c_str()));
    EXPECT_FALSE(picture.IsLoaded());
    ASSERT_TRUE(WaitUntil([&] { return boxes.Texts().size() == 2; }, 2000));
    EXPECT_NE(boxes.Texts()[1].find(L"no-such-picture.bmp"), std::wstring::npos);

    // Bytes that are no picture fail without a message.
    const char junk[] = "this is not an image file at all";
    EXPECT_FALSE(picture.LoadFromMemory(junk, sizeof(junk)));
    EXPECT_FALSE(picture.IsLoaded());
    EXPECT_EQ(picture.Width(), 0);
    Sleep(100);
    EXPECT_EQ(boxes.Texts().size(), 2u);
}

TEST_F(UiPictures, ASecondLoadReleasesTheFirstPicture) {
    ui::CPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(IDR_QUAD_BMP, "BMP"));
    IPicture* first = picture.Picture();
    first->AddRef();
    ASSERT_TRUE(picture.LoadFromFile(ImagePath("quad.gif").c_str()));
    EXPECT_EQ(first->Release(), 0u) << "the first picture is still held";
    EXPECT_EQ(picture.Width(), 30);

    IPicture* second = picture.Picture();
    second->AddRef();
    std::ifstream file(ImagePath("quad.jpg"), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(picture.LoadFromMemory(bytes.data(), bytes.size()));
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_EQ(picture.DataSize(), static_cast<int>(bytes.size()));
}

// The splash draws its picture on every erase; a picture that cannot be rendered must not
// raise a box each time (their modal loops would repaint and raise more).
TEST_F(UiPictures, ARenderFailureOnEveryEraseShowsOneBox) {
    BoxWatcher boxes;
    ui::CLoading splash(nullptr);
    ASSERT_TRUE(splash.Create());
    // An empty client area cannot be rendered into.
    SetWindowPos(splash.Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Dib dib(16, 16, kGrey);
    for (int i = 0; i < 20; ++i) SendMessageW(splash.Hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dib.Dc()), 0);
    Sleep(100);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Can not allocate enough memory\t"});
    splash.DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// Strips of four frames

TEST_F(UiPictures, EachFrameDrawsWithItsMagentaPixelsTransparent) {
    ui::CVexBmp strip;
    strip.LoadStrip("BMP", IDR_STRIP_BMP);
    // 33 pixels wide: the frames are 8 wide and the last column is never shown.
    EXPECT_EQ(strip.ImageWidth(), 33);
    EXPECT_EQ(strip.ImageHeight(), 6);
    EXPECT_EQ(strip.FrameWidth(), 8);
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        Dib dib(20, 12, kGrey);
        dib.Set(6, 5, kCyan);  // a background detail under a transparent pixel
        strip.DrawFrame(dib.Dc(), frame, 5, 3, kMagenta);
        EXPECT_TRUE(Near(dib.At(5, 3), kGrey));    // magenta half: the background stays
        EXPECT_TRUE(Near(dib.At(6, 5), kCyan));
        EXPECT_TRUE(Near(dib.At(9, 3), kFrameColours[frame]));
        EXPECT_TRUE(Near(dib.At(12, 8), kFrameColours[frame]));
        EXPECT_TRUE(Near(dib.At(13, 3), kGrey));   // nothing beyond the frame
        EXPECT_TRUE(Near(dib.At(9, 9), kGrey));
    }
    // The same strip from its file; a frame number outside 0 to 3 draws nothing.
    ui::CVexBmp fromFile;
    fromFile.LoadStrip(ImagePath("strip.bmp").c_str(), 0);
    EXPECT_EQ(fromFile.FrameWidth(), 8);
    Dib dib(20, 12, kGrey);
    fromFile.DrawFrame(dib.Dc(), 4, 0, 0, kMagenta);
    EXPECT_TRUE(Near(dib.At(6, 2), kGrey));
    fromFile.DrawFrame(dib.Dc(), 2, 0, 0, kMagenta);
    EXPECT_TRUE(Near(dib.At(6, 2), kBlue));
}

// A grey parent with one owner-drawn button, as the main window holds them.
class ButtonHost {
public:
    ButtonHost() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = L"TarnockButtonHost";
        RegisterClassW(&windowClass);
        parent_ = CreateWindowExW(0, L"TarnockButtonHost", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        button_ = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 20, 50, 14, parent_,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        vex.Attach(button_);
    }
    ~ButtonHost() { DestroyWindow(parent_); }
    HWND Parent() const { return parent_; }
    HWND Button() const { return button_; }
    ui::CVexButton vex;

private:
    HWND parent_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(UiPictures, TheButtonShowsInactiveOverPressedOverHoverOverNormal) {
    ButtonHost host;
    host.vex.Setup("BMP", kMagenta, IDR_STRIP_BMP);
    RECT rect{};
    GetWindowRect(host.Button(), &rect);
    MapWindowPoints(nullptr, host.Parent(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 10);  // the top-left corner stays, the size is one frame
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, 8);
    EXPECT_EQ(rect.bottom - rect.top, 6);

    struct Case {
        bool inactive, pressed, hover;
        int frame;
    };
    const Case cases[] = {{false, false, false, 0}, {false, false, true, 1}, {false, true, false, 2},
                          {false, true, true, 2},   {true, false, false, 3}, {true, true, true, 3},
                          {false, false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        if (c.inactive) host.vex.SetInactive();
        else host.vex.SetActive();
        SendMessageW(host.Button(), c.hover ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
        Dib dib(8, 6, kCyan);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.hwndItem = host.Button();
        item.hDC = dib.Dc();
        item.rcItem = RECT{0, 0, 8, 6};
        item.itemState = c.pressed ? ODS_SELECTED : 0;
        ASSERT_TRUE(host.vex.OnReflectedDrawItem(&item));
        EXPECT_TRUE(Near(dib.At(5, 2), kFrameColours[c.frame]));
        EXPECT_TRUE(Near(dib.At(1, 2), kGrey)) << "the parent's background shows through magenta";
    }
}

// ---------------------------------------------------------------------------------------
// Skins of the skinned dialog base

// Quadrants of 20 x 10: red, green / blue, yellow.
COLORREF SkinAt(int x, int y) { return y < 10 ? (x < 20 ? kRed : kGreen) : (x < 20 ? kBlue : kYellow); }

TEST_F(UiPictures, SkinsTileCentreAndStretch) {
    Dib skin(40, 20, kRed);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) skin.Set(x, y, SkinAt(x, y));
    // The skin must not be selected elsewhere while it is drawn.
    ScopedBitmap bitmap(static_cast<HBITMAP>(CopyImage(skin.Bitmap(), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_TRUE(bitmap);

    struct Probe {
        int x, y;
        COLORREF colour;
    };
    struct Case {
        const char* name;
        int mode, width, height;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {"tile", 0, 100, 50, {{5, 5, kRed}, {45, 5, kRed}, {65, 15, kYellow}, {99, 49, kRed}, {85, 25, kRed}}},
        {"centre", 1, 100, 50, {{5, 5, kCyan}, {29, 20, kCyan}, {30, 15, kRed}, {69, 34, kYellow}, {70, 34, kCyan},
                                {50, 14, kCyan}, {95, 45, kCyan}}},
        {"centre-larger-skin", 1, 30, 8, {{0, 0, kRed}, {19, 7, kRed}, {29, 7, kGreen}}},
        {"stretch", 2, 100, 50, {{25, 12, kRed}, {75, 12, kGreen}, {25, 37, kBlue}, {75, 37, kYellow}, {99, 49, kYellow}}},
        {"mode-3-draws-nothing", 3, 100, 50, {{5, 5, kCyan}, {60, 30, kCyan}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dib target(c.width, c.height, kCyan);  // the dialog colour of the default erase
        ui::DrawSkin(target.Dc(), bitmap.Get(), c.mode, c.width, c.height);
        for (const Probe& p : c.probes) EXPECT_TRUE(Near(target.At(p.x, p.y), p.colour)) << p.x << "," << p.y;
    }

    // The dialog keeps its mode when asked for one it does not have.
    ui::CBDialog dialog(IDD_LOADING);
    EXPECT_EQ(dialog.DrawMode(), 0);
    dialog.SetDrawMode(2);
    dialog.SetDrawMode(3);
    dialog.SetDrawMode(-1);
    EXPECT_EQ(dialog.DrawMode(), 2);
    dialog.SetDrawMode(1);
    EXPECT_EQ(dialog.DrawMode(), 1);
}

// ---------------------------------------------------------------------------------------
// Every paint frees what it creates

TEST_F(UiPictures, ManyRepaintsLeaveNoGdiObjectBehind) {
    ButtonHost host;
    host.vex.Setup("BMP", kMagenta, IDR_STRIP_BMP);
    ShowWindow(host.Parent(), SW_SHOWNOACTIVATE);
    ui::CPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(IDR_QUAD_JPG, "BMP"));
    ui::CVexBmp strip;
    strip.LoadStrip("BMP", IDR_STRIP_BMP);
    Dib target(100, 50, kCyan);
    ScopedBitmap skin(CreateCompatibleBitmap(target.Dc(), 40, 20));
    auto paintEverything = [&] {
        for (int i = 0; i < 4; ++i) {
            RedrawWindow(host.Parent(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            picture.Draw(target.Dc(), RECT{0, 0, 100, 50});
            strip.DrawFrame(target.Dc(), i, 3, 3, kMagenta);
            for (int mode = 0; mode < 3; ++mode) ui::DrawSkin(target.Dc(), skin.Get(), mode, 100, 50);
        }
    };
    paintEverything();  // caches of the first paint
    const long before = GdiObjectCount(GetCurrentProcess());
    ASSERT_GT(before, 0);
    for (int round = 0; round < 50; ++round) paintEverything();
    EXPECT_EQ(GdiObjectCount(GetCurrentProcess()), before);
}

// ---------------------------------------------------------------------------------------
// The framework: the loop's pre-translation chain and the command table

class UiFramework : public ::testing::Test {};

// Handles what is queued as the framework's loop does: the chain first.
void RunPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (ui::loop::PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TEST_F(UiFramework, ModelessDialogsGetTheDialogKeysExceptTheSplash) {
    ui::CDialog plain(IDD_LOADING);
    ui::CLoading splash(nullptr);
    ASSERT_TRUE(plain.Create());
    ASSERT_TRUE(splash.Create());
    for (ui::CDialog* dialog : {&plain, static_cast<ui::CDialog*>(&splash)}) ShowWindow(dialog->Hwnd(), SW_SHOWNA);
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        ShowWindow(plain.Hwnd(), SW_SHOWNA);
        PostKey(plain.Hwnd(), key);
        PostKey(splash.Hwnd(), key);
        RunPending();
        // Enter and Escape end a plain modeless dialog (hidden); the splash swallows them.
        EXPECT_FALSE(IsWindowVisible(plain.Hwnd()));
        EXPECT_TRUE(IsWindowVisible(splash.Hwnd()));
    }
}

class TestApplication : public ui::CApplication {
protected:
    bool InitInstance() override { return false; }
};

class EscapingDialog : public ui::CDialog {
public:
    EscapingDialog() : CDialog(IDD_LOADING) {}
    HWND mainWindowSeen = nullptr;

protected:
    BOOL OnInitDialog() override {
        // Goes through the modal loop: the chain's IsDialogMessage turns it into IDCANCEL.
        PostKey(Hwnd(), VK_ESCAPE);
        mainWindowSeen = ui::CApplication::Current()->MainWindow();
        return TRUE;
    }
};

TEST_F(UiFramework, TheMainDialogRunsModalOnTheLoopAndIsTheMainWindowMeanwhile) {
    TestApplication app;
    app.SetAppName(L"Framework test");
    EscapingDialog dialog;
    EXPECT_EQ(app.RunMainDialog(dialog), IDCANCEL);
    EXPECT_NE(dialog.mainWindowSeen, nullptr);
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(dialog.Hwnd(), nullptr);
}

class CommandDialog : public ui::CDialog {
public:
    CommandDialog() : CDialog(IDD_LOADING) {
        OnCommand(100, [this] { clicks.push_back(100); });
        OnCommand(101, EN_CHANGE, [this] { clicks.push_back(-101); });
    }
    std::vector<int> clicks;
};

TEST_F(UiFramework, CommandsAreDispatchedByIdAndNotificationCode) {
    CommandDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND window = dialog.Hwnd();
    struct Case {
        UINT id, code;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {100, BN_CLICKED, {100}},   // a click or a menu item
        {100, 1, {100}},            // an accelerator
        {100, EN_CHANGE, {}},       // another notification of the same control
        {101, EN_CHANGE, {-101}},
        {101, BN_CLICKED, {}},
        {IDCANCEL, EN_SETFOCUS, {}},  // not a cancel: the dialog stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id * 1000 + c.code);
        dialog.clicks.clear();
        ShowWindow(window, SW_SHOWNA);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(c.id, c.code), 0);
        EXPECT_EQ(dialog.clicks, c.expected);
        EXPECT_TRUE(IsWindowVisible(window));
    }
    dialog.DestroyWindow();
}

}  // namespace
