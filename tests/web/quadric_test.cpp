// The web layer's GLU sphere against Mesa's GLU, call for call.
//
// This program defines the immediate-mode entry points itself and is linked
// to export them, so Mesa's libGLU, which finds its GL functions at run time,
// draws into the same recorder as the layer does. No GL context is needed:
// nothing reaches a driver. Each recorded vertex carries the normal and
// texture coordinate current when it was given, which is what GL draws.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/web/gl_compat.h"

namespace {

struct RecordedVertex {
    GLfloat normal[3], texCoord[2], position[3];
};
struct Primitive {
    GLenum mode;
    std::vector<RecordedVertex> vertices;
};

struct Recorder {
    RecordedVertex current{};
    std::vector<Primitive> primitives;
    int strayVertices = 0;  // vertices outside glBegin/glEnd
    bool open = false;
} R;

// Mesa's quad strips become the layer's triangle strips of the same vertices.
GLenum drawn_as(GLenum mode) { return mode == GL_QUAD_STRIP ? GL_TRIANGLE_STRIP : mode; }

}  // namespace

extern "C" {
void glBegin(GLenum mode) {
    R.primitives.push_back({mode, {}});
    R.open = true;
}
void glEnd() { R.open = false; }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    R.current.normal[0] = x;
    R.current.normal[1] = y;
    R.current.normal[2] = z;
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    R.current.texCoord[0] = s;
    R.current.texCoord[1] = t;
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    R.current.position[0] = x;
    R.current.position[1] = y;
    R.current.position[2] = z;
    if (!R.open) {
        ++R.strayVertices;
        return;
    }
    R.primitives.back().vertices.push_back(R.current);
}
}

namespace {

// The normal and texture coordinate the application left current: GLU's
// vertices without their own take these.
const GLfloat StartNormal[3] = {0.25f, -0.5f, 0.75f};
const GLfloat StartTexCoord[2] = {0.3f, 0.7f};

void reset_recorder() {
    R = Recorder{};
    for (int i = 0; i < 3; ++i) R.current.normal[i] = StartNormal[i];
    R.current.texCoord[0] = StartTexCoord[0];
    R.current.texCoord[1] = StartTexCoord[1];
}

struct Settings {
    GLenum normals;
    bool texture;
    GLenum orientation;
    int slices, stacks;
    std::string name() const {
        std::string n = normals == GLU_SMOOTH ? "smooth" : normals == GLU_FLAT ? "flat" : "no normals";
        n += texture ? ", textured" : ", untextured";
        n += orientation == GLU_OUTSIDE ? ", outside" : ", inside";
        return n + ", " + std::to_string(slices) + " x " + std::to_string(stacks);
    }
};

std::vector<Primitive> mesa_sphere(const Settings& s, double radius, GLfloat* finalNormal) {
    reset_recorder();
    GLUquadric* q = gluNewQuadric();
    gluQuadricNormals(q, s.normals);
    gluQuadricTexture(q, s.texture ? GL_TRUE : GL_FALSE);
    gluQuadricOrientation(q, s.orientation);
    gluSphere(q, radius, s.slices, s.stacks);
    gluDeleteQuadric(q);
    for (int i = 0; i < 3; ++i) finalNormal[i] = R.current.normal[i];
    return R.primitives;
}

std::vector<Primitive> layer_sphere(const Settings& s, double radius, GLfloat* finalNormal) {
    reset_recorder();
    // The layer's own current normal, given outside a primitive as an
    // application would; the recorder starts from the same one.
    compat_glNormal3f(StartNormal[0], StartNormal[1], StartNormal[2]);
    compat_glTexCoord2f(StartTexCoord[0], StartTexCoord[1]);
    GLUquadric* q = compat_gluNewQuadric();
    compat_gluQuadricNormals(q, s.normals);
    compat_gluQuadricTexture(q, s.texture ? GL_TRUE : GL_FALSE);
    compat_gluQuadricOrientation(q, s.orientation);
    compat_gluSphere(q, radius, s.slices, s.stacks);
    compat_gluDeleteQuadric(q);
    compat_current_normal(finalNormal);
    EXPECT_EQ(R.strayVertices, 0);
    return R.primitives;
}

void expect_same_sphere(const Settings& s, double radius) {
    SCOPED_TRACE(s.name() + ", radius " + std::to_string(radius));
    GLfloat mesaNormal[3], layerNormal[3];
    std::vector<Primitive> mesa = mesa_sphere(s, radius, mesaNormal);
    std::vector<Primitive> layer = layer_sphere(s, radius, layerNormal);
    ASSERT_FALSE(mesa.empty());
    ASSERT_EQ(layer.size(), mesa.size());
    for (size_t p = 0; p < mesa.size(); ++p) {
        EXPECT_EQ(layer[p].mode, drawn_as(mesa[p].mode)) << "primitive " << p;
        ASSERT_EQ(layer[p].vertices.size(), mesa[p].vertices.size()) << "primitive " << p;
        for (size_t v = 0; v < mesa[p].vertices.size(); ++v) {
            const RecordedVertex& a = layer[p].vertices[v];
            const RecordedVertex& b = mesa[p].vertices[v];
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(a.position[i], b.position[i]) << "primitive " << p << " vertex " << v;
                EXPECT_EQ(a.normal[i], b.normal[i]) << "primitive " << p << " vertex " << v;
            }
            for (int i = 0; i < 2; ++i) EXPECT_EQ(a.texCoord[i], b.texCoord[i]) << "primitive " << p << " vertex " << v;
        }
    }
    // Later vertices without normals (the grids) see the same normal.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(layerNormal[i], mesaNormal[i]);
}

// The reflecting spheres' quadric: smooth normals, texture coordinates on,
// radius 1.1, 20 slices and 20 stacks.
TEST(WebQuadric, ShowSphereMatchesMesaGlu) {
    expect_same_sphere({GLU_SMOOTH, true, GLU_OUTSIDE, 20, 20}, 1.1);
}

// Without texture coordinates GLU closes the poles with fans; flat normals
// and the inside orientation change which normal goes where; more slices than
// GLU's cache holds are cut to 239.
TEST(WebQuadric, OtherQuadricSettingsMatchMesaGlu) {
    const GLenum normals[] = {GLU_SMOOTH, GLU_FLAT, GLU_NONE};
    for (GLenum n : normals)
        for (bool texture : {true, false})
            for (GLenum orientation : {GLenum(GLU_OUTSIDE), GLenum(GLU_INSIDE)})
                expect_same_sphere({n, texture, orientation, 7, 4}, 2.5);
    expect_same_sphere({GLU_SMOOTH, false, GLU_OUTSIDE, 300, 3}, 0.5);
    expect_same_sphere({GLU_SMOOTH, true, GLU_OUTSIDE, 3, 1}, 1.0);
}

}  // namespace
