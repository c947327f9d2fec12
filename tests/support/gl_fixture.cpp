#include "support/gl_fixture.h"

#include <GL/gl.h>

#include <string>

#include "platform/offscreen.h"

namespace {
bool Ready = false;
std::string Error;
}  // namespace

void GlTest::SetUpTestSuite() {
    if (!Ready) Ready = platform::open_offscreen_context(800, 600, &Error);
}

void GlTest::SetUp() {
    ASSERT_TRUE(Ready) << "offscreen GL context: " << Error;
    while (glGetError() != GL_NO_ERROR) {}
}

std::vector<uint8_t> GlTest::read_pixels(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
