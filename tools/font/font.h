#pragma once
// A 5 x 7 pixel font of capitals, digits and a few marks: the show's captions
// (drawn by mediagen) and the labels of capture's contact sheet.
#include <string>

// Glyph cell of a character: 7 rows of 5 bits (bit 4 leftmost); all zero for
// characters the font lacks (drawn as a space).
const unsigned char* glyph_rows(char c);

// Width of the text in pixels at `dot` pixels per font dot (6 dots per character).
float text_width(const std::string& text, float dot);
