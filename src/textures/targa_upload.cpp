// Targa textures into OpenGL: file, decode, one linear-filtered level.
#include <GL/gl.h>

#include <vector>

#include "platform/byte_reader.h"
#include "textures/targa.h"

namespace {

// One level from the decoded rows. Rows follow each other without padding, so
// the upload reads them with an alignment of 1: a 24-bit row of a width that
// is not a multiple of 4 bytes would otherwise send the driver past the end of
// the block. The alignment in force is put back afterwards.
void upload_targa(TargaTexture* record) {
    const GLenum format = record->bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
    GLuint name;
    glGenTextures(1, &name);
    record->glName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLint alignment;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), GLsizei(record->width), GLsizei(record->height), 0, format,
                 GL_UNSIGNED_BYTE, record->pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

}  // namespace

bool load_targa(TargaTexture* record, const char* fileName) {
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(fileName, &bytes)) return false;
    if (!decode_targa(bytes.data(), bytes.size(), record)) return false;
    upload_targa(record);
    return true;
}

bool load_texture(int index, const char* fileName, TargaTexture* table) {
    // An entry loaded again (the opening scene's start-up runs twice, a
    // looping show runs every start-up once a pass) lets its old picture go.
    delete[] table[index].pixels;
    table[index].pixels = nullptr;
    return load_targa(&table[index], fileName);
}
