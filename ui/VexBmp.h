// A strip of four equally wide frames (normal, hover, pressed, inactive) in one picture,
// drawn one frame at a time with one colour left transparent.
#pragma once

#include <windows.h>

#include "ui/Picture.h"

namespace tarnock::ui {

class CVexBmp {
public:
    CVexBmp() = default;
    CVexBmp(const CVexBmp&) = delete;
    CVexBmp& operator=(const CVexBmp&) = delete;

    // With a resource id other than 0 the strip is custom resource `id` of type `text`;
    // otherwise `text` is the path of an image file.
    void LoadStrip(const char* text, UINT id);
    // Draws frame `frame` (0 to 3) at (x, y) of `dc`; pixels of `transparentColour` leave
    // what `dc` holds there unchanged.
    void DrawFrame(HDC dc, int frame, int x, int y, COLORREF transparentColour);

    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }
    int FrameWidth() const { return frameWidth_; }

private:
    CPicture picture_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    int frameWidth_ = 0;
};

}  // namespace tarnock::ui
