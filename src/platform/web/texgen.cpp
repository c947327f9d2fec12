// Sphere-map texture coordinate generation on the CPU, for a GL without it.
//
// The layer keeps the state that generation reads (which of s and t are
// generated and how, the current texture coordinate, the current normal) and
// watches the immediate-mode calls. Inside glBegin/glEnd a generated vertex is
// sent with an explicit texture coordinate in place of the application's; the
// coordinate that is not generated keeps the application's current value.
// Texture coordinates and normals given outside a primitive are only recorded:
// the browser's emulation would write them into the next vertex.
#include <cmath>

#include "platform/web/gl_compat.h"

namespace {

struct GenerationState {
    bool enabled[2] = {false, false};          // GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T
    GLint mode[2] = {GL_EYE_LINEAR, GL_EYE_LINEAR};  // OpenGL's initial mode
    GLfloat texCoord[2] = {0.0f, 0.0f};        // current s, t
    GLfloat normal[3] = {0.0f, 0.0f, 1.0f};    // current normal, kept across primitives and frames
    bool inPrimitive = false;
    bool generating[2] = {false, false};       // for the primitive under way
    GLfloat modelview[16] = {};                // column-major, read at glBegin
    GLfloat normalMatrix[9] = {};              // inverse transpose of the modelview's upper 3 x 3, row-major
};
GenerationState G;

int coordinate_of_cap(GLenum cap) {
    if (cap == GL_TEXTURE_GEN_S) return 0;
    if (cap == GL_TEXTURE_GEN_T) return 1;
    return -1;
}

bool generates_any() { return G.generating[0] || G.generating[1]; }

// Normals go to eye space by the inverse transpose of the modelview's linear
// part. A singular matrix leaves every normal at zero, so u itself reflects.
void load_normal_matrix() {
    const GLfloat* m = G.modelview;
    // a[row][column] of the upper 3 x 3; column-major storage m[column * 4 + row].
    double a[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = m[c * 4 + r];
    double cof[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cof[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    double det = a[0][0] * cof[0][0] + a[0][1] * cof[0][1] + a[0][2] * cof[0][2];
    // inverse = cofactor transpose / det, so inverse transpose = cofactor / det.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) G.normalMatrix[r * 3 + c] = det != 0.0 ? GLfloat(cof[r][c] / det) : 0.0f;
}

// The fixed pipeline's sphere map: u is the unit vector from the eye to the
// vertex, n the eye-space normal as given (not normalized unless GL_NORMALIZE
// is on, which the show never turns on), r = u - 2 n (n.u),
// m = 2 sqrt(rx^2 + ry^2 + (rz + 1)^2), s = rx / m + 1/2, t = ry / m + 1/2.
void sphere_map(GLfloat x, GLfloat y, GLfloat z, GLfloat* s, GLfloat* t) {
    const GLfloat* m = G.modelview;
    GLfloat ex = m[0] * x + m[4] * y + m[8] * z + m[12];
    GLfloat ey = m[1] * x + m[5] * y + m[9] * z + m[13];
    GLfloat ez = m[2] * x + m[6] * y + m[10] * z + m[14];
    GLfloat length2 = ex * ex + ey * ey + ez * ez;
    GLfloat inverseLength = length2 > 0.0f ? 1.0f / std::sqrt(length2) : 0.0f;
    GLfloat ux = ex * inverseLength, uy = ey * inverseLength, uz = ez * inverseLength;

    const GLfloat* q = G.normalMatrix;
    const GLfloat* n0 = G.normal;
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

}  // namespace

void compat_glEnable(GLenum cap) {
    int c = coordinate_of_cap(cap);
    if (c >= 0)
        G.enabled[c] = true;
    else if (cap != GL_TEXTURE_GEN_R && cap != GL_TEXTURE_GEN_Q)
        glEnable(cap);
}

void compat_glDisable(GLenum cap) {
    int c = coordinate_of_cap(cap);
    if (c >= 0)
        G.enabled[c] = false;
    else if (cap != GL_TEXTURE_GEN_R && cap != GL_TEXTURE_GEN_Q)
        glDisable(cap);
}

GLboolean compat_glIsEnabled(GLenum cap) {
    int c = coordinate_of_cap(cap);
    if (c >= 0) return G.enabled[c] ? GL_TRUE : GL_FALSE;
    if (cap == GL_TEXTURE_GEN_R || cap == GL_TEXTURE_GEN_Q) return GL_FALSE;
    return glIsEnabled(cap);
}

// Only the mode is kept; s and t with GL_SPHERE_MAP are generated. Other modes
// (object and eye planes) are not made here: those coordinates stay as given.
void compat_glTexGeni(GLenum coord, GLenum pname, GLint param) {
    if (pname != GL_TEXTURE_GEN_MODE) return;
    if (coord == GL_S) G.mode[0] = param;
    if (coord == GL_T) G.mode[1] = param;
}

void compat_glBegin(GLenum mode) {
    G.inPrimitive = true;
    for (int c = 0; c < 2; ++c) G.generating[c] = G.enabled[c] && G.mode[c] == GL_SPHERE_MAP;
    if (generates_any()) {
        // The modelview cannot change inside a primitive: one reading serves every vertex.
        glGetFloatv(GL_MODELVIEW_MATRIX, G.modelview);
        load_normal_matrix();
    }
    glBegin(mode);
}

void compat_glEnd() {
    G.inPrimitive = false;
    G.generating[0] = G.generating[1] = false;
    glEnd();
}

void compat_glTexCoord2f(GLfloat s, GLfloat t) {
    G.texCoord[0] = s;
    G.texCoord[1] = t;
    if (G.inPrimitive && !generates_any()) glTexCoord2f(s, t);
}

void compat_glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    G.normal[0] = x;
    G.normal[1] = y;
    G.normal[2] = z;
    if (G.inPrimitive) glNormal3f(x, y, z);
}

void compat_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (G.inPrimitive && generates_any()) {
        GLfloat s, t;
        sphere_map(x, y, z, &s, &t);
        glTexCoord2f(G.generating[0] ? s : G.texCoord[0], G.generating[1] ? t : G.texCoord[1]);
    }
    glVertex3f(x, y, z);
}

void compat_current_normal(GLfloat normal[3]) {
    for (int i = 0; i < 3; ++i) normal[i] = G.normal[i];
}

void compat_glShadeModel(GLenum mode) {
    if (mode != GL_SMOOTH) glShadeModel(mode);  // smooth is all WebGL does
}

void compat_glHint(GLenum target, GLenum mode) {
    if (target != GL_PERSPECTIVE_CORRECTION_HINT) glHint(target, mode);  // WebGL is always perspective-correct
}
