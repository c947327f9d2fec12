#pragma once
// What the show's readers make of one media file, printed for people who
// bring their own media.
#include <cstdio>

// Prints the file's report to out (the readers' messages go to stderr) and,
// for a picture, writes its decoded R, G, B rows, bottom row first, to
// rgbFile when that is not null. Returns the process exit code: 0 when the
// show's reader accepts the file, 1 when it refuses it, 2 for a file no
// reader here takes or an output that cannot be written.
int inspect_media(const char* fileName, const char* rgbFile, FILE* out);
