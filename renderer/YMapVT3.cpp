#include "renderer/YMapVT3.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "foundation/YObjectDef.h"
#include "renderer/YMapBlockReader.h"
#include "renderer/YParser.h"
#include "renderer/YParserZone.h"

IMPLEMENT_DYNAMIC(YMapVT3, CObject)

namespace {

const char kMagic[4] = {'Y', 'M', 'A', 'P'};
const UINT kArchiveBuffer = 0x40000;
const ULONGLONG kHeaderBytes = 38;

// Form-1 groups carry a surface code; codes past the table count as ground.
BYTE SurfaceFromCode(BYTE code)
{
    static const BYTE table[] = {0x07, 0x43, 0x01, 0x5F, 0x53};
    return code < sizeof(table) ? table[code] : table[0];
}

// A colour channel from 0.0 .. 1.0; anything outside (or not a number) is clamped.
BYTE ColourByte(float channel)
{
    float value = channel * 255.0f;
    if (!(value > 0.0f)) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<BYTE>(value);
}

[[noreturn]] void Refuse() { AfxThrowArchiveException(CArchiveException::badIndex); }

void FreeZone(YParserZone* zone)
{
    if (!zone) return;
    free(zone->m_buffer);
    delete zone->m_object;
    delete zone;
}

DWORD ArchiveDword(CArchive& ar)
{
    DWORD value;
    ar >> value;
    return value;
}

float ArchiveFloat(CArchive& ar)
{
    float value;
    ar >> value;
    return value;
}

}  // namespace

YMapVT3::YMapVT3() = default;

YMapVT3::~YMapVT3() { Clear(); }

int YMapVT3::LoadFile(const char* path, YParser* renderer)
{
    m_renderer = renderer;
    CFile file;
    CFileException error;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &error)) return 0;
    m_readKind = 0;
    m_tags.clear();
    m_whole = false;
    try {
        CArchive ar(&file, CArchive::load, kArchiveBuffer);
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        m_whole = false;
    }
    file.Abort();
    if (!m_whole) {
        Clear();
        return 0;
    }
    return 1;
}

void YMapVT3::Serialize(CArchive& ar)
{
    if (ar.IsLoading()) m_whole = ReadStream(ar);
    if (m_stripState == kTerrainRead) BuildStrips();
}

bool YMapVT3::ReadStream(CArchive& ar)
{
    char magic[4];
    ar.EnsureCanRead(sizeof(magic) + 2);
    ar.Read(magic, sizeof(magic));
    BYTE version, skipped;
    ar >> version >> skipped;
    if (std::memcmp(magic, kMagic, sizeof(magic)) != 0 || (version != 2 && version != 4)) {
        m_tags.clear();
        return false;
    }
    ReadHeader(ar);
    DWORD blockCount, firstBlock;
    ar >> blockCount >> firstBlock;
    if (firstBlock < kHeaderBytes) Refuse();
    ar.Flush();
    CFile* file = ar.GetFile();
    if (firstBlock > file->GetLength()) AfxThrowArchiveException(CArchiveException::endOfFile);
    file->Seek(firstBlock, CFile::begin);

    m_cells.assign(static_cast<size_t>(m_gridWidth) * m_gridHeight, YMapVT3Cell());
    m_vertexHeights.assign(static_cast<size_t>(m_gridWidth + 1) * (m_gridHeight + 1), 0.0f);
    m_heightTable.assign(kHeightTable, 0.0f);
    m_trees.clear();

    std::vector<BYTE> payload;
    for (DWORD block = 0; block < blockCount; ++block) {
        BYTE type, spare;
        DWORD size;
        ar >> type >> spare >> size;
        ar.EnsureCanRead(size);
        switch (type) {
        case 1: case 5: case 7: case 10: case 12: case 13: case 14: case 15:
        case 16: case 17: case 18: case 20: case 21: case 22: case 23: case 24: {
            payload.resize(size);
            if (size) ar.Read(payload.data(), size);
            YMapBlockReader in(payload.data(), payload.size());
            ReadBlock(type, in);
            if (!in.AtEnd()) Refuse();  // the content must fill its block exactly
            break;
        }
        default:
            ar.Flush();
            file->Seek(size, CFile::current);
            break;
        }
    }
    CheckIndexes(file->GetLength());
    // The renderer takes the zones once the whole map has been read.
    if (m_renderer) {
        for (YParserZone* zone : m_zones) m_renderer->AppendZone(zone);
        m_zones.clear();
    }
    for (float& h : m_heightTable) h *= 8.0f;
    for (float& h : m_vertexHeights) h *= 8.0f;
    return true;
}

void YMapVT3::ReadHeader(CArchive& ar)
{
    m_gridWidth = ArchiveDword(ar);
    m_gridHeight = ArchiveDword(ar);
    m_cellSize = ArchiveFloat(ar);
    m_originX = ArchiveFloat(ar);
    m_originY = ArchiveFloat(ar);
    m_originZ = ArchiveFloat(ar);
    const ULONGLONG cells = static_cast<ULONGLONG>(m_gridWidth) * m_gridHeight;
    if (!m_gridWidth || !m_gridHeight || cells > kMaxCells) Refuse();
    if (!(m_cellSize > 0.0f) || !std::isfinite(m_cellSize)) Refuse();
}

void YMapVT3::ReadBlock(BYTE type, YMapBlockReader& in)
{
    switch (type) {
    case 1: ReadTags(in); break;
    case 5: ReadModels(in, m_models, true); break;
    case 7: ReadSounds(in); break;
    case 10: ReadZones(in, false); break;
    case 12: ReadStringLists(in); break;
    case 13: ReadPathTrees(in); break;
    case 14: ReadSingleTrees(in); break;
    case 15: ReadStringList1(in); break;
    case 16: ReadVertices(in); break;
    case 17: ReadGroupsOneLayer(in); break;
    case 18: ReadCells(in); break;
    case 20: ReadCelestials(in); break;
    case 21: ReadClouds(in); break;
    case 22: ReadModels(in, m_models2, false); break;
    case 23: ReadGroupsLayered(in); break;
    case 24: ReadZones(in, true); break;
    default: break;
    }
}

void YMapVT3::ReadTags(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 4);
    std::vector<YMapVT3Tag> tags(count);
    for (YMapVT3Tag& tag : tags) {
        WORD nameLength = in.ReadWord();
        WORD valueLength = in.ReadWord();
        if (nameLength > kMaxString || valueLength > kMaxString) Refuse();
        std::string name(nameLength, '\0'), value(valueLength, '\0');
        in.ReadBytes(&name[0], nameLength);
        in.ReadBytes(&value[0], valueLength);
        tag.m_name = name.c_str();
        tag.m_value = value.c_str();
        tag.m_flag = 0;
    }
    m_tags.swap(tags);
}

void YMapVT3::ReadModels(YMapBlockReader& in, std::vector<YMapVT3Model_Output>& list, bool longForm)
{
    DWORD count = in.CheckCount(in.ReadDword(), longForm ? 55 : 47);
    std::vector<YMapVT3Model_Output> models(count);
    for (YMapVT3Model_Output& m : models) {
        m.m_name = in.ReadString(kMaxString);
        m.m_x = in.ReadFloat();
        m.m_z = in.ReadFloat();
        m.m_y = in.ReadFloat();
        m.m_pitch = in.ReadFloat();
        m.m_roll = in.ReadFloat();
        m.m_yaw = in.ReadFloat();
        m.m_scale = in.ReadFloat();
        in.Skip(8);
        m.m_flag = in.ReadByte();
        m.m_word = static_cast<WORD>(in.ReadDword() & 0xFFFF);
        if (longForm) m.m_values[0] = in.ReadDword();
        m.m_values[1] = in.ReadDword();
        if (longForm) m.m_values[2] = in.ReadDword();
    }
    list.swap(models);
}

void YMapVT3::ReadSounds(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 46);
    std::vector<YMapVT3Sound_Output> sounds(count);
    for (YMapVT3Sound_Output& s : sounds) {
        bool second = in.ReadDword() == 1;
        if (second) s.m_secondName = in.ReadString(kMaxString);
        s.m_firstName = in.ReadString(kMaxString);
        s.m_hasSecond = second ? 1 : 0;
        s.m_a = in.ReadDword();
        s.m_b = in.ReadDword();
        s.m_c = in.ReadDword();
        s.m_f = in.ReadDword();
        s.m_g = in.ReadDword();
        s.m_h = in.ReadDword();
        s.m_d = in.ReadDword();
        s.m_e = in.ReadDword();
        s.m_i = in.ReadDword();
        s.m_j = in.ReadDword();
    }
    m_sounds.swap(sounds);
}

void YMapVT3::ReadZones(YMapBlockReader& in, bool threeCoordinates)
{
    DWORD count = in.CheckCount(in.ReadDword(), 12);
    for (DWORD n = 0; n < count; ++n) {
        std::unique_ptr<YObjectDef> values(new YObjectDef());
        YString name = in.ReadString(kMaxZoneString);
        WORD pairs = in.ReadWord();
        for (WORD p = 0; p < pairs; ++p) {
            WORD keyLength = in.ReadWord();
            WORD valueLength = in.ReadWord();
            if (keyLength > kMaxZoneString || valueLength > kMaxZoneString) Refuse();
            std::string key(keyLength, '\0'), value(valueLength, '\0');
            in.ReadBytes(&key[0], keyLength);
            in.ReadBytes(&value[0], valueLength);
            values->Set(key.c_str(), value.c_str(), 0);
        }
        BYTE flag = in.ReadDword() ? 1 : 0;
        in.Skip(4);
        WORD points = in.ReadWord();
        in.CheckCount(points, threeCoordinates ? 12 : 8);
        float* buffer = static_cast<float*>(calloc(points ? points * 3 : 1, sizeof(float)));
        if (!buffer) AfxThrowMemoryException();
        for (WORD p = 0; p < points; ++p) {
            buffer[p * 3] = in.ReadFloat();
            buffer[p * 3 + 2] = in.ReadFloat();
            buffer[p * 3 + 1] = threeCoordinates ? in.ReadFloat() : 0.0f;
        }
        YParserZone* zone = new YParserZone();
        zone->m_name = name;
        zone->m_buffer = buffer;
        zone->m_pointCount = points;
        zone->m_object = values.release();
        zone->m_flag = flag;
        m_zones.push_back(zone);
    }
}

void YMapVT3::ReadStringLists(YMapBlockReader& in)
{
    CStringArray* lists[2] = {&m_strings3, &m_strings4};
    for (CStringArray* list : lists) {
        DWORD count = in.CheckCount(in.ReadDword(), 2);
        list->RemoveAll();
        for (DWORD n = 0; n < count; ++n) list->Add(CString(in.ReadString(kMaxString).GetBuffer()));
    }
}

void YMapVT3::ReadPathTrees(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 97);
    for (DWORD n = 0; n < count; ++n) {
        YMapVT3Tree tree;
        tree.m_kind = YMapVT3Tree::kPath;
        tree.m_treeCount = in.ReadWord();
        tree.m_seed = in.ReadDword();
        tree.m_orientation = in.ReadByte();
        for (BYTE& b : tree.m_bytesA) b = in.ReadByte();
        for (BYTE& b : tree.m_bytesB) b = in.ReadByte();
        for (WORD& w : tree.m_wordsA) w = in.ReadWord();
        for (WORD& w : tree.m_wordsB) w = in.ReadWord();
        for (float& f : tree.m_floatsA) f = in.ReadFloat();
        for (float& f : tree.m_floatsB) f = in.ReadFloat();
        tree.m_value0 = in.ReadDword();
        tree.m_byte0 = in.ReadByte();
        for (DWORD& v : tree.m_values) v = in.ReadDword();
        tree.m_closed = in.ReadByte();
        WORD points = in.ReadWord();
        in.CheckCount(points, 8);
        tree.m_points.resize(points);
        for (YMapVT3TreePoint& p : tree.m_points) {
            p.m_x = in.ReadFloat();
            p.m_z = in.ReadFloat();
        }
        m_trees.push_back(std::move(tree));
    }
}

void YMapVT3::ReadSingleTrees(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 19);
    for (DWORD n = 0; n < count; ++n) {
        YMapVT3Tree tree;
        tree.m_kind = YMapVT3Tree::kSingle;
        tree.m_singleByte = in.ReadByte();
        tree.m_singleWord = in.ReadWord();
        for (DWORD& v : tree.m_singleValues) v = in.ReadDword();
        m_trees.push_back(std::move(tree));
    }
}

void YMapVT3::ReadStringList1(YMapBlockReader& in)
{
    WORD count = in.ReadWord();
    in.CheckCount(count, 2);
    for (WORD n = 0; n < count; ++n) m_strings1.Add(CString(in.ReadString(kMaxString).GetBuffer()));
}

void YMapVT3::ReadVertices(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 24);
    std::vector<YMapVT3Vertex> vertices(count);
    for (YMapVT3Vertex& v : vertices) {
        v.m_x = in.ReadFloat();
        v.m_y = in.ReadFloat();
        v.m_z = in.ReadFloat();
        for (DWORD& e : v.m_extra) e = in.ReadDword();
    }
    m_vertices.swap(vertices);
    if (m_stripState == kNoTerrain) m_stripState = kTerrainRead;
}

void YMapVT3::ReadGroupsOneLayer(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 8);
    std::vector<YMapVT3Group> groups(count);
    for (YMapVT3Group& g : groups) {
        g.m_kind = in.ReadByte();
        g.m_surface = SurfaceFromCode(in.ReadByte());
        DWORD corners = in.CheckCount(in.ReadDword(), 24);
        g.m_corners.resize(corners);
        g.m_layerCorners.assign(1, std::vector<YMapVT3LayerCorner>(corners));
        for (DWORD c = 0; c < corners; ++c) {
            YMapVT3Corner& corner = g.m_corners[c];
            YMapVT3LayerCorner& layer = g.m_layerCorners[0][c];
            corner.m_vertex = in.ReadDword();
            layer.m_u = in.ReadFloat();
            layer.m_v = in.ReadFloat();
            layer.m_alpha = 255;
            corner.m_red = ColourByte(in.ReadFloat());
            corner.m_green = ColourByte(in.ReadFloat());
            corner.m_blue = ColourByte(in.ReadFloat());
        }
        g.m_layerTextures.assign(1, in.ReadWord());
    }
    m_groups.swap(groups);
    if (m_stripState == kNoTerrain) m_stripState = kTerrainRead;
}

void YMapVT3::ReadGroupsLayered(YMapBlockReader& in)
{
    DWORD count = in.CheckCount(in.ReadDword(), 7);
    std::vector<YMapVT3Group> groups(count);
    for (YMapVT3Group& g : groups) {
        g.m_kind = in.ReadByte();
        g.m_surface = in.ReadByte();
        DWORD corners = in.CheckCount(in.ReadDword(), 7);
        g.m_corners.resize(corners);
        for (YMapVT3Corner& corner : g.m_corners) {
            corner.m_vertex = in.ReadDword();
            corner.m_red = in.ReadByte();
            corner.m_green = in.ReadByte();
            corner.m_blue = in.ReadByte();
        }
        BYTE layers = in.ReadByte();
        g.m_layerTextures.resize(layers);
        g.m_layerCorners.resize(layers);
        for (BYTE l = 0; l < layers; ++l) {
            g.m_layerTextures[l] = in.ReadWord();
            in.CheckCount(corners, 9);
            g.m_layerCorners[l].resize(corners);
            for (YMapVT3LayerCorner& lc : g.m_layerCorners[l]) {
                lc.m_u = in.ReadFloat();
                lc.m_v = in.ReadFloat();
                lc.m_alpha = in.ReadByte();
            }
        }
    }
    m_groups.swap(groups);
    if (m_stripState == kNoTerrain) m_stripState = kTerrainRead;
}

void YMapVT3::ReadCells(YMapBlockReader& in)
{
    in.Skip(4);
    for (DWORD x = 0; x < m_gridWidth; ++x) {
        for (DWORD z = 0; z < m_gridHeight; ++z) {
            WORD n = in.ReadWord();
            in.CheckCount(n, 4);
            std::vector<DWORD>& list = m_cells[static_cast<size_t>(z) * m_gridWidth + x].m_groups;
            list.resize(n);
            for (DWORD& g : list) g = in.ReadDword();
        }
    }
    if (m_stripState == kNoTerrain) m_stripState = kTerrainRead;
}

void YMapVT3::ReadCelestials(YMapBlockReader& in)
{
    BYTE count = in.ReadByte();
    std::vector<CelestialObject> objects(count);
    for (CelestialObject& o : objects) {
        o.m_byte0 = in.ReadByte();
        o.m_word0 = in.ReadWord();
        for (DWORD& v : o.m_values) v = in.ReadDword();
        o.m_zero = 0;
        for (BYTE& b : o.m_bytes) b = in.ReadByte();
        BYTE files = in.ReadByte();
        for (BYTE f = 0; f < files; ++f) o.m_files.push_back(in.ReadString(kMaxString));
        for (DWORD& v : o.m_values2) v = in.ReadDword();
        for (BYTE& b : o.m_bytes2) b = in.ReadByte();
        o.m_last = in.ReadDword();
    }
    m_celestials.swap(objects);
}

void YMapVT3::ReadClouds(YMapBlockReader& in)
{
    BYTE count = in.ReadByte();
    std::vector<CloudPlane> clouds(count);
    for (CloudPlane& c : clouds) {
        c.m_value0 = in.ReadDword();
        c.m_texture = in.ReadString(kMaxString);
        for (DWORD& v : c.m_values) v = in.ReadDword();
    }
    m_clouds.swap(clouds);
}

void YMapVT3::CheckIndexes(ULONGLONG streamBytes) const
{
    for (const YMapVT3Group& g : m_groups)
        for (const YMapVT3Corner& c : g.m_corners)
            if (c.m_vertex >= m_vertices.size()) Refuse();
    ULONGLONG listed = 0;
    for (const YMapVT3Cell& cell : m_cells) {
        for (DWORD g : cell.m_groups) {
            if (g >= m_groups.size()) Refuse();
            listed += m_groups[g].m_layerTextures.size();
        }
    }
    if (listed > streamBytes * kListedRecordsPerByte) Refuse();
}

void YMapVT3::BuildStrips()
{
    Stripper stripper;
    stripper.Setup(m_vertices, m_groups, m_cells);
    stripper.GetOutput(m_strips);
    m_stripState = kStripsBuilt;
}

int YMapVT3::Clear()
{
    m_strings1.RemoveAll();
    m_strings2.RemoveAll();
    m_strings3.RemoveAll();
    m_strings4.RemoveAll();
    m_models.clear();
    m_models2.clear();
    m_sounds.clear();
    m_tags.clear();
    m_cells.clear();
    m_vertexHeights.clear();
    m_heightTable.clear();
    m_vertices.clear();
    m_groups.clear();
    m_strips = StripperOutput();
    m_trees.clear();
    m_celestials.clear();
    m_clouds.clear();
    m_gridWidth = m_gridHeight = 0;
    m_cellSize = m_originX = m_originY = m_originZ = 0;
    m_stripState = kNoTerrain;
    FreeZones();
    return 1;
}

void YMapVT3::FreeZones()
{
    for (YParserZone* zone : m_zones) FreeZone(zone);
    m_zones.clear();
}

std::vector<YParserZone*> YMapVT3::TakeZones()
{
    std::vector<YParserZone*> zones;
    zones.swap(m_zones);
    return zones;
}

int YMapVT3::FindTag(CString name, YMapVT3Tag& out) const
{
    for (const YMapVT3Tag& tag : m_tags) {
        if (std::strcmp(tag.m_name, static_cast<LPCTSTR>(name)) == 0) {
            out = tag;
            return 1;
        }
    }
    return 0;
}
