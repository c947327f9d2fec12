#pragma once
// Little-endian byte output shared by the media writers, and the CRC-32 the
// generator reports so that tests can compare decoded pictures with it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ByteWriter {
public:
    void u8(unsigned v) { bytes_.push_back(uint8_t(v)); }
    void u16(unsigned v) { u8(v); u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void i16(int v) { u16(unsigned(v) & 0xFFFF); }
    void f32(float v);
    // The text and a terminating zero.
    void cstr(const std::string& s);
    // The text cut or padded with zeros to exactly n bytes.
    void fixed(const std::string& s, size_t n);
    void append(const std::vector<uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    // Overwrites 4 bytes at an earlier position (lengths known only later).
    void patch_u32(size_t at, uint32_t v);

    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// CRC-32 as zlib computes it (polynomial 0xEDB88320).
uint32_t crc32_of(const uint8_t* data, size_t size);
inline uint32_t crc32_of(const std::vector<uint8_t>& v) { return crc32_of(v.data(), v.size()); }

// Writes the bytes to a file; false when it cannot be written.
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);
