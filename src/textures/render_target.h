#pragma once
// Render-to-texture: a picture drawn into the lower-left corner of the back
// buffer, copied into an entry of the TargetTextureTable, then wiped.
//
// A pass: begin_target_pass(s, s); draw; end_target_pass(table, s, s, n);
// later in the frame bind_target(table, n) and draw with the capture. The
// projection is not changed for the pass, so the 4:3 view is squeezed into the
// square.
#include <cstdint>

// A blank size by size texture of `components` components and pixel `format`
// into table[index], linear-filtered; stays bound. An earlier name in the
// entry is replaced, its texture not deleted.
void create_target(uint32_t* table, int size, int components, unsigned format, int index);

// Pushes the current (modelview) matrix, narrows the viewport to width by
// height at the lower-left corner, and makes the clear colour opaque black for
// the rest of the run. Does not clear: the frame was cleared before it.
void begin_target_pass(int width, int height);

// Copies the lower-left width by height pixels into table[index] (which takes
// that size), clears colour and depth, restores the 800 by 600 viewport and
// pops the matrix. The capture stays bound.
void end_target_pass(uint32_t* table, int width, int height, int index);

void bind_target(const uint32_t* table, int index);
