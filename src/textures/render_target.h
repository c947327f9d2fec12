#pragma once
// Render-to-texture: a picture drawn into the lower-left corner of the back
// buffer, copied into an entry of the TargetTextureTable, then wiped.
//
// A pass: begin_target_pass(s, s); draw; end_target_pass(table, s, s, n);
// later in the frame bind_target(table, n) and draw with the capture. The
// projection is not changed for the pass, so the 4:3 view is squeezed into the
// square.
//
// The frame itself may be drawn larger than the show's 800 by 600: RenderScale
// times it on each side, for a screen with more pixels. Every size here grows
// with it (the targets' textures, the passes' viewports and copies), so the
// scenes give their sizes as at 800 by 600 and draw the same picture, sharper.
#include <cstdint>

constexpr int MaxRenderScale = 4;
// 1 to MaxRenderScale, set before the scenes' start-up makes their targets;
// a value out of range is taken as 1.
void set_render_scale(int scale);
int render_scale();
int frame_width();   // the frame in pixels: RenderScale times 800 by 600
int frame_height();

// Sizes below are the scenes', at 800 by 600; each is drawn RenderScale times larger.
// A blank size by size texture of `components` components and pixel `format`
// into table[index], linear-filtered; stays bound. An earlier name in the
// entry is replaced, its texture not deleted.
void create_target(uint32_t* table, int size, int components, unsigned format, int index);

// Pushes the current (modelview) matrix, narrows the viewport to width by
// height at the lower-left corner, and makes the clear colour opaque black for
// the rest of the run. Does not clear: the frame was cleared before it.
void begin_target_pass(int width, int height);

// Copies the lower-left width by height pixels into table[index] (which takes
// that size), clears colour and depth, restores the whole frame's viewport and
// pops the matrix. The capture stays bound.
void end_target_pass(uint32_t* table, int width, int height, int index);

void bind_target(const uint32_t* table, int index);
