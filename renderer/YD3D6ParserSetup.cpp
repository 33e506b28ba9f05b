// The map session set-up: texture formats, ground textures and terrain
// cells, sky, tree types and tree placement, the shadow table, the placed
// models, the trees near each ground vertex and the skyboxes with fog.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "assets3d/YTextureHandler.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YFileHandler.h"
#include "graphics2d/YModel.h"
#include "graphics2d/YModelFrame.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YMapVT3.h"
#include "renderer/YParseModelItem.h"

namespace {
const int kFileHandlerType = 22;
const int kSkyHandlerType = 24;
const float kHalfPi = 1.570795f;
const float kDegree = 0.017453277f;
const float kAlignDistance = 32.0f;

YCatalog* Catalog()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_catalog : nullptr;
}

DDPIXELFORMAT PixelFormat(DWORD bits, DWORD flags, DWORD alpha, DWORD red, DWORD green, DWORD blue)
{
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = flags;
    f.dwRGBBitCount = bits;
    f.dwRGBAlphaBitMask = alpha;
    f.dwRBitMask = red;
    f.dwGBitMask = green;
    f.dwBBitMask = blue;
    return f;
}

// Filter limits from the device's caps.
YTexStates ClassFromCaps(const D3DDEVICEDESC7& caps)
{
    const DWORD f = caps.dpcTriCaps.dwTextureFilterCaps;
    YTexStates record;
    record.m_magFilter = (f & D3DPTFILTERCAPS_MAGFLINEAR) ? D3DTFG_LINEAR : D3DTFG_POINT;
    record.m_minFilter = (f & D3DPTFILTERCAPS_MINFLINEAR) ? D3DTFN_LINEAR : D3DTFN_POINT;
    record.m_mipFilter = (f & D3DPTFILTERCAPS_MIPFLINEAR)  ? D3DTFP_LINEAR
                         : (f & D3DPTFILTERCAPS_MIPFPOINT) ? D3DTFP_POINT
                                                           : D3DTFP_NONE;
    return record;
}


bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

// A model handle the map set-up places: animations reset and off (not
// shown by an animation), frame 0, the group "Normal", user data = the
// render scale.
void PrepareMapHandle(YSMHandle* handle, float scale)
{
    if (handle->m_model && !handle->m_model->m_anims.empty()) handle->StopAnimation();
    handle->SetAnimated(false);
    handle->SetFrame(0);
    handle->SetActiveGroup(handle->FindGroup("Normal"));
    handle->SetReferenceSize(scale);
}
}  // namespace

bool YD3D6Parser::ParseRGB(const char* text, uint8_t rgb[3])
{
    int r = 0, g = 0, b = 0;
    if (!text || sscanf(text, "%d %d %d", &r, &g, &b) != 3) return false;
    rgb[0] = static_cast<uint8_t>(r);
    rgb[1] = static_cast<uint8_t>(g);
    rgb[2] = static_cast<uint8_t>(b);
    return true;
}

// ---------------------------------------------------------------------------
// Level 0: texture formats

// The opaque and alpha formats by quality from those the device takes,
// for a map session and for the model viewer alike; a format nothing
// matches stays as it was.
void YD3D6Parser::ChooseTextureFormats()
{
    const bool viewer = m_sessionMode == 1;
    const int32_t quality = viewer ? m_iTexQuality : m_textureQuality;
    const bool single = (viewer ? m_viewerSettings[kSingleFormatWord] : m_mapSettings[kSingleFormatWord]) != 0;
    const bool alphaTextures = (viewer ? m_iSoftenLevel : m_mapSettings[kSoftenWord]) != 0;
    const DWORD rgba = DDPF_RGB | DDPF_ALPHAPIXELS;
    DDPIXELFORMAT f8888 = PixelFormat(32, rgba, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF);
    DDPIXELFORMAT f888 = PixelFormat(32, DDPF_RGB, 0, 0x00FF0000, 0x0000FF00, 0x000000FF);
    DDPIXELFORMAT f565 = PixelFormat(16, DDPF_RGB, 0, 0xF800, 0x07E0, 0x001F);
    DDPIXELFORMAT f1555 = PixelFormat(16, rgba, 0x8000, 0x7C00, 0x03E0, 0x001F);
    DDPIXELFORMAT f555 = PixelFormat(16, DDPF_RGB, 0, 0x7C00, 0x03E0, 0x001F);
    DDPIXELFORMAT f4444 = PixelFormat(16, rgba, 0xF000, 0x0F00, 0x00F0, 0x000F);
    const bool has8888 = FindTextureFormat(&f8888) != 0;
    const bool has888 = FindTextureFormat(&f888) != 0;
    const bool has565 = FindTextureFormat(&f565) != 0;
    bool has1555 = FindTextureFormat(&f1555) != 0;
    const bool has555 = FindTextureFormat(&f555) != 0;
    const bool has4444 = FindTextureFormat(&f4444) != 0;
    if (has4444) {
        has1555 = true;
        f1555 = f4444;
    }
    m_format565 = f565;
    m_has16Alpha = has1555 ? 1 : 0;
    if (quality == 2 && has888) m_opaqueFormat = f888;
    else if (has565) m_opaqueFormat = f565;
    else if (has555) m_opaqueFormat = f555;
    if (quality == 2 && has8888) m_alphaFormat = f8888;
    else if (has1555) m_alphaFormat = f1555;
    else if (has4444) m_alphaFormat = f4444;
    memset(&m_spareFormat, 0, sizeof m_spareFormat);
    m_spareFormat.dwSize = sizeof m_spareFormat;
    if (m_raster) m_spareFormat = m_raster->GetTextureFormat();
    if (single) {
        m_defaultFormat = m_alphaFormat = m_opaqueFormat;
        if (viewer) m_iSoftenLevel = 0;
    } else {
        m_defaultFormat = alphaTextures ? m_alphaFormat : m_opaqueFormat;
    }
}

void YD3D6Parser::BuildTextureClasses()
{
    m_opaqueClass = m_alphaClass = m_treeClass = ClassFromCaps(m_deviceCaps);
}

// ---------------------------------------------------------------------------
// Level 1: textures, cells, sky and tree types

void YD3D6Parser::SetupTextures()
{
    m_groundTexture = static_cast<int16_t>(LoadCatalogTextures("GroundTexture-JetBlack--24-0", 0, 1));
    m_waterTexture = static_cast<int16_t>(LoadCatalogTextures("GroundTexture-Water1--24-0", 0, 1));
    m_mapTextureHandlers.clear();
    if (!m_map) return;
    for (int i = 0; i < m_map->m_strings1.GetSize(); ++i) {
        int index = LoadCatalogTextures(m_map->m_strings1[i], 0, 1);
        if (index < 0) index = m_waterTexture;
        const YD3D6TextureItem* item = GetTextureItem(static_cast<int16_t>(index));
        m_mapTextureHandlers.push_back(item ? item->m_handler : int16_t(-1));
    }
}

void YD3D6Parser::SetupCells()
{
    if (!m_map || !BuildTerrainCells(*m_map, m_worldScale)) return;
    m_vertexShade.assign(m_mapVertices.size(), 255);
    // Each group's layers once: the cells share the group polygons.
    for (YCellPolygon& polygon : m_groupPolygons) {
        for (int16_t& layer : polygon.m_layerTextures) {
            KeepAlive();
            const int word = static_cast<uint16_t>(layer);
            int index = -1;
            if (word < m_map->m_strings1.GetSize()) {
                const int16_t handler =
                    static_cast<size_t>(word) < m_mapTextureHandlers.size() ? m_mapTextureHandlers[word] : -1;
                if (handler >= 0 && static_cast<size_t>(handler) < m_textureHandlers.size()) {
                    // Each cell draws its own variant of the handler.
                    const std::string reversed(m_textureHandlers[handler]->name.GetBuffer());
                    index = LoadCatalogTextures(std::string(reversed.rbegin(), reversed.rend()).c_str(), 0, 1);
                } else {
                    index = LoadCatalogTextures(m_map->m_strings1[word], 0, 1);
                }
            }
            layer = static_cast<int16_t>(index < 0 ? 0 : index);
        }
    }
    for (YMapCell& cell : m_cells) cell.m_index = -1;
}

namespace {
float FiniteOrZero(float value) { return std::isfinite(value) ? value : 0.0f; }
float FloatOf(DWORD bits)
{
    float value;
    memcpy(&value, &bits, sizeof value);
    return FiniteOrZero(value);
}
}  // namespace

// A celestial record as a flare element: its angles (elevation and heading
// in degrees, as floats) become the direction towards it, its colour bytes
// fractions of 255.
YFlareElement YD3D6Parser::FlareElementOf(const CelestialObject& object, const std::vector<uint16_t>& images)
{
    YFlareElement e;
    e.m_kind = object.m_byte0;
    e.m_timeKey = object.m_word0;
    const float elevation = FloatOf(object.m_values[0]) * 0.017453292f;
    const float heading = FloatOf(object.m_values[1]) * 0.017453292f;
    e.m_direction[0] = std::cos(elevation) * std::sin(heading);
    e.m_direction[1] = std::sin(elevation);
    e.m_direction[2] = std::cos(elevation) * std::cos(heading);
    e.m_rotation = FloatOf(object.m_zero);
    for (int i = 0; i < 3; ++i) {
        e.m_valuesA[i] = float(object.m_bytes[i]) / 255.0f;
        e.m_valuesB[i] = FloatOf(object.m_values2[i]);
        e.m_valuesC[i] = float(object.m_bytes2[i]) / 255.0f;
    }
    e.m_indexCount = static_cast<uint8_t>(std::min<size_t>(images.size(), 255));
    e.m_indices = images.empty() ? nullptr : images.data();
    e.m_flags = object.m_last;
    return e;
}

void YD3D6Parser::SetupSky()
{
    const YString flare = FindCatalogFile("2D Art\\Overlays\\Generic_Flare.ytx");
    m_flareTexture = static_cast<int16_t>(LoadCatalogTextures((std::string("file;") + flare.GetBuffer()).c_str(), 0, 1));
    FreeFlareSources();
    m_lightTint[0] = m_lightTint[1] = m_lightTint[2] = 1.0f;
    if (m_raster) m_raster->FreeSessionLights();
    if (!m_map) return;
    for (const CelestialObject& object : m_map->m_celestials) {
        KeepAlive();
        std::vector<uint16_t> images;
        for (const YString& file : object.m_files) {
            const YString path = FindCatalogFile(file.GetBuffer());
            const std::string name = std::string("file;") + (path.IsEmpty() ? file.GetBuffer() : path.GetBuffer());
            images.push_back(static_cast<uint16_t>(LoadCatalogTextures(name.c_str(), 0, 1)));
        }
        const YFlareElement element = FlareElementOf(object, images);
        int source = 0;
        while (source < GetFlareSourceCount() && m_celestials[size_t(source)]->m_kind != element.m_kind) ++source;
        if (source < GetFlareSourceCount()) {
            InsertFlareElement(source, &element);
            continue;
        }
        InsertFlareElement(-1, &element);
        // A light source drives the next source light: white, straight down.
        if (!(element.m_flags & YFlareElement::kFlagLight) || !m_raster) continue;
        YRasterLight light;
        memset(&light, 0, sizeof light);
        light.type = 3;
        light.direction[1] = -1.0f;
        light.range = 10000.0f;
        light.color[0] = light.color[1] = light.color[2] = 1.0f;
        light.light = new D3DLIGHT7;
        memset(light.light, 0, sizeof *light.light);
        light.light->dltType = D3DLIGHT_DIRECTIONAL;
        light.light->dcvDiffuse.r = light.light->dcvDiffuse.g = light.light->dcvDiffuse.b = 1.0f;
        light.light->dcvDiffuse.a = 1.0f;
        light.light->dvDirection.y = -1.0f;
        light.light->dvRange = light.range;
        m_celestials.back()->m_light = static_cast<int32_t>(m_raster->m_sessionLights.size());
        m_raster->m_sessionLights.push_back(light);
    }
    m_clouds.clear();
    for (const CloudPlane& plane : m_map->m_clouds) {
        // The record's words are floats: speed, then u scale, v scale and height.
        auto real = [](DWORD bits) {
            float v;
            memcpy(&v, &bits, sizeof v);
            return std::isfinite(v) ? v : 0.0f;
        };
        YD3D6CloudPlane cloud;
        cloud.speed = real(plane.m_value0);
        const int index = LoadCatalogTextures(plane.m_texture.GetBuffer(), 0, 1);
        cloud.texture = index >= 0 ? uint16_t(index) : uint16_t(YD3D6CloudPlane::kNoTexture);
        cloud.uScale = real(plane.m_values[0]);
        cloud.vScale = real(plane.m_values[1]);
        cloud.height = real(plane.m_values[2]);
        m_clouds.push_back(cloud);
    }
}

void YD3D6Parser::SetupTreeTypes()
{
    for (YSMHandle* handle : m_ownedTreeModels) delete handle;
    m_ownedTreeModels.clear();
    m_treeModels.clear();
    m_spriteTextures.clear();
    m_treeFactorA.clear();
    m_treeFactorB.clear();
    m_treeFactorC.clear();
    m_treeFactorD.clear();
    m_spriteTypeCount = 0;
    if (!m_map) return;
    auto addFactors = [this](float a, float b, float c, float d) {
        m_treeFactorA.push_back(a);
        m_treeFactorB.push_back(b);
        m_treeFactorC.push_back(c);
        m_treeFactorD.push_back(d);
    };
    for (int i = 0; i < m_map->m_strings3.GetSize(); ++i) {
        const YString path = FindCatalogFile(m_map->m_strings3[i]);
        const std::string name = std::string("file;") + (path.IsEmpty() ? (const char*)m_map->m_strings3[i] : path.GetBuffer());
        const int index = LoadCatalogTextures(name.c_str(), 0, 1);
        YD3D6Lock* lock = GetTextureLock(static_cast<int16_t>(index));
        m_spriteTextures.push_back(index < 0 ? uint16_t(0xFFFF) : static_cast<uint16_t>(index));
        if (!lock) {
            addFactors(0, 0, 0, 0);
            continue;
        }
        const float w = lock->GetWidth(), h = lock->GetHeight();
        const bool second = lock->GetMIPDepth() > 1 && lock->FindTag("TXT-SecondImage") >= 0;
        addFactors(w, h, second ? w : 0.0f, second ? h : 0.0f);
    }
    m_spriteTypeCount = static_cast<int16_t>(m_spriteTextures.size());
    for (int i = 0; i < m_map->m_strings4.GetSize(); ++i) {
        const YString path = FindCatalogFile(m_map->m_strings4[i]);
        YSMHandle* handle = CreateModelHandle(path.IsEmpty() ? (const char*)m_map->m_strings4[i] : path.GetBuffer());
        m_treeModels.push_back(handle);
        if (handle) m_ownedTreeModels.push_back(handle);
        if (!handle || !handle->m_model) {
            addFactors(0, 0, 0, 0);
            continue;
        }
        handle->m_groundAlign = handle->m_flags & 1;
        PrepareMapHandle(handle, m_worldScale);
        float values[4];
        TreeModelValues(*handle, values);
        addFactors(values[0], values[1], values[2], values[3]);
    }
}

void YD3D6Parser::TreeModelValues(const YSMHandle& handle, float values[4])
{
    // Reach and height about the model's centre (its origin, where it
    // stands) of the groups flagged 0x10 and of those flagged 0x02, in the
    // first frame.
    float reach[2] = {0, 0}, tall[2] = {0, 0};
    values[0] = values[1] = values[2] = values[3] = 0.0f;
    const YSMObject* model = handle.m_model;
    if (!model || model->m_frames.empty()) return;
    const YSMFrame& frame = *model->m_frames[0];
    const std::vector<float>& p = frame.positions;
    for (const auto& group : model->m_groups) {
        for (int slot = 0; slot < 2; ++slot) {
            if (!(group->flags & (slot == 0 ? 0x10u : 0x02u))) continue;
            for (uint16_t v : group->usedVertices) {
                if (3 * size_t(v) + 2 >= p.size()) continue;
                const float x = p[3 * v], y = p[3 * v + 1], z = p[3 * v + 2];
                reach[slot] = std::max(reach[slot], std::sqrt(x * x + z * z));
                tall[slot] = std::max(tall[slot], y);
            }
        }
    }
    // Drawn at the handle's size over the size of the model's first
    // element (the edge of group 0's pose; 1.0 for a plain group).
    float element = frame.poses.empty() ? 1.0f : frame.poses[0].v[9];
    if (!(element > 0.0f) || !std::isfinite(element)) element = 1.0f;
    const float ratio = handle.GetReferenceSize() / element;
    values[0] = reach[0] * ratio;
    values[1] = tall[0] * ratio;
    values[2] = reach[1] * ratio;
    values[3] = tall[1] * ratio;
}

// ---------------------------------------------------------------------------
// Trees

void YD3D6Parser::PlaceTrees(uint8_t fill)
{
    if (!m_map || m_cells.empty()) return;
    if (fill) {
        m_cellItemCounts.assign(m_cells.size(), 0);
    } else {
        if (m_cellItemCounts.size() != m_cells.size()) return;
        for (size_t c = 0; c < m_cells.size(); ++c) {
            m_cells[c].m_items.assign(m_cellItemCounts[c], YCellItem());
            m_cellItemCounts[c] = 0;
        }
    }
    const bool counting = fill != 0;
    uint32_t sprites = 0, models = 0;
    // Which tree model stands on water.
    std::vector<bool> clipToWater(m_treeModels.size(), false);
    for (size_t i = 0; i < m_treeModels.size(); ++i) {
        const YSMHandle* handle = m_treeModels[i];
        if (!handle || !handle->m_model) continue;
        const int16_t tag = handle->m_model->FindTag("ClipToWater");
        CString key, value;
        uint8_t type = 0;
        if (tag >= 0 && handle->m_model->GetTag(tag, &key, &value, &type)) clipToWater[i] = value.CompareNoCase("True") == 0;
    }
    const float scale = m_worldScale;
    for (const YMapVT3Tree& record : m_map->m_trees) {
        if (record.m_kind == YMapVT3Tree::kSingle) {
            const float x = float(record.m_singleValues[0]) * scale, z = float(record.m_singleValues[1]) * scale;
            if (CellIndexOf(x, z) < 0) continue;
            if (record.m_singleByte < m_spriteTypeCount) ++sprites;
            else ++models;
            continue;
        }
        if (record.m_kind != YMapVT3Tree::kPath || record.m_points.size() < 2 || record.m_treeCount == 0) continue;
        srand(record.m_seed);
        const float spread = float(record.m_value0);
        // In double: 2147483647 as a float is 2^31, past the int range.
        const int spreadWhole = spread >= 1.0f ? int(std::min(double(spread), 2147483647.0)) : 0;
        const float falloff = float(record.m_values[0]);
        const float shrink = float(record.m_values[1]);
        const float spacing = float(record.m_values[2]);
        const int segments = static_cast<int>(record.m_points.size() - 1);
        // Accepted points by squares of twice the spacing, so that the
        // spacing test looks at the neighbouring squares only.
        const double square = 2.0 * double(spacing);
        std::unordered_map<uint64_t, std::vector<YMapVT3TreePoint>> accepted;
        auto squareOf = [square](float v) -> int32_t {
            if (!(square > 0.0)) return 0;
            const double q = std::floor(double(v) / square);
            return q != q ? 0 : q < -1e9 ? -1000000000 : q > 1e9 ? 1000000000 : int32_t(q);
        };
        auto key = [](int32_t a, int32_t b) { return uint64_t(uint32_t(a)) << 32 | uint32_t(b); };
        for (int n = 0; n < record.m_treeCount; ++n) {
            bool placed = false;
            YMapVT3TreePoint point;
            float facing = 0.0f;
            for (int attempt = 0; attempt < 3 && !placed; ++attempt) {
                const float t = float(rand() % 100);
                int d = spreadWhole ? rand() % spreadWhole : 0;
                const int k = rand() % segments;
                const float p = spreadWhole ? float(d) / spread * 100.0f - (100.0f - falloff) : 0.0f;
                if (spreadWhole && float(rand() % 100) < p) {
                    // Any shrink percentage keeps the distance in the int range.
                    const double shrunk = (1.0 - double(shrink) * 0.01) * double(d);
                    d = int(std::max(-2147483647.0, std::min(2147483647.0, shrunk)));
                }
                const YMapVT3TreePoint& a = record.m_points[k];
                const YMapVT3TreePoint& b = record.m_points[k + 1];
                const bool fromA = (rand() & 1) != 0;
                const YMapVT3TreePoint& from = fromA ? a : b;
                const YMapVT3TreePoint& to = fromA ? b : a;
                const float bx = from.m_x + (to.m_x - from.m_x) * t * 0.01f;
                const float bz = from.m_z + (to.m_z - from.m_z) * t * 0.01f;
                float angle = std::atan2(b.m_z - a.m_z, b.m_x - a.m_x);
                if (record.m_orientation == 2) angle += kHalfPi;
                else if (record.m_orientation == 1) angle -= kHalfPi;
                else angle += (rand() & 1) ? kHalfPi : -kHalfPi;
                const float jitter = record.m_byte0 ? float(rand() % record.m_byte0) * kDegree : 0.0f;
                angle += (rand() & 1) ? jitter : -jitter;
                const YMapVT3TreePoint candidate = {bx + float(d) * std::cos(angle), bz + float(d) * std::sin(angle)};
                bool near = false;
                const int32_t sx = squareOf(candidate.m_x), sz = squareOf(candidate.m_z);
                for (int32_t ix = sx - 1; ix <= sx + 1 && !near && square > 0.0; ++ix) {
                    for (int32_t iz = sz - 1; iz <= sz + 1 && !near; ++iz) {
                        auto found = accepted.find(key(ix, iz));
                        if (found == accepted.end()) continue;
                        for (const YMapVT3TreePoint& q : found->second) {
                            const float dx = q.m_x - candidate.m_x, dz = q.m_z - candidate.m_z;
                            if (std::sqrt(dx * dx + dz * dz) < 2.0f * spacing) {
                                near = true;
                                break;
                            }
                        }
                    }
                }
                if (near) continue;
                placed = true;
                point = candidate;
                facing = angle;
            }
            if (!placed) continue;
            if (square > 0.0) accepted[key(squareOf(point.m_x), squareOf(point.m_z))].push_back(point);
            const float x = point.m_x * scale, z = point.m_z * scale;
            const int32_t cell = CellIndexOf(x, z);
            if (cell < 0) continue;
            const int kind = rand() % YMapVT3Tree::kTreeKinds;
            const int16_t type = static_cast<int16_t>(record.m_wordsA[kind]);
            const bool sprite = type < m_spriteTypeCount;
            const size_t model = sprite ? 0 : static_cast<size_t>(type - m_spriteTypeCount);
            float height;
            if (!sprite && model < clipToWater.size() && clipToWater[model]) {
                double heights[2];
                heights[0] = heights[1] = GetGroundHeight(x, z);
                GetGroundInfo(x, z, heights);
                height = float(std::max(heights[0], heights[1]));
            } else {
                height = GetGroundHeight(x, z);
            }
            const int low = std::min(record.m_bytesA[kind], record.m_bytesB[kind]);
            const int high = std::max(record.m_bytesA[kind], record.m_bytesB[kind]);
            const uint8_t size = static_cast<uint8_t>(low == high ? low : low + rand() % (high - low));
            const float base = std::min(record.m_floatsA[kind], record.m_floatsB[kind]);
            const float top = std::max(record.m_floatsA[kind], record.m_floatsB[kind]);
            const float range = std::min((top - base) * 100.0f, 2147483647.0f);
            const int whole = range >= 100.0f ? int(range / 100.0f) * 100 : 0;
            const float treeSize = base + (whole > 0 ? float(rand() % whole) * 0.01f : 0.0f);
            const uint32_t number = sprite ? sprites++ : models++;
            uint8_t& count = m_cellItemCounts[static_cast<size_t>(cell)];
            if (count >= kMaxCellItems) continue;
            if (!counting) {
                std::vector<YCellItem>& items = m_cells[static_cast<size_t>(cell)].m_items;
                if (count >= items.size()) continue;
                YCellItem& item = items[count];
                item.m_flags = number;
                item.m_size = size;
                item.m_type = type;
                item.m_farType = record.m_wordsB[kind];
                item.m_fixedDistance = spacing;
                item.m_position[0] = x;
                item.m_position[1] = height;
                item.m_position[2] = z;
                item.m_treeSize = treeSize;
                item.m_facing = facing;
                item.m_work.assign(64, 0);
            }
            ++count;
        }
    }
    if (!counting) {
        // A fill that wrote fewer items than counted keeps only those.
        for (size_t c = 0; c < m_cells.size(); ++c) m_cells[c].m_items.resize(m_cellItemCounts[c]);
        m_cellItemCounts.clear();
    }
}

int YD3D6Parser::CreateShadowTable()
{
    m_shadowSlots.assign(kShadowSlots, ShadowSlot());
    m_workSlots.assign(kWorkSlots, YD3D6ShadowWorkTexture());
    const YString path = FindCatalogFile("2D Art\\Overlays\\Generic_Shadow.ytx");
    const int sizes[3] = {64, 32, 16};
    const int counts[3] = {8, 16, 32};
    int number = 0;
    char name[1200];
    for (int k = 0; k < 3; ++k) {
        const int s = sizes[k];
        snprintf(name, sizeof name, "cmd;WORK;000;%d;%d;%s", s, s, path.GetBuffer());
        const int work = LoadCatalogTextures(name, 0, 1);
        if (YD3D6Lock* lock = work >= 0 ? GetTextureLock(static_cast<int16_t>(work)) : nullptr) {
            YD3D6ShadowWorkTexture& slot = m_workSlots[size_t(k)];
            slot.texture = work;
            slot.lock = lock;
            slot.size = s;
        }
        for (int i = 0; i < counts[k]; ++i, ++number) {
            snprintf(name, sizeof name, "cmd;S%03d;000;%d;%d;%s", number, s, s, path.GetBuffer());
            const int index = LoadCatalogTextures(name, 0, 1);
            YD3D6Lock* lock = index >= 0 ? GetTextureLock(static_cast<int16_t>(index)) : nullptr;
            if (!lock) continue;
            YD3D6ShadowEntry& slot = m_shadowSlots[static_cast<size_t>(number)];
            slot.texture = index;
            slot.lock = lock;
            slot.size = s;
            slot.sizeClass = k;
        }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Level 2: models

YRenderInstance* YD3D6Parser::NewPlacedObject(YSMHandle* handle, const YMapVT3Model_Output& output)
{
    YRenderInstance* record = new YRenderInstance;
    record->m_model = handle;
    record->m_kind = kPlacedKind;
    record->m_flags |= 0x1;  // drawn by the cell-object pass
    record->m_position[0] = output.m_x * m_worldScale;
    record->m_position[1] = output.m_y * m_worldScale;
    record->m_position[2] = output.m_z * m_worldScale;
    float pitch = output.m_pitch, yaw = output.m_yaw, roll = output.m_roll;
    if (handle && handle->m_groundAlign) {
        const float x = record->m_position[0], z = record->m_position[2];
        auto slope = [&](float heading) {
            const float dx = std::sin(heading) * kAlignDistance, dz = std::cos(heading) * kAlignDistance;
            const float ahead = GetGroundHeight(x + dx, z + dz);
            const float behind = GetGroundHeight(x - dx, z - dz);
            return std::atan2(ahead - behind, 2.0f * kAlignDistance);
        };
        pitch = slope(yaw);
        roll = slope(yaw + 1.570796f);
    }
    record->m_angles[0] = pitch;
    record->m_angles[1] = yaw;
    record->m_angles[2] = roll;
    record->m_scale = output.m_scale;
    record->m_baseScale = 1.0f;
    record->m_typeIndex = -1;
    record->m_attachIndex = -1;
    record->m_index2 = -1;
    record->m_worldX = record->m_position[0];
    record->m_worldZ = record->m_position[2];
    record->m_name = output.m_name;
    m_placedStore.push_back(record);
    AddActorAt(record, 0, record->m_worldX, record->m_worldZ);
    AddPlacedObject(record);
    return record;
}

int YD3D6Parser::SetupModels()
{
    YCatalog* catalog = Catalog();
    m_modelCatalog = catalog;
    for (CatalogModelEntry*& entry : m_catalogModels) {
        if (!entry) continue;
        KeepAlive();
        for (YSMHandle* handle : entry->handles) delete handle;
        entry->handles.clear();
        YModelFrameArray& frames = entry->resource->GetFrames();
        for (int i = 0; i < frames.GetSize(); ++i) {
            const YModelFrame* frame = frames[i];
            if (!frame || !StartsWith(frame->m_name, "YSM:")) continue;
            // The frame's second name is the key of the file handler that finds the file.
            CString path;
            uint32_t align = 0;
            YCatalogItem* item = catalog ? catalog->FindItem(frame->m_secondName) : nullptr;
            if (item && item->GetType() == kFileHandlerType) {
                YResource* resource = catalog->AcquireItem(item, 0);
                if (YFileHandler* files = dynamic_cast<YFileHandler*>(resource))
                    files->FindFile(CString((const char*)frame->m_name + 4), path);
                align = static_cast<uint32_t>(item->m_wordA) & 1;
                if (resource) catalog->ReleaseResource(resource);
            }
            YSMHandle* handle = path.IsEmpty() ? nullptr : CreateModelHandle(path);
            if (!handle) continue;
            PrepareMapHandle(handle, m_worldScale);
            handle->m_groundAlign = align;
            entry->handles.push_back(handle);
        }
        if (entry->handles.empty()) {
            if (catalog) catalog->ReleaseResource(entry->resource);
            delete entry;
            entry = nullptr;
        }
    }
    for (const YMapVT3Model_Output* output : m_modelOutputs) {
        if (!output || !(output->m_flag & 0x80)) continue;
        const uint8_t hash = HashLowerName(output->m_name.GetBuffer());
        const CatalogModelEntry* found = nullptr;
        for (const CatalogModelEntry* entry : m_catalogModels) {
            if (entry && entry->hash == hash && strcmp(entry->name.GetBuffer(), output->m_name.GetBuffer()) == 0) {
                found = entry;
                break;
            }
        }
        if (!found || found->handles.empty()) continue;
        YRenderInstance* record = NewPlacedObject(found->handles[0], *output);
        record->m_words[0] = output->m_values[0];
        record->m_words[1] = output->m_values[1];
    }
    return 1;
}

int YD3D6Parser::SetupMRMModels()
{
    std::vector<YSMHandle*> handles(m_tags.size(), nullptr);
    for (size_t i = 0; i < m_tags.size(); ++i) {
        KeepAlive();
        const YMapVT3Model_Output* output = m_tags[i];
        if (!output || !(output->m_flag & 0x80)) continue;
        const YString path = FindCatalogFile(output->m_name.GetBuffer());
        YSMHandle* handle = path.IsEmpty() ? nullptr : CreateModelHandle(path.GetBuffer());
        if (!handle) continue;
        handle->m_groundAlign = handle->m_flags & 1;
        PrepareMapHandle(handle, m_worldScale);
        handles[i] = handle;
        m_mrmHandles.push_back(handle);
    }
    for (size_t i = 0; i < m_tags.size(); ++i)
        if (handles[i]) NewPlacedObject(handles[i], *m_tags[i]);
    KeepAlive();
    return 1;
}

void YD3D6Parser::CollectItemsNearVertices(uint8_t count)
{
    const size_t vertices = m_mapVertices.size();
    if (count) {
        m_vertexItemCounts.assign(vertices, 0);
        m_vertexItems.assign(vertices, std::vector<const YCellItem*>());
    } else if (m_vertexItemCounts.size() != vertices) {
        return;
    }
    if (m_cells.empty() || !(m_cellSizeRender > 0.0f)) return;
    for (size_t v = 0; v < vertices; ++v) {
        const YMapVT3Vertex& vertex = m_mapVertices[v];
        if (!count) m_vertexItems[v].reserve(m_vertexItemCounts[v]);
        const double fc = std::floor((vertex.m_x - m_gridOrigin[0]) / m_cellSizeRender);
        const double fr = std::floor((vertex.m_z - m_gridOrigin[2]) / m_cellSizeRender);
        if (!std::isfinite(fc) || !std::isfinite(fr)) continue;
        const int32_t w = static_cast<int32_t>(m_gridWidth), h = static_cast<int32_t>(m_gridHeight);
        const int32_t c0 = int32_t(std::max(0.0, std::min(double(w - 1), fc - 1)));
        const int32_t c1 = int32_t(std::max(0.0, std::min(double(w - 1), fc + 1)));
        const int32_t r0 = int32_t(std::max(0.0, std::min(double(h - 1), fr - 1)));
        const int32_t r1 = int32_t(std::max(0.0, std::min(double(h - 1), fr + 1)));
        uint32_t found = 0;
        for (int32_t r = r0; r <= r1; ++r) {
            for (int32_t c = c0; c <= c1; ++c) {
                for (const YCellItem& item : m_cells[static_cast<size_t>(r * w + c)].m_items) {
                    if (item.m_type < 0 || static_cast<size_t>(item.m_type) >= m_treeFactorA.size()) continue;
                    const float dx = item.m_position[0] - vertex.m_x, dy = item.m_position[1] - vertex.m_y,
                                dz = item.m_position[2] - vertex.m_z;
                    const float reach = item.m_size * 0.003921569f * m_treeFactorA[static_cast<size_t>(item.m_type)];
                    if (!(std::sqrt(dx * dx + dy * dy + dz * dz) < reach)) continue;
                    if (found >= kMaxVertexItems) continue;
                    ++found;
                    if (!count && m_vertexItems[v].size() < m_vertexItemCounts[v]) m_vertexItems[v].push_back(&item);
                }
            }
        }
        if (count) m_vertexItemCounts[v] = static_cast<uint8_t>(found);
    }
}

void YD3D6Parser::ShadeVerticesByTrees(float offset)
{
    m_vertexShade.assign(m_mapVertices.size(), 255);
    std::vector<TreeShadeSource> sources;
    for (size_t v = 0; v < m_mapVertices.size() && v < m_vertexItems.size(); ++v) {
        sources.clear();
        for (const YCellItem* item : m_vertexItems[v]) {
            TreeShadeSource s;
            memcpy(s.point, item->m_position, sizeof s.point);
            s.radius = m_treeFactorA[static_cast<size_t>(item->m_type)] * (item->m_size * (1.0f / 255.0f));
            sources.push_back(s);
        }
        const float p[3] = {m_mapVertices[v].m_x, m_mapVertices[v].m_y, m_mapVertices[v].m_z};
        m_vertexShade[v] = ShadeByTrees(p, sources.data(), static_cast<int>(sources.size()), offset);
    }
}

// ---------------------------------------------------------------------------
// Skyboxes and fog

int YD3D6Parser::Hunt_SetupBackground()
{
    m_backgrounds.clear();
    m_backgroundsOn = 0;
    m_fogOn = 0;
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!(m_deviceCaps.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_FOGTABLE)) m_mapSettings[kFogWord] = 0;
    char value[kMaxNameText + 1];
    uint8_t flag = 0;
    auto tag = [&](const char* name) -> const char* {
        return LookupNamePair(name, &flag, value, nullptr) ? value : nullptr;
    };
    const char* text = tag("MapBackgroundNum");
    const int count = text ? atoi(text) : 0;
    bool failed = false;
    YCatalog* catalog = Catalog();
    static const char* const kFaces[5] = {"_front", "_left", "_back", "_right", "_top"};
    for (int i = 0; i < count && i < 100; ++i) {
        Background background;
        char name[64];
        snprintf(name, sizeof name, "MapBackground%02d", i);
        const char* file = tag(name);
        if (!file) failed = true;
        const std::string base = file ? std::string(file) : std::string();
        for (int f = 0; file && f < 5; ++f) {
            const std::string face = (base.size() >= 4 ? base.substr(0, base.size() - 4) : std::string()) + kFaces[f];
            const size_t cut = face.find('_');
            const std::string box = cut != std::string::npos && cut > 0 ? face.substr(0, cut) : face;
            int index = -1;
            YCatalogItem* item = catalog ? catalog->FindItem(CString("SkyTextures"), CString(box.c_str()), kSkyHandlerType)
                                         : nullptr;
            if (item && item->GetType() == kSkyHandlerType) {
                YResource* resource = catalog->AcquireItem(item, 0);
                YTextureHandler* textures = dynamic_cast<YTextureHandler*>(resource);
                if (!textures) {
                    if (resource) catalog->ReleaseResource(resource);
                    AfxMessageBox("Error encountered while loading skyboxes.");
                    m_backgrounds.clear();
                    return 0;
                }
                for (int v = 0; v < textures->GetCount(); ++v) {
                    CString variant;
                    textures->GetFileName(variant, v);
                    const std::string path((const char*)variant);
                    const size_t at = path.find(face);
                    if (at == std::string::npos || at == 0) continue;
                    index = LoadCatalogTextures(("file;" + path).c_str(), 0, 0);
                    break;
                }
                catalog->ReleaseResource(resource);
            }
            if (index < 0) index = LoadCatalogTextures(face.c_str(), 0, 0);
            background.faces[f] = GetTextureLock(static_cast<int16_t>(index));
            if (!background.faces[f]) failed = true;
        }
        snprintf(name, sizeof name, "MapBackground%02dStart", i);
        const char* start = tag(name);
        background.start = start ? atoi(start) : 0;
        snprintf(name, sizeof name, "MapBackground%02dEnd", i);
        const char* end = tag(name);
        background.end = end ? atoi(end) : 1440;
        if (background.end <= background.start) background.end += 1440;
        m_backgrounds.push_back(background);
    }
    if (failed) {
        m_backgrounds.clear();
        m_backgroundsOn = 0;
        m_mapSettings[kSkyWord] = 0;
        return 1;
    }
    m_backgroundsOn = m_backgrounds.empty() ? 0 : 1;
    for (Background& background : m_backgrounds) {
        bool hasColour = false, hasNear = false, hasFar = false;
        uint8_t colour[3] = {0, 0, 0};
        float nearRange = 0.0f, farRange = 0.0f;
        for (YD3D6Lock* face : background.faces) {
            if (!face) continue;
            uint8_t rgb[3];
            if (face->FindTag("FOG-WaterRGB") >= 0 && ParseRGB(face->GetTagValueByName("FOG-WaterRGB", "").GetBuffer(), rgb))
                background.waterColour = (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
            if (face->FindTag("FOG-ColorRGB") >= 0 && ParseRGB(face->GetTagValueByName("FOG-ColorRGB", "").GetBuffer(), rgb)) {
                memcpy(colour, rgb, 3);
                hasColour = true;
            }
            if (face->FindTag("FOG-RangeNear") >= 0) {
                nearRange = float(atof(face->GetTagValueByName("FOG-RangeNear", "0").GetBuffer()));
                hasNear = true;
            }
            if (face->FindTag("FOG-RangeFar") >= 0) {
                farRange = float(atof(face->GetTagValueByName("FOG-RangeFar", "0").GetBuffer()));
                hasFar = true;
            }
        }
        if (hasColour && hasNear && hasFar && m_mapSettings[kFogWord]) {
            memcpy(background.fog, colour, 3);
            background.fogColour = (uint32_t(colour[0]) << 16) | (uint32_t(colour[1]) << 8) | colour[2];
            background.fogNear = nearRange;
            background.fogFar = farRange;
            background.valid = 1;
        }
    }
    if (!m_backgrounds.empty() && m_backgrounds[0].valid && device) {
        const Background& first = m_backgrounds[0];
        const DWORD colour = DWORD(int(first.fog[0] * m_fogFactors[0])) * 65536 +
                             DWORD(int(first.fog[1] * m_fogFactors[1])) * 256 + DWORD(int(first.fog[2] * m_fogFactors[2]));
        device->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, 3);
        device->SetRenderState(D3DRENDERSTATE_FOGCOLOR, colour);
        device->SetRenderState(D3DRENDERSTATE_FOGSTART, FloatBits(first.fogNear * m_fogStartFactor));
        device->SetRenderState(D3DRENDERSTATE_FOGEND, FloatBits(first.fogFar));
        device->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE);
        m_fogRange[0] = first.fogNear;
        m_fogRange[1] = first.fogFar;
        m_fogOn = 1;
    }
    if (!m_mapSettings[kSkyWord]) {
        uint8_t rgb[3];
        const char* solid = tag("SolidColorRGB");
        m_clearColour = solid && ParseRGB(solid, rgb) ? (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2]
                                                      : 0x6497DA;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Session end

void YD3D6Parser::FreeMapSetup()
{
    ClearPlacedObjects();
    for (YRenderInstance* record : m_placedStore) {
        RemoveActorAt(record, record->m_worldX, record->m_worldZ);
        record->FreeBlock();
        delete record;
    }
    m_placedStore.clear();
    YCatalog* catalog = Catalog();
    for (CatalogModelEntry* entry : m_catalogModels) {
        if (!entry) continue;
        for (YSMHandle* handle : entry->handles) delete handle;
        // A catalog that went first took its items along.
        if (catalog && (catalog == m_modelCatalog || !m_modelCatalog)) catalog->ReleaseResource(entry->resource);
        delete entry;
    }
    m_catalogModels.clear();
    m_modelCatalog = nullptr;
    for (YSMHandle* handle : m_mrmHandles) delete handle;
    m_mrmHandles.clear();
    for (YSMHandle* handle : m_ownedTreeModels) delete handle;
    m_ownedTreeModels.clear();
    m_treeModels.clear();
    for (TextureHandlerEntry* entry : m_textureHandlers) delete entry;
    m_textureHandlers.clear();
    m_shadowSlots.clear();
    m_workSlots.clear();
    m_backgrounds.clear();
    m_backgroundsOn = m_fogOn = 0;
    FreeFlareSources();
    m_clouds.clear();
    m_mapTextureHandlers.clear();
    m_spriteTextures.clear();
    m_spriteTypeCount = 0;
    m_treeFactorA.clear();
    m_treeFactorB.clear();
    m_treeFactorC.clear();
    m_treeFactorD.clear();
    m_vertexItemCounts.clear();
    m_vertexItems.clear();
    m_vertexShade.clear();
    m_cellItemCounts.clear();
    m_groundTexture = m_waterTexture = m_flareTexture = -1;
    FreeFrameBuffers();
}

DWORD YD3D6Parser::FloatBits(float value)
{
    DWORD bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}
