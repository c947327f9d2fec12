// One frame of the show: clear, the scene of the current second, present.
#include <GL/gl.h>

#include "platform/platform.h"
#include "timeline/demo.h"

const Showings Schedule = schedule_from_table();

std::string showing_name(const ScheduleRow& row) {
    const std::string name = SceneTable[row.scene].name;
    return row.showing == 0 ? name : name + " " + std::to_string(row.showing + 1);
}

namespace {
FramePresenter Present = platform::swap_buffers;
MotionSource Motion = nullptr;  // nullptr: the frame count
}

void set_frame_presenter(FramePresenter present) { Present = present ? present : platform::swap_buffers; }
void set_motion_source(MotionSource source) { Motion = source; }

bool draw_frame(const Showings& rows) {
    // Whatever clear colour is current; matrices and viewport stay as the last frame left them.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!run_schedule(rows)) return false;  // the blank frame of second 225 stays on screen
    Present();
    return true;
}

bool run_schedule(const Showings& rows) {
    update_clock();
    const int32_t s = elapsed_seconds();
    const FrameMotion motion = Motion ? Motion() : FrameMotion{FrameCounter, 1.0};
    for (const ScheduleRow& row : rows)
        if (s >= row.first && s <= row.last) row.render(scene_context(row.grid, motion));
    if (s > LastSecond) return false;
    FrameCounter += 1.0f;
    return true;
}
