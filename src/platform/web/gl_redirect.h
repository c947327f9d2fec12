#pragma once
// Force-included into every source of the show in the web build (and only
// there): after the GL and GLU declarations, every GL and GLU call the show
// makes is pointed at the compatibility layer, which must see them all to keep
// drawing in order (tests/web/redirect_test.py checks that none is missed).
// A macro is the one seam that reaches every call without touching a scene,
// and it leaves Emscripten's own functions in place for the layer to call.
#include "platform/web/gl_compat.h"

#ifndef SHOW_GL_COMPAT_LAYER  // the layer calls the browser's own functions
#define glBegin compat_glBegin
#define glEnd compat_glEnd
#define glVertex3f compat_glVertex3f
#define glTexCoord2f compat_glTexCoord2f
#define glNormal3f compat_glNormal3f
#define glColor4f compat_glColor4f
#define glColor3ub compat_glColor3ub
#define glEnable compat_glEnable
#define glDisable compat_glDisable
#define glIsEnabled compat_glIsEnabled
#define glTexGeni compat_glTexGeni
#define gluNewQuadric compat_gluNewQuadric
#define gluDeleteQuadric compat_gluDeleteQuadric
#define gluQuadricNormals compat_gluQuadricNormals
#define gluQuadricTexture compat_gluQuadricTexture
#define gluSphere compat_gluSphere
#define gluBuild2DMipmaps compat_gluBuild2DMipmaps
#define glTexImage2D compat_glTexImage2D
#define glShadeModel compat_glShadeModel
#define glHint compat_glHint
#define glLoadIdentity compat_glLoadIdentity
#define glTranslatef compat_glTranslatef
#define glRotatef compat_glRotatef
#define glScalef compat_glScalef
#define glPushMatrix compat_glPushMatrix
#define glPopMatrix compat_glPopMatrix
#define glMatrixMode compat_glMatrixMode
#define gluPerspective compat_gluPerspective
#define glViewport compat_glViewport
#define glBindTexture compat_glBindTexture
#define glGenTextures compat_glGenTextures
#define glTexParameteri compat_glTexParameteri
#define glTexParameterf compat_glTexParameterf
#define glPixelStorei compat_glPixelStorei
#define glCopyTexImage2D compat_glCopyTexImage2D
#define glClearColor compat_glClearColor
#define glClearDepth compat_glClearDepth
#define glClear compat_glClear
#define glBlendFunc compat_glBlendFunc
#define glDepthFunc compat_glDepthFunc
#define glGetIntegerv compat_glGetIntegerv
#define glGetFloatv compat_glGetFloatv
#endif
