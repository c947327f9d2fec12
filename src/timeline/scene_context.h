#pragma once
// The show's shared resources as every scene routine receives them, and the
// fixed indices that tie table entries, grids and model slots to scenes.
#include <cstdint>

#include "models/model.h"
#include "textures/targa.h"
#include "timeline/media_table.h"

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

constexpr int TextureTableSize = 99;
constexpr int TargetTextureCount = 10;
constexpr int ModelSlotCount = 7;
constexpr int ModelTextureCount = ModelSlotCount * MaterialsPerModel;

// A grid: 45 by 45 points of (x, y, z) floats, point (i, j) at float 135 i + 3 j.
constexpr int GridSide = 45;
constexpr int GridFloats = GridSide * GridSide * 3;            // 6075
constexpr int GridBytes = GridFloats * 4;                      // 24300
constexpr int VertexGridCount = 11;
constexpr int SharedBufferBytes = 53600;
constexpr int SharedBufferFloats = SharedBufferBytes / 4;      // grid, then the height table

inline int grid_index(int i, int j) { return 135 * i + 3 * j; }

// The eight arguments of every scene routine, in their fixed order, and
// where the frame stands in the show's motion beside its whole frame number.
// Continuous motion (turns, drifts, waves, paths) is evaluated at `position`;
// what moves in whole steps (every fifth frame, every second frame) steps on
// `frame`; a distance moved a fixed amount each frame moves it `step` times.
// At a whole position every expression comes to the frame count's value:
// where a scene took the frame as a float it takes float(position), where as
// a double the position itself.
struct SceneContext {
    TargaTexture* textureTable;     // 99 entries
    uint32_t* targetTextureTable;   // 10 render-target texture names
    int32_t frame;                  // the position truncated towards zero (FrameCounter, counted per frame)
    float* vertexGrid;              // one VertexGrid, chosen per call
    float* sharedBuffer;            // 53600 bytes: grid, then HeightTable
    ModelLoader* modelLoader;       // 7 reader records
    Model* modelTable;              // 7 model slots
    uint32_t* modelTextureTable;    // 7 x 100 texture names, slot s material m at 100 s + m
    double position;                // sixtieths of a second since the clock started; 0 in start-ups
    double step;                    // positions since the frame before; 1 at 60 frames a second
};

using SceneRoutine = void (*)(const SceneContext&);

static_assert(TextureFileCount <= TextureTableSize && ModelFileCount <= ModelSlotCount,
              "every media slot must have a table entry");
