// A dialog whose client area is covered by a bitmap resource instead of the plain dialog
// colour, tiled, centred or stretched. Shape, dragging and close marks belong to the
// derived dialog.
#pragma once

#include <windows.h>

#include "base/ScopedHandles.h"
#include "ui/framework/Dialog.h"

namespace tarnock::ui {

// Paints `skin` over a client area of `width` x `height` in `dc`: mode 0 tiles it from the
// top-left corner, 1 centres it (a larger bitmap is anchored top-left and cut), 2 stretches
// it. Areas the bitmap does not cover are left as they are.
void DrawSkin(HDC dc, HBITMAP skin, int drawMode, int width, int height);

class CBDialog : public CDialog {
public:
    explicit CBDialog(UINT templateId, HWND parent = nullptr);

    // 0 tile, 1 centre, 2 stretch; any other value leaves the mode as it was.
    void SetDrawMode(int mode);
    int DrawMode() const { return drawMode_; }
    // The bitmap resource `id` of the program (RT_BITMAP) becomes the skin; one that cannot
    // be loaded leaves the dialog plain.
    void SetBackground(UINT id);
    // The skin's size; 0 x 0 without one.
    SIZE BackgroundSize() const;

private:
    ScopedBitmap background_;
    int drawMode_ = 0;
};

}  // namespace tarnock::ui
