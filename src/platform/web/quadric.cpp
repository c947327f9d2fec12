// The GLU sphere for a GL without GLU quadrics: the same vertices, normals and
// texture coordinates, in the same order, as Mesa's GLU draws in fill style,
// so that sphere mapping sees the same sphere. GLU's quad strips go down as
// triangle strips of the same vertices (the browser draws no quad strips);
// they cover the same quads. Every vertex carries its own normal, as the
// browser's immediate mode needs one layout for all vertices of a primitive.
//
// The vertices go through this layer's own immediate-mode calls, so texture
// coordinate generation applies to them as to any other vertex.
#include <cmath>
#include <vector>

#include "platform/web/gl_compat.h"

namespace {

struct Quadric {
    GLenum normals = GLU_SMOOTH;
    bool textureCoords = false;
    GLenum orientation = GLU_OUTSIDE;
};

Quadric* quadric_of(GLUquadric* q) { return reinterpret_cast<Quadric*>(q); }

constexpr int CacheSize = 240;  // GLU's limit: more slices or stacks are drawn as 239
constexpr double Pi = 3.14159265358979323846;

struct Vertex {
    GLfloat normal[3];
    GLfloat texCoord[2];
    GLfloat position[3];
};

class Emitter {
public:
    // Vertices before GLU's first normal take the application's current one.
    explicit Emitter(const Quadric& q) : q_(q) { compat_current_normal(current_.normal); }
    void begin(GLenum mode) {
        mode_ = mode;
        vertices_.clear();
    }
    void normal(GLfloat x, GLfloat y, GLfloat z) {
        current_.normal[0] = x;
        current_.normal[1] = y;
        current_.normal[2] = z;
        haveNormal_ = true;
    }
    void texCoord(GLfloat s, GLfloat t) {
        current_.texCoord[0] = s;
        current_.texCoord[1] = t;
    }
    void vertex(GLfloat x, GLfloat y, GLfloat z) {
        current_.position[0] = x;
        current_.position[1] = y;
        current_.position[2] = z;
        vertices_.push_back(current_);
    }
    void end() {
        compat_glBegin(mode_);
        for (const Vertex& v : vertices_) {
            if (haveNormal_) compat_glNormal3f(v.normal[0], v.normal[1], v.normal[2]);
            if (q_.textureCoords) compat_glTexCoord2f(v.texCoord[0], v.texCoord[1]);
            compat_glVertex3f(v.position[0], v.position[1], v.position[2]);
        }
        compat_glEnd();
    }

private:
    const Quadric& q_;
    GLenum mode_ = GL_TRIANGLE_STRIP;
    Vertex current_{};
    bool haveNormal_ = false;  // no normals at all: the current normal stays the application's
    std::vector<Vertex> vertices_;
};

}  // namespace

GLUquadric* compat_gluNewQuadric() { return reinterpret_cast<GLUquadric*>(new Quadric); }

void compat_gluDeleteQuadric(GLUquadric* quadric) { delete quadric_of(quadric); }

void compat_gluQuadricNormals(GLUquadric* quadric, GLenum normals) {
    if (normals == GLU_SMOOTH || normals == GLU_FLAT || normals == GLU_NONE) quadric_of(quadric)->normals = normals;
}

void compat_gluQuadricTexture(GLUquadric* quadric, GLboolean textureCoords) {
    quadric_of(quadric)->textureCoords = textureCoords != GL_FALSE;
}

void compat_gluQuadricOrientation(GLUquadric* quadric, GLenum orientation) {
    if (orientation == GLU_OUTSIDE || orientation == GLU_INSIDE) quadric_of(quadric)->orientation = orientation;
}

// GLU's gluSphere in fill style, step by step: the same float caches (angles
// held as floats, their sines taken in double) and the same order of calls.
void compat_gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
    if (!quadric) return;
    const Quadric& q = *quadric_of(quadric);
    if (slices >= CacheSize) slices = CacheSize - 1;
    if (stacks >= CacheSize) stacks = CacheSize - 1;
    if (slices < 2 || stacks < 1 || radius < 0.0) return;

    const bool outside = q.orientation == GLU_OUTSIDE;
    const bool smooth = q.normals == GLU_SMOOTH;
    const bool flat = q.normals == GLU_FLAT;
    // Zeroed: the high pole's normal reads the slice caches at index stacks,
    // which GLU leaves unset when there are more stacks than slices.
    GLfloat sin1a[CacheSize] = {}, cos1a[CacheSize] = {}, sin2a[CacheSize] = {}, cos2a[CacheSize] = {};
    GLfloat sin3a[CacheSize] = {}, cos3a[CacheSize] = {};
    GLfloat sin1b[CacheSize] = {}, cos1b[CacheSize] = {}, sin2b[CacheSize] = {}, cos2b[CacheSize] = {};
    GLfloat sin3b[CacheSize] = {}, cos3b[CacheSize] = {};

    for (int i = 0; i < slices; ++i) {
        GLfloat angle = GLfloat(2 * Pi * i / slices);
        sin1a[i] = GLfloat(std::sin(double(angle)));
        cos1a[i] = GLfloat(std::cos(double(angle)));
        sin2a[i] = sin1a[i];
        cos2a[i] = cos1a[i];
    }
    for (int j = 0; j <= stacks; ++j) {
        GLfloat angle = GLfloat(Pi * j / stacks);
        sin2b[j] = GLfloat(outside ? std::sin(double(angle)) : -std::sin(double(angle)));
        cos2b[j] = GLfloat(outside ? std::cos(double(angle)) : -std::cos(double(angle)));
        sin1b[j] = GLfloat(radius * std::sin(double(angle)));
        cos1b[j] = GLfloat(radius * std::cos(double(angle)));
    }
    sin1b[0] = 0;  // the poles come to a point
    sin1b[stacks] = 0;
    if (flat) {
        for (int i = 0; i < slices; ++i) {
            GLfloat angle = GLfloat(2 * Pi * (i - 0.5) / slices);
            sin3a[i] = GLfloat(std::sin(double(angle)));
            cos3a[i] = GLfloat(std::cos(double(angle)));
        }
        for (int j = 0; j <= stacks; ++j) {
            GLfloat angle = GLfloat(Pi * (j - 0.5) / stacks);
            sin3b[j] = GLfloat(outside ? std::sin(double(angle)) : -std::sin(double(angle)));
            cos3b[j] = GLfloat(outside ? std::cos(double(angle)) : -std::cos(double(angle)));
        }
        sin3a[slices] = sin3a[0];
        cos3a[slices] = cos3a[0];
    }
    sin1a[slices] = sin1a[0];
    cos1a[slices] = cos1a[0];
    sin2a[slices] = sin2a[0];
    cos2a[slices] = cos2a[0];

    Emitter e(q);
    int start = 0, finish = stacks;
    if (!q.textureCoords) {
        // Without texture coordinates the caps are fans around the poles.
        start = 1;
        finish = stacks - 1;
        for (int end = 0; end < 2; ++end) {
            const bool low = end == 0;
            const int ring = low ? 1 : stacks - 1;
            GLfloat sintemp2 = sin1b[ring], zHigh = cos1b[ring];
            GLfloat sintemp3 = 0, costemp3 = 0;
            if (flat) {
                sintemp3 = sin3b[low ? 1 : stacks];
                costemp3 = cos3b[low ? 1 : stacks];
            } else if (smooth) {
                sintemp3 = sin2b[ring];
                costemp3 = cos2b[ring];
                // GLU indexes the pole's normal by stacks as a slice as well.
                int pole = low ? 0 : stacks;
                e.normal(sin2a[pole] * sin2b[pole], cos2a[pole] * sin2b[pole], cos2b[pole]);
            }
            e.begin(GL_TRIANGLE_FAN);
            e.vertex(0.0f, 0.0f, GLfloat(low ? radius : -radius));
            // The low cap runs backwards outside, the high cap inside.
            const bool backwards = low == outside;
            for (int k = 0; k <= slices; ++k) {
                int i = backwards ? slices - k : k;
                if (smooth) {
                    e.normal(sin2a[i] * sintemp3, cos2a[i] * sintemp3, costemp3);
                } else if (flat) {
                    if (!backwards)
                        e.normal(sin3a[i] * sintemp3, cos3a[i] * sintemp3, costemp3);
                    else if (i != slices)
                        e.normal(sin3a[i + 1] * sintemp3, cos3a[i + 1] * sintemp3, costemp3);
                }
                e.vertex(sintemp2 * sin1a[i], sintemp2 * cos1a[i], zHigh);
            }
            e.end();
        }
    }
    for (int j = start; j < finish; ++j) {
        GLfloat zLow = cos1b[j], zHigh = cos1b[j + 1];
        GLfloat sintemp1 = sin1b[j], sintemp2 = sin1b[j + 1];
        GLfloat sintemp3 = 0, costemp3 = 0, sintemp4 = 0, costemp4 = 0;
        if (flat) {
            sintemp4 = sin3b[j + 1];
            costemp4 = cos3b[j + 1];
        } else if (smooth) {
            int near = outside ? j + 1 : j, far = outside ? j : j + 1;
            sintemp3 = sin2b[near];
            costemp3 = cos2b[near];
            sintemp4 = sin2b[far];
            costemp4 = cos2b[far];
        }
        e.begin(GL_TRIANGLE_STRIP);
        for (int i = 0; i <= slices; ++i) {
            GLfloat s = 1 - GLfloat(i) / slices;
            if (smooth) e.normal(sin2a[i] * sintemp3, cos2a[i] * sintemp3, costemp3);
            if (outside) {
                e.texCoord(s, 1 - GLfloat(j + 1) / stacks);
                e.vertex(sintemp2 * sin1a[i], sintemp2 * cos1a[i], zHigh);
            } else {
                e.texCoord(s, 1 - GLfloat(j) / stacks);
                e.vertex(sintemp1 * sin1a[i], sintemp1 * cos1a[i], zLow);
            }
            if (smooth)
                e.normal(sin2a[i] * sintemp4, cos2a[i] * sintemp4, costemp4);
            else if (flat)
                e.normal(sin3a[i] * sintemp4, cos3a[i] * sintemp4, costemp4);
            if (outside) {
                e.texCoord(s, 1 - GLfloat(j) / stacks);
                e.vertex(sintemp1 * sin1a[i], sintemp1 * cos1a[i], zLow);
            } else {
                e.texCoord(s, 1 - GLfloat(j + 1) / stacks);
                e.vertex(sintemp2 * sin1a[i], sintemp2 * cos1a[i], zHigh);
            }
        }
        e.end();
    }
}
