// The 3D Studio mesh reader: walks the chunk tree of a .3ds file into one
// Model, keeping named objects (vertices, triangles, texture coordinates, one
// material each) and materials (name, texture map file, diffuse colour).
// Every read is bounded by its chunk and by the file; a chunk that does not
// fit its parent ends that level, and the end of the file ends the import.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "models/model.h"
#include "platform/byte_reader.h"
#include "platform/platform.h"

namespace {

// The chunk ids the reader acts on; every other id is skipped whole.
enum ChunkId : uint16_t {
    Primary = 0x4D4D,        // M3DMAGIC
    Version = 0x0002,        // M3D_VERSION
    EditorData = 0x3D3D,     // MDATA
    MaterialEntry = 0xAFFF,  // MAT_ENTRY
    NamedObject = 0x4000,    // NAMED_OBJECT
    TriangleMesh = 0x4100,   // N_TRI_OBJECT
    PointArray = 0x4110,     // POINT_ARRAY
    FaceArray = 0x4120,      // FACE_ARRAY
    MaterialGroup = 0x4130,  // MSH_MAT_GROUP
    TexVerts = 0x4140,       // TEX_VERTS
    MaterialName = 0xA000,   // MAT_NAME
    Diffuse = 0xA020,        // MAT_DIFFUSE
    TextureMap = 0xA200,     // MAT_TEXMAP
    MapName = 0xA300,        // MAT_MAPNAME
    ColourFloat = 0x0010,    // COLOR_F: three floats 0..1
};

constexpr uint32_t HeaderSize = 6;
constexpr size_t NameSize = 255;  // name fields: 254 characters and the zero
constexpr int MaxDepth = 32;      // chunk levels; exporters nest fewer than ten

uint32_t left_in(const Chunk& chunk) {
    return chunk.bytesRead < chunk.length ? chunk.length - chunk.bytesRead : 0;
}

// Bytes of the chunk that can still be read: never past the chunk or the file.
uint32_t readable(const ModelLoader& loader, const Chunk& chunk) {
    return uint32_t(std::min<size_t>(left_in(chunk), loader.file->remaining()));
}

// Reads up to count bytes of the chunk's payload; returns how many it read.
uint32_t read_payload(ModelLoader& loader, Chunk& chunk, void* out, uint32_t count) {
    count = std::min(count, readable(loader, chunk));
    loader.file->bytes(out, count);
    chunk.bytesRead += count;
    return count;
}

// False when the file ends inside the header; the import then ends.
bool read_chunk_header(ModelLoader& loader, Chunk& chunk) {
    chunk = Chunk{};
    ByteReader& file = *loader.file;
    if (file.remaining() < HeaderSize) {
        file.seek(file.size());
        return false;
    }
    file.u16(&chunk.id);
    file.u32(&chunk.length);
    chunk.bytesRead = HeaderSize;
    return true;
}

void skip_rest(ModelLoader& loader, Chunk& chunk) {
    uint32_t count = readable(loader, chunk);
    loader.file->skip(count);
    chunk.bytesRead += count;
}

// Reads a zero-terminated string of the chunk, keeping 254 characters at
// most; returns the bytes consumed, the zero included.
uint32_t read_string(ModelLoader& loader, Chunk& chunk, char* buffer) {
    uint32_t consumed = 0;
    size_t stored = 0;
    uint8_t byte = 1;
    while (byte != 0 && read_payload(loader, chunk, &byte, 1) == 1) {
        ++consumed;
        if (byte != 0 && stored < NameSize - 1) buffer[stored++] = char(byte);
    }
    buffer[stored] = 0;
    return consumed;
}

// The whole payload into a name field; what does not fit is skipped.
void read_name_field(ModelLoader& loader, Chunk& chunk, char* field) {
    uint32_t got = read_payload(loader, chunk, field, NameSize - 1);
    field[got] = 0;
    skip_rest(loader, chunk);
}

bool more_in(const ModelLoader& loader, const Chunk& parent) {
    return parent.bytesRead < parent.length && loader.file->remaining() > 0;
}

// Reads the header of parent's next sub-chunk into chunk. False ends the
// level: parent is done, the file has ended, or the sub-chunk is no sound
// part of parent (shorter than a header, longer than what is left of parent,
// nested too deep), and then the rest of parent is skipped.
bool next_chunk(ModelLoader& loader, Chunk& parent, Chunk& chunk) {
    if (!more_in(loader, parent)) return false;
    if (left_in(parent) >= HeaderSize && loader.depth < MaxDepth && read_chunk_header(loader, chunk)) {
        if (chunk.length >= HeaderSize && chunk.length <= left_in(parent)) return true;
        parent.bytesRead += chunk.bytesRead;
    }
    skip_rest(loader, parent);
    return false;
}

void enter_level(ModelLoader& loader, Chunk& chunk) {
    loader.current = &chunk;
    ++loader.depth;
}

void leave_level(ModelLoader& loader, Chunk& parent) {
    loader.current = &parent;
    --loader.depth;
}

// ---- Payload readers of the object handler.

// The record count at the head of an array chunk, cut to the whole records
// that the chunk and the file still hold.
uint32_t read_count(ModelLoader& loader, Chunk& chunk, uint32_t recordSize) {
    uint8_t bytes[2] = {0, 0};
    if (read_payload(loader, chunk, bytes, 2) < 2) return 0;
    uint32_t count = uint32_t(bytes[0] | bytes[1] << 8);
    return std::min(count, readable(loader, chunk) / recordSize);
}

// The next count records of the chunk, as a cursor of their own.
ByteReader take_records(ModelLoader& loader, Chunk& chunk, uint32_t count, uint32_t recordSize) {
    ByteReader records(loader.file->here(), size_t(count) * recordSize);
    loader.file->skip(records.size());
    chunk.bytesRead += uint32_t(records.size());
    return records;
}

// POINT_ARRAY: positions, file (x, y, z) stored as (x, z, -y).
void read_vertices(ModelLoader& loader, ModelObject& object, Chunk& chunk) {
    uint32_t count = read_count(loader, chunk, 12);
    ByteReader records = take_records(loader, chunk, count, 12);
    object.vertexCount = int32_t(count);
    object.vertices.assign(count, Vec3{0, 0, 0});
    for (Vec3& vertex : object.vertices) {
        float x = 0, y = 0, z = 0;
        records.f32(&x);
        records.f32(&y);
        records.f32(&z);
        vertex = {x, z, -y};
    }
    skip_rest(loader, chunk);
}

// FACE_ARRAY: triangles a, b, c; the edge flags are dropped. Its sub-chunks
// (material and smoothing groups) are left to the object handler's loop.
void read_faces(ModelLoader& loader, ModelObject& object, Chunk& chunk) {
    uint32_t count = read_count(loader, chunk, 8);
    ByteReader records = take_records(loader, chunk, count, 8);
    object.faceCount = int32_t(count);
    object.faces.assign(count, ModelFace{0, 0, 0});
    for (ModelFace& face : object.faces) {
        uint16_t a = 0, b = 0, c = 0, flags = 0;
        records.u16(&a);
        records.u16(&b);
        records.u16(&c);
        records.u16(&flags);
        face = {a, b, c};
    }
}

// TEX_VERTS: u, v per vertex, as stored.
void read_tex_coords(ModelLoader& loader, ModelObject& object, Chunk& chunk) {
    uint32_t count = read_count(loader, chunk, 8);
    ByteReader records = take_records(loader, chunk, count, 8);
    object.texCoordCount = int32_t(count);
    object.texCoords.assign(count, TexCoord{0, 0});
    for (TexCoord& coord : object.texCoords) {
        records.f32(&coord.u);
        records.f32(&coord.v);
    }
    skip_rest(loader, chunk);
}

// MSH_MAT_GROUP: the first material of that name, earlier in the file; -1
// when none matches. hasTexture is never cleared; the group's face list is
// not used (one material per object).
void read_object_material(ModelLoader& loader, const Model& model, ModelObject& object, Chunk& chunk) {
    char name[NameSize];
    read_string(loader, chunk, name);
    for (int32_t i = 0; i < model.materialCount; ++i) {
        if (std::strcmp(name, model.materials[size_t(i)].name) == 0) {
            object.materialIndex = i;
            if (model.materials[size_t(i)].textureFile[0] != 0) object.hasTexture = true;
            break;
        }
        object.materialIndex = -1;
    }
    skip_rest(loader, chunk);
}

void read_object_chunks(ModelLoader& loader, const Model& model, ModelObject& object, Chunk& parent) {
    Chunk chunk{};
    enter_level(loader, chunk);
    while (next_chunk(loader, parent, chunk)) {
        switch (chunk.id) {
        case TriangleMesh: read_object_chunks(loader, model, object, chunk); break;
        case PointArray: read_vertices(loader, object, chunk); break;
        case FaceArray: read_faces(loader, object, chunk); break;
        case MaterialGroup: read_object_material(loader, model, object, chunk); break;
        case TexVerts: read_tex_coords(loader, object, chunk); break;
        default: skip_rest(loader, chunk); break;
        }
        parent.bytesRead += chunk.bytesRead;
    }
    leave_level(loader, parent);
}

// ---- Material handler.

uint8_t colour_byte(float value) {
    if (!(value > 0.0f)) return 0;  // NaN too
    if (value >= 1.0f) return 255;
    return uint8_t(value * 255.0f + 0.5f);
}

// MAT_DIFFUSE: the colour of its first sub-chunk, whatever its id (COLOR_24
// in the standard; COLOR_F's three floats become bytes). A second sub-chunk
// (LIN_COLOR_24) reaches the material handler's loop, which skips it.
void read_colour(ModelLoader& loader, ModelMaterial& material, Chunk& chunk) {
    Chunk& scratch = loader.scratch;
    if (!next_chunk(loader, chunk, scratch)) return;
    if (scratch.id == ColourFloat && readable(loader, scratch) >= 12) {
        uint8_t bytes[12] = {};  // the size was checked above; GCC at -O3 cannot see it
        read_payload(loader, scratch, bytes, 12);
        ByteReader floats(bytes, 12);
        for (unsigned char& channel : material.colour) {
            float value = 0;
            floats.f32(&value);
            channel = colour_byte(value);
        }
    } else {
        read_payload(loader, scratch, material.colour, 3);
    }
    skip_rest(loader, scratch);
    chunk.bytesRead += scratch.bytesRead;
}

// Writes to the last material of the model.
void read_material_chunks(ModelLoader& loader, Model& model, Chunk& parent) {
    ModelMaterial& material = model.materials.back();
    Chunk chunk{};
    enter_level(loader, chunk);
    while (next_chunk(loader, parent, chunk)) {
        switch (chunk.id) {
        case MaterialName: read_name_field(loader, chunk, material.name); break;
        case Diffuse: read_colour(loader, material, chunk); break;
        case TextureMap: read_material_chunks(loader, model, chunk); break;
        case MapName: read_name_field(loader, chunk, material.textureFile); break;
        default: skip_rest(loader, chunk); break;
        }
        parent.bytesRead += chunk.bytesRead;
    }
    leave_level(loader, parent);
}

// ---- Primary-level handler: the primary chunk and MDATA.

void read_version(ModelLoader& loader, Chunk& chunk) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    read_payload(loader, chunk, bytes, 4);
    skip_rest(loader, chunk);
    uint32_t version = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                       uint32_t(bytes[3]) << 24;
    if (version > 3) {
        platform::show_message("This 3DS file is over version 3 so it may load incorrectly", "Warning");
    }
}

// The first sub-chunk of MDATA (the mesh version in the standard) is consumed
// unread, whatever its id.
void skip_first_sub_chunk(ModelLoader& loader, Chunk& chunk) {
    Chunk& scratch = loader.scratch;
    if (!next_chunk(loader, chunk, scratch)) return;
    skip_rest(loader, scratch);
    chunk.bytesRead += scratch.bytesRead;
}

void read_chunks(ModelLoader& loader, Model& model, Chunk& parent);

void read_named_object(ModelLoader& loader, Model& model, Chunk& chunk) {
    model.objects.push_back(ModelObject{});
    ++model.objectCount;
    ModelObject& object = model.objects.back();
    read_string(loader, chunk, object.name);
    read_object_chunks(loader, model, object, chunk);
}

void read_chunks(ModelLoader& loader, Model& model, Chunk& parent) {
    Chunk chunk{};
    enter_level(loader, chunk);
    while (next_chunk(loader, parent, chunk)) {
        switch (chunk.id) {
        case Version: read_version(loader, chunk); break;
        case EditorData:
            skip_first_sub_chunk(loader, chunk);
            read_chunks(loader, model, chunk);
            break;
        case MaterialEntry:
            model.materials.push_back(ModelMaterial{});
            ++model.materialCount;
            read_material_chunks(loader, model, chunk);
            break;
        case NamedObject: read_named_object(loader, model, chunk); break;
        default: skip_rest(loader, chunk); break;
        }
        parent.bytesRead += chunk.bytesRead;
    }
    leave_level(loader, parent);
}

// Faces naming a vertex the object does not have are dropped, whatever the
// order of the object's chunks.
void drop_faces_past_vertices(Model& model) {
    for (ModelObject& object : model.objects) {
        int32_t count = object.vertexCount;
        auto outside = [count](const ModelFace& f) { return f.a >= count || f.b >= count || f.c >= count; };
        object.faces.erase(std::remove_if(object.faces.begin(), object.faces.end(), outside), object.faces.end());
        object.faceCount = int32_t(object.faces.size());
    }
}

void show_error(const char* format, const char* fileName) {
    char text[255];
    std::snprintf(text, sizeof text, format, fileName);
    platform::show_message(text, "Error");
}

// n(f) = (P0 - P2) x (P2 - P1), not normalised: larger faces weigh more.
Vec3 face_normal(const Vec3& p0, const Vec3& p1, const Vec3& p2) {
    Vec3 a{p0.x - p2.x, p0.y - p2.y, p0.z - p2.z};
    Vec3 b{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float length_of(const Vec3& n) { return std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z); }

// The sum of count face normals, divided by -count and made unit length.
// Zero sums (unused vertices, zero-area faces) and sums that are not finite
// (coordinates beyond float range, NaN in the file) point up.
// Where the squares would leave float range, the vector is first scaled by a
// power of two (exact), so the direction survives.
Vec3 unit_normal(const Vec3& sum, int32_t count) {
    const Vec3 up{0.0f, 1.0f, 0.0f};
    if (count == 0) return up;
    float k = float(-count);
    Vec3 n{sum.x / k, sum.y / k, sum.z / k};
    if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.z)) return up;
    float squares = n.x * n.x + n.y * n.y + n.z * n.z;
    if (!(squares >= std::numeric_limits<float>::min()) || !std::isfinite(squares)) {
        float largest = std::max({std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)});
        if (!(largest > 0.0f)) return up;
        int exponent = 0;
        std::frexp(largest, &exponent);
        n = {std::ldexp(n.x, -exponent), std::ldexp(n.y, -exponent), std::ldexp(n.z, -exponent)};
    }
    float length = length_of(n);
    return {n.x / length, n.y / length, n.z / length};
}

}  // namespace

bool import_3ds_bytes(ModelLoader& loader, Model& model, const uint8_t* bytes, size_t size,
                      const char* fileName) {
    ByteReader file(bytes, size);
    loader.file = &file;
    Chunk primary{};
    loader.current = &primary;
    bool isMesh = read_chunk_header(loader, primary) && primary.id == Primary;
    if (isMesh) {
        read_chunks(loader, model, primary);
        drop_faces_past_vertices(model);
        compute_vertex_normals(model);
    } else {
        show_error("Unable to load PRIMARY chuck from file: %s!", fileName);
    }
    loader.file = nullptr;
    loader.current = nullptr;
    return isMesh;
}

bool import_3ds(ModelLoader& loader, Model& model, const char* fileName) {
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(fileName, &bytes)) {
        show_error("Unable to find the file: %s!", fileName);
        return false;
    }
    return import_3ds_bytes(loader, model, bytes.data(), bytes.size(), fileName);
}

// One pass over the faces: each face's normal is added to each of its
// vertices (once per vertex) in face order, so every vertex sums its faces in
// ascending order, as a per-vertex search over all faces would.
void compute_vertex_normals(Model& model) {
    for (ModelObject& object : model.objects) {
        size_t count = size_t(object.vertexCount);
        std::vector<Vec3> sums(count, Vec3{0.0f, 0.0f, 0.0f});
        std::vector<int32_t> uses(count, 0);
        const std::vector<Vec3>& p = object.vertices;
        for (const ModelFace& face : object.faces) {
            Vec3 n = face_normal(p[size_t(face.a)], p[size_t(face.b)], p[size_t(face.c)]);
            auto add = [&](int32_t v) {
                Vec3& s = sums[size_t(v)];
                s = {s.x + n.x, s.y + n.y, s.z + n.z};
                ++uses[size_t(v)];
            };
            add(face.a);
            if (face.b != face.a) add(face.b);
            if (face.c != face.a && face.c != face.b) add(face.c);
        }
        object.normals.resize(count);
        for (size_t v = 0; v < count; ++v) object.normals[v] = unit_normal(sums[v], uses[v]);
    }
}
