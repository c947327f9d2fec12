// Immediate mode for a GL that draws each glBegin/glEnd pair on its own and
// has no texture coordinate generation.
//
// The layer keeps the current colour, normal and texture coordinate as OpenGL
// does and writes each vertex into its own array, with every attribute its
// primitive uses, and draws the array with one glDrawArrays: in the browser a
// call out of WebAssembly per vertex and attribute costs more than the
// drawing, while one array of interleaved vertices of equal stride is the
// emulation's fast path (one upload, one draw). A primitive the application
// opens may continue the one still pending when it is of a kind whose
// primitives stand alone (quads, triangles, points, lines) and nothing came
// between them: the grids' thousands of one-quad pairs become one draw.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "platform/web/gl_compat.h"

namespace {

enum Attribute : unsigned { Colour = 1, Normal = 2, TexCoord = 4 };

// A vertex is its colour as four bytes (as the emulation keeps colours), then
// normal, texture coordinate and position as floats, each only where its run
// carries it.
constexpr size_t MaxVertexBytes = 4 + 3 * 4 + 2 * 4 + 3 * 4;
// The emulation uploads a draw's vertices into a buffer of at most 2 MiB, and
// indexes quads by 16 bits: a run holds whole triangles and quads within both.
constexpr size_t UploadBytes = 2097152;
constexpr size_t RunLimit = UploadBytes / MaxVertexBytes / 12 * 12;
static_assert(RunLimit < 65536, "quad indices are 16 bits");

struct Layout {
    size_t stride = 0;
    size_t colour = 0, normal = 0, texCoord = 0, position = 0;  // byte offsets
};

Layout layout_of(unsigned attributes) {
    Layout l;
    if (attributes & Colour) l.colour = l.stride, l.stride += 4;
    if (attributes & Normal) l.normal = l.stride, l.stride += 3 * 4;
    if (attributes & TexCoord) l.texCoord = l.stride, l.stride += 2 * 4;
    l.position = l.stride;
    l.stride += 3 * 4;
    return l;
}

alignas(4) unsigned char Run[RunLimit * MaxVertexBytes];

struct ImmediateState {
    // Current values, as OpenGL keeps them.
    GLfloat colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    GLfloat normal[3] = {0.0f, 0.0f, 1.0f};
    GLfloat texCoord[2] = {0.0f, 0.0f};

    // Generation: GL_TEXTURE_GEN_S and GL_TEXTURE_GEN_T.
    bool genEnabled[2] = {false, false};
    GLint genMode[2] = {GL_EYE_LINEAR, GL_EYE_LINEAR};  // OpenGL's initial mode
    bool generating[2] = {false, false};  // for the application's primitive under way
    GLfloat modelview[16] = {};           // column-major
    GLfloat normalMatrix[9] = {};         // inverse transpose of the modelview's upper 3 x 3, row-major
    bool modelviewKnown = false;          // no call since it was read could have changed it

    // The application's primitive.
    bool inPrimitive = false;
    GLenum mode = GL_POINTS;
    unsigned given = 0;  // attributes given for the next vertex

    // The primitive open at the browser's GL: one or more of the application's.
    bool open = false;
    GLenum openMode = GL_POINTS;
    unsigned layout = 0;  // attributes every one of its vertices carries
    Layout bytes;         // where they lie in Run
    size_t sent = 0;      // vertices written into Run

    // The client arrays as last given to the GL: the enabled ones point into
    // Run with the layout they were given for.
    bool arraysGiven = false;
    unsigned arrays = 0;
};
ImmediateState Immediate;

// Vertices of one primitive of a kind that can run on; 0 for the others.
size_t run_unit(GLenum mode) {
    switch (mode) {
    case GL_POINTS: return 1;
    case GL_LINES: return 2;
    case GL_TRIANGLES: return 3;
    case GL_QUADS: return 4;
    default: return 0;
    }
}

// As the emulation stores a colour: clamped, scaled, cut toward zero; NaN is 0.
GLubyte colour_byte(GLfloat c) {
    if (!(c >= 0.0f)) return 0;
    if (c >= 1.0f) return 255;
    return GLubyte(double(c) * 255.0);
}

// The client arrays at the pending run's vertices in Run.
void point_arrays() {
    const unsigned attributes = Immediate.layout;
    if (Immediate.arraysGiven && Immediate.arrays == attributes) return;
    if (!Immediate.arraysGiven) glEnableClientState(GL_VERTEX_ARRAY);
    const struct {
        unsigned attribute;
        GLenum array;
    } optional[] = {{Colour, GL_COLOR_ARRAY}, {Normal, GL_NORMAL_ARRAY}, {TexCoord, GL_TEXTURE_COORD_ARRAY}};
    for (const auto& o : optional) {
        bool want = attributes & o.attribute, had = Immediate.arraysGiven && (Immediate.arrays & o.attribute);
        if (want && !had) glEnableClientState(o.array);
        if (!want && had) glDisableClientState(o.array);
    }
    const Layout& l = Immediate.bytes;
    const GLsizei stride = GLsizei(l.stride);
    if (attributes & Colour) glColorPointer(4, GL_UNSIGNED_BYTE, stride, Run + l.colour);
    if (attributes & Normal) glNormalPointer(GL_FLOAT, stride, Run + l.normal);
    if (attributes & TexCoord) glTexCoordPointer(2, GL_FLOAT, stride, Run + l.texCoord);
    glVertexPointer(3, GL_FLOAT, stride, Run + l.position);
    Immediate.arraysGiven = true;
    Immediate.arrays = attributes;
}

void close_open() {
    if (!Immediate.open) return;
    Immediate.open = false;
    // Whole primitives only: a primitive left short draws nothing in OpenGL.
    const size_t unit = run_unit(Immediate.openMode);
    const size_t count = unit ? Immediate.sent - Immediate.sent % unit : Immediate.sent;
    if (count) {
        point_arrays();
        glDrawArrays(Immediate.openMode, 0, GLsizei(count));
    }
    // A colour given inside a primitive stays current after it, as in OpenGL:
    // the GL, which saw only the array, is given it.
    if (Immediate.layout & Colour) glColor4f(Immediate.colour[0], Immediate.colour[1], Immediate.colour[2], Immediate.colour[3]);
}

// Normals go to eye space by the inverse transpose of the modelview's linear
// part. A singular matrix leaves every normal at zero, so u itself reflects.
void load_normal_matrix() {
    const GLfloat* m = Immediate.modelview;
    double a[3][3];  // a[row][column]; storage is column-major
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = m[c * 4 + r];
    double cof[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cof[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    double det = a[0][0] * cof[0][0] + a[0][1] * cof[0][1] + a[0][2] * cof[0][2];
    // inverse = cofactors transposed / det, so its transpose = cofactors / det.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) Immediate.normalMatrix[r * 3 + c] = det != 0.0 ? GLfloat(cof[r][c] / det) : 0.0f;
}

// The fixed pipeline's sphere map: u is the unit vector from the eye to the
// vertex, n the eye-space normal as given (not normalized unless GL_NORMALIZE
// is on, which the show never turns on), r = u - 2 n (n.u),
// m = 2 sqrt(rx^2 + ry^2 + (rz + 1)^2), s = rx / m + 1/2, t = ry / m + 1/2.
void sphere_map(GLfloat x, GLfloat y, GLfloat z, GLfloat* s, GLfloat* t) {
    const GLfloat* m = Immediate.modelview;
    GLfloat ex = m[0] * x + m[4] * y + m[8] * z + m[12];
    GLfloat ey = m[1] * x + m[5] * y + m[9] * z + m[13];
    GLfloat ez = m[2] * x + m[6] * y + m[10] * z + m[14];
    GLfloat length2 = ex * ex + ey * ey + ez * ez;
    GLfloat inverseLength = length2 > 0.0f ? 1.0f / std::sqrt(length2) : 0.0f;
    GLfloat ux = ex * inverseLength, uy = ey * inverseLength, uz = ez * inverseLength;

    const GLfloat* q = Immediate.normalMatrix;
    const GLfloat* n0 = Immediate.normal;
    GLfloat nx = q[0] * n0[0] + q[1] * n0[1] + q[2] * n0[2];
    GLfloat ny = q[3] * n0[0] + q[4] * n0[1] + q[5] * n0[2];
    GLfloat nz = q[6] * n0[0] + q[7] * n0[1] + q[8] * n0[2];

    GLfloat twiceNDotU = 2.0f * (nx * ux + ny * uy + nz * uz);
    GLfloat rx = ux - twiceNDotU * nx;
    GLfloat ry = uy - twiceNDotU * ny;
    GLfloat rz1 = uz - twiceNDotU * nz + 1.0f;
    GLfloat m2 = rx * rx + ry * ry + rz1 * rz1;
    // r = (0, 0, -1) has no place on the map; the centre keeps NaN out of the stream.
    GLfloat halfInverseM = m2 > 0.0f ? 0.5f / std::sqrt(m2) : 0.0f;
    *s = rx * halfInverseM + 0.5f;
    *t = ry * halfInverseM + 0.5f;
}

int coordinate_of_cap(GLenum cap) {
    if (cap == GL_TEXTURE_GEN_S) return 0;
    if (cap == GL_TEXTURE_GEN_T) return 1;
    return -1;
}

bool generation_cap(GLenum cap) { return coordinate_of_cap(cap) >= 0 || cap == GL_TEXTURE_GEN_R || cap == GL_TEXTURE_GEN_Q; }

}  // namespace

void compat_flush() {
    close_open();
    // Whatever call follows may move the modelview.
    Immediate.modelviewKnown = false;
}

void compat_glBegin(GLenum mode) {
    Immediate.inPrimitive = true;
    Immediate.mode = mode;
    Immediate.given = 0;
    for (int c = 0; c < 2; ++c) Immediate.generating[c] = Immediate.genEnabled[c] && Immediate.genMode[c] == GL_SPHERE_MAP;
    if ((Immediate.generating[0] || Immediate.generating[1]) && !Immediate.modelviewKnown) {
        close_open();  // the GL answers no question inside a primitive
        glGetFloatv(GL_MODELVIEW_MATRIX, Immediate.modelview);
        load_normal_matrix();
        Immediate.modelviewKnown = true;
    }
    // A run goes on only with whole primitives of the same kind behind it.
    const size_t unit = run_unit(mode);
    if (Immediate.open && !(unit && Immediate.openMode == mode && Immediate.sent % unit == 0)) close_open();
}

void compat_glEnd() {
    Immediate.inPrimitive = false;
    Immediate.generating[0] = Immediate.generating[1] = false;
    // Strips, fans and polygons end here; runs stay open for more of their kind.
    if (Immediate.open && !run_unit(Immediate.openMode)) close_open();
}

void compat_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!Immediate.inPrimitive) return;  // no vertex outside a primitive
    unsigned attributes = Immediate.given;
    GLfloat st[2] = {Immediate.texCoord[0], Immediate.texCoord[1]};
    if (Immediate.generating[0] || Immediate.generating[1]) {
        GLfloat s, t;
        sphere_map(x, y, z, &s, &t);
        if (Immediate.generating[0]) st[0] = s;
        if (Immediate.generating[1]) st[1] = t;
        attributes |= TexCoord;
    }
    const size_t unit = run_unit(Immediate.mode);
    if (Immediate.open && unit && Immediate.sent % unit == 0 && ((attributes & ~Immediate.layout) || Immediate.sent >= RunLimit)) {
        // A new attribute or a full run: a new browser primitive, between whole ones.
        close_open();
    }
    if (!Immediate.open) {
        Immediate.open = true;
        Immediate.openMode = Immediate.mode;
        Immediate.layout = attributes;
        Immediate.bytes = layout_of(attributes);
        Immediate.sent = 0;
    }
    Immediate.given = 0;
    // A strip longer than a run (the show draws none) ends there.
    if (Immediate.sent >= RunLimit) return;
    // Each vertex carries its primitive's attributes: those not given again
    // keep their current values, as in OpenGL. An attribute the first vertex
    // of a strip did not have cannot join it.
    unsigned char* v = Run + Immediate.sent * Immediate.bytes.stride;
    if (Immediate.layout & Colour)
        for (int i = 0; i < 4; ++i) v[Immediate.bytes.colour + size_t(i)] = colour_byte(Immediate.colour[i]);
    if (Immediate.layout & Normal) std::memcpy(v + Immediate.bytes.normal, Immediate.normal, sizeof Immediate.normal);
    if (Immediate.layout & TexCoord) std::memcpy(v + Immediate.bytes.texCoord, st, sizeof st);
    const GLfloat position[3] = {x, y, z};
    std::memcpy(v + Immediate.bytes.position, position, sizeof position);
    ++Immediate.sent;
}

void compat_glTexCoord2f(GLfloat s, GLfloat t) {
    Immediate.texCoord[0] = s;
    Immediate.texCoord[1] = t;
    if (Immediate.inPrimitive) Immediate.given |= TexCoord;
}

void compat_glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    Immediate.normal[0] = x;
    Immediate.normal[1] = y;
    Immediate.normal[2] = z;
    if (Immediate.inPrimitive) Immediate.given |= Normal;
}

void compat_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Immediate.colour[0] = r;
    Immediate.colour[1] = g;
    Immediate.colour[2] = b;
    Immediate.colour[3] = a;
    if (Immediate.inPrimitive) {
        Immediate.given |= Colour;
    } else {
        compat_flush();  // the colour of what is pending is the current one
        glColor4f(r, g, b, a);
    }
}

void compat_glColor3ub(GLubyte r, GLubyte g, GLubyte b) {
    compat_glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
}

void compat_current_normal(GLfloat normal[3]) {
    for (int i = 0; i < 3; ++i) normal[i] = Immediate.normal[i];
}

namespace {

// Generation is the layer's own state: switching it sends nothing and does
// not end a run.
void set_capability(GLenum cap, bool on) {
    int c = coordinate_of_cap(cap);
    if (c >= 0) Immediate.genEnabled[c] = on;
    if (generation_cap(cap)) return;
    compat_flush();
    on ? glEnable(cap) : glDisable(cap);
}

}  // namespace

void compat_glEnable(GLenum cap) { set_capability(cap, true); }
void compat_glDisable(GLenum cap) { set_capability(cap, false); }

GLboolean compat_glIsEnabled(GLenum cap) {
    int c = coordinate_of_cap(cap);
    if (c >= 0) return Immediate.genEnabled[c] ? GL_TRUE : GL_FALSE;
    if (generation_cap(cap)) return GL_FALSE;
    compat_flush();
    return glIsEnabled(cap);
}

// Only the mode is kept; s and t with GL_SPHERE_MAP are generated. Other modes
// (object and eye planes) are not made here: those coordinates stay as given.
void compat_glTexGeni(GLenum coord, GLenum pname, GLint param) {
    if (pname != GL_TEXTURE_GEN_MODE) return;
    if (coord == GL_S) Immediate.genMode[0] = param;
    if (coord == GL_T) Immediate.genMode[1] = param;
}
