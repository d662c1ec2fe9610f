// Resource identifiers of the picture test program.
#pragma once

#define IDR_QUAD_BMP 301
#define IDR_QUAD_JPG 302
#define IDR_QUAD_GIF 303
#define IDR_SPLASH_BMP 304
#define IDR_STRIP_BMP 305
#define IDR_MISSING 399
