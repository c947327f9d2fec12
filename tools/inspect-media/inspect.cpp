// One routine per kind of media file; each uses the show's own reader.
#include "inspect.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "models/dib_reader.h"
#include "models/model.h"
#include "platform/byte_reader.h"
#include "platform/platform.h"
#include "textures/targa.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The readers' boxes, as lines on stderr: no window here.
class StderrSink : public platform::MessageSink {
public:
    platform::Answer show(const platform::MessageBoxRecord& box) override {
        std::string text = box.text;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), text.c_str());
        return platform::Answer::Ok;
    }
};

bool ends_with(const char* name, const char* suffix) {
    size_t n = std::strlen(name), s = std::strlen(suffix);
    return n >= s && strcasecmp(name + n - s, suffix) == 0;
}

// Decoded pictures: size, depth, and the --rgb rows.
int report_picture(const char* kind, int width, int height, int bitsPerPixel, const Bytes& rgb,
                   const char* rgbFile, FILE* out) {
    std::fprintf(out, "%s, %d x %d, %d bits per pixel\n", kind, width, height, bitsPerPixel);
    if (!rgbFile) return 0;
    FILE* file = std::fopen(rgbFile, "wb");
    bool written = file && std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", rgbFile);
        return 2;
    }
    std::fprintf(out, "wrote %zu bytes of R, G, B rows, bottom row first, to %s\n", rgb.size(), rgbFile);
    return 0;
}

const char* compression_name(uint32_t compression) {
    switch (compression) {
    case 0: return "uncompressed";
    case 1: return "RLE8";
    case 2: return "RLE4";
    case 3: return "bit fields";
    default: return "unknown compression";
    }
}

int inspect_bitmap(const char* name, const Bytes& bytes, const char* rgbFile, FILE* out) {
    DibHeader header{};
    if (bytes.empty() || read_dib_header(bytes.data(), bytes.size(), &header) != DibResult::Ok) {
        load_dib_image(name);  // for the reader's own message
        std::fprintf(out, "bitmap, refused\n");
        return 1;
    }
    std::fprintf(out, "%s-byte header, %s, %u colour-table entries%s\n", header.size == 40 ? "40" : "12",
                 compression_name(header.compression), dib_colour_count(header),
                 header.height < 0 ? ", rows stored top-down" : "");
    std::unique_ptr<RgbImage> image = load_dib_image(name);
    if (!image) {
        std::fprintf(out, "bitmap, refused\n");
        return 1;
    }
    return report_picture("bitmap", image->width, image->height, header.bitsPerPixel, image->pixels, rgbFile, out);
}

// Targa rows are stored bottom row first, as --rgb writes them; alpha is dropped.
int inspect_targa(const char*, const Bytes& bytes, const char* rgbFile, FILE* out) {
    TargaTexture record{};
    if (!decode_targa(bytes.data(), bytes.size(), &record)) {
        std::fprintf(out, "Targa image, refused\n");
        return 1;
    }
    std::unique_ptr<unsigned char[]> pixels(record.pixels);
    const size_t count = size_t(record.width) * record.height, step = record.bitsPerPixel / 8;
    Bytes rgb(count * 3);
    for (size_t i = 0; i < count; ++i)
        for (size_t c = 0; c < 3; ++c) rgb[i * 3 + c] = pixels[i * step + c];
    return report_picture("Targa image", int(record.width), int(record.height), int(record.bitsPerPixel), rgb,
                          rgbFile, out);
}

int inspect_mesh(const char* name, const Bytes& bytes, const char* rgbFile, FILE* out) {
    if (rgbFile) std::fprintf(stderr, "--rgb: a mesh is no picture; nothing written\n");
    ModelLoader loader;
    Model model;
    if (!import_3ds_bytes(loader, model, bytes.data(), bytes.size(), name)) {
        std::fprintf(out, "3D Studio mesh, refused\n");
        return 1;
    }
    std::fprintf(out, "3D Studio mesh, %d materials, %d objects\n", model.materialCount, model.objectCount);
    for (int32_t i = 0; i < model.materialCount; ++i) {
        const ModelMaterial& m = model.materials[size_t(i)];
        std::fprintf(out, "material %d \"%s\": map \"%s\", colour %u %u %u%s\n", i, m.name, m.textureFile, m.colour[0],
                     m.colour[1], m.colour[2], i >= MaterialsPerModel ? " (past the slot's 100 textures: none made)" : "");
    }
    for (int32_t i = 0; i < model.objectCount; ++i) {
        const ModelObject& o = model.objects[size_t(i)];
        std::string material = o.materialIndex < 0 ? "-1 (no match)"
                             : o.materialIndex < model.materialCount
                                 ? std::to_string(o.materialIndex) + " \"" + model.materials[size_t(o.materialIndex)].name + "\""
                                 : std::to_string(o.materialIndex) + " (none named)";
        std::fprintf(out, "object %d \"%s\": %d vertices, %d faces, %d texture coordinates, material %s, %s\n", i, o.name,
                     o.vertexCount, o.faceCount, o.texCoordCount, material.c_str(), o.hasTexture ? "textured" : "untextured");
    }
    return 0;
}

// Which reader takes a file: by its first bytes, else by its name.
struct MediaKind {
    int (*inspect)(const char* name, const Bytes& bytes, const char* rgbFile, FILE* out);
    bool (*takes)(const char* name, const Bytes& bytes);
};

uint32_t first_u32(const Bytes& b) {
    return b.size() < 4 ? 0 : uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

const MediaKind Kinds[] = {
    {inspect_mesh, [](const char* name, const Bytes& b) {
         return (b.size() >= 2 && b[0] == 0x4D && b[1] == 0x4D) || ends_with(name, ".3ds");
     }},
    {inspect_bitmap, [](const char* name, const Bytes& b) {
         uint32_t size = first_u32(b);
         return (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') || size == 40 || size == 12 || ends_with(name, ".bmp") ||
                ends_with(name, ".dib");
     }},
    {inspect_targa, [](const char* name, const Bytes&) { return ends_with(name, ".tga"); }},
};

}  // namespace

int inspect_media(const char* fileName, const char* rgbFile, FILE* out) {
    StderrSink sink;
    platform::set_message_sink(&sink);
    Bytes bytes;
    int result = 2;
    if (!read_file_bytes(fileName, &bytes)) {
        std::fprintf(stderr, "cannot read %s\n", fileName);
    } else {
        std::fprintf(out, "%s: ", fileName);
        const MediaKind* kind = nullptr;
        for (const MediaKind& k : Kinds) {
            if (!kind && k.takes(fileName, bytes)) kind = &k;
        }
        if (kind) {
            result = kind->inspect(fileName, bytes, rgbFile, out);
        } else {
            std::fprintf(out, "no reader of the show takes this file\n");
        }
    }
    platform::set_message_sink(nullptr);
    return result;
}
