// The GLU sphere for a GL without GLU quadrics, as the show draws it: smooth
// normals, texture coordinates, outside orientation, in fill style. The same
// vertices, normals and texture coordinates in the same order as Mesa's GLU,
// so that sphere mapping sees the same sphere; GLU's quad strips go down as
// triangle strips of the same vertices (the browser draws no quad strips),
// which cover the same quads. Another configuration draws nothing: a missing
// sphere, not a subtly different one.
//
// The vertices go through this layer's own immediate-mode calls, so texture
// coordinate generation applies to them as to any other vertex.
#include <cmath>

#include "platform/web/gl_compat.h"

namespace {

struct Quadric {
    GLenum normals = GLU_SMOOTH;
    bool textureCoords = false;
};

Quadric* quadric_of(GLUquadric* q) { return reinterpret_cast<Quadric*>(q); }

constexpr int CacheSize = 240;  // GLU's limit: more slices or stacks are drawn as 239
constexpr double Pi = 3.14159265358979323846;

}  // namespace

GLUquadric* compat_gluNewQuadric() { return reinterpret_cast<GLUquadric*>(new Quadric); }

void compat_gluDeleteQuadric(GLUquadric* quadric) { delete quadric_of(quadric); }

void compat_gluQuadricNormals(GLUquadric* quadric, GLenum normals) { quadric_of(quadric)->normals = normals; }

void compat_gluQuadricTexture(GLUquadric* quadric, GLboolean textureCoords) {
    quadric_of(quadric)->textureCoords = textureCoords != GL_FALSE;
}

// GLU's gluSphere, step by step: the same float caches (angles held as
// floats, their sines taken in double) and the same order of calls.
void compat_gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
    if (!quadric) return;
    const Quadric& q = *quadric_of(quadric);
    if (q.normals != GLU_SMOOTH || !q.textureCoords) return;
    if (slices >= CacheSize) slices = CacheSize - 1;
    if (stacks >= CacheSize) stacks = CacheSize - 1;
    if (slices < 2 || stacks < 1 || radius < 0.0) return;

    GLfloat sin1a[CacheSize], cos1a[CacheSize];  // around the axis
    GLfloat sin1b[CacheSize], cos1b[CacheSize];  // down it, times the radius
    GLfloat sin2b[CacheSize], cos2b[CacheSize];  // down it, for the normals
    for (int i = 0; i < slices; ++i) {
        GLfloat angle = GLfloat(2 * Pi * i / slices);
        sin1a[i] = GLfloat(std::sin(double(angle)));
        cos1a[i] = GLfloat(std::cos(double(angle)));
    }
    sin1a[slices] = sin1a[0];
    cos1a[slices] = cos1a[0];
    for (int j = 0; j <= stacks; ++j) {
        GLfloat angle = GLfloat(Pi * j / stacks);
        sin2b[j] = GLfloat(std::sin(double(angle)));
        cos2b[j] = GLfloat(std::cos(double(angle)));
        sin1b[j] = GLfloat(radius * std::sin(double(angle)));
        cos1b[j] = GLfloat(radius * std::cos(double(angle)));
    }
    sin1b[0] = 0;  // the poles come to a point
    sin1b[stacks] = 0;

    for (int j = 0; j < stacks; ++j) {
        const GLfloat zLow = cos1b[j], zHigh = cos1b[j + 1];
        const GLfloat sinLow = sin1b[j], sinHigh = sin1b[j + 1];
        compat_glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i <= slices; ++i) {
            const GLfloat s = 1 - GLfloat(i) / slices;
            compat_glNormal3f(sin1a[i] * sin2b[j + 1], cos1a[i] * sin2b[j + 1], cos2b[j + 1]);
            compat_glTexCoord2f(s, 1 - GLfloat(j + 1) / stacks);
            compat_glVertex3f(sinHigh * sin1a[i], sinHigh * cos1a[i], zHigh);
            compat_glNormal3f(sin1a[i] * sin2b[j], cos1a[i] * sin2b[j], cos2b[j]);
            compat_glTexCoord2f(s, 1 - GLfloat(j) / stacks);
            compat_glVertex3f(sinLow * sin1a[i], sinLow * cos1a[i], zLow);
        }
        compat_glEnd();
    }
}
