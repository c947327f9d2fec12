#include "media.h"

#include <algorithm>
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

// Every row of the show's media table has one recipe, or the show would
// start with a slot empty; row s is slot s.
template <class Recipe, class Slot, class Row, size_t Rows>
bool every_slot_once(const std::vector<Recipe>& recipes, Slot Recipe::*slot, const Row (&rows)[Rows],
                     std::string* error) {
    for (size_t s = 0; s < Rows; ++s) {
        const auto made = std::count_if(recipes.begin(), recipes.end(), [&](const Recipe& r) { return size_t(r.*slot) == s; });
        if (made == 1) continue;
        *error = std::string(made ? "more than one recipe" : "no recipe") + " for " + rows[s].file;
        return false;
    }
    if (recipes.size() == Rows) return true;
    *error = "a recipe for a slot the show does not load";
    return false;
}

// image NAME WIDTH HEIGHT MODE CRC32: the CRC of the decoded pixels, top row
// first, R G B (A) bytes; MODE is RGB or RGBA.
bool textures(const std::string& folder, std::vector<std::string>* manifest, std::string* error) {
    if (!every_slot_once(targa_recipes(), &TextureRecipe::index, TextureFiles, error)) return false;
    for (const TextureRecipe& r : targa_recipes()) {
        const char* file = texture_file(r.index);
        std::vector<uint8_t> pixels = to_bytes(r.draw(r.size), r.bits == 32);
        if (!save(folder, file, write_targa(pixels, r.size, r.size, r.bits), error)) return false;
        manifest->push_back(std::string("image ") + file + " " + std::to_string(r.size) + " " +
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
    if (!every_slot_once(model_recipes(), &ModelRecipe::slot, ModelFiles, error)) return false;
    const auto& bitmaps = bitmap_recipes();
    for (const ModelRecipe& r : model_recipes()) {
        const char* file = model_file(r.slot);
        TdsScene scene = r.build();
        // A map no recipe draws would end the show's start-up.
        for (const TdsMaterial& m : scene.materials) {
            if (m.map.empty() || std::any_of(bitmaps.begin(), bitmaps.end(),
                                             [&](const BitmapRecipe& b) { return m.map == b.file; }))
                continue;
            *error = std::string(file) + " maps " + m.map + ", which no recipe draws";
            return false;
        }
        if (!save(folder, file, write_3ds(scene), error)) return false;
        Bounds b = scene_bounds(scene);
        size_t mesh_objects = 0;
        for (const TdsObject& o : scene.objects) mesh_objects += o.kind == TdsKind::Mesh;
        std::string line = std::string("mesh ") + file + " " + std::to_string(scene.objects.size()) + " " +
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
    XmModule m;
    if (!compose_tune(&m, error) || !save(folder, TuneFile, write_xm(m), error)) return false;
    int rows = 0;
    for (uint8_t o : m.orders) rows += m.patterns[o].rows;
    manifest->push_back(std::string("module ") + TuneFile + " " + std::to_string(m.channels) + " " + std::to_string(m.instruments.size()) +
                        " " + std::to_string(m.patterns.size()) + " " + std::to_string(m.orders.size()) + " " +
                        std::to_string(rows));
    return true;
}

}  // namespace

bool generate_media(const std::string& folder, std::vector<std::string>* manifest, std::string* error) {
    return textures(folder, manifest, error) && meshes(folder, manifest, error) && music(folder, manifest, error);
}
