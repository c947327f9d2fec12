#include "platform/offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace platform {
namespace {

// The context the tools and tests draw into; written by this file only.
struct OffscreenContext {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};
OffscreenContext Offscreen;

EGLDisplay open_display() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay) {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    return EGL_NO_DISPLAY;
}

bool fail(std::string* error, const char* what) {
    if (error) *error = std::string(what) + " (EGL error " + std::to_string(eglGetError()) + ")";
    close_offscreen_context();
    return false;
}

}  // namespace

bool open_offscreen_context(int width, int height, std::string* error) {
    if (Offscreen.context != EGL_NO_CONTEXT) return true;
    Offscreen.display = open_display();
    if (Offscreen.display == EGL_NO_DISPLAY) return fail(error, "no EGL display");

    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    if (!eglChooseConfig(Offscreen.display, configAttributes, &config, 1, &configs) || configs < 1)
        return fail(error, "no pbuffer config with OpenGL");

    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    Offscreen.surface = eglCreatePbufferSurface(Offscreen.display, config, surfaceAttributes);
    if (Offscreen.surface == EGL_NO_SURFACE) return fail(error, "no pbuffer");

    if (!eglBindAPI(EGL_OPENGL_API)) return fail(error, "no desktop OpenGL API");
    // A legacy-capable context: the show draws in immediate mode.
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    Offscreen.context = eglCreateContext(Offscreen.display, config, EGL_NO_CONTEXT, contextAttributes);
    if (Offscreen.context == EGL_NO_CONTEXT) return fail(error, "no compatibility context");
    if (!eglMakeCurrent(Offscreen.display, Offscreen.surface, Offscreen.surface, Offscreen.context))
        return fail(error, "cannot make the context current");
    return true;
}

void close_offscreen_context() {
    if (Offscreen.display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(Offscreen.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (Offscreen.context != EGL_NO_CONTEXT) eglDestroyContext(Offscreen.display, Offscreen.context);
    if (Offscreen.surface != EGL_NO_SURFACE) eglDestroySurface(Offscreen.display, Offscreen.surface);
    eglTerminate(Offscreen.display);
    Offscreen.display = EGL_NO_DISPLAY;
    Offscreen.surface = EGL_NO_SURFACE;
    Offscreen.context = EGL_NO_CONTEXT;
}

}  // namespace platform
