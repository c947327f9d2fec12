#pragma once
// A 5 x 7 pixel capital font drawn for the show's captions, rendered as soft
// rounded dots so that it scales to any size.
#include <string>

#include "texture_ops.h"

// Glyph cell of a character: 7 rows of 5 bits (bit 4 leftmost); all zero for
// characters the font lacks (drawn as a space).
const unsigned char* glyph_rows(char c);

// Width of the text in pixels at `dot` pixels per font dot (6 dots per character).
float text_width(const std::string& text, float dot);

// Adds the text onto the picture with its top-left corner at (x, y) in pixels:
// each font dot is a disc of radius 0.55 dot with a soft edge, scaled by colour.
void draw_text(Image& img, const std::string& text, float x, float y, float dot, Rgba colour);
