#pragma once
// A bounded cursor over bytes in memory: the one way the show's file readers
// read. Every read checks what is left; a read that does not fit reads
// nothing, returns false and leaves the cursor where it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t position() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    const uint8_t* here() const { return data_ + pos_; }

    bool seek(size_t position) {
        if (position > size_) return false;
        pos_ = position;
        return true;
    }
    bool skip(size_t count) {
        if (count > remaining()) return false;
        pos_ += count;
        return true;
    }
    bool bytes(void* out, size_t count) {
        if (count > remaining()) return false;
        std::memcpy(out, data_ + pos_, count);
        pos_ += count;
        return true;
    }
    bool u8(uint8_t* out) { return bytes(out, 1); }
    bool u16(uint16_t* out) {
        uint8_t b[2];
        if (!bytes(b, 2)) return false;
        *out = uint16_t(b[0] | (b[1] << 8));
        return true;
    }
    bool u32(uint32_t* out) {
        uint8_t b[4];
        if (!bytes(b, 4)) return false;
        *out = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }
    bool i32(int32_t* out) {
        uint32_t v;
        if (!u32(&v)) return false;
        std::memcpy(out, &v, 4);
        return true;
    }
    bool f32(float* out) {
        uint32_t v;
        if (!u32(&v)) return false;
        std::memcpy(out, &v, 4);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Reads a whole file into memory; false when it cannot be opened or read.
inline bool read_file_bytes(const char* fileName, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    bytes->clear();
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes->insert(bytes->end(), block, block + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}
