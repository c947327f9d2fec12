#pragma once
// The show's scenes, one row each: the only list of them. The schedule and the
// start-up order are read from it, and so is every tool, bench and test that
// names a scene or its seconds.
#include <array>
#include <cstdint>
#include <string>

#include "scenes/scenes.h"
#include "timeline/scene_context.h"

// One stretch of seconds in which a scene is drawn.
struct Showing {
    int32_t first, last;  // inclusive range of elapsed seconds
    int grid;             // the VertexGrid its render routine receives
};

struct SceneEntry {
    const char* name;
    SceneRoutine startup;
    int startupGrid;       // the VertexGrid its start-up receives
    int startupStep;       // its place in the start-up order, from 0
    SceneRoutine render;   // the same routine for every showing
    int showingCount;
    Showing showings[2];
};

// In the order the show first draws them. The opening scene starts up last, so
// that its start-up can run once more right after the clock starts.
inline constexpr SceneEntry SceneTable[] = {
    {"rippling box", rippling_box_startup, 9, 7, rippling_box_render, 1, {{0, 19, 9}}},
    {"collage sheet", collage_sheet_startup, 2, 0, collage_sheet_render, 1, {{20, 26, 2}}},
    {"funnel sheets", funnel_sheets_startup, 3, 1, funnel_sheets_render, 1, {{27, 53, 3}}},
    // The second showing draws over grid 4, which the tunnel reads afterwards.
    {"reflecting spheres", reflecting_spheres_startup, 4, 2, reflecting_spheres_render, 2, {{54, 67, 5}, {120, 139, 4}}},
    {"counter meshes", counter_meshes_startup, 5, 3, counter_meshes_render, 1, {{68, 79, 4}}},
    {"blob sheet", blob_sheet_startup, 6, 4, blob_sheet_render, 2, {{80, 99, 6}, {100, 119, 7}}},
    {"tunnel", tunnel_startup, 7, 5, tunnel_render, 1, {{140, 159, 4}}},
    {"twin bowls", twin_bowls_startup, 8, 6, twin_bowls_render, 1, {{160, 219, 7}}},
    // 220 to 225: the cleared frame alone; the first frame past 225 ends the show.
};
constexpr int SceneCount = int(sizeof SceneTable / sizeof SceneTable[0]);
constexpr int32_t LastSecond = 225;

constexpr int count_showings() {
    int n = 0;
    for (const SceneEntry& scene : SceneTable) n += scene.showingCount;
    return n;
}
constexpr int ShowingCount = count_showings();

// A showing as the schedule holds it: which scene, which of its showings.
struct ScheduleRow {
    int32_t first, last;  // inclusive range of elapsed seconds
    SceneRoutine render;
    int grid;
    int scene;            // index into SceneTable
    int showing;          // index into that scene's showings
};

// Every showing in the order of its seconds.
constexpr std::array<ScheduleRow, ShowingCount> schedule_from_table() {
    std::array<ScheduleRow, ShowingCount> rows{};
    int n = 0;
    for (int s = 0; s < SceneCount; ++s)
        for (int k = 0; k < SceneTable[s].showingCount; ++k) {
            const Showing& show = SceneTable[s].showings[k];
            int at = n++;
            for (; at > 0 && rows[at - 1].first > show.first; --at) rows[at] = rows[at - 1];
            rows[at] = ScheduleRow{show.first, show.last, SceneTable[s].render, show.grid, s, k};
        }
    return rows;
}

// The seconds at which the picture cuts to another scene, in order: 0, each
// showing whose scene differs from the one before, the blank end after the
// last showing, and the second that ends the show. The tune changes section
// on these.
constexpr int count_cuts() {
    const auto rows = schedule_from_table();
    int n = 1;
    for (int r = 1; r < ShowingCount; ++r) n += rows[r].scene != rows[r - 1].scene;
    return n + 2;
}
constexpr int CutCount = count_cuts();
constexpr std::array<int32_t, CutCount> scene_cuts() {
    const auto rows = schedule_from_table();
    std::array<int32_t, CutCount> cuts{};
    int n = 0;
    cuts[n++] = rows[0].first;
    for (int r = 1; r < ShowingCount; ++r)
        if (rows[r].scene != rows[r - 1].scene) cuts[n++] = rows[r].first;
    cuts[n++] = rows[ShowingCount - 1].last + 1;
    cuts[n++] = LastSecond + 1;
    return cuts;
}

// The start-up routines in the order they run.
struct StartupStep {
    SceneRoutine startup;
    int grid;
};
constexpr std::array<StartupStep, SceneCount> startup_order_from_table() {
    std::array<StartupStep, SceneCount> steps{};
    for (const SceneEntry& scene : SceneTable) steps[scene.startupStep] = StartupStep{scene.startup, scene.startupGrid};
    return steps;
}

// What the table must hold for the show to be the show: every start-up step
// taken once, grids that exist, showings inside the show that never overlap.
constexpr bool table_holds() {
    bool stepTaken[SceneCount] = {};
    for (const SceneEntry& scene : SceneTable) {
        if (scene.startupStep < 0 || scene.startupStep >= SceneCount || stepTaken[scene.startupStep]) return false;
        stepTaken[scene.startupStep] = true;
        if (scene.startupGrid < 0 || scene.startupGrid >= VertexGridCount) return false;
        if (scene.showingCount < 1 || scene.showingCount > 2) return false;
    }
    const auto rows = schedule_from_table();
    for (int r = 0; r < ShowingCount; ++r) {
        if (rows[r].first < 0 || rows[r].last < rows[r].first || rows[r].last > LastSecond) return false;
        if (rows[r].grid < 0 || rows[r].grid >= VertexGridCount) return false;
        if (r > 0 && rows[r].first <= rows[r - 1].last) return false;
    }
    return true;
}
static_assert(table_holds(), "the scene table must give each start-up one step and each second one scene");

// "blob sheet", or "blob sheet 2" for a scene's second showing.
std::string showing_name(const ScheduleRow& row);
