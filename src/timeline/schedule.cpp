// One frame of the show: clear, the scene of the current second, present.
#include <GL/gl.h>

#include <cstdlib>

#include "platform/platform.h"
#include "scenes/scenes.h"
#include "timeline/demo.h"

ScheduleRow Schedule[ScheduleRowCount] = {
    {0, 19, rippling_box_render, 9},
    {20, 26, collage_sheet_render, 2},
    {27, 53, funnel_sheets_render, 3},
    {54, 67, reflecting_spheres_render, 5},
    {68, 79, counter_meshes_render, 4},
    {80, 99, blob_sheet_render, 6},
    {100, 119, blob_sheet_render, 7},
    {120, 139, reflecting_spheres_render, 4},
    {140, 159, tunnel_render, 4},
    {160, 219, twin_bowls_render, 7},
    // 220 to 225: the cleared frame alone.
};

namespace {
FramePresenter Present = platform::swap_buffers;
}

void set_frame_presenter(FramePresenter present) { Present = present ? present : platform::swap_buffers; }

void draw_frame() {
    // Whatever clear colour is current; matrices and viewport stay as the last frame left them.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    run_schedule();
    Present();
}

void run_schedule() {
    update_clock();
    const int32_t s = elapsed_seconds();
    for (const ScheduleRow& row : Schedule)
        if (s >= row.first && s <= row.last) row.render(scene_context(row.grid));
    if (s > LastSecond) std::exit(0);  // the blank frame of second 225 stays on screen
    FrameCounter += 1.0f;
}
