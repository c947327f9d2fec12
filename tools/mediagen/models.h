#pragma once
// The show's five meshes, each shaped and sized for where its scene puts it.
#include <vector>

#include "tds.h"
#include "timeline/media_table.h"

struct ModelRecipe {
    ModelSlot slot;     // the table slot the show loads it into, and so its file
    TdsScene (*build)();
};
const std::vector<ModelRecipe>& model_recipes();

// Bounding box of every mesh object's points, in the show's axes.
Bounds scene_bounds(const TdsScene& scene);
size_t scene_triangles(const TdsScene& scene);
