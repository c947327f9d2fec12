#pragma once
// The font's glyphs as soft rounded dots, so that a caption scales to any size.
#include <string>

#include "font.h"
#include "texture_ops.h"

// Adds the text onto the picture with its top-left corner at (x, y) in pixels:
// each font dot is a disc of radius 0.55 dot with a soft edge, scaled by colour.
void draw_text(Image& img, const std::string& text, float x, float y, float dot, Rgba colour);
