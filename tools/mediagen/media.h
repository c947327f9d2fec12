#pragma once
// Writes every media file of the show into a folder and describes each in
// one manifest line, which the tests compare with independent readers.
#include <string>
#include <vector>

// Returns false (with *error set) when a file cannot be written.
bool generate_media(const std::string& folder, std::vector<std::string>* manifest, std::string* error);
