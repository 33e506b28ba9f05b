#include "tools/YSampleMaps.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <random>

#include "renderer/YMapVT3.h"
#include "tools/YMapWriter.h"

namespace {

// 16 m cells: a map without player starts puts the plane at half the grid x 16 m.
const float kCellSize = 16.0f * YSampleMaps::kUnitsPerMetre;
const WORD kGrass = 0, kRock = 1, kSand = 2, kWaterTexture = 3;

const YSampleMaps::Shape kShapes[] = {
    {"Meadow", 1999, 30.0f * YSampleMaps::kUnitsPerMetre, true, 96},
    {"Ridge", 2024, 60.0f * YSampleMaps::kUnitsPerMetre, true, 96},
    {"Flat", 7, 0.0f, false, 96},
    {"Tiny", 3, 12.0f * YSampleMaps::kUnitsPerMetre, true, 12},
    {"Ramp", 5, 0.0f, false, 12, true},
};

struct Bump {
    float x, z, radius, height;
};

class HeightField {
public:
    HeightField(const YSampleMaps::Shape& shape, float size) : m_size(size)
    {
        std::mt19937 random(shape.seed);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        if (shape.hillHeight > 0.0f) {
            for (int i = 0; i < 9; ++i)
                m_bumps.push_back({unit(random) * size, unit(random) * size, size * (0.08f + 0.1f * unit(random)),
                                   shape.hillHeight * (0.4f + 0.6f * unit(random))});
            m_bumps[0].height = shape.hillHeight;  // the tallest hill reaches the full height
        }
        // A lake some cells across, so that whole cells of its bed lie under the water.
        if (shape.lake)
            m_lake = {size * 0.62f, size * 0.38f, std::max(size * 0.12f, 4.0f * kCellSize), -4.0f * YSampleMaps::kUnitsPerMetre};
        m_plain = shape.hillHeight > 0.0f || shape.lake ? 1.0f * YSampleMaps::kUnitsPerMetre : 0.0f;
        m_ramps = shape.ramps;
    }
    float At(float x, float z) const
    {
        if (m_ramps) {
            const float start = 64.0f * YSampleMaps::kUnitsPerMetre, end = 96.0f * YSampleMaps::kUnitsPerMetre;
            const float rise = z < end ? 1.0f : 0.5f;
            return (std::min(std::max(x, start), end) - start) * rise;
        }
        float h = m_plain;
        for (const Bump& b : m_bumps) h += b.height * Falloff(b, x, z);
        if (m_lake.radius > 0.0f) {
            float f = Falloff(m_lake, x, z);
            h = h * (1.0f - f) + m_lake.height * f;
        }
        return h;
    }
    bool Lake() const { return m_lake.radius > 0.0f; }
    const Bump& LakeBump() const { return m_lake; }
    const std::vector<Bump>& Bumps() const { return m_bumps; }

private:
    static float Falloff(const Bump& b, float x, float z)
    {
        float d = std::hypot(x - b.x, z - b.z) / b.radius;
        if (d >= 1.0f) return 0.0f;
        float s = std::cos(d * 3.14159265f) * 0.5f + 0.5f;
        return s;
    }
    float m_size;
    float m_plain = 0.0f;
    bool m_ramps = false;
    std::vector<Bump> m_bumps;
    Bump m_lake{0, 0, 0, 0};
};

// Its normal, in the three further words, points up.
YMapVT3Vertex Vertex(float x, float y, float z)
{
    YMapVT3Vertex v;
    v.m_x = x;
    v.m_y = y;
    v.m_z = z;
    const float up = 1.0f;
    memcpy(&v.m_extra[1], &up, sizeof up);
    return v;
}

// One triangle with one texture layer; the sun is high in the south-west,
// so the corners are shaded by the slope that faces it.
YMapVT3Group Triangle(const YMapVT3& map, const DWORD corners[3], BYTE surface, WORD texture, BYTE alpha)
{
    const YMapVT3Vertex& a = map.m_vertices[corners[0]];
    const YMapVT3Vertex& b = map.m_vertices[corners[1]];
    const YMapVT3Vertex& c = map.m_vertices[corners[2]];
    float ux = b.m_x - a.m_x, uy = b.m_y - a.m_y, uz = b.m_z - a.m_z;
    float vx = c.m_x - a.m_x, vy = c.m_y - a.m_y, vz = c.m_z - a.m_z;
    float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0.0f && ny < 0.0f) length = -length;
    float light = length != 0.0f ? (nx * -0.4f + ny * 0.82f + nz * -0.4f) / length : 0.82f;
    light = std::clamp(0.45f + 0.55f * light, 0.0f, 1.0f);
    BYTE shade = static_cast<BYTE>(light * 255.0f);

    YMapVT3Group g;
    g.m_kind = YMapVT3Group::kTriangle;
    g.m_surface = surface;
    std::vector<YMapVT3LayerCorner> layer;
    for (int i = 0; i < 3; ++i) {
        YMapVT3Corner corner;
        corner.m_vertex = corners[i];
        corner.m_red = corner.m_green = corner.m_blue = shade;
        g.m_corners.push_back(corner);
        const YMapVT3Vertex& v = map.m_vertices[corners[i]];
        layer.push_back({v.m_x / (kCellSize * 4.0f), v.m_z / (kCellSize * 4.0f), alpha});
    }
    g.m_layerTextures.push_back(texture);
    g.m_layerCorners.push_back(layer);
    return g;
}

void AddTag(YMapVT3& map, const char* name, const char* value)
{
    YMapVT3Tag tag;
    tag.m_name = name;
    tag.m_value = value;
    map.m_tags.push_back(tag);
}

// Bit 0x80 of the flag places the model on the map.
void AddModel(YMapVT3& map, const HeightField& field, const char* name, float x, float z, float yaw, float scale,
              BYTE flag = 0)
{
    YMapVT3Model_Output m;
    m.m_flag = flag;
    m.m_name = name;
    m.m_x = x;
    m.m_z = z;
    m.m_y = field.At(x, z);
    m.m_yaw = yaw;
    m.m_scale = scale;
    map.m_models.push_back(m);
}

void Terrain(YMapVT3& map, const HeightField& field)
{
    const DWORD grid = map.m_gridWidth;
    const DWORD side = grid + 1;
    for (DWORD z = 0; z < side; ++z)
        for (DWORD x = 0; x < side; ++x)
            map.m_vertices.push_back(Vertex(x * kCellSize, field.At(x * kCellSize, z * kCellSize), z * kCellSize));
    // A cell is all above the water level or all at or below it: the corners
    // below the level of a cell that rises above it come up to the level, so
    // that the water never lies under the visible ground.
    const float level = YSampleMaps::kWaterLevel;
    std::vector<DWORD> raise;
    for (DWORD z = 0; z < grid; ++z) {
        for (DWORD x = 0; x < grid; ++x) {
            const DWORD c00 = z * side + x, corners[4] = {c00, c00 + 1, c00 + side, c00 + side + 1};
            bool above = false;
            for (DWORD v : corners) above |= map.m_vertices[v].m_y > level;
            for (DWORD v : corners)
                if (above && map.m_vertices[v].m_y < level) raise.push_back(v);
        }
    }
    for (DWORD v : raise) map.m_vertices[v].m_y = level;
    // Each ground vertex keeps its normal in its three further words.
    for (YMapVT3Vertex& v : map.m_vertices) {
        const float step = 0.5f * kCellSize;
        const float n[3] = {field.At(v.m_x - step, v.m_z) - field.At(v.m_x + step, v.m_z), 2.0f * step,
                            field.At(v.m_x, v.m_z - step) - field.At(v.m_x, v.m_z + step)};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (int i = 0; i < 3; ++i) {
            const float unit = n[i] / length;
            memcpy(&v.m_extra[i], &unit, sizeof unit);
        }
    }
    map.m_cells.assign(grid * grid, YMapVT3Cell());
    for (DWORD z = 0; z < grid; ++z) {
        for (DWORD x = 0; x < grid; ++x) {
            const DWORD c00 = z * side + x, c10 = c00 + 1, c01 = c00 + side, c11 = c01 + 1;
            // Clockwise seen from above, as the textures' default culling wants.
            const DWORD halves[2][3] = {{c00, c10, c01}, {c10, c11, c01}};
            float low = 1e30f, high = -1e30f;
            for (DWORD v : {c00, c10, c01, c11}) {
                low = std::min(low, map.m_vertices[v].m_y);
                high = std::max(high, map.m_vertices[v].m_y);
            }
            WORD texture = kGrass;
            if (high - low > 0.3f * kCellSize) texture = kRock;
            else if (field.Lake() && low < YSampleMaps::kWaterLevel + 0.5f * YSampleMaps::kUnitsPerMetre) texture = kSand;  // the shore
            YMapVT3Cell& cell = map.m_cells[z * grid + x];
            for (const DWORD* half : halves) {
                cell.m_groups.push_back(static_cast<DWORD>(map.m_groups.size()));
                map.m_groups.push_back(Triangle(map, half, YMapVT3Group::kGround, texture, 255));
            }
            if (low >= level || high > level) continue;
            // Water: a level sheet over a cell of the lake bed.
            const DWORD base = static_cast<DWORD>(map.m_vertices.size());
            for (DWORD v : {c00, c10, c01, c11})
                map.m_vertices.push_back(Vertex(map.m_vertices[v].m_x, YSampleMaps::kWaterLevel, map.m_vertices[v].m_z));
            const DWORD water[2][3] = {{base, base + 1, base + 2}, {base + 1, base + 3, base + 2}};
            for (const DWORD* half : water) {
                cell.m_groups.push_back(static_cast<DWORD>(map.m_groups.size()));
                map.m_groups.push_back(Triangle(map, half, YMapVT3Group::kWater, kWaterTexture, 160));
            }
        }
    }
}

void Trees(YMapVT3& map, const HeightField& field, unsigned seed)
{
    const float size = map.m_gridWidth * kCellSize;
    // A row of trees along the lake shore, or across the plain.
    YMapVT3Tree row;
    row.m_kind = YMapVT3Tree::kPath;
    row.m_treeCount = 24;
    row.m_seed = seed;
    row.m_orientation = 1;
    // Five kinds, each one of the two tree sprites of string list 3: the
    // smallest and largest size byte, near and far type, base and largest size.
    for (int k = 0; k < YMapVT3Tree::kTreeKinds; ++k) {
        row.m_bytesA[k] = 200;
        row.m_bytesB[k] = 255;
        // The last kind is the tree model (type 3, after the three sprites),
        // whose far class is the tree sprite.
        row.m_wordsA[k] = static_cast<WORD>(k == 4 ? 3 : k % 2);
        row.m_wordsB[k] = static_cast<WORD>(k == 4 ? 0 : k % 2);
        row.m_floatsA[k] = k % 2 ? 2.0f : 6.0f;
        row.m_floatsB[k] = k % 2 ? 3.0f : 10.0f;
    }
    // Spread either side of the path, jitter in degrees, falloff and shrink
    // percentages, least spacing.
    row.m_value0 = 12;
    row.m_byte0 = 20;
    row.m_values[0] = 50;
    row.m_values[1] = 30;
    row.m_values[2] = 3;
    const Bump centre = field.Lake() ? field.LakeBump() : Bump{size * 0.5f, size * 0.5f, size * 0.2f, 0};
    const float ring = centre.radius * 1.3f;
    for (int p = 0; p < 8; ++p) {
        float angle = p * 0.785398f;
        row.m_points.push_back({centre.x + ring * std::cos(angle), centre.z + ring * std::sin(angle)});
    }
    row.m_closed = 1;
    map.m_trees.push_back(row);
    // Willows (the translucent sprite) standing in the shallow part of the lake.
    if (field.Lake()) {
        YMapVT3Tree willows = row;
        willows.m_treeCount = 4;
        willows.m_value0 = 0;
        willows.m_values[2] = 2;
        for (int k = 0; k < YMapVT3Tree::kTreeKinds; ++k) willows.m_wordsA[k] = willows.m_wordsB[k] = 2;
        const Bump lake = field.LakeBump();
        willows.m_points = {{lake.x - lake.radius * 0.55f, lake.z - lake.radius * 0.1f},
                            {lake.x - lake.radius * 0.3f, lake.z + lake.radius * 0.1f}};
        willows.m_closed = 0;
        map.m_trees.push_back(willows);
    }
    // Single trees scattered over the plain.
    std::mt19937 random(seed + 1);
    std::uniform_real_distribution<float> unit(0.1f, 0.9f);
    for (int i = 0; i < 30; ++i) {
        YMapVT3Tree tree;
        tree.m_kind = YMapVT3Tree::kSingle;
        tree.m_singleByte = static_cast<BYTE>(i % 2);
        tree.m_singleWord = 100;
        float x = unit(random) * size, z = unit(random) * size;
        tree.m_singleValues[0] = static_cast<DWORD>(x);  // map units
        tree.m_singleValues[1] = static_cast<DWORD>(z);
        tree.m_singleValues[2] = static_cast<DWORD>(std::lround(field.At(x, z)));
        tree.m_singleValues[3] = static_cast<DWORD>(i);
        map.m_trees.push_back(tree);
    }
}

void Sounds(YMapVT3& map, const HeightField& field)
{
    const float size = map.m_gridWidth * kCellSize;
    auto add = [&map](const char* first, const char* second, float x, float z, DWORD firstDay, DWORD lastDay) {
        YMapVT3Sound_Output s;
        s.m_firstName = first;
        s.m_secondName = second;
        s.m_hasSecond = *second ? 1 : 0;
        s.m_a = static_cast<DWORD>(x);  // map units
        s.m_c = static_cast<DWORD>(z);
        s.m_d = firstDay;
        s.m_e = lastDay;
        s.m_f = 20;   // nearest distance, m
        s.m_g = 200;  // farthest distance, m
        s.m_h = 2000;  // shortest repeat delay, ms
        s.m_i = 9000;  // longest repeat delay, ms
        map.m_sounds.push_back(s);
    };
    add("Ambient:Birds", "Birds2", size * 0.3f, size * 0.7f, 90, 300);
    if (field.Lake()) add("Ambient:Water", "", field.LakeBump().x, field.LakeBump().z, 1, 365);
}

DWORD Bits(float value)
{
    DWORD bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

// One time key of a sky object: minutes of the day, where it stands
// (elevation and heading in degrees) and its colour.
struct SkyKey {
    WORD minutes;
    float elevation, heading;
    BYTE r, g, b;
};

void AddSkyObject(YMapVT3& map, BYTE kind, DWORD flags, const std::vector<YString>& images, const SkyKey* keys,
                  size_t count, const float glare[3])
{
    for (size_t i = 0; i < count; ++i) {
        CelestialObject o;
        o.m_byte0 = kind;
        o.m_word0 = keys[i].minutes;
        o.m_values[0] = Bits(keys[i].elevation);
        o.m_values[1] = Bits(keys[i].heading);
        o.m_values[2] = 0;
        o.m_bytes[0] = keys[i].r, o.m_bytes[1] = keys[i].g, o.m_bytes[2] = keys[i].b;
        if (i == 0) o.m_files = images;  // a source keeps its first record's images
        for (int k = 0; k < 3; ++k) o.m_values2[k] = Bits(glare[k]);
        o.m_bytes2[0] = keys[i].r, o.m_bytes2[1] = keys[i].g, o.m_bytes2[2] = keys[i].b;
        o.m_last = flags;
        map.m_celestials.push_back(o);
    }
}

// The moon (source light 0, eight phase images) and the sun (source light
// 1, the flare), both lights, the sun from morning to evening.
void Sky(YMapVT3& map)
{
    const DWORD shown = 0x1, moon = 0x2, light = 0x4;
    std::vector<YString> phases;
    for (int i = 0; i < 8; ++i) phases.push_back(YString(("textures\\sky\\moon" + std::to_string(i) + ".ytx").c_str()));
    const SkyKey moonKeys[] = {{0, 45.0f, 180.0f, 70, 80, 110},
                               {360, -15.0f, 260.0f, 20, 20, 30},
                               {1080, -15.0f, 100.0f, 20, 20, 30},
                               {1439, 45.0f, 179.0f, 70, 80, 110}};
    const float moonGlare[3] = {0.2f, 0.2f, 8.0f};
    AddSkyObject(map, 2, shown | moon | light, phases, moonKeys, 4, moonGlare);
    const SkyKey sunKeys[] = {{300, -10.0f, 80.0f, 40, 25, 20},
                              {420, 12.0f, 105.0f, 255, 160, 100},
                              {720, 60.0f, 180.0f, 255, 250, 235},
                              {1020, 12.0f, 255.0f, 255, 150, 90},
                              {1140, -10.0f, 280.0f, 40, 25, 20}};
    // Glare: strength, reach (degrees off the view), fall-off exponent.
    const float sunGlare[3] = {0.6f, 45.0f, 2.0f};
    AddSkyObject(map, 1, shown | light, {YString("textures\\sky\\sun.ytx")}, sunKeys, 5, sunGlare);
    CloudPlane clouds;
    // Floats: speed, then u scale, v scale and height (percent of the sky's radius).
    clouds.m_value0 = Bits(0.5f);
    clouds.m_texture = "file;textures\\sky\\clouds.ytx";
    clouds.m_values[0] = Bits(6.0f);
    clouds.m_values[1] = Bits(6.0f);
    clouds.m_values[2] = Bits(30.0f);
    map.m_clouds.push_back(clouds);
}

void Tags(YMapVT3& map, const YSampleMaps::Shape& shape)
{
    AddTag(map, "MapName", shape.name);
    // The sample sky box "clear": its faces are "clear_front" ... "clear_top",
    // the fog of the period in their texture tags.
    // The periods of the day, overlapping by an hour: night, dawn, day
    // ("clear"), dusk and night again; each box's fog in its front face.
    AddTag(map, "MapBackgroundNum", "5");
    const char* const periods[5][3] = {{"night.ytx", "0", "360"},
                                       {"dawn.ytx", "300", "480"},
                                       {"clear.ytx", "420", "1080"},
                                       {"dusk.ytx", "1020", "1320"},
                                       {"night.ytx", "1260", "1440"}};
    for (int i = 0; i < 5; ++i) {
        char key[40];
        snprintf(key, sizeof key, "MapBackground%02d", i);
        AddTag(map, key, periods[i][0]);
        snprintf(key, sizeof key, "MapBackground%02dStart", i);
        AddTag(map, key, periods[i][1]);
        snprintf(key, sizeof key, "MapBackground%02dEnd", i);
        AddTag(map, key, periods[i][2]);
    }
    AddTag(map, "SolidColorRGB", "100 151 218");
    AddTag(map, "FOG-ColorRGB", "180 196 214");
    AddTag(map, "FOG-RangeNear", "2000.0");
    AddTag(map, "FOG-RangeFar", "9000.0");
    AddTag(map, "FOG-WaterRGB", "40 80 110");
    AddTag(map, "MapSound00", "\"Ambient:Birds\":90:300:10:4:L");
    AddTag(map, "MapSound01", "\"Frogs\":120:250:5:6:W");
    AddTag(map, "MapSoundLoop00", "\"Ambience\":1:365:0");
    AddTag(map, "MapWindLoop00", "\"wind\":1:365");
    AddTag(map, "WeatherRain", "60:300");
    AddTag(map, "WeatherSnow", "330:45");
    AddTag(map, "WeatherFog", "1:365");
}

}  // namespace

void YSampleMaps::Make(const Shape& shape, YMapVT3& map)
{
    map.Clear();
    map.m_gridWidth = map.m_gridHeight = shape.cells;
    map.m_cellSize = kCellSize;
    HeightField field(shape, shape.cells * kCellSize);
    Tags(map, shape);
    const float size = map.m_gridWidth * kCellSize;
    AddModel(map, field, "PlayerStart01", size * 0.2f, size * 0.2f, 0.785f, 1.0f);
    AddModel(map, field, "PlayerStart02", size * 0.25f, size * 0.8f, 2.356f, 1.0f);
    AddModel(map, field, "PlayerStart03", size * 0.8f, size * 0.8f, -2.356f, 1.0f);
    AddModel(map, field, "PlayerStart04", size * 0.8f, size * 0.15f, -0.785f, 1.0f);
    // Scenery: catalog models (type 19) by their keys, placed.
    AddModel(map, field, "Scenery-Hangar--19-0", size * 0.15f, size * 0.3f, 1.571f, 1.0f, 0x80);
    AddModel(map, field, "Scenery-Windsock--19-0", size * 0.22f, size * 0.35f, 0.0f, 1.0f, 0x80);
    // The barn stands on the flank of a hill (the flat map: on the plain).
    const Bump hill = field.Bumps().empty() ? Bump{size * 0.45f, size * 0.7f, 0, 0} : field.Bumps()[0];
    AddModel(map, field, "Scenery-Barn--19-0", hill.x + hill.radius * 0.4f, hill.z, 0.4f, 1.5f, 0x80);
    // The second list names model files; one target stands by the field.
    AddModel(map, field, "models\\target.ysm", size * 0.3f, size * 0.25f, 0.0f, 1.0f, 0x80);
    map.m_models2.push_back(map.m_models.back());
    map.m_models.pop_back();
    // The layer texture words index string list 1; tree kinds index the
    // tree sprites of list 3 (tree models would follow in list 4).
    for (const char* texture : {"GroundTexture-Grass1--24-0", "GroundTexture-Rock1--24-0", "GroundTexture-Sand1--24-0",
                                "GroundTexture-Water1--24-0"})
        map.m_strings1.Add(texture);
    map.m_strings3.Add("textures\\sprites\\tree1.ytx");
    map.m_strings3.Add("textures\\sprites\\bush1.ytx");
    map.m_strings3.Add("textures\\sprites\\willow1.ytx");  // translucent
    map.m_strings4.Add("models\\tree.fmf");
    Terrain(map, field);
    Trees(map, field, shape.seed);
    Sounds(map, field);
    Sky(map);
}

bool YSampleMaps::WriteAll(const std::string& folder, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder + "/maps", ec);
    for (const Shape& shape : kShapes) {
        YMapVT3 map;
        Make(shape, map);
        if (!YMapWriter::WriteFile(map, folder + "/maps/" + shape.name + ".zon", error)) return false;
    }
    return true;
}

namespace {

void Line(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Line(std::string& text, const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    text += line;
    text += '\n';
}

}  // namespace

bool YSampleMaps::Dump(const std::string& path, std::string& text, std::string& error)
{
    YMapVT3 map;
    if (!map.LoadFile(path.c_str(), nullptr)) {
        error = path + ": not a readable map";
        return false;
    }
    Line(text, "map %s", path.c_str());
    Line(text, "grid %u x %u cells of %g, origin %g %g %g", map.m_gridWidth, map.m_gridHeight, map.m_cellSize,
         map.m_originX, map.m_originY, map.m_originZ);
    Line(text, "tags %zu", map.m_tags.size());
    for (const YMapVT3Tag& t : map.m_tags) Line(text, "  %s = %s", t.m_name.GetBuffer(), t.m_value.GetBuffer());
    Line(text, "models %zu + %zu", map.m_models.size(), map.m_models2.size());
    for (const YMapVT3Model_Output& m : map.m_models)
        Line(text, "  %s at %.1f %.1f %.1f yaw %.3f scale %g", m.m_name.GetBuffer(), m.m_x, m.m_y, m.m_z, m.m_yaw, m.m_scale);
    Line(text, "sounds %zu", map.m_sounds.size());
    for (const YMapVT3Sound_Output& s : map.m_sounds)
        Line(text, "  %s / %s  %u %u %u  %u %u %u %u %u %u %u", s.m_firstName.GetBuffer(), s.m_secondName.GetBuffer(),
             s.m_a, s.m_b, s.m_c, s.m_d, s.m_e, s.m_f, s.m_g, s.m_h, s.m_i, s.m_j);
    auto list = [&text](const char* title, const CStringArray& strings) {
        std::string line = title;
        for (int i = 0; i < strings.GetSize(); ++i) line += std::string(i ? ", " : " ") + static_cast<LPCTSTR>(strings[i]);
        Line(text, "%s", line.c_str());
    };
    list("textures:", map.m_strings1);
    list("tree sprites:", map.m_strings3);
    list("tree models:", map.m_strings4);
    size_t paths = 0, singles = 0;
    for (const YMapVT3Tree& t : map.m_trees) (t.m_kind == YMapVT3Tree::kPath ? paths : singles)++;
    Line(text, "trees: %zu rows, %zu single", paths, singles);
    for (const CelestialObject& o : map.m_celestials)
        Line(text, "sky object %u: %zu pictures, first %s", o.m_byte0, o.m_files.size(),
             o.m_files.empty() ? "-" : o.m_files[0].GetBuffer());
    for (const CloudPlane& c : map.m_clouds) Line(text, "cloud plane %s", c.m_texture.GetBuffer());

    float low = 0, high = 0;
    size_t water = 0;
    if (!map.m_vertices.empty()) low = high = map.m_vertices[0].m_y;
    for (const YMapVT3Vertex& v : map.m_vertices) {
        low = std::min(low, v.m_y);
        high = std::max(high, v.m_y);
    }
    for (const YMapVT3Group& g : map.m_groups) water += g.m_surface == YMapVT3Group::kWater;
    Line(text, "terrain: %zu vertices, %zu groups (%zu water), heights %.1f .. %.1f (%.1f m)", map.m_vertices.size(),
         map.m_groups.size(), water, low, high, (high - low) / kUnitsPerMetre);
    Line(text, "strips: %zu vertices, %zu records, %zu clusters", map.m_strips.m_vertices.size(),
         map.m_strips.m_records.size(), map.m_strips.m_clusters.size());

    // A picture of the map, a character per 4 x 4 cells: '~' water, then
    // heights from '.' up to '#'.
    const char ramp[] = ".:-=+*%#";
    const DWORD step = 4;
    Line(text, "overview (north up, %u cells a character):", step);
    for (DWORD z = map.m_gridHeight; z >= step; z -= step) {
        std::string row = "  ";
        for (DWORD x = 0; x + step <= map.m_gridWidth; x += step) {
            const YMapVT3Cell& cell = map.m_cells[(z - step) * map.m_gridWidth + x];
            bool wet = false;
            float top = low;
            for (DWORD g : cell.m_groups) {
                const YMapVT3Group& group = map.m_groups[g];
                wet |= group.m_surface == YMapVT3Group::kWater;
                for (const YMapVT3Corner& c : group.m_corners) top = std::max(top, map.m_vertices[c.m_vertex].m_y);
            }
            int level = high > low ? static_cast<int>((top - low) / (high - low) * 7.99f) : 0;
            row += wet ? '~' : ramp[std::clamp(level, 0, 7)];
        }
        text += row + "\n";
    }
    return true;
}
