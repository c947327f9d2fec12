#pragma once
// The show's media files, one row per table slot: the only place a file's
// name is written. The scenes' start-ups load by slot, the media generator
// writes by the same rows, and a test finds every slot filled.

// TextureTable entries, loaded by the scene start-ups.
enum TextureIndex {
    TexZu = 0, TexSight = 1, TexFlog = 2, TexLights = 3, TexEnvi = 4, TexClouds = 5,
    TexRutor = 6, TexEnvmap = 7, TexFogup = 8, TexFlare = 9, TexBlobs = 10, TexThennew = 11,
    TexSoultext = 12, TexMarrowen = 13, TexHoles = 14, TexCrysblb = 15, TexBg = 16, TexMyvelvet = 17
};

// ModelTable slots.
enum ModelSlot { SlotYeah = 0, SlotAru = 1, SlotMagic = 2, SlotOrey = 3, SlotShob = 4 };

struct TextureFile {
    TextureIndex index;
    const char* file;
};
inline constexpr TextureFile TextureFiles[] = {
    {TexZu, "zu.tga"},           {TexSight, "sight.tga"},       {TexFlog, "flog.tga"},
    {TexLights, "lights.tga"},   {TexEnvi, "envi.tga"},         {TexClouds, "clouds.tga"},
    {TexRutor, "rutor.tga"},     {TexEnvmap, "envmap.tga"},     {TexFogup, "fogup.tga"},
    {TexFlare, "flare.tga"},     {TexBlobs, "blobs.tga"},       {TexThennew, "thennew.tga"},
    {TexSoultext, "soultext.tga"}, {TexMarrowen, "marrowen.tga"}, {TexHoles, "holes.tga"},
    {TexCrysblb, "crysblb.tga"}, {TexBg, "bg.tga"},             {TexMyvelvet, "myvelvet.tga"},
};
constexpr int TextureFileCount = int(sizeof TextureFiles / sizeof TextureFiles[0]);

struct ModelFile {
    ModelSlot slot;
    const char* file;
};
inline constexpr ModelFile ModelFiles[] = {
    {SlotYeah, "yeah.3ds"}, {SlotAru, "aru.3ds"}, {SlotMagic, "magic.3ds"}, {SlotOrey, "orey.3ds"}, {SlotShob, "shob.3ds"},
};
constexpr int ModelFileCount = int(sizeof ModelFiles / sizeof ModelFiles[0]);

inline constexpr const char* TuneFile = "algar.xm";

// Row k holds slot k, so that a slot's row is found by its number.
constexpr bool media_table_holds() {
    for (int k = 0; k < TextureFileCount; ++k)
        if (TextureFiles[k].index != k) return false;
    for (int k = 0; k < ModelFileCount; ++k)
        if (ModelFiles[k].slot != k) return false;
    return true;
}
static_assert(media_table_holds(), "each media row must sit at its slot's number");

constexpr const char* texture_file(TextureIndex index) { return TextureFiles[index].file; }
constexpr const char* model_file(ModelSlot slot) { return ModelFiles[slot].file; }
