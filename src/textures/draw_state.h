#pragma once
// The small pieces of drawing state that scenes share. None keeps state.
#include "textures/targa.h"

// The glName of TextureTable entry index; note the order: index first.
void bind_texture(int index, const TargaTexture* table);
// glColor4f(1, 1, 1, alpha).
void set_alpha(float alpha);
// Non-zero switches blending on, zero off.
void enable_blend(int flag);
// The show's only blend function: additive, weighted by source alpha.
void set_additive_blend();
// Sphere-map generation mode for s and t; generation itself is left as it is.
void set_sphere_mapping();
// Texture-coordinate generation of both s and t on or off.
void set_sphere_generation(bool on);
