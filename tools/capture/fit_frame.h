#pragma once
// A frame fitted into an output of another size: as large as fits, its shape
// kept, centred between black bars, filtered down by averaging (a box filter
// over the area each output pixel covers), so no edge aliases at any ratio.
#include <cstdint>
#include <vector>

// frame: frameWidth by frameHeight BGRA, bottom row first; *out becomes width
// by height BGRA in the same order, the bars opaque black.
void fit_frame(const uint8_t* frame, int frameWidth, int frameHeight, int width, int height,
               std::vector<uint8_t>* out);
