// The show's other GL calls: what is pending goes first, so that drawing and
// state keep their order. A few the browser's GL has no use for stop here.
#include "platform/web/gl_compat.h"

void compat_glLoadIdentity() { compat_flush(); glLoadIdentity(); }
void compat_glTranslatef(GLfloat x, GLfloat y, GLfloat z) { compat_flush(); glTranslatef(x, y, z); }
void compat_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { compat_flush(); glRotatef(angle, x, y, z); }
void compat_glScalef(GLfloat x, GLfloat y, GLfloat z) { compat_flush(); glScalef(x, y, z); }
void compat_glPushMatrix() { compat_flush(); glPushMatrix(); }
void compat_glPopMatrix() { compat_flush(); glPopMatrix(); }
void compat_glMatrixMode(GLenum mode) { compat_flush(); glMatrixMode(mode); }
void compat_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    compat_flush();
    gluPerspective(fovy, aspect, zNear, zFar);
}
void compat_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    compat_flush();
    glViewport(x, y, width, height);
}
void compat_glBindTexture(GLenum target, GLuint texture) { compat_flush(); glBindTexture(target, texture); }
void compat_glGenTextures(GLsizei n, GLuint* textures) { compat_flush(); glGenTextures(n, textures); }
void compat_glTexParameteri(GLenum target, GLenum pname, GLint param) {
    compat_flush();
    glTexParameteri(target, pname, param);
}
void compat_glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    compat_flush();
    glTexParameterf(target, pname, param);
}
void compat_glPixelStorei(GLenum pname, GLint param) { compat_flush(); glPixelStorei(pname, param); }
void compat_glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                             GLsizei height, GLint border) {
    compat_flush();
    glCopyTexImage2D(target, level, internalFormat, x, y, width, height, border);
}
void compat_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { compat_flush(); glClearColor(r, g, b, a); }
void compat_glClearDepth(GLclampd depth) { compat_flush(); glClearDepth(depth); }
void compat_glClear(GLbitfield mask) { compat_flush(); glClear(mask); }
void compat_glBlendFunc(GLenum sfactor, GLenum dfactor) { compat_flush(); glBlendFunc(sfactor, dfactor); }
void compat_glDepthFunc(GLenum func) { compat_flush(); glDepthFunc(func); }
void compat_glGetIntegerv(GLenum pname, GLint* params) { compat_flush(); glGetIntegerv(pname, params); }
void compat_glGetFloatv(GLenum pname, GLfloat* params) { compat_flush(); glGetFloatv(pname, params); }

void compat_glShadeModel(GLenum mode) {
    compat_flush();
    if (mode != GL_SMOOTH) glShadeModel(mode);  // smooth is all WebGL does
}

void compat_glHint(GLenum target, GLenum mode) {
    compat_flush();
    if (target != GL_PERSPECTIVE_CORRECTION_HINT) glHint(target, mode);  // WebGL is always perspective-correct
}
