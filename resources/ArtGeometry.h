// Pixel geometry of the rendered art that the windows rely on: skin sizes, the close marks'
// hot areas, the splash's size, the button strips' frames. The dialogs read these constants;
// tools/art/render_art.py draws and tools/art/check_art.py checks the art from the same lines,
// parsing each `inline constexpr int kName = number;` below, so keep every constant in that form.
// The dialogs' layouts in dialog units stay in their .rc templates, which the scripts read too.
#pragma once

namespace tarnock::art {

// The browser dialog's skin (help.bmp); a larger window shows it centred.
inline constexpr int kHelpSkinWidth = 600;
inline constexpr int kHelpSkinHeight = 501;
// Its close mark's hot area in skin pixels, inclusive on all four sides.
inline constexpr int kHelpCloseLeft = 578;
inline constexpr int kHelpCloseTop = 6;
inline constexpr int kHelpCloseRight = 590;
inline constexpr int kHelpCloseBottom = 18;

// The updater's skin (updater.bmp): one pixel wider and taller than its client area, like
// the window's rounded region.
inline constexpr int kUpdaterSkinWidth = 363;
inline constexpr int kUpdaterSkinHeight = 127;
// Its close mark's hot area in client pixels, inclusive on all four sides.
inline constexpr int kUpdaterCloseLeft = 341;
inline constexpr int kUpdaterCloseTop = 6;
inline constexpr int kUpdaterCloseRight = 353;
inline constexpr int kUpdaterCloseBottom = 18;
// Width and height of the ellipse that rounds the window's corners; the skin's frame
// follows it with half of it as its radius.
inline constexpr int kUpdaterCornerEllipse = 11;

// The loading splash (loading.bmp); the main window centres it over the result list.
inline constexpr int kSplashWidth = 223;
inline constexpr int kSplashHeight = 81;

// Frame sizes of the button strips (four frames side by side; the buttons take their size
// from the strip).
inline constexpr int kCategoryFrameWidth = 158;
inline constexpr int kCategoryFrameHeight = 34;
inline constexpr int kRowFrameHeight = 25;
inline constexpr int kRemoveFrameWidth = 132;
inline constexpr int kSmallFrameWidth = 66;

// The list header's skin (header.bmp): column 0 the band, column 1 the edge.
inline constexpr int kHeaderSkinWidth = 2;
inline constexpr int kHeaderSkinHeight = 19;

}  // namespace tarnock::art
