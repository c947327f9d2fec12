#pragma once
// Where a picture goes in a window of another shape: as large as fits, its
// shape kept, centred, the rest of the window left to black bars. Pixels only;
// no window or GL here.
#include <cstdint>

namespace platform {

// x and y count from the window's lower left corner, as GL's do.
struct PictureRect {
    int x, y, width, height;
};

// The side that does not fill the window is rounded to the nearest pixel, and
// the odd pixel of an odd leftover goes to the right or upper bar. Empty when
// a size is 0 or less, or the picture would be under half a pixel across.
constexpr PictureRect letterbox(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
    if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {0, 0, 0, 0};
    // The two shapes compared without division: window w/h against picture pw/ph.
    const int64_t windowSpan = int64_t(windowWidth) * pictureHeight;
    const int64_t pictureSpan = int64_t(windowHeight) * pictureWidth;
    int width = windowWidth, height = windowHeight;
    if (windowSpan > pictureSpan)  // wider than the picture: bars left and right
        width = int((pictureSpan + pictureHeight / 2) / pictureHeight);
    else if (windowSpan < pictureSpan)  // narrower: bars above and below
        height = int((windowSpan + pictureWidth / 2) / pictureWidth);
    if (width == 0 || height == 0) return {0, 0, 0, 0};
    return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

// The smallest whole scale, 1 to most, at which a picture covers a width by
// height rectangle (drawn at that scale and filtered down, it is sharp there).
constexpr int covering_scale(int width, int height, int pictureWidth, int pictureHeight, int most) {
    int scale = 1;
    while (scale < most && (int64_t(pictureWidth) * scale < width || int64_t(pictureHeight) * scale < height)) ++scale;
    return scale;
}

}  // namespace platform
