#pragma once
// Scenes on the offscreen context: the show's tables held by the test, a media
// folder of small solid-colour Targa files under the show's names, and the
// starting drawing state of the show.
#include <GL/gl.h>

#include <string>
#include <vector>

#include "support/gl_fixture.h"
#include "timeline/scene_context.h"

struct Rgba { uint8_t r, g, b, a; };

class SceneTest : public GlTest {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;     // fresh tables, the show's drawing state, media folder current
    void TearDown() override;  // back to the folder the tests started in

    SceneContext context(int frame, int grid);
    // The start-ups of the three scenes in the show's order.
    void start_scenes();

    static GLint integer(GLenum which);
    static std::vector<GLfloat> floats(GLenum which, int count);
    // Pixels whose colour differs from opaque or transparent black.
    static size_t lit_pixels(const std::vector<uint8_t>& rgba);

    std::vector<TargaTexture> textures_;
    std::vector<uint32_t> targets_;
    std::vector<std::vector<float>> grids_;
    std::vector<float> shared_;
    std::vector<ModelLoader> loaders_;
    std::vector<Model> models_;
    std::vector<uint32_t> modelTextures_;

    // The colours of the test media.
    static const Rgba Velvet, Lights, Envi, Zu, Sight, Flog;
    static std::string MediaDir;

private:
    std::string startDir_;
};
