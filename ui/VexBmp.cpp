#include "ui/VexBmp.h"

#include "base/ScopedHandles.h"

namespace tarnock::ui {

namespace {

// A memory surface compatible with a target, with its own bitmap selected while it lives.
class Surface {
public:
    Surface(HDC target, int width, int height, bool monochrome = false)
        : dc_(CreateCompatibleDC(target)),
          bitmap_(monochrome ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(target, width, height)),
          select_(dc_ && bitmap_ ? dc_.Get() : nullptr, dc_ && bitmap_ ? bitmap_.Get() : nullptr) {}
    bool IsValid() const { return dc_.IsValid() && bitmap_.IsValid(); }
    HDC Dc() const { return dc_.Get(); }

private:
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    ScopedSelect select_;  // declared last: the bitmap leaves the DC before either is freed
};

}  // namespace

void CVexBmp::LoadStrip(const char* text, UINT id) {
    if (id != 0) picture_.LoadFromResource(id, text);
    else picture_.LoadFromFile(text);
    imageWidth_ = picture_.Width();
    imageHeight_ = picture_.Height();
    frameWidth_ = imageWidth_ / 4;
}

void CVexBmp::DrawFrame(HDC dc, int frame, int x, int y, COLORREF transparentColour) {
    if (dc == nullptr || frame < 0 || frame > 3 || frameWidth_ <= 0 || imageHeight_ <= 0) return;
    const int width = frameWidth_;
    const int height = imageHeight_;

    Surface whole(dc, imageWidth_, height);
    Surface image(dc, width, height);
    Surface mask(dc, width, height, true);
    Surface composite(dc, width, height);
    if (!whole.IsValid() || !image.IsValid() || !mask.IsValid() || !composite.IsValid()) return;

    const RECT all{0, 0, imageWidth_, height};
    if (!picture_.Draw(whole.Dc(), all)) return;
    BitBlt(image.Dc(), 0, 0, width, height, whole.Dc(), frame * width, 0, SRCCOPY);

    // The mask is set exactly where the frame has the transparent colour.
    SetBkColor(image.Dc(), transparentColour);
    BitBlt(mask.Dc(), 0, 0, width, height, image.Dc(), 0, 0, SRCCOPY);
    // Transparent pixels of the frame become black, the others stay.
    SetBkColor(image.Dc(), RGB(0, 0, 0));
    SetTextColor(image.Dc(), RGB(255, 255, 255));
    BitBlt(image.Dc(), 0, 0, width, height, mask.Dc(), 0, 0, SRCAND);

    // The target keeps its pixels under the mask and gets the frame's elsewhere.
    BitBlt(composite.Dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
    SetBkColor(composite.Dc(), RGB(255, 255, 255));
    SetTextColor(composite.Dc(), RGB(0, 0, 0));
    BitBlt(composite.Dc(), 0, 0, width, height, mask.Dc(), 0, 0, SRCAND);
    BitBlt(composite.Dc(), 0, 0, width, height, image.Dc(), 0, 0, SRCPAINT);
    BitBlt(dc, x, y, width, height, composite.Dc(), 0, 0, SRCCOPY);
}

}  // namespace tarnock::ui
