#include "tools/YMapWriter.h"

#include <cstring>
#include <fstream>

#include "renderer/YMapVT3.h"

namespace {

class Bytes {
public:
    void U8(DWORD v) { m_bytes.push_back(static_cast<BYTE>(v)); }
    void U16(DWORD v)
    {
        U8(v);
        U8(v >> 8);
    }
    void U32(DWORD v)
    {
        U16(v);
        U16(v >> 16);
    }
    void F32(float f)
    {
        DWORD v;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void Raw(const char* text, size_t length) { m_bytes.insert(m_bytes.end(), text, text + length); }
    void Str(const char* text)
    {
        size_t length = std::strlen(text);
        U16(static_cast<DWORD>(length));
        Raw(text, length);
    }
    void Block(int type, const Bytes& payload) { CountedBlock(type, kNoCount, payload); }
    // A block whose payload is a u32 record count and then the records.
    void CountedBlock(int type, DWORD count, const Bytes& records)
    {
        const size_t counted = count == kNoCount ? 0 : 4;
        U8(type);
        U8(0);
        U32(static_cast<DWORD>(records.m_bytes.size() + counted));
        if (counted) U32(count);
        m_bytes.insert(m_bytes.end(), records.m_bytes.begin(), records.m_bytes.end());
        ++m_blocks;
    }
    static constexpr DWORD kNoCount = 0xFFFFFFFF;
    std::vector<BYTE> m_bytes;
    DWORD m_blocks = 0;
};

void Models(Bytes& b, const std::vector<YMapVT3Model_Output>& models, bool longForm)
{
    b.U32(static_cast<DWORD>(models.size()));
    for (const YMapVT3Model_Output& m : models) {
        b.Str(m.m_name);
        for (float f : {m.m_x, m.m_z, m.m_y, m.m_pitch, m.m_roll, m.m_yaw, m.m_scale}) b.F32(f);
        b.U32(0);
        b.U32(0);
        b.U8(m.m_flag);
        b.U32(m.m_word);
        if (longForm) b.U32(m.m_values[0]);
        b.U32(m.m_values[1]);
        if (longForm) b.U32(m.m_values[2]);
    }
}

void Strings(Bytes& b, const CStringArray& list)
{
    for (int i = 0; i < list.GetSize(); ++i) b.Str(list[i]);
}

void Terrain(Bytes& blocks, const YMapVT3& map)
{
    Bytes vertices;
    vertices.U32(static_cast<DWORD>(map.m_vertices.size()));
    for (const YMapVT3Vertex& v : map.m_vertices) {
        for (float f : {v.m_x, v.m_y, v.m_z}) vertices.F32(f);
        for (DWORD e : v.m_extra) vertices.U32(e);
    }
    blocks.Block(16, vertices);

    Bytes groups;
    groups.U32(static_cast<DWORD>(map.m_groups.size()));
    for (const YMapVT3Group& g : map.m_groups) {
        groups.U8(g.m_kind);
        groups.U8(g.m_surface);
        groups.U32(static_cast<DWORD>(g.m_corners.size()));
        for (const YMapVT3Corner& c : g.m_corners) {
            groups.U32(c.m_vertex);
            groups.U8(c.m_red);
            groups.U8(c.m_green);
            groups.U8(c.m_blue);
        }
        groups.U8(static_cast<DWORD>(g.m_layerTextures.size()));
        for (size_t l = 0; l < g.m_layerTextures.size(); ++l) {
            groups.U16(g.m_layerTextures[l]);
            for (const YMapVT3LayerCorner& lc : g.m_layerCorners[l]) {
                groups.F32(lc.m_u);
                groups.F32(lc.m_v);
                groups.U8(lc.m_alpha);
            }
        }
    }
    blocks.Block(23, groups);

    Bytes cells;
    cells.U32(0);
    for (DWORD x = 0; x < map.m_gridWidth; ++x)
        for (DWORD z = 0; z < map.m_gridHeight; ++z) {
            const std::vector<DWORD>& list = map.m_cells[static_cast<size_t>(z) * map.m_gridWidth + x].m_groups;
            cells.U16(static_cast<DWORD>(list.size()));
            for (DWORD g : list) cells.U32(g);
        }
    blocks.Block(18, cells);
}

void Trees(Bytes& blocks, const std::vector<YMapVT3Tree>& trees)
{
    Bytes paths, singles;
    DWORD pathCount = 0, singleCount = 0;
    for (const YMapVT3Tree& t : trees) {
        if (t.m_kind == YMapVT3Tree::kSingle) {
            ++singleCount;
            singles.U8(t.m_singleByte);
            singles.U16(t.m_singleWord);
            for (DWORD v : t.m_singleValues) singles.U32(v);
            continue;
        }
        ++pathCount;
        paths.U16(t.m_treeCount);
        paths.U32(t.m_seed);
        paths.U8(t.m_orientation);
        for (BYTE v : t.m_bytesA) paths.U8(v);
        for (BYTE v : t.m_bytesB) paths.U8(v);
        for (WORD v : t.m_wordsA) paths.U16(v);
        for (WORD v : t.m_wordsB) paths.U16(v);
        for (float v : t.m_floatsA) paths.F32(v);
        for (float v : t.m_floatsB) paths.F32(v);
        paths.U32(t.m_value0);
        paths.U8(t.m_byte0);
        for (DWORD v : t.m_values) paths.U32(v);
        paths.U8(t.m_closed);
        paths.U16(static_cast<DWORD>(t.m_points.size()));
        for (const YMapVT3TreePoint& p : t.m_points) {
            paths.F32(p.m_x);
            paths.F32(p.m_z);
        }
    }
    if (pathCount) blocks.CountedBlock(13, pathCount, paths);
    if (singleCount) blocks.CountedBlock(14, singleCount, singles);
}

void Sky(Bytes& blocks, const YMapVT3& map)
{
    if (!map.m_celestials.empty()) {
        Bytes sky;
        sky.U8(static_cast<DWORD>(map.m_celestials.size()));
        for (const CelestialObject& o : map.m_celestials) {
            sky.U8(o.m_byte0);
            sky.U16(o.m_word0);
            for (DWORD v : o.m_values) sky.U32(v);
            for (BYTE v : o.m_bytes) sky.U8(v);
            sky.U8(static_cast<DWORD>(o.m_files.size()));
            for (const YString& f : o.m_files) sky.Str(f);
            for (DWORD v : o.m_values2) sky.U32(v);
            for (BYTE v : o.m_bytes2) sky.U8(v);
            sky.U32(o.m_last);
        }
        blocks.Block(20, sky);
    }
    if (!map.m_clouds.empty()) {
        Bytes clouds;
        clouds.U8(static_cast<DWORD>(map.m_clouds.size()));
        for (const CloudPlane& c : map.m_clouds) {
            clouds.U32(c.m_value0);
            clouds.Str(c.m_texture);
            for (DWORD v : c.m_values) clouds.U32(v);
        }
        blocks.Block(21, clouds);
    }
}

}  // namespace

std::vector<BYTE> YMapWriter::Write(const YMapVT3& map)
{
    Bytes blocks;
    Bytes tags;
    tags.U32(static_cast<DWORD>(map.m_tags.size()));
    for (const YMapVT3Tag& t : map.m_tags) {
        tags.U16(t.m_name.GetLength());
        tags.U16(t.m_value.GetLength());
        tags.Raw(t.m_name, t.m_name.GetLength());
        tags.Raw(t.m_value, t.m_value.GetLength());
    }
    blocks.Block(1, tags);
    Bytes models;
    Models(models, map.m_models, true);
    blocks.Block(5, models);
    if (!map.m_models2.empty()) {
        Bytes second;
        Models(second, map.m_models2, false);
        blocks.Block(22, second);
    }
    Bytes sounds;
    sounds.U32(static_cast<DWORD>(map.m_sounds.size()));
    for (const YMapVT3Sound_Output& s : map.m_sounds) {
        sounds.U32(s.m_hasSecond ? 1 : 0);
        if (s.m_hasSecond) sounds.Str(s.m_secondName);
        sounds.Str(s.m_firstName);
        for (DWORD v : {s.m_a, s.m_b, s.m_c, s.m_f, s.m_g, s.m_h, s.m_d, s.m_e, s.m_i, s.m_j}) sounds.U32(v);
    }
    blocks.Block(7, sounds);
    if (map.m_strings3.GetSize() || map.m_strings4.GetSize()) {
        Bytes lists;
        lists.U32(static_cast<DWORD>(map.m_strings3.GetSize()));
        Strings(lists, map.m_strings3);
        lists.U32(static_cast<DWORD>(map.m_strings4.GetSize()));
        Strings(lists, map.m_strings4);
        blocks.Block(12, lists);
    }
    if (map.m_strings1.GetSize()) {
        Bytes list;
        list.U16(static_cast<DWORD>(map.m_strings1.GetSize()));
        Strings(list, map.m_strings1);
        blocks.Block(15, list);
    }
    Trees(blocks, map.m_trees);
    if (!map.m_vertices.empty()) Terrain(blocks, map);
    Sky(blocks, map);

    Bytes header;
    header.Raw("YMAP", 4);
    header.U8(4);
    header.U8(0);
    header.U32(map.m_gridWidth);
    header.U32(map.m_gridHeight);
    for (float f : {map.m_cellSize, map.m_originX, map.m_originY, map.m_originZ}) header.F32(f);
    header.U32(blocks.m_blocks);
    header.U32(static_cast<DWORD>(header.m_bytes.size() + 4));
    header.m_bytes.insert(header.m_bytes.end(), blocks.m_bytes.begin(), blocks.m_bytes.end());
    return header.m_bytes;
}

bool YMapWriter::WriteFile(const YMapVT3& map, const std::string& path, std::string& error)
{
    std::vector<BYTE> bytes = Write(map);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
