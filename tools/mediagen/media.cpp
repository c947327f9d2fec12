#include "media.h"

#include <cstdio>

#include "byte_writer.h"
#include "models.h"
#include "targa.h"
#include "textures.h"
#include "tune.h"

namespace {

std::string hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", v);
    return buf;
}

std::string fixed1(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

bool save(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes, std::string* error) {
    if (write_file(folder + "/" + name, bytes)) return true;
    *error = "cannot write " + folder + "/" + name;
    return false;
}

// image NAME WIDTH HEIGHT MODE CRC32: the CRC of the decoded pixels, top row
// first, R G B (A) bytes; MODE is RGB or RGBA.
bool textures(const std::string& folder, std::vector<std::string>* manifest, std::string* error) {
    for (const TextureRecipe& r : targa_recipes()) {
        std::vector<uint8_t> pixels = to_bytes(r.draw(r.size), r.bits == 32);
        if (!save(folder, r.file, write_targa(pixels, r.size, r.size, r.bits), error)) return false;
        manifest->push_back(std::string("image ") + r.file + " " + std::to_string(r.size) + " " +
                            std::to_string(r.size) + (r.bits == 32 ? " RGBA " : " RGB ") + hex(crc32_of(pixels)));
    }
    for (const BitmapRecipe& r : bitmap_recipes()) {
        MeshBitmap b = r.draw();
        std::vector<uint8_t> bytes = r.truecolour
                                         ? write_bmp_rgb24(b.rgb, b.width, b.height)
                                         : write_bmp_indexed(b.palette, b.indices, b.width, b.height, r.encoding);
        if (!save(folder, r.file, bytes, error)) return false;
        manifest->push_back(std::string("image ") + r.file + " " + std::to_string(b.width) + " " +
                            std::to_string(b.height) + " RGB " + hex(crc32_of(bitmap_rgb(b))));
    }
    return true;
}

// mesh NAME OBJECTS MATERIALS TRIANGLES MESHOBJECTS MINX MINY MINZ MAXX MAXY MAXZ
// (bounds in the show's axes) MAPS...
bool meshes(const std::string& folder, std::vector<std::string>* manifest, std::string* error) {
    for (const ModelRecipe& r : model_recipes()) {
        TdsScene scene = r.build();
        if (!save(folder, r.file, write_3ds(scene), error)) return false;
        Bounds b = scene_bounds(scene);
        size_t mesh_objects = 0;
        for (const TdsObject& o : scene.objects) mesh_objects += o.kind == TdsKind::Mesh;
        std::string line = std::string("mesh ") + r.file + " " + std::to_string(scene.objects.size()) + " " +
                           std::to_string(scene.materials.size()) + " " + std::to_string(scene_triangles(scene)) +
                           " " + std::to_string(mesh_objects);
        for (int i = 0; i < 3; ++i) line += " " + fixed1(b.min[i]);
        for (int i = 0; i < 3; ++i) line += " " + fixed1(b.max[i]);
        for (const TdsMaterial& m : scene.materials)
            if (!m.map.empty()) line += " " + m.map;
        manifest->push_back(line);
    }
    return true;
}

// module NAME CHANNELS INSTRUMENTS PATTERNS ORDERS ROWS
bool music(const std::string& folder, std::vector<std::string>* manifest, std::string* error) {
    XmModule m = compose_tune();
    if (!save(folder, "algar.xm", write_xm(m), error)) return false;
    int rows = 0;
    for (uint8_t o : m.orders) rows += m.patterns[o].rows;
    manifest->push_back("module algar.xm " + std::to_string(m.channels) + " " + std::to_string(m.instruments.size()) +
                        " " + std::to_string(m.patterns.size()) + " " + std::to_string(m.orders.size()) + " " +
                        std::to_string(rows));
    return true;
}

}  // namespace

bool generate_media(const std::string& folder, std::vector<std::string>* manifest, std::string* error) {
    return textures(folder, manifest, error) && meshes(folder, manifest, error) && music(folder, manifest, error);
}
