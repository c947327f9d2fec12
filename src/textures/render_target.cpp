// Render-to-texture passes through the back buffer.
#include "textures/render_target.h"

#include <GL/gl.h>

#include <vector>

#include "timeline/scene_context.h"

namespace {
int RenderScale = 1;
}  // namespace

void set_render_scale(int scale) { RenderScale = scale >= 1 && scale <= MaxRenderScale ? scale : 1; }
int render_scale() { return RenderScale; }
int frame_width() { return ScreenWidth * RenderScale; }
int frame_height() { return ScreenHeight * RenderScale; }

void create_target(uint32_t* table, int sceneSize, int components, unsigned format, int index) {
    const int size = sceneSize * RenderScale;
    // One unsigned int per component: a black image of the full size.
    std::vector<GLuint> black(size_t(size) * size * components, 0);
    GLuint name;
    glGenTextures(1, &name);
    table[index] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, components, size, size, 0, format, GL_UNSIGNED_INT, black.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void begin_target_pass(int width, int height) {
    glPushMatrix();
    glViewport(0, 0, width * RenderScale, height * RenderScale);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void end_target_pass(uint32_t* table, int width, int height, int index) {
    glBindTexture(GL_TEXTURE_2D, table[index]);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, width * RenderScale, height * RenderScale, 0);
    // The captured picture is never shown as such.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The show's frame size, not the window's current one.
    glViewport(0, 0, frame_width(), frame_height());
    glPopMatrix();
}

void bind_target(const uint32_t* table, int index) { glBindTexture(GL_TEXTURE_2D, table[index]); }
