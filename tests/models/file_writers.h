#pragma once
// Small writers for the files the model tests read: 3D Studio chunks and
// device-independent bitmaps, built byte by byte in the tests themselves.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace writers {

using Bytes = std::vector<uint8_t>;

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}
inline Bytes u16(uint16_t v) { return {uint8_t(v), uint8_t(v >> 8)}; }
inline Bytes u32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
inline Bytes f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return u32(v);
}
inline Bytes cstr(const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); }

// ---- 3D Studio chunks: id, length (header included), payload and sub-chunks.
inline Bytes chunk_claiming(uint16_t id, uint32_t length, std::initializer_list<Bytes> parts = {}) {
    return cat({u16(id), u32(length), cat(parts)});
}
inline Bytes chunk(uint16_t id, std::initializer_list<Bytes> parts = {}) {
    Bytes payload = cat(parts);
    return chunk_claiming(id, uint32_t(payload.size() + 6), {payload});
}
inline Bytes version(uint32_t v) { return chunk(0x0002, {u32(v)}); }
// A primary chunk holding the version and MDATA, whose first sub-chunk is the mesh version.
inline Bytes mesh_file(std::initializer_list<Bytes> editorData, uint32_t v = 3) {
    return chunk(0x4D4D, {version(v), chunk(0x3D3D, {chunk(0x3D3E, {u32(3)}), cat(editorData)})});
}
inline Bytes colour24(uint8_t r, uint8_t g, uint8_t b) { return chunk(0x0011, {Bytes{r, g, b}}); }
inline Bytes material(const std::string& name, const std::string& mapFile, Bytes colour) {
    Bytes map = mapFile.empty() ? Bytes{} : chunk(0xA200, {chunk(0x0030, {u16(100)}), chunk(0xA300, {cstr(mapFile)})});
    return chunk(0xAFFF, {chunk(0xA000, {cstr(name)}), chunk(0xA020, {colour}), map});
}
inline Bytes points(std::initializer_list<float> xyz) {
    Bytes out = u16(uint16_t(xyz.size() / 3));
    for (float f : xyz) out = cat({out, f32(f)});
    return chunk(0x4110, {out});
}
inline Bytes tex_verts(std::initializer_list<float> uv) {
    Bytes out = u16(uint16_t(uv.size() / 2));
    for (float f : uv) out = cat({out, f32(f)});
    return chunk(0x4140, {out});
}
inline Bytes mat_group(const std::string& name, uint16_t faceCount = 1) {
    Bytes out = cat({cstr(name), u16(faceCount)});
    for (uint16_t i = 0; i < faceCount; ++i) out = cat({out, u16(i)});
    return chunk(0x4130, {out});
}
// FACE_ARRAY: (a, b, c) triples, flags 7, then the given sub-chunks.
inline Bytes faces(std::initializer_list<uint16_t> abc, std::initializer_list<Bytes> subChunks = {}) {
    Bytes out = u16(uint16_t(abc.size() / 3));
    size_t i = 0;
    for (uint16_t index : abc) {
        out = cat({out, u16(index)});
        if (++i % 3 == 0) out = cat({out, u16(7)});
    }
    return chunk(0x4120, {out, cat(subChunks)});
}
inline Bytes object(const std::string& name, std::initializer_list<Bytes> meshChunks) {
    return chunk(0x4000, {cstr(name), chunk(0x4100, meshChunks)});
}

// ---- Bitmaps.
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;            // negative: top row first
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB
    std::vector<uint32_t> masks;    // bit fields after the 40-byte header
    Bytes pixels;                   // pixel data as stored
    bool fileHeader = true;
    bool core = false;              // 12-byte header, 3-byte colour entries
};

inline Bytes bmp(const Bitmap& b) {
    Bytes header = b.core ? cat({u32(12), u16(uint16_t(b.width)), u16(uint16_t(b.height)), u16(1), u16(b.bits)})
                          : cat({u32(40), u32(uint32_t(b.width)), u32(uint32_t(b.height)), u16(1), u16(b.bits),
                                 u32(b.compression), u32(uint32_t(b.pixels.size())), u32(2835), u32(2835),
                                 u32(b.coloursUsed), u32(0)});
    for (uint32_t m : b.masks) header = cat({header, u32(m)});
    for (uint32_t c : b.palette) {
        header = cat({header, Bytes{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)}});
        if (!b.core) header.push_back(0);
    }
    if (!b.fileHeader) return cat({header, b.pixels});
    uint32_t offset = uint32_t(14 + header.size());
    return cat({Bytes{'B', 'M'}, u32(uint32_t(offset + b.pixels.size())), u32(0), u32(offset), header, b.pixels});
}

// A 24-bit bitmap of width x height pixels from R, G, B bytes, bottom row first.
inline Bytes bitmap_of(int width, int height, const Bytes& rgb) {
    Bitmap b;
    b.width = width, b.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[size_t((y * width + x) * 3)];
            b.pixels.insert(b.pixels.end(), {p[2], p[1], p[0]});
        }
        b.pixels.resize((b.pixels.size() + 3) / 4 * 4, 0);
    }
    return bmp(b);
}

// Writes bytes to a file; false when it cannot.
inline bool write_file(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace writers
