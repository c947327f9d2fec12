// The show's frame where it is not the window's own: one framebuffer object
// with a colour and a depth renderbuffer, blitted into the window's back
// buffer at each swap, through halving steps where it is more than twice the
// window's picture.
#include "platform/desktop/scaled_frame.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/letterbox.h"

namespace platform {
namespace {

// The entry points, under the core names of GL 3.0 and GL_ARB_framebuffer_object
// or with the EXT suffix of GL_EXT_framebuffer_object and GL_EXT_framebuffer_blit.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

// A picture on the way down to the window: half the one before it, colour only.
struct HalvingStep {
    GLuint framebuffer, colour;
    int width, height;
};

struct ScaledFrame {
    FramebufferCalls gl{};
    GLuint framebuffer = 0;  // 0: none made
    GLuint colour = 0;
    GLuint depth = 0;
    int width = 0, height = 0;  // pixels, the show's frame size
    GLenum colourFormat = 0;
    std::vector<HalvingStep> steps;  // made for the window's picture of the last present
    int stepsForWidth = 0, stepsForHeight = 0;
};
ScaledFrame Scaler;  // written by this file only

template <typename Call>
bool find_call(Call* call, const char* name, const char* suffix) {
    const std::string full = std::string(name) + suffix;
    *call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(full.c_str()));
    return *call != nullptr;
}

bool find_calls(const char* suffix) {
    FramebufferCalls& gl = Scaler.gl;
    return find_call(&gl.genFramebuffers, "glGenFramebuffers", suffix) &&
           find_call(&gl.deleteFramebuffers, "glDeleteFramebuffers", suffix) &&
           find_call(&gl.bindFramebuffer, "glBindFramebuffer", suffix) &&
           find_call(&gl.genRenderbuffers, "glGenRenderbuffers", suffix) &&
           find_call(&gl.deleteRenderbuffers, "glDeleteRenderbuffers", suffix) &&
           find_call(&gl.bindRenderbuffer, "glBindRenderbuffer", suffix) &&
           find_call(&gl.renderbufferStorage, "glRenderbufferStorage", suffix) &&
           find_call(&gl.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix) &&
           find_call(&gl.checkFramebufferStatus, "glCheckFramebufferStatus", suffix) &&
           find_call(&gl.blitFramebuffer, "glBlitFramebuffer", suffix);
}

bool find_framebuffer_objects(std::string* why) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    if (version) std::sscanf(version, "%d", &major);
    if ((major >= 3 || SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object")) && find_calls("")) return true;
    if (SDL_GL_ExtensionSupported("GL_EXT_framebuffer_object") && SDL_GL_ExtensionSupported("GL_EXT_framebuffer_blit") &&
        find_calls("EXT"))
        return true;
    if (why) *why = std::string("OpenGL ") + (version ? version : "of no known version") + " has no framebuffer objects";
    return false;
}

// As many bits as the window's own buffers, read before the framebuffer is
// bound: the show draws, blends and copies exactly as it would there.
GLenum window_colour_format() {
    GLint red = 0, green = 0, blue = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    return red <= 5 && green <= 6 && blue <= 5 ? GL_RGB5 : GL_RGB8;
}

GLenum window_depth_format() {
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    return bits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
}

GLuint attach_renderbuffer(GLenum format, GLenum attachment, int width, int height) {
    const FramebufferCalls& gl = Scaler.gl;
    GLuint name = 0;
    gl.genRenderbuffers(1, &name);
    gl.bindRenderbuffer(GL_RENDERBUFFER, name);
    gl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    return name;
}

std::string size_text(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// The largest frame the driver draws and keeps: its renderbuffers' and its viewport's limits.
bool within_limits(int width, int height, std::string* why) {
    GLint renderbuffer = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const int largestWidth = std::min(renderbuffer, viewport[0]), largestHeight = std::min(renderbuffer, viewport[1]);
    if (width <= largestWidth && height <= largestHeight) return true;
    if (why) *why = "the driver draws at most " + size_text(largestWidth, largestHeight) + ", not " + size_text(width, height);
    return false;
}

void delete_steps() {
    for (HalvingStep& step : Scaler.steps) {
        Scaler.gl.deleteRenderbuffers(1, &step.colour);
        Scaler.gl.deleteFramebuffers(1, &step.framebuffer);
    }
    Scaler.steps.clear();
    Scaler.stepsForWidth = Scaler.stepsForHeight = 0;
}

// A linear blit samples 2 by 2 texels at most: a picture more than twice the
// window's would alias, so it is halved until it is no more than that.
void make_steps_for(int toWidth, int toHeight) {
    if (toWidth == Scaler.stepsForWidth && toHeight == Scaler.stepsForHeight) return;
    delete_steps();
    Scaler.stepsForWidth = toWidth;
    Scaler.stepsForHeight = toHeight;
    int width = Scaler.width, height = Scaler.height;
    while (width > 2 * toWidth || height > 2 * toHeight) {
        width = (width + 1) / 2;
        height = (height + 1) / 2;
        HalvingStep step{0, 0, width, height};
        Scaler.gl.genFramebuffers(1, &step.framebuffer);
        Scaler.gl.bindFramebuffer(GL_FRAMEBUFFER, step.framebuffer);
        step.colour = attach_renderbuffer(Scaler.colourFormat, GL_COLOR_ATTACHMENT0, width, height);
        Scaler.steps.push_back(step);
    }
    Scaler.gl.bindFramebuffer(GL_FRAMEBUFFER, Scaler.framebuffer);
}

}  // namespace

bool open_scaled_frame(int width, int height, std::string* why) {
    if (Scaler.framebuffer && Scaler.width == width && Scaler.height == height) return true;
    close_scaled_frame();
    if (!find_framebuffer_objects(why) || !within_limits(width, height, why)) return false;
    const GLenum depthFormat = window_depth_format();
    Scaler.colourFormat = window_colour_format();
    Scaler.gl.genFramebuffers(1, &Scaler.framebuffer);
    Scaler.gl.bindFramebuffer(GL_FRAMEBUFFER, Scaler.framebuffer);
    Scaler.colour = attach_renderbuffer(Scaler.colourFormat, GL_COLOR_ATTACHMENT0, width, height);
    Scaler.depth = attach_renderbuffer(depthFormat, GL_DEPTH_ATTACHMENT, width, height);
    if (Scaler.gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        if (why) *why = "the driver refuses a " + size_text(width, height) + " framebuffer";
        close_scaled_frame();
        return false;
    }
    Scaler.width = width;
    Scaler.height = height;
    return true;
}

bool scaled_frame_size(int* width, int* height) {
    if (!Scaler.framebuffer) return false;
    *width = Scaler.width;
    *height = Scaler.height;
    return true;
}

// Touches no state the show keeps but the draw framebuffer, given back by
// resume_scaled_frame, and the clear colour, put back here.
void present_scaled_frame(int windowWidth, int windowHeight) {
    if (!Scaler.framebuffer) return;
    const PictureRect to = letterbox(windowWidth, windowHeight, Scaler.width, Scaler.height);
    make_steps_for(to.width, to.height);
    GLuint from = Scaler.framebuffer;
    int fromWidth = Scaler.width, fromHeight = Scaler.height;
    for (const HalvingStep& step : Scaler.steps) {
        Scaler.gl.bindFramebuffer(GL_READ_FRAMEBUFFER, from);
        Scaler.gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, step.framebuffer);
        Scaler.gl.blitFramebuffer(0, 0, fromWidth, fromHeight, 0, 0, step.width, step.height, GL_COLOR_BUFFER_BIT,
                             GL_LINEAR);
        from = step.framebuffer;
        fromWidth = step.width;
        fromHeight = step.height;
    }
    GLfloat showClear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, showClear);
    Scaler.gl.bindFramebuffer(GL_READ_FRAMEBUFFER, from);
    Scaler.gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);  // the bars: the back buffer holds nothing after a swap
    Scaler.gl.blitFramebuffer(0, 0, fromWidth, fromHeight, to.x, to.y, to.x + to.width, to.y + to.height,
                         GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glClearColor(showClear[0], showClear[1], showClear[2], showClear[3]);
}

void resume_scaled_frame() {
    if (Scaler.framebuffer) Scaler.gl.bindFramebuffer(GL_FRAMEBUFFER, Scaler.framebuffer);
}

void close_scaled_frame() {
    if (!Scaler.framebuffer) return;
    delete_steps();
    Scaler.gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    Scaler.gl.deleteRenderbuffers(1, &Scaler.depth);
    Scaler.gl.deleteRenderbuffers(1, &Scaler.colour);
    Scaler.gl.deleteFramebuffers(1, &Scaler.framebuffer);
    Scaler = ScaledFrame{};
}

}  // namespace platform
