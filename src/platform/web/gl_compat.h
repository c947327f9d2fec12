#pragma once
// What the browser's OpenGL lacks, made from what it has. Emscripten's legacy
// GL emulation draws the show's immediate mode on WebGL but has no texture
// coordinate generation (glTexGeni throws and stops the frame loop), no GLU
// quadrics and no gluBuild2DMipmaps, and WebGL refuses the old texture
// formats. These functions stand in for those calls; in the web build
// gl_redirect.h points the show's calls at them, so no scene changes.
//
// Sphere-map generation is computed on the CPU per vertex, from the eye-space
// vertex and normal, exactly as the fixed pipeline does; the vertex then goes
// down with an ordinary texture coordinate. Everything else passes through.
#include <GL/gl.h>
#include <GL/glu.h>

// ---- Texture coordinate generation (GL_SPHERE_MAP for s and t, each
// switched on or off on its own) and the immediate-mode calls it watches.
void compat_glEnable(GLenum cap);
void compat_glDisable(GLenum cap);
GLboolean compat_glIsEnabled(GLenum cap);
void compat_glTexGeni(GLenum coord, GLenum pname, GLint param);
void compat_glBegin(GLenum mode);
void compat_glEnd();
void compat_glTexCoord2f(GLfloat s, GLfloat t);
void compat_glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void compat_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void compat_current_normal(GLfloat normal[3]);  // the normal the next vertex would take

// ---- The GLU quadric sphere, tessellated as Mesa's GLU does (fill style).
GLUquadric* compat_gluNewQuadric();
void compat_gluDeleteQuadric(GLUquadric* quadric);
void compat_gluQuadricNormals(GLUquadric* quadric, GLenum normals);
void compat_gluQuadricTexture(GLUquadric* quadric, GLboolean textureCoords);
void compat_gluQuadricOrientation(GLUquadric* quadric, GLenum orientation);
void compat_gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);

// ---- Texture uploads WebGL 1 would refuse: mipmaps built on the CPU (sizes
// rounded to powers of two as GLU does), component counts as internal
// formats, 32-bit unsigned texels.
GLint compat_gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                               GLenum format, GLenum type, const void* data);
void compat_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const void* pixels);

// ---- State WebGL has no switch for and always behaves as the show asks:
// smooth shading and perspective-correct interpolation.
void compat_glShadeModel(GLenum mode);
void compat_glHint(GLenum target, GLenum mode);
