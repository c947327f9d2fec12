#include "tds.h"

#include "byte_writer.h"

namespace {

// Chunks whose length is known once their sub-chunks are written.
class ChunkWriter {
public:
    explicit ChunkWriter(ByteWriter& out) : out_(out) {}
    size_t open(unsigned id) {
        size_t at = out_.size();
        out_.u16(id);
        out_.u32(0);
        return at;
    }
    void close(size_t at) { out_.patch_u32(at + 2, uint32_t(out_.size() - at)); }

private:
    ByteWriter& out_;
};

void file_point(ByteWriter& out, const Vec& p) {
    out.f32(p[0]);
    out.f32(-p[2]);
    out.f32(p[1]);
}

void colour_chunk(ByteWriter& out, ChunkWriter& chunks, unsigned id, Rgb8 c) {
    size_t outer = chunks.open(id);
    for (unsigned sub : {0x0011u, 0x0012u}) {  // COLOR_24, then LIN_COLOR_24
        size_t at = chunks.open(sub);
        out.u8(c[0]);
        out.u8(c[1]);
        out.u8(c[2]);
        chunks.close(at);
    }
    chunks.close(outer);
}

void write_material(ByteWriter& out, ChunkWriter& chunks, const TdsMaterial& m) {
    size_t entry = chunks.open(0xAFFF);
    size_t name = chunks.open(0xA000);
    out.cstr(m.name);
    chunks.close(name);
    const Rgb8 ambient = {uint8_t(m.diffuse[0] / 4), uint8_t(m.diffuse[1] / 4), uint8_t(m.diffuse[2] / 4)};
    colour_chunk(out, chunks, 0xA010, ambient);
    colour_chunk(out, chunks, 0xA020, m.diffuse);
    colour_chunk(out, chunks, 0xA030, {229, 229, 229});
    if (!m.map.empty()) {
        size_t map = chunks.open(0xA200);
        size_t pct = chunks.open(0x0030);
        out.u16(100);
        chunks.close(pct);
        size_t file = chunks.open(0xA300);
        out.cstr(m.map);
        chunks.close(file);
        size_t tiling = chunks.open(0xA351);
        out.u16(0);
        chunks.close(tiling);
        chunks.close(map);
    }
    chunks.close(entry);
}

void write_mesh(ByteWriter& out, ChunkWriter& chunks, const TdsObject& o) {
    size_t tri = chunks.open(0x4100);
    size_t points = chunks.open(0x4110);
    out.u16(unsigned(o.mesh.points.size()));
    for (const Vec& p : o.mesh.points) file_point(out, p);
    chunks.close(points);
    size_t uvs = chunks.open(0x4140);
    out.u16(unsigned(o.mesh.uvs.size()));
    for (const auto& t : o.mesh.uvs) {
        out.f32(t[0]);
        out.f32(t[1]);
    }
    chunks.close(uvs);
    size_t axes = chunks.open(0x4160);  // identity local axes, origin at 0
    for (float v : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f}) out.f32(v);
    chunks.close(axes);
    size_t faces = chunks.open(0x4120);
    out.u16(unsigned(o.mesh.faces.size()));
    for (const auto& f : o.mesh.faces) {
        out.u16(f[0]);
        out.u16(f[1]);
        out.u16(f[2]);
        out.u16(7);  // all three edges visible
    }
    size_t group = chunks.open(0x4130);
    out.cstr(o.material);
    out.u16(unsigned(o.mesh.faces.size()));
    for (size_t i = 0; i < o.mesh.faces.size(); ++i) out.u16(unsigned(i));
    chunks.close(group);
    size_t smooth = chunks.open(0x4150);
    for (size_t i = 0; i < o.mesh.faces.size(); ++i) out.u32(1);
    chunks.close(smooth);
    chunks.close(faces);
    chunks.close(tri);
}

void write_object(ByteWriter& out, ChunkWriter& chunks, const TdsObject& o) {
    size_t named = chunks.open(0x4000);
    out.cstr(o.name);
    if (o.kind == TdsKind::Mesh) {
        write_mesh(out, chunks, o);
    } else if (o.kind == TdsKind::Light) {
        size_t light = chunks.open(0x4600);
        file_point(out, o.position);
        size_t colour = chunks.open(0x0010);  // COLOR_F: white
        for (int i = 0; i < 3; ++i) out.f32(1);
        chunks.close(colour);
        chunks.close(light);
    } else {
        size_t camera = chunks.open(0x4700);
        file_point(out, o.position);
        file_point(out, o.target);
        out.f32(0);   // bank, degrees
        out.f32(35);  // lens, millimetres
        chunks.close(camera);
    }
    chunks.close(named);
}

// One track of a single key at frame 0: header, key count, key.
void track(ByteWriter& out, ChunkWriter& chunks, unsigned id, std::initializer_list<float> values) {
    size_t at = chunks.open(id);
    out.u16(0);   // flags
    out.u32(0);   // unknown
    out.u32(0);
    out.u32(1);   // keys
    out.u32(0);   // frame
    out.u16(0);   // spline flags
    for (float v : values) out.f32(v);
    chunks.close(at);
}

// Opens a keyframer node with its id and header (name, flags, no parent).
size_t node_header(ByteWriter& out, ChunkWriter& chunks, unsigned kind, unsigned id, const std::string& name) {
    size_t node = chunks.open(kind);
    size_t nid = chunks.open(0xB030);
    out.u16(id);
    chunks.close(nid);
    size_t header = chunks.open(0xB010);
    out.cstr(name);
    out.u16(0);
    out.u16(0);
    out.u16(0xFFFF);
    chunks.close(header);
    return node;
}

void write_keyframes(ByteWriter& out, ChunkWriter& chunks, const TdsScene& scene) {
    size_t kf = chunks.open(0xB000);
    size_t header = chunks.open(0xB00A);
    out.u16(5);
    out.cstr("MAXSCENE");
    out.u32(100);
    chunks.close(header);
    size_t segment = chunks.open(0xB008);
    out.u32(0);
    out.u32(100);
    chunks.close(segment);
    size_t now = chunks.open(0xB009);
    out.u32(0);
    chunks.close(now);
    unsigned id = 0;
    for (const TdsObject& o : scene.objects) {
        if (o.kind == TdsKind::Mesh) {
            size_t node = node_header(out, chunks, 0xB002, id++, o.name);
            size_t pivot = chunks.open(0xB013);
            for (int i = 0; i < 3; ++i) out.f32(0);
            chunks.close(pivot);
            track(out, chunks, 0xB020, {0, 0, 0});
            track(out, chunks, 0xB021, {0, 0, 0, 1});
            track(out, chunks, 0xB022, {1, 1, 1});
            chunks.close(node);
        } else if (o.kind == TdsKind::Light) {
            size_t node = node_header(out, chunks, 0xB005, id++, o.name);
            track(out, chunks, 0xB020, {o.position[0], -o.position[2], o.position[1]});
            chunks.close(node);
        } else {
            size_t node = node_header(out, chunks, 0xB003, id++, o.name);
            track(out, chunks, 0xB020, {o.position[0], -o.position[2], o.position[1]});
            track(out, chunks, 0xB023, {45});  // field of view
            track(out, chunks, 0xB024, {0});   // roll
            chunks.close(node);
            size_t target = node_header(out, chunks, 0xB004, id++, o.name);
            track(out, chunks, 0xB020, {o.target[0], -o.target[2], o.target[1]});
            chunks.close(target);
        }
    }
    chunks.close(kf);
}

}  // namespace

std::vector<uint8_t> write_3ds(const TdsScene& scene) {
    ByteWriter out;
    ChunkWriter chunks(out);
    size_t main = chunks.open(0x4D4D);
    size_t version = chunks.open(0x0002);
    out.u32(3);
    chunks.close(version);
    size_t mdata = chunks.open(0x3D3D);
    size_t mesh_version = chunks.open(0x3D3E);
    out.u32(3);
    chunks.close(mesh_version);
    for (const TdsMaterial& m : scene.materials) write_material(out, chunks, m);
    size_t scale = chunks.open(0x0100);
    out.f32(1);
    chunks.close(scale);
    for (const TdsObject& o : scene.objects) write_object(out, chunks, o);
    chunks.close(mdata);
    write_keyframes(out, chunks, scene);
    chunks.close(main);
    return out.take();
}
