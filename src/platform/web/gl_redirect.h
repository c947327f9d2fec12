#pragma once
// Force-included into every source of the show in the web build (and only
// there): after the GL and GLU declarations, the calls the browser's GL lacks
// or refuses are pointed at the compatibility layer. A macro is the one seam
// that reaches every call without touching a scene, and it leaves Emscripten's
// own GL functions in place for the layer to call.
#include "platform/web/gl_compat.h"

#ifndef SHOW_GL_COMPAT_LAYER  // the layer calls the browser's own functions
#define glEnable compat_glEnable
#define glDisable compat_glDisable
#define glIsEnabled compat_glIsEnabled
#define glTexGeni compat_glTexGeni
#define glBegin compat_glBegin
#define glEnd compat_glEnd
#define glTexCoord2f compat_glTexCoord2f
#define glNormal3f compat_glNormal3f
#define glVertex3f compat_glVertex3f
#define glShadeModel compat_glShadeModel
#define glHint compat_glHint
#define glTexImage2D compat_glTexImage2D
#define gluNewQuadric compat_gluNewQuadric
#define gluDeleteQuadric compat_gluDeleteQuadric
#define gluQuadricNormals compat_gluQuadricNormals
#define gluQuadricTexture compat_gluQuadricTexture
#define gluQuadricOrientation compat_gluQuadricOrientation
#define gluSphere compat_gluSphere
#define gluBuild2DMipmaps compat_gluBuild2DMipmaps
#endif
