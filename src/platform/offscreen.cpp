#include "platform/offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace platform {
namespace {

EGLDisplay Display = EGL_NO_DISPLAY;
EGLSurface Surface = EGL_NO_SURFACE;
EGLContext Context = EGL_NO_CONTEXT;

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
    if (Context != EGL_NO_CONTEXT) return true;
    Display = open_display();
    if (Display == EGL_NO_DISPLAY) return fail(error, "no EGL display");

    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    if (!eglChooseConfig(Display, configAttributes, &config, 1, &configs) || configs < 1)
        return fail(error, "no pbuffer config with OpenGL");

    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    Surface = eglCreatePbufferSurface(Display, config, surfaceAttributes);
    if (Surface == EGL_NO_SURFACE) return fail(error, "no pbuffer");

    if (!eglBindAPI(EGL_OPENGL_API)) return fail(error, "no desktop OpenGL API");
    // A legacy-capable context: the show draws in immediate mode.
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    Context = eglCreateContext(Display, config, EGL_NO_CONTEXT, contextAttributes);
    if (Context == EGL_NO_CONTEXT) return fail(error, "no compatibility context");
    if (!eglMakeCurrent(Display, Surface, Surface, Context)) return fail(error, "cannot make the context current");
    return true;
}

void close_offscreen_context() {
    if (Display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (Context != EGL_NO_CONTEXT) eglDestroyContext(Display, Context);
    if (Surface != EGL_NO_SURFACE) eglDestroySurface(Display, Surface);
    eglTerminate(Display);
    Display = EGL_NO_DISPLAY;
    Surface = EGL_NO_SURFACE;
    Context = EGL_NO_CONTEXT;
}

}  // namespace platform
