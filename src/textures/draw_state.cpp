// Drawing-state helpers shared by the scenes.
#include "textures/draw_state.h"

#include <GL/gl.h>

void bind_texture(int index, const TargaTexture* table) { glBindTexture(GL_TEXTURE_2D, table[index].glName); }

void set_alpha(float alpha) { glColor4f(1.0f, 1.0f, 1.0f, alpha); }

void enable_blend(int flag) {
    if (flag)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
}

void set_additive_blend() { glBlendFunc(GL_SRC_ALPHA, GL_ONE); }

void set_sphere_mapping() {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

void set_sphere_generation(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}
