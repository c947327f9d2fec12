// What the web layer sends to the browser's GL, call for call: its GLU sphere
// against Mesa's GLU, and its runs of primitives.
//
// This program defines the immediate-mode entry points itself and is linked
// to export them, so Mesa's libGLU, which finds its GL functions at run time,
// draws into the same recorder as the layer does. No GL context is needed:
// nothing reaches a driver. Each recorded vertex carries the normal and
// texture coordinate current when it was given, which is what GL draws, and
// which attributes were sent for it: the browser lays out a primitive's
// vertices from its first and needs them all alike. The layer's draws from
// client arrays are read back into the same primitives, and every call the
// layer makes is counted: in the browser each is a call into JavaScript.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/web/gl_compat.h"

namespace {

enum Sent : unsigned { SentColour = 1, SentNormal = 2, SentTexCoord = 4 };

struct RecordedVertex {
    GLfloat normal[3], texCoord[2], position[3];
    GLfloat colour[4];
    unsigned sent;  // attributes given since the vertex before
};
struct Primitive {
    GLenum mode;
    std::vector<RecordedVertex> vertices;
};

struct ClientArray {
    bool enabled = false;
    GLint size = 0;
    GLenum type = 0;
    GLsizei stride = 0;
    const void* pointer = nullptr;
};

struct Recorder {
    RecordedVertex current{};
    std::vector<Primitive> primitives;
    int strayVertices = 0;  // vertices outside glBegin/glEnd
    std::vector<std::vector<GLfloat>> looseColours;  // colours set outside primitives
    bool open = false;
    ClientArray colours, normals, texCoords, positions;
    int calls = 0;
} R;

ClientArray* client_array(GLenum array) {
    switch (array) {
    case GL_COLOR_ARRAY: return &R.colours;
    case GL_NORMAL_ARRAY: return &R.normals;
    case GL_TEXTURE_COORD_ARRAY: return &R.texCoords;
    case GL_VERTEX_ARRAY: return &R.positions;
    default: return nullptr;
    }
}

void point(ClientArray& a, GLint size, GLenum type, GLsizei stride, const void* pointer) {
    ++R.calls;
    a.size = size;
    a.type = type;
    a.stride = stride;
    a.pointer = pointer;
}

// Element i of an enabled array of floats, or of bytes scaled to [0, 1].
void read_array(const ClientArray& a, GLint i, GLfloat* out) {
    const unsigned char* p = static_cast<const unsigned char*>(a.pointer) + size_t(i) * size_t(a.stride);
    for (GLint k = 0; k < a.size; ++k) {
        if (a.type == GL_UNSIGNED_BYTE) {
            out[k] = p[k] / 255.0f;
        } else {
            ASSERT_EQ(a.type, GLenum(GL_FLOAT));
            std::memcpy(&out[k], p + 4 * k, 4);
        }
    }
}

// Mesa's quad strips become the layer's triangle strips of the same vertices.
GLenum drawn_as(GLenum mode) { return mode == GL_QUAD_STRIP ? GL_TRIANGLE_STRIP : mode; }

}  // namespace

extern "C" {
void glBegin(GLenum mode) {
    ++R.calls;
    R.primitives.push_back({mode, {}});
    R.open = true;
}
void glEnd() {
    ++R.calls;
    R.open = false;
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    ++R.calls;
    R.current.normal[0] = x;
    R.current.normal[1] = y;
    R.current.normal[2] = z;
    R.current.sent |= SentNormal;
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    ++R.calls;
    R.current.texCoord[0] = s;
    R.current.texCoord[1] = t;
    R.current.sent |= SentTexCoord;
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    ++R.calls;
    GLfloat c[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) R.current.colour[i] = c[i];
    if (R.open)
        R.current.sent |= SentColour;
    else
        R.looseColours.push_back({r, g, b, a});
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    ++R.calls;
    R.current.position[0] = x;
    R.current.position[1] = y;
    R.current.position[2] = z;
    if (!R.open) {
        ++R.strayVertices;
        return;
    }
    R.primitives.back().vertices.push_back(R.current);
    R.current.sent = 0;
}
void glEnableClientState(GLenum array) {
    ++R.calls;
    if (ClientArray* a = client_array(array)) a->enabled = true;
}
void glDisableClientState(GLenum array) {
    ++R.calls;
    if (ClientArray* a = client_array(array)) a->enabled = false;
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    point(R.colours, size, type, stride, pointer);
}
void glNormalPointer(GLenum type, GLsizei stride, const void* pointer) { point(R.normals, 3, type, stride, pointer); }
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    point(R.texCoords, size, type, stride, pointer);
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    point(R.positions, size, type, stride, pointer);
}
// A draw from the arrays is recorded as the primitive it draws; attributes
// without an array take the GL's current values, and the GL's current colour
// is not changed by the array's, as in OpenGL.
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    ++R.calls;
    ASSERT_TRUE(R.positions.enabled) << "a draw without positions";
    Primitive p{mode, {}};
    for (GLint i = first; i < first + count; ++i) {
        RecordedVertex v = R.current;
        v.sent = 0;
        if (R.colours.enabled) read_array(R.colours, i, v.colour), v.sent |= SentColour;
        if (R.normals.enabled) read_array(R.normals, i, v.normal), v.sent |= SentNormal;
        if (R.texCoords.enabled) read_array(R.texCoords, i, v.texCoord), v.sent |= SentTexCoord;
        read_array(R.positions, i, v.position);
        p.vertices.push_back(v);
    }
    R.primitives.push_back(p);
}
}

namespace {

// The normal and texture coordinate the application left current: GLU's
// vertices without their own take these.
const GLfloat StartNormal[3] = {0.25f, -0.5f, 0.75f};
const GLfloat StartTexCoord[2] = {0.3f, 0.7f};

// The client arrays are GL state, which outlives a recording.
void reset_recorder() {
    const ClientArray arrays[4] = {R.colours, R.normals, R.texCoords, R.positions};
    R = Recorder{};
    R.colours = arrays[0], R.normals = arrays[1], R.texCoords = arrays[2], R.positions = arrays[3];
    for (int i = 0; i < 3; ++i) R.current.normal[i] = StartNormal[i];
    R.current.texCoord[0] = StartTexCoord[0];
    R.current.texCoord[1] = StartTexCoord[1];
}

struct Settings {
    GLenum normals;
    bool texture;
    int slices, stacks;
    std::string name() const {
        std::string n = normals == GLU_SMOOTH ? "smooth" : normals == GLU_FLAT ? "flat" : "no normals";
        n += texture ? ", textured" : ", untextured";
        return n + ", " + std::to_string(slices) + " x " + std::to_string(stacks);
    }
};

std::vector<Primitive> mesa_sphere(const Settings& s, double radius, GLfloat* finalNormal) {
    reset_recorder();
    GLUquadric* q = gluNewQuadric();
    gluQuadricNormals(q, s.normals);
    gluQuadricTexture(q, s.texture ? GL_TRUE : GL_FALSE);
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
    for (const Primitive& p : layer)
        for (const RecordedVertex& v : p.vertices) EXPECT_EQ(v.sent, p.vertices[0].sent) << "one layout a primitive";
}

// The reflecting spheres' quadric: smooth normals, texture coordinates on,
// radius 1.1, 20 slices and 20 stacks; and the same at GLU's bounds, the
// fewest stacks and more slices than its cache holds (cut to 239).
TEST(WebQuadric, ShowSphereMatchesMesaGlu) {
    expect_same_sphere({GLU_SMOOTH, true, 20, 20}, 1.1);
    expect_same_sphere({GLU_SMOOTH, true, 3, 1}, 1.0);
    expect_same_sphere({GLU_SMOOTH, true, 300, 3}, 0.5);
}

// The layer draws the show's configuration alone: another draws nothing.
TEST(WebQuadric, OtherConfigurationsDrawNothing) {
    GLfloat normal[3];
    for (const Settings& s : {Settings{GLU_FLAT, true, 7, 4}, Settings{GLU_SMOOTH, false, 7, 4}}) {
        SCOPED_TRACE(s.name());
        EXPECT_TRUE(layer_sphere(s, 2.5, normal).empty());
    }
}

// The grids draw each quad as a glBegin/glEnd pair of its own: the layer
// draws a run of them as one array, until any other call, a primitive of
// another kind, or a strip (strips never run on). Nothing goes to the GL
// while a run gathers: in the browser a call per vertex is what costs.
TEST(WebStream, RunsOfPrimitivesGoDownAsOneDraw) {
    compat_flush();
    reset_recorder();
    auto quads = [](int count, int first = 0) {
        for (int q = first; q < first + count; ++q) {
            compat_glBegin(GL_QUADS);
            for (int k = 0; k < 4; ++k) {
                compat_glTexCoord2f(float(q), float(k));
                compat_glVertex3f(float(q), float(k), 0);
            }
            compat_glEnd();
        }
    };
    auto strip = [] {
        compat_glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k < 4; ++k) compat_glVertex3f(float(k), 0, 1);
        compat_glEnd();
    };
    quads(5);
    compat_glEnable(GL_TEXTURE_GEN_T);  // the layer's own state: the run goes on
    compat_glDisable(GL_TEXTURE_GEN_T);
    quads(1, 5);
    EXPECT_EQ(R.calls, 0) << "no call while a run gathers";
    compat_glTranslatef(1, 0, 0);  // anything else ends it first
    EXPECT_EQ(R.primitives.size(), 1u);
    quads(2);
    strip();
    strip();
    compat_flush();
    ASSERT_EQ(R.primitives.size(), 4u);
    EXPECT_EQ(R.primitives[0].mode, GLenum(GL_QUADS));
    EXPECT_EQ(R.primitives[0].vertices.size(), 24u);
    EXPECT_EQ(R.primitives[1].mode, GLenum(GL_QUADS));
    EXPECT_EQ(R.primitives[1].vertices.size(), 8u);
    EXPECT_EQ(R.primitives[2].mode, GLenum(GL_TRIANGLE_STRIP));
    EXPECT_EQ(R.primitives[3].vertices.size(), 4u);
    EXPECT_EQ(R.primitives[3].vertices[0].sent, 0u) << "the strip had no texture coordinates";
    for (int q = 0; q < 6; ++q)
        for (int k = 0; k < 4; ++k) {
            const RecordedVertex& v = R.primitives[0].vertices[size_t(q * 4 + k)];
            EXPECT_EQ(v.position[0], float(q));
            EXPECT_EQ(v.texCoord[1], float(k));
        }

    // A run holds whole primitives up to its limit, then a new one begins:
    // 64,000 vertices are two draws and a handful of calls.
    reset_recorder();
    quads(16000);
    compat_flush();
    ASSERT_EQ(R.primitives.size(), 2u);
    EXPECT_EQ(R.primitives[0].vertices.size() % 12, 0u);
    EXPECT_EQ(R.primitives[0].vertices.size() + R.primitives[1].vertices.size(), 64000u);
    EXPECT_EQ(R.primitives[1].vertices.back().position[0], 15999.0f);
    EXPECT_LE(R.calls, 20);
}

// OpenGL keeps current values; the browser's emulation keeps none inside a
// primitive. Every vertex goes with every attribute of its primitive, the
// ones not given again at their current values, and the colour given last
// inside a primitive is current after it.
TEST(WebStream, EveryVertexCarriesTheCurrentValues) {
    compat_flush();
    reset_recorder();
    compat_glBegin(GL_TRIANGLES);
    compat_glNormal3f(0, 1, 0);
    compat_glTexCoord2f(0.25f, 0.5f);
    compat_glVertex3f(0, 0, 0);
    compat_glVertex3f(1, 0, 0);
    compat_glTexCoord2f(0.75f, 0.5f);
    compat_glVertex3f(0, 1, 0);
    compat_glEnd();
    // A mesh object without texture: colours per vertex, a new attribute, so a new primitive.
    compat_glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; ++k) {
        compat_glNormal3f(1, 0, 0);
        compat_glColor3ub(255, 128, GLubyte(k * 100));
        compat_glVertex3f(float(k), 2, 0);
    }
    compat_glEnd();
    compat_flush();
    ASSERT_EQ(R.primitives.size(), 2u);
    const std::vector<RecordedVertex>& first = R.primitives[0].vertices;
    ASSERT_EQ(first.size(), 3u);
    for (const RecordedVertex& v : first) {
        EXPECT_EQ(v.sent, unsigned(SentNormal | SentTexCoord));
        EXPECT_EQ(v.normal[1], 1.0f);
    }
    EXPECT_EQ(first[1].texCoord[0], 0.25f) << "the second vertex keeps the current coordinate";
    EXPECT_EQ(first[2].texCoord[0], 0.75f);
    const std::vector<RecordedVertex>& second = R.primitives[1].vertices;
    ASSERT_EQ(second.size(), 3u);
    for (const RecordedVertex& v : second) EXPECT_EQ(v.sent, unsigned(SentColour | SentNormal));
    EXPECT_EQ(second[2].colour[2], 200 / 255.0f);
    ASSERT_FALSE(R.looseColours.empty()) << "no current colour after the primitive";
    EXPECT_EQ(R.looseColours.back(), (std::vector<GLfloat>{1.0f, 128 / 255.0f, 200 / 255.0f, 1.0f}));
}

}  // namespace
