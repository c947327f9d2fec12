// The 3D Studio reader: the chunk tree, material matching, the axis change,
// the normal pass, and each malformed file beside the valid one it came from.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "models/model.h"
#include "platform/platform.h"
#include "tests/models/file_writers.h"

namespace {

using namespace writers;

// What a model holds, in one line per material and object.
std::string summary(const Model& model) {
    std::string out;
    for (const ModelMaterial& m : model.materials) {
        out += "mat " + std::string(m.name) + " [" + m.textureFile + "] " + std::to_string(m.colour[0]) + "," +
               std::to_string(m.colour[1]) + "," + std::to_string(m.colour[2]) + "\n";
    }
    for (const ModelObject& o : model.objects) {
        out += "obj " + std::string(o.name) + " v" + std::to_string(o.vertexCount) + " f" + std::to_string(o.faceCount) +
               " t" + std::to_string(o.texCoordCount) + " m" + std::to_string(o.materialIndex) +
               (o.hasTexture ? " textured\n" : "\n");
        EXPECT_EQ(o.vertices.size(), size_t(o.vertexCount)) << o.name;
        EXPECT_EQ(o.normals.size(), size_t(o.vertexCount)) << o.name;
        EXPECT_EQ(o.faces.size(), size_t(o.faceCount)) << o.name;
        EXPECT_EQ(o.texCoords.size(), size_t(o.texCoordCount)) << o.name;
    }
    EXPECT_EQ(model.materials.size(), size_t(model.materialCount));
    EXPECT_EQ(model.objects.size(), size_t(model.objectCount));
    return out;
}

const Bytes Triangle = points({0, 0, 0, 1, 0, 0, 0, 1, 0});
const Bytes TriangleFace = faces({0, 1, 2});

class Import3ds : public ::testing::Test {
protected:
    void SetUp() override { platform::set_message_sink(&sink); }
    void TearDown() override { platform::set_message_sink(nullptr); }
    bool import(const Bytes& file) { return import_3ds_bytes(loader, model, file.data(), file.size(), "test.3ds"); }
    std::string read(const Bytes& file) {
        model = Model{};
        loader = ModelLoader{};
        EXPECT_TRUE(import(file));
        return summary(model);
    }
    platform::RecordingMessageSink sink;
    ModelLoader loader;
    Model model;
};

TEST_F(Import3ds, RefusalsShowOneErrorBoxAndLeaveTheModelEmpty) {
    std::string dir = testing::TempDir();
    ASSERT_TRUE(write_file(dir + "other.3ds", chunk(0x4D4C, {version(3)})));
    ASSERT_TRUE(write_file(dir + "short.3ds", Bytes{0x4D, 0x4D, 0}));
    struct Case { std::string file, message; } cases[] = {
        {dir + "missing.3ds", "Unable to find the file: " + dir + "missing.3ds!"},
        {dir + "other.3ds", "Unable to load PRIMARY chuck from file: " + dir + "other.3ds!"},
        {dir + "short.3ds", "Unable to load PRIMARY chuck from file: " + dir + "short.3ds!"},
    };
    for (const Case& c : cases) {
        sink.boxes.clear();
        ModelLoader freshLoader;
        Model empty;
        EXPECT_FALSE(import_3ds(freshLoader, empty, c.file.c_str()));
        EXPECT_EQ(summary(empty), "");
        ASSERT_EQ(sink.boxes.size(), 1u);
        EXPECT_EQ(sink.boxes[0].text, c.message);
        EXPECT_EQ(sink.boxes[0].caption, "Error");
        EXPECT_FALSE(sink.boxes[0].owned);
    }
}

TEST_F(Import3ds, VersionFourWarnsAndStillReads) {
    EXPECT_EQ(read(chunk(0x4D4D, {version(3)})), "");  // no MDATA: an empty model, and true
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_EQ(read(mesh_file({object("Tri", {Triangle, TriangleFace})}, 4)), "obj Tri v3 f1 t0 m0\n");
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text, "This 3DS file is over version 3 so it may load incorrectly");
    EXPECT_EQ(sink.boxes[0].caption, "Warning");
}

// A file as exporters write it: both chunk levels, look-ahead reads, and
// sub-chunks of FACE_ARRAY and MAT_DIFFUSE met by the parent's loop.
TEST_F(Import3ds, ReadsAWholeFile) {
    Bytes file = cat({mesh_file({
        material("Red", "", cat({colour24(200, 100, 50), chunk(0x0012, {Bytes{1, 2, 3}})})),
        chunk(0xAFFF, {chunk(0xA000, {cstr("Skin")}), chunk(0xA300, {cstr("skin.bmp")}),  // map name outside MAT_TEXMAP
                       chunk(0xA230, {chunk(0xA300, {cstr("bump.bmp")})})}),             // other maps are skipped
        chunk(0x0100, {f32(1)}),
        object("Box", {points({1, 2, 3, 4, 5, 6, 7, 8, 9}), tex_verts({0, 0, 1, 0, 0.5f, 1}), chunk(0x4160, {Bytes(48, 0)}),
                       faces({0, 1, 2}, {mat_group("Skin"), chunk(0x4150, {u32(1)})})}),
        object("Plain", {Triangle, TriangleFace}),
        chunk(0x4000, {cstr("Camera01"), chunk(0x4700, {Bytes(32, 0)})}),
    })});
    // Keyframe data at the primary level: skipped whole.
    file = cat({chunk(0x4D4D, {Bytes(file.begin() + 6, file.end()), chunk(0xB000, {chunk(0xB00A, {Bytes(9, 0)})})})});
    EXPECT_EQ(read(file), "mat Red [] 200,100,50\n"
                          "mat Skin [skin.bmp] 0,0,0\n"
                          "obj Box v3 f1 t3 m1 textured\n"
                          "obj Plain v3 f1 t0 m0\n"
                          "obj Camera01 v0 f0 t0 m0\n");
    EXPECT_TRUE(sink.boxes.empty());
    const ModelObject& box = model.objects[0];
    const float want[3][3] = {{1, 3, -2}, {4, 6, -5}, {7, 9, -8}};  // file (x, y, z) as (x, z, -y)
    for (int v = 0; v < 3; ++v) {
        EXPECT_EQ(box.vertices[size_t(v)].x, want[v][0]);
        EXPECT_EQ(box.vertices[size_t(v)].y, want[v][1]);
        EXPECT_EQ(box.vertices[size_t(v)].z, want[v][2]);
    }
    EXPECT_EQ(box.texCoords[2].u, 0.5f);
    EXPECT_EQ(box.texCoords[2].v, 1.0f);
    EXPECT_EQ(box.faces[0].c, 2);
}

TEST_F(Import3ds, MaterialMatching) {
    const Bytes red = material("Red", "", colour24(1, 1, 1)), skin = material("Skin", "skin.bmp", colour24(2, 2, 2));
    auto tri = [](std::initializer_list<Bytes> groups) { return object("T", {Triangle, faces({0, 1, 2}, groups)}); };
    struct Case { const char* name; Bytes file; const char* want; } cases[] = {
        {"no group", mesh_file({red, tri({})}), "m0\n"},
        {"unknown material", mesh_file({red, skin, tri({mat_group("Blue")})}), "m-1\n"},
        {"material defined after the object", mesh_file({red, tri({mat_group("Skin")}), skin}), "m-1\n"},
        {"names match exactly", mesh_file({red, skin, tri({mat_group("skin")})}), "m-1\n"},
        {"first of two equal names", mesh_file({skin, skin, tri({mat_group("Skin")})}), "m0 textured\n"},
        {"the last group sets the index, hasTexture stays", mesh_file({red, skin, tri({mat_group("Skin"), mat_group("Red")})}),
         "m0 textured\n"},
        {"last group unmatched", mesh_file({red, skin, tri({mat_group("Skin"), mat_group("Blue")})}), "m-1 textured\n"},
        {"no materials at all", mesh_file({tri({mat_group("Red")})}), "m0\n"},
    };
    for (const Case& c : cases) {
        std::string s = read(c.file);
        EXPECT_EQ(s.substr(s.find("obj T v3 f1 t0 ") + 15), c.want) << c.name;
    }
}

TEST_F(Import3ds, FirstSubChunkOfEditorDataIsConsumedWhateverItsId) {
    Bytes file = chunk(0x4D4D, {chunk(0x3D3D, {object("Hidden", {Triangle}), object("Seen", {Triangle})})});
    EXPECT_EQ(read(file), "obj Seen v3 f0 t0 m0\n");
}

// Each rule for a malformed file: the model keeps what is sound, the import
// returns true, and nothing is read outside the file.
TEST_F(Import3ds, MalformedFiles) {
    const Bytes next = object("Next", {Triangle, TriangleFace});
    const std::string nextRead = "obj Next v3 f1 t0 m0\n";
    const std::string n300(300, 'n'), n254(254, 'n');
    Bytes cutPoints = mesh_file({object("Cut", {TriangleFace, points({0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5})})});
    cutPoints.resize(cutPoints.size() - 6);
    Bytes deep = Triangle;
    for (int i = 0; i < 5000; ++i) deep = chunk(0x4100, {deep});
    Bytes longVersion = chunk(0x4D4D, {chunk(0x0002, {u32(3), u32(99)}), chunk(0x3D3D, {chunk(0x3D3E, {}), next})});
    struct Case { const char* name; Bytes file; std::string want; } cases[] = {
        {"chunk length below 6 ends its level",
         mesh_file({object("A", {Triangle, chunk_claiming(0x4160, 2), TriangleFace}), next}), "obj A v3 f0 t0 m0\n" + nextRead},
        {"chunk past its parent ends its level",
         mesh_file({object("A", {Triangle, chunk_claiming(0x4120, 1000, {u16(1), u16(0), u16(1), u16(2), u16(0)})}), next}),
         "obj A v3 f0 t0 m0\n" + nextRead},
        {"end of file inside a point array keeps the whole vertices read", cutPoints, "obj Cut v3 f1 t0 m0\n"},
        {"end of file inside a chunk header",
         chunk_claiming(0x4D4D, 9999, {chunk(0x3D3D, {chunk(0x3D3E, {}), next}), Bytes{0x00, 0x40, 9}}), nextRead},
        {"primary chunk shorter than its header", chunk_claiming(0x4D4D, 2, {next}), ""},
        {"names over 254 characters are cut",
         mesh_file({material(n300, n300, colour24(1, 2, 3)), object(n300, {Triangle, faces({0, 1, 2}, {mat_group(n300)})})}),
         "mat " + n254 + " [" + n254 + "] 1,2,3\nobj " + n254 + " v3 f1 t0 m0 textured\n"},
        {"a payload longer than its field is skipped past",
         mesh_file({chunk(0xAFFF, {chunk(0xA000, {cstr("Long"), Bytes(400, 'x')}), chunk(0xA020, {colour24(7, 8, 9)})}),
                    object("P", {chunk(0x4110, {u16(1), f32(1), f32(2), f32(3), Bytes(24, 0xFF)}), TriangleFace})}),
         "mat Long [] 7,8,9\nobj P v1 f0 t0 m0\n"},
        {"a version payload longer than 4 bytes", longVersion, nextRead},
        {"COLOR_F gives bytes, clamped",
         mesh_file({chunk(0xAFFF, {chunk(0xA000, {cstr("F")}), chunk(0xA020, {chunk(0x0010, {f32(1), f32(0.5f), f32(0)})})}),
                    chunk(0xAFFF, {chunk(0xA000, {cstr("G")}),
                                   chunk(0xA020, {chunk(0x0010, {f32(2), f32(-1), f32(std::nanf(""))})})})}),
         "mat F [] 255,128,0\nmat G [] 255,0,0\n"},
        {"faces naming a vertex past the count are dropped",
         mesh_file({object("A", {faces({0, 1, 2, 0, 1, 3, 3, 4, 5, 2, 1, 0}), Triangle})}), "obj A v3 f2 t0 m0\n"},
        {"counts larger than the chunk holds are cut",
         mesh_file({object("A", {chunk(0x4110, {u16(65535), f32(0), f32(0), f32(0), f32(1), f32(0), f32(0)}),
                                 chunk(0x4140, {u16(900), f32(0), f32(0)}),
                                 chunk(0x4120, {u16(1000), u16(0), u16(1), u16(1), u16(0)})}),
                    next}),
         "obj A v2 f1 t1 m0\n" + nextRead},
        {"nesting past 32 levels ends that level", mesh_file({chunk(0x4000, {cstr("Deep"), deep}), next}),
         "obj Deep v0 f0 t0 m0\n" + nextRead},
    };
    for (const Case& c : cases) EXPECT_EQ(read(c.file), c.want) << c.name;
    EXPECT_TRUE(sink.boxes.empty());
}

Model one_object(std::vector<Vec3> vertices, std::vector<ModelFace> faces) {
    Model model;
    model.objects.push_back(ModelObject{});
    model.objectCount = 1;
    ModelObject& o = model.objects[0];
    o.vertexCount = int32_t(vertices.size());
    o.faceCount = int32_t(faces.size());
    o.vertices = std::move(vertices);
    o.faces = std::move(faces);
    compute_vertex_normals(model);
    return model;
}

void expect_normal(const Vec3& n, float x, float y, float z, const char* what) {
    EXPECT_NEAR(n.x, x, 1e-6f) << what;
    EXPECT_NEAR(n.y, y, 1e-6f) << what;
    EXPECT_NEAR(n.z, z, 1e-6f) << what;
}

TEST(VertexNormals, RightHandRuleOverTheFaces) {
    Model tri = one_object({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    for (const Vec3& n : tri.objects[0].normals) expect_normal(n, 0, 0, 1, "one triangle");
}

// Faces of area 1 (facing +z) and 3 (facing +y) share vertices 0 and 1: they
// get the unit of (0, 6, 2), not the mean of the two unit normals.
TEST(VertexNormals, SharedVerticesAreAreaWeighted) {
    Model quad = one_object({{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {0, 0, -6}}, {{0, 1, 2}, {0, 1, 3}});
    const std::vector<Vec3>& n = quad.objects[0].normals;
    float s = 1 / std::sqrt(40.0f);
    expect_normal(n[0], 0, 6 * s, 2 * s, "shared 0");
    expect_normal(n[1], 0, 6 * s, 2 * s, "shared 1");
    expect_normal(n[2], 0, 0, 1, "area 1 only");
    expect_normal(n[3], 0, 1, 0, "area 3 only");
}

// The one-pass sum gives, bit for bit, what the per-vertex search over every
// face in ascending order gives: the same additions in the same order, a face
// naming a vertex twice counted once, the division by -k before the length.
TEST(VertexNormals, OnePassMatchesThePerVertexSearchBitForBit) {
    std::vector<Vec3> vertices;
    uint32_t seed = 7;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (int v = 0; v < 40; ++v) vertices.push_back({float(next() % 2001) / 97.0f - 10, float(next() % 2001) / 89.0f - 11,
                                                     float(next() % 2001) / 83.0f - 12});
    std::vector<ModelFace> faces;
    for (int f = 0; f < 600; ++f) {
        int32_t a = int32_t(next() % 40), b = int32_t(next() % 40), c = int32_t(next() % 40);
        faces.push_back({a, b, f % 9 == 0 ? a : c});
    }
    Model model = one_object(vertices, faces);
    for (int32_t v = 0; v < 40; ++v) {
        Vec3 s{0.0f, 0.0f, 0.0f};
        int32_t k = 0;
        for (const ModelFace& face : faces) {
            if (face.a != v && face.b != v && face.c != v) continue;
            const Vec3 &p0 = vertices[size_t(face.a)], &p1 = vertices[size_t(face.b)], &p2 = vertices[size_t(face.c)];
            Vec3 a{p0.x - p2.x, p0.y - p2.y, p0.z - p2.z}, b{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
            s = {s.x + (a.y * b.z - a.z * b.y), s.y + (a.z * b.x - a.x * b.z), s.z + (a.x * b.y - a.y * b.x)};
            ++k;
        }
        ASSERT_GT(k, 1) << v;  // every vertex shared, so the order of the sum matters
        Vec3 n{s.x / float(-k), s.y / float(-k), s.z / float(-k)};
        float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        const Vec3& got = model.objects[0].normals[size_t(v)];
        EXPECT_EQ(got.x, n.x / length) << v;
        EXPECT_EQ(got.y, n.y / length) << v;
        EXPECT_EQ(got.z, n.z / length) << v;
    }
}

// Where the normal would be 0/0 (no face, zero area), infinite or NaN, it points up.
TEST(VertexNormals, UndefinedNormalsPointUp) {
    float big = std::numeric_limits<float>::max();
    float nan = std::nanf("");
    Model model = one_object({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {5, 5, 5}, {0, 0, 0}, {big, 0, 0}, {0, big, 0},
                              {nan, 0, 0}, {0, 1, 0}, {1, 0, 0}},
                             {{0, 1, 2}, {4, 5, 6}, {0, 0, 0}, {7, 8, 9}});
    for (const Vec3& n : model.objects[0].normals) expect_normal(n, 0, 1, 0, "undefined");
}

// Faces so small or so large that the squares of their normal leave float
// range keep their direction and unit length.
TEST(VertexNormals, TinyAndHugeFacesKeepTheirDirection) {
    for (float scale : {1e-19f, 1e-21f, 1e10f, 1e15f}) {
        Model model = one_object({{0, 0, 0}, {scale, 0, 0}, {0, scale, 0}}, {{0, 1, 2}});
        for (const Vec3& n : model.objects[0].normals) expect_normal(n, 0, 0, 1, std::to_string(scale).c_str());
    }
}

}  // namespace
