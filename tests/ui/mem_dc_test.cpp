// The off-screen surface copies exactly its rectangle to the target.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/ScopedHandles.h"
#include "ui/MemDC.h"

using tarnock::ScopedBitmap;
using tarnock::ScopedBrush;
using tarnock::ScopedMemoryDc;
using tarnock::ScopedSelect;
using tarnock::ui::CMemDC;

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
