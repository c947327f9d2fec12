#pragma once
// What the browser's OpenGL lacks, made from what it has. Emscripten's legacy
// GL emulation draws the show's immediate mode on WebGL but has no texture
// coordinate generation (glTexGeni throws and stops the frame loop), no GLU
// quadrics and no gluBuild2DMipmaps, WebGL refuses the old texture formats,
// and every glBegin/glEnd pair costs a draw call of its own (the grids are
// thousands of one-quad pairs a frame). These functions stand in for the
// show's GL calls; in the web build gl_redirect.h points the calls at them, so
// no scene changes.
//
// The layer owns the immediate-mode stream: it keeps the current colour,
// normal and texture coordinate as OpenGL does, computes sphere-map
// coordinates on the CPU, and writes each vertex with every attribute of its
// primitive into its own array, which it draws with one glDrawArrays: no call
// into the browser per vertex. Runs of independent primitives (quads,
// triangles, points, lines) with nothing between them go down as one draw;
// every other GL call first draws what is pending, so the order of drawing
// and state never changes.
#include <GL/gl.h>
#include <GL/glu.h>

// ---- Immediate mode and texture coordinate generation (GL_SPHERE_MAP for s
// and t, each switched on or off on its own).
void compat_glBegin(GLenum mode);
void compat_glEnd();
void compat_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void compat_glTexCoord2f(GLfloat s, GLfloat t);
void compat_glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void compat_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void compat_glColor3ub(GLubyte r, GLubyte g, GLubyte b);
void compat_glEnable(GLenum cap);
void compat_glDisable(GLenum cap);
GLboolean compat_glIsEnabled(GLenum cap);
void compat_glTexGeni(GLenum coord, GLenum pname, GLint param);
void compat_current_normal(GLfloat normal[3]);  // the normal the next vertex would take
// Sends the pending primitives. Every wrapped call does it first; the frame's
// presentation must too.
void compat_flush();

// ---- The GLU quadric sphere, tessellated as Mesa's GLU does (fill style).
GLUquadric* compat_gluNewQuadric();
void compat_gluDeleteQuadric(GLUquadric* quadric);
void compat_gluQuadricNormals(GLUquadric* quadric, GLenum normals);
void compat_gluQuadricTexture(GLUquadric* quadric, GLboolean textureCoords);
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

// ---- Every other call the show makes: the pending primitives first, then the call.
void compat_glLoadIdentity();
void compat_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void compat_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void compat_glScalef(GLfloat x, GLfloat y, GLfloat z);
void compat_glPushMatrix();
void compat_glPopMatrix();
void compat_glMatrixMode(GLenum mode);
void compat_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void compat_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void compat_glBindTexture(GLenum target, GLuint texture);
void compat_glGenTextures(GLsizei n, GLuint* textures);
void compat_glTexParameteri(GLenum target, GLenum pname, GLint param);
void compat_glTexParameterf(GLenum target, GLenum pname, GLfloat param);
void compat_glPixelStorei(GLenum pname, GLint param);
void compat_glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                             GLsizei height, GLint border);
void compat_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void compat_glClearDepth(GLclampd depth);
void compat_glClear(GLbitfield mask);
void compat_glBlendFunc(GLenum sfactor, GLenum dfactor);
void compat_glDepthFunc(GLenum func);
void compat_glGetIntegerv(GLenum pname, GLint* params);
void compat_glGetFloatv(GLenum pname, GLfloat* params);
