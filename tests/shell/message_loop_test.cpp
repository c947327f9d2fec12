// The window procedure and the idle loop, without a window.
#include <GL/gl.h>

#include "platform/platform.h"
#include "shell/shell.h"
#include "support/gl_fixture.h"
#include "timeline/demo.h"

namespace {

class MessageLoop : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        FullScreen = false;
        resize_gl_view(800, 600);
    }
    void TearDown() override { resize_gl_view(800, 600); }
    static GLint viewport_width() {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        return viewport[2];
    }
};

TEST_F(MessageLoop, AQuitRequestedDuringStartupEndsTheLoopBeforeAnyFrame) {
    float before = FrameCounter;
    platform::post_quit(1);  // as after "Display Mode Not Compatible"
    EXPECT_EQ(run_message_loop(false), 1);
    EXPECT_FLOAT_EQ(FrameCounter, before);
}

platform::Event key_down(int key) {
    platform::Event event;
    event.type = platform::EventType::KeyDown;
    event.key = key;
    return event;
}

platform::Event resized(int width, int height) {
    platform::Event event;
    event.type = platform::EventType::Resize;
    event.width = width;
    event.height = height;
    return event;
}

TEST_F(MessageLoop, EscapeShutsDownAndOtherKeysAreSwallowed) {
    float before = FrameCounter;
    dispatch_event(key_down('A'));
    EXPECT_EQ(window_proc(WM_KEYDOWN, key_down(platform::KeyEscape)), 0);
    EXPECT_EQ(run_message_loop(false), 0);
    EXPECT_FLOAT_EQ(FrameCounter, before);
}

TEST_F(MessageLoop, ShutdownTwiceReleasesNothingTwiceAndStillQuits) {
    RenderContext = true;
    kill_gl_window();
    EXPECT_FALSE(RenderContext);
    kill_gl_window();
    EXPECT_EQ(run_message_loop(false), 0);
}

TEST_F(MessageLoop, SizeEventsResizeTheViewInAWindowOnly) {
    dispatch_event(resized(400, 600));
    EXPECT_EQ(viewport_width(), 400);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0] / projection[5], 1.5, 1e-5);  // aspect two thirds

    resize_gl_view(800, 600);
    FullScreen = true;
    dispatch_event(resized(400, 600));
    EXPECT_EQ(viewport_width(), 800);
    FullScreen = false;
}

}  // namespace

namespace {

// No surface: the start-up runs all the same (its GL calls go nowhere; the
// meshes missing from this folder are told in boxes after the pixel format's)
// and the clock starts, then the loop ends before any frame.
TEST_F(MessageLoop, NoPixelFormatIsReportedAndStartupStillRunsThenTheLoopQuitsWithOne) {
    platform::RecordingMessageSink boxes;
    platform::set_message_sink(&boxes);
    platform::mute_music();
    reset_demo();
    float before = FrameCounter;

    setup_gl_context(800, 600);  // no window here, so no pixel format either

    platform::set_message_sink(nullptr);
    ASSERT_GT(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "ChoosePixelFormat failed");
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(boxes.boxes[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(boxes.boxes[1].text, "Unable to find the file: yeah.3ds!") << "the start-up did not run";
    EXPECT_NE(ClockStart, 0) << "the clock did not start";
    EXPECT_EQ(run_message_loop(false), 1);
    EXPECT_FLOAT_EQ(FrameCounter, before);
}

}  // namespace
