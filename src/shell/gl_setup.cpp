// The OpenGL context, the drawing state the show starts from, and the view.
#include <GL/gl.h>
#include <GL/glu.h>

#include <filesystem>
#include <system_error>

#include "platform/platform.h"
#include "shell/shell.h"
#include "timeline/demo.h"

bool RenderContext = false;

namespace {

// The show's drawing state, view and whole start-up, at width by height: what
// the window's set-up and the offline start share. False when the start-up failed.
bool start_show_at(int width, int height) {
    glViewport(0, 0, width, height);
    init_gl_state();
    resize_gl_view(width, height);
    return start_demo();
}

}  // namespace

void init_gl() {
    int width, height;
    platform::client_size(&width, &height);
    setup_gl_context(width, height);
}

// Runs the whole start-up with the context current, at the frame's size once
// a surface is there (width by height without one). Without a surface the
// start-up still runs (its GL calls go nowhere) and the loop ends before a
// frame; so it does after a failed start-up, its box shown.
void setup_gl_context(int width, int height) {
    if (!set_pixel_format()) {
        platform::post_quit(1);
    } else {
        choose_render_scale();
        platform::client_size(&width, &height);
    }
    if (!start_show_at(width, height)) platform::post_quit(1);
}

bool start_offline_show(const char* mediaDir, CalendarClock clock, FramePresenter present, int width, int height) {
    std::error_code error;
    std::filesystem::current_path(mediaDir, error);
    if (error) return false;
    platform::mute_music();
    set_calendar_clock(clock);
    set_frame_presenter(present);
    return start_show_at(width, height);
}

bool set_pixel_format() {
    switch (platform::create_gl_surface()) {
    case platform::SurfaceStatus::Ready:
        RenderContext = true;
        return true;
    case platform::SurfaceStatus::NoPixelFormat:
        platform::show_message("ChoosePixelFormat failed", "Error");
        return false;
    case platform::SurfaceStatus::FormatRefused:
        platform::show_message("SetPixelFormat failed", "Error");
        return false;
    }
    return false;
}

void init_gl_state() {
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DEPTH_TEST);  // scenes that want it get the default GL_LESS
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    // Sphere mapping is prepared here; scenes switch generation on where they want it.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_COLOR_MATERIAL);
}

// A new context gives the pass the GL state and objects a fresh start has
// (the last pass's textures go with the old one); then the start-up runs as
// at the first start, in the window as it now is, and the pace is set on the
// new context. The blank frame of second 225 stays on screen until the new
// pass's first.
void restart_show() {
    platform::release_gl_surface();
    RenderContext = false;
    reset_demo();
    init_gl();
    restart_pacing();
}

void resize_gl_view(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(width) / double(height), 1.0, 400.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
