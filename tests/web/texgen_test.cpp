// The web layer's sphere mapping against Mesa's fixed pipeline: the same
// vertices, once with the layer computing s and t and once with the pipeline's
// own generation, read back through feedback mode.
#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <vector>

#include "platform/web/gl_compat.h"
#include "support/gl_fixture.h"

namespace {

struct Texel {
    float s, t;
};

// Runs the drawing in feedback mode and returns every vertex's texture
// coordinate, whatever primitives it was reported in.
std::vector<Texel> feedback_texcoords(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    compat_flush();  // the layer's last run of primitives
    GLint used = glRenderMode(GL_RENDER);
    std::vector<Texel> out;
    const int vertexFloats = 3 + 4 + 4;  // window x, y, z; colour; s, t, r, q
    auto take_vertices = [&](GLint& i, int count) {
        for (int k = 0; k < count; ++k, i += vertexFloats) out.push_back({buffer[size_t(i) + 7], buffer[size_t(i) + 8]});
    };
    for (GLint i = 0; i < used;) {
        GLint token = GLint(buffer[size_t(i++)]);
        if (token == GL_POINT_TOKEN) {
            take_vertices(i, 1);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            take_vertices(i, 2);
        } else if (token == GL_POLYGON_TOKEN) {
            int count = int(buffer[size_t(i++)]);
            take_vertices(i, count);
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

struct Placement {
    const char* name;
    std::function<void()> apply;
};

// Modelviews the scenes use and some they do not: a pure translation, the
// mesh placements of the reflecting spheres and the counter-rotating meshes,
// and a non-uniform scale that only a true inverse transpose gets right.
std::vector<Placement> placements() {
    return {
        {"translation", [] { glTranslatef(0.5f, -0.3f, -6.0f); }},
        {"spheres scene",
         [] {
             glTranslatef(0.0f, float(12 * std::sin(0.0035 * 700) - 25), float(20 * std::sin(0.002 * 700) - 40));
             glRotatef(float(220 * std::sin(0.0035 * 700)), 0, 1, 0);
         }},
        {"counter meshes",
         [] {
             glTranslatef(0, -10, -80);
             glRotatef(-50, 0, 1, 0);
             glRotatef(0.09f * 4321, 1, 1, 1);
         }},
        {"scaled",
         [] {
             glTranslatef(1, 2, -9);
             glRotatef(35, 0.3f, 1, 0.2f);
             glScalef(2.0f, 0.5f, 1.5f);
         }},
    };
}

struct Normal {
    float x, y, z;
};
// Unit normals in several directions, and two that are not unit length:
// the fixed pipeline does not normalize them (GL_NORMALIZE stays off).
const Normal Normals[] = {{0, 0, 1}, {0.6f, 0, 0.8f}, {-0.267f, 0.534f, -0.802f}, {0.3f, -1.2f, 2.0f}, {0, 0.25f, 0}};
const float Points[][3] = {{0, 0, 0}, {1, -0.5f, 0.3f}, {-0.7f, 0.8f, -0.2f}, {0.2f, 0.4f, 1.1f}};
const Texel Given = {0.123f, 0.456f};  // nothing the sphere map gives for these points

class TexgenTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        // Nothing is clipped away, so both runs report every vertex.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-500, 500, -500, 500, -500, 500);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_NORMALIZE);
        // Mesa generates coordinates only for a unit with a complete texture.
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        const GLubyte white[4] = {255, 255, 255, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glEnable(GL_TEXTURE_2D);
        set_generation(false, false);
    }
    void TearDown() override {
        set_generation(false, false);
        glDeleteTextures(1, &texture_);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // Both the layer's switches and the real pipeline's, off or on together;
    // the real one only generates in the reference runs.
    static void set_generation(bool s, bool t) {
        compat_flush();  // the real calls below may not land inside a run
        compat_glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        compat_glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        s ? compat_glEnable(GL_TEXTURE_GEN_S) : compat_glDisable(GL_TEXTURE_GEN_S);
        t ? compat_glEnable(GL_TEXTURE_GEN_T) : compat_glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
    static void real_generation(bool s, bool t) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        s ? glEnable(GL_TEXTURE_GEN_S) : glDisable(GL_TEXTURE_GEN_S);
        t ? glEnable(GL_TEXTURE_GEN_T) : glDisable(GL_TEXTURE_GEN_T);
    }

    static void expect_same(const std::vector<Texel>& layer, const std::vector<Texel>& mesa, const char* what) {
        ASSERT_EQ(layer.size(), mesa.size()) << what;
        ASSERT_FALSE(mesa.empty()) << what;
        for (size_t i = 0; i < mesa.size(); ++i) {
            // Float rounding: the pipeline runs the same arithmetic in its own order.
            EXPECT_NEAR(layer[i].s, mesa[i].s, 2e-6) << what << ", vertex " << i;
            EXPECT_NEAR(layer[i].t, mesa[i].t, 2e-6) << what << ", vertex " << i;
        }
    }

    GLuint texture_ = 0;
};

// Every placement, every normal, s alone, t alone and both: the generated
// coordinates equal the pipeline's, and the one not generated keeps the
// application's value.
TEST_F(TexgenTest, SphereMapMatchesFixedPipeline) {
    const bool switches[][2] = {{true, true}, {true, false}, {false, true}};
    for (const Placement& placement : placements())
        for (const auto& on : switches) {
            SCOPED_TRACE(std::string(placement.name) + (on[0] ? " S" : "") + (on[1] ? " T" : ""));
            glLoadIdentity();
            placement.apply();
            auto points = [&](void (*begin)(GLenum), void (*normal)(GLfloat, GLfloat, GLfloat),
                              void (*texCoord)(GLfloat, GLfloat), void (*vertex)(GLfloat, GLfloat, GLfloat),
                              void (*end)()) {
                begin(GL_POINTS);
                for (const Normal& n : Normals)
                    for (const auto& p : Points) {
                        normal(n.x, n.y, n.z);
                        texCoord(Given.s, Given.t);
                        vertex(p[0], p[1], p[2]);
                    }
                end();
            };
            set_generation(on[0], on[1]);
            std::vector<Texel> layer = feedback_texcoords([&] {
                points(compat_glBegin, compat_glNormal3f, compat_glTexCoord2f, compat_glVertex3f, compat_glEnd);
            });
            real_generation(on[0], on[1]);
            std::vector<Texel> mesa = feedback_texcoords([&] { points(glBegin, glNormal3f, glTexCoord2f, glVertex3f, glEnd); });
            set_generation(false, false);
            expect_same(layer, mesa, "points");

            // The generated coordinates really are generated.
            int moved = 0;
            for (const Texel& t : mesa) moved += (on[0] && t.s != Given.s) + (on[1] && t.t != Given.t);
            EXPECT_GT(moved, int(mesa.size()) / 2);
            for (const Texel& t : layer) {
                if (!on[0]) {
                    EXPECT_EQ(t.s, Given.s);
                }
                if (!on[1]) {
                    EXPECT_EQ(t.t, Given.t);
                }
            }
        }
}

// The grids send no normals: their vertices take the normal last given, in
// another primitive or outside any, possibly frames earlier. The twin bowls
// generate t alone for a grid of quads.
TEST_F(TexgenTest, GridsTakeTheNormalLastGiven) {
    auto draw = [](void (*begin)(GLenum), void (*normal)(GLfloat, GLfloat, GLfloat),
                   void (*texCoord)(GLfloat, GLfloat), void (*vertex)(GLfloat, GLfloat, GLfloat), void (*end)(),
                   const std::function<void(bool, bool)>& generation) {
        glLoadIdentity();
        glTranslatef(2, 0, -4);
        glRotatef(73, 0.2f, 0, 1);
        generation(false, false);
        begin(GL_TRIANGLES);  // a mesh's last vertex leaves its normal current
        for (int k = 0; k < 3; ++k) {
            normal(0.48f, -0.6f, 0.64f);
            texCoord(0.25f * k, 0.5f);
            vertex(float(k), 1, 0);
        }
        end();
        generation(false, true);
        for (int quad = 0; quad < 3; ++quad) {
            begin(GL_QUADS);
            texCoord(0.1f * quad, 0.2f), vertex(-1.0f + quad, -1, 0.3f * quad);
            texCoord(0.1f * quad, 0.3f), vertex(-1.0f + quad, 0, 0.1f);
            texCoord(0.1f * quad + 0.1f, 0.3f), vertex(0.0f + quad, 0, -0.2f);
            texCoord(0.1f * quad + 0.1f, 0.2f), vertex(0.0f + quad, -1, 0);
            end();
        }
        // A normal given between primitives is current for the next one.
        normal(-0.8f, 0, 0.6f);
        generation(true, true);
        begin(GL_QUADS);
        texCoord(0, 0), vertex(-2, -2, 0);
        texCoord(1, 0), vertex(2, -2, 0);
        texCoord(1, 1), vertex(2, 2, 0);
        texCoord(0, 1), vertex(-2, 2, 0);
        end();
        generation(false, false);
    };
    auto layerSwitch = [](bool s, bool t) { set_generation(s, t); };
    auto realSwitch = [](bool s, bool t) { real_generation(s, t); };
    std::vector<Texel> layer = feedback_texcoords(
        [&] { draw(compat_glBegin, compat_glNormal3f, compat_glTexCoord2f, compat_glVertex3f, compat_glEnd, layerSwitch); });
    std::vector<Texel> mesa =
        feedback_texcoords([&] { draw(glBegin, glNormal3f, glTexCoord2f, glVertex3f, glEnd, realSwitch); });
    expect_same(layer, mesa, "mesh, grid of quads with t generated, quad after a loose normal");

    // The layer keeps its switches to itself: the real pipeline generates nothing.
    compat_glEnable(GL_TEXTURE_GEN_S);
    EXPECT_TRUE(compat_glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(compat_glIsEnabled(GL_TEXTURE_GEN_T));
}

}  // namespace
