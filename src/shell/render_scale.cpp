// The frame's size: the show's 800 by 600 times a render scale, chosen for the
// screen the picture is shown on. Scenes never learn it; the render targets
// and the viewport grow with it (textures/render_target.h).
#include <cstdio>
#include <string>

#include "platform/letterbox.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "textures/render_target.h"
#include "timeline/scene_context.h"

PictureSetup Picture;

namespace {

// The scale auto takes, and why, in the words --stats prints. A window takes
// the pixels its surface has (a HiDPI display's), drawn there directly; the
// scaled full screen would draw a frame larger than its own, which a
// software GL pays for several times over.
int automatic_scale(std::string* how) {
    if (FullScreen && !Picture.scaled) return *how = "auto: the display's own 800x600 mode", 1;
    if (Picture.scaled && platform::software_renderer()) return *how = "auto: a software GL", 1;
    int width, height;
    platform::drawable_size(&width, &height);
    const platform::PictureRect picture = platform::letterbox(width, height, ScreenWidth, ScreenHeight);
    *how = "auto: the picture is " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
           " on the screen";
    return platform::covering_scale(picture.width, picture.height, ScreenWidth, ScreenHeight, MaxRenderScale);
}

std::string frame_text(int scale) {
    return std::to_string(ScreenWidth * scale) + "x" + std::to_string(ScreenHeight * scale);
}

}  // namespace

void choose_render_scale() {
    std::string how = "asked";
    const int wanted = Picture.renderScaleAsked > 0 ? Picture.renderScaleAsked : automatic_scale(&how);
    int scale = wanted;
    std::string why;
    while (scale > 1 && !platform::set_frame_size(ScreenWidth * scale, ScreenHeight * scale, &why)) --scale;
    // At 1 the window's own surface may still differ (HiDPI): drawn into it as it is where no frame can be had.
    if (scale == 1) platform::set_frame_size(ScreenWidth, ScreenHeight, &why);
    if (scale < wanted) {
        std::fprintf(stderr, "No %s frame (%s): drawing at %s instead\n", frame_text(wanted).c_str(), why.c_str(),
                     frame_text(scale).c_str());
        how += ", the largest the driver draws";
    }
    set_render_scale(scale);
    Picture.frameDescription = frame_text(scale) + " (render scale " + std::to_string(scale) + ", " + how + ")";
}
