#include "renderer/YD3D6Parser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <set>
#include <string>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "engine/YGameObjects.h"
#include "foundation/YUtility.h"
#include "foundation/YVector.h"
#include "renderer/CTex2XAARen.h"
#include "renderer/CTex4XAARen.h"
#include "renderer/CTexRen.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YMapVT3.h"
#include "renderer/YParseModelItem.h"
#include "renderer/YParserZone.h"
#include "renderer/YTraceRequest.h"
#include "renderer/YTraceResult.h"

IMPLEMENT_DYNAMIC(YD3D6Parser, YParser)

namespace {
inline void Store3(float* dst, float a, float b, float c)
{
    dst[0] = a;
    dst[1] = b;
    dst[2] = c;
}

inline void Load3(const float* src, float* a, float* b, float* c)
{
    *a = src[0];
    *b = src[1];
    *c = src[2];
}

// The words a map session and the model viewer keep of their descriptors.
const int kMapCopiedWords[] = {1, 2, 3, 4, 6, 7, 9, 10, 11, 12, 13, 14, 18, 19, 20,
                         21, 23, 25, 26, 28, 29, 30, 31, 32, 33, 34, 35};
const int kMapOptionWords[] = {20, 31, 32, 33, 34};
const int kViewerCopiedWords[] = {0, 1, 3, 4, 5, 7, 8, 9, 10, 11, 14, 15, 16, 19};
const int kViewerOptionWords[] = {3, 4, 5, 14};
const int kClearedWord = 19;

// (MIP, minification, magnification) by filter level: the first set, then the
// second, which textures are drawn with.
const DWORD kFilterLevels[5][2][3] = {
    {{2, 1, 1}, {2, 1, 1}},  // point MIP, point, point
    {{3, 1, 1}, {3, 1, 1}},  // linear MIP, point, point
    {{3, 1, 1}, {2, 2, 2}},  // point MIP, bilinear
    {{3, 1, 1}, {3, 2, 2}},  // trilinear
    {{3, 1, 1}, {3, 3, 5}},  // linear MIP, anisotropic
};
const int kAnisotropicLevel = 4;
const int kTrilinearLevel = 3;

const int kRenderRecordSpare = 32;
const int32_t kMaxRenderRecords = 65535;
const int kAmbientWord = 5;
const char* const kThermalTexture = "MiscTextures-thermal--24-0";
const int32_t kThermalNotLoaded = -100;

// Copies at most limit characters and always terminates; nothing is
// written past the terminator.
void CopyText(char* out, const char* text, size_t limit)
{
    const size_t length = std::min(strlen(text), limit);
    memcpy(out, text, length);
    out[length] = '\0';
}
}  // namespace

static_assert(YSessionDesc::ParameterCount + 1 >= YD3D6Parser::kSessionWords, "the descriptor holds every word");

YD3D6Parser::YD3D6Parser()
    : m_raster(nullptr), m_map(nullptr), m_renderRecordCount(0),
      m_origin{0.0f, 0.0f, 0.0f}, m_farCorner{0, 0}, m_softwareRasteriser(nullptr), m_greyRamp(nullptr),
      m_savedLight{0.0f, 0.0f, 0.0f}, m_savedOverlay{0.0f, 0.0f, 0.0f, 0.0f}, m_overlayDepth(0), m_lightMode(0),
      m_thermal(0), m_thermalTexture(kThermalNotLoaded), m_lightIntensity(0.5f), m_workBuffer(nullptr)
{
    memset(m_mapSettings, 0, sizeof m_mapSettings);
    const struct {
        int word;
        int32_t value;
    } defaults[] = {{1, 25}, {2, 1},   {3, 1},  {4, 800}, {5, 100}, {6, 2},  {7, 1},  {9, 1},  {10, 0}, {11, 16},
                    {12, 1}, {13, 1},  {14, 1}, {18, 1},  {20, 0},  {21, 1}, {23, 1}, {25, 1}, {26, 2}};
    for (const auto& d : defaults) m_mapSettings[d.word] = d.value;
    memset(m_viewerSettings, 0, sizeof m_viewerSettings);
    memcpy(m_filters, kFilterLevels[0], sizeof m_filters);
    memset(&m_deviceCaps, 0, sizeof m_deviceCaps);
    for (DDPIXELFORMAT* f : {&m_opaqueFormat, &m_alphaFormat, &m_defaultFormat, &m_spareFormat, &m_format565, &m_screenFormat}) {
        memset(f, 0, sizeof *f);
        f->dwSize = sizeof *f;
    }
    m_workBuffer = new uint8_t[kWorkBufferSize];
    ForgetCachedStates();
}

YD3D6Parser::~YD3D6Parser()
{
    delete[] m_workBuffer;
    DestroyDevice();
    ReleaseModels();
    EndMapSession();
    EndSession(0);
    delete m_traceResult;
}

void YD3D6Parser::Log(const char* text) const
{
    if (m_debugLog) DebugLog(text);
}

void YD3D6Parser::KeepAlive() const
{
    if (m_keepAlive) m_keepAlive();
}

int32_t YD3D6Parser::SessionWord(const YSessionDesc* desc, int word)
{
    if (!desc || word < 0 || word > YSessionDesc::ParameterCount) return 0;
    // Word 0 is the path; the model viewer keeps its size there, as a number.
    if (word == 0) {
        const long size = std::strtol(desc->m_mapPath.GetBuffer(), nullptr, 10);
        return int32_t(std::max(long(INT32_MIN), std::min(long(INT32_MAX), size)));
    }
    return desc->m_parameters[word - 1];
}

int YD3D6Parser::AttachDisplay(void* displayDescriptor)
{
    m_display = displayDescriptor;
    return 1;
}

int YD3D6Parser::CreateDevice(void* deviceDescriptor)
{
    m_deviceDescriptor = deviceDescriptor;
    DestroyDevice();
    m_raster = new YD3D6Raster;
    if (!m_raster->Init(deviceDescriptor)) {
        delete m_raster;
        m_raster = nullptr;
        return 0;
    }
    memcpy(m_filters, kFilterLevels[0], sizeof m_filters);
    IDirect3DDevice7* device = m_raster->GetDevice();
    memset(&m_deviceCaps, 0, sizeof m_deviceCaps);
    device->GetCaps(&m_deviceCaps);

    // The filter level asked for, lowered to what the device draws.
    int level = Display() ? static_cast<int>(Display()->filter) : 0;
    if (level == kAnisotropicLevel && !(m_deviceCaps.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_ANISOTROPY))
        level = kTrilinearLevel;
    if (level == kTrilinearLevel && !(m_deviceCaps.dpcTriCaps.dwTextureFilterCaps & D3DPTFILTERCAPS_LINEARMIPLINEAR))
        level = kTrilinearLevel - 1;
    if (Display()) Display()->filter = static_cast<DWORD_PTR>(level);

    device->SetTextureStageState(0, D3DTSS_MAXANISOTROPY, 1);
    if (level >= 0 && level <= kAnisotropicLevel) memcpy(m_filters, kFilterLevels[level], sizeof m_filters);
    if (level == kAnisotropicLevel) device->SetTextureStageState(0, D3DTSS_MAXANISOTROPY, 2);
    return 1;
}

int YD3D6Parser::DestroyDevice()
{
    delete m_raster;
    m_raster = nullptr;
    return 1;
}

// Every model goes, the last one too.
int YD3D6Parser::ReleaseModels()
{
    for (YParseModelItem* item : m_models) {
        if (!item) continue;
        delete item->m_model;
        item->m_model = nullptr;
    }
    delete m_map;
    m_map = nullptr;
    return 1;
}

void YD3D6Parser::EvictTextures()
{
    if (m_raster && m_raster->GetDirect3D()) m_raster->GetDirect3D()->EvictManagedTextures();
}

int YD3D6Parser::SetSessionOptions(YSessionDesc* desc)
{
    if (!desc) return 0;
    if (m_sessionMode == 1) {
        for (int word : kViewerOptionWords) m_viewerSettings[word] = SessionWord(desc, word);
    } else if (m_sessionMode == 2) {
        for (int word : kMapOptionWords) m_mapSettings[word] = SessionWord(desc, word);
    }
    return 1;
}

int YD3D6Parser::InitSession(int mode, void* descriptor, int level)
{
    m_sessionMode = mode;
    if (mode == 1) {
        if (level != 0) return 1;
        Log("[YD3D6Parser::InitSession] YSMVLevel 0 Start");
        m_ready = 0;
        if (const YSessionDesc* desc = static_cast<const YSessionDesc*>(descriptor))
            for (int word : kViewerCopiedWords) m_viewerSettings[word] = SessionWord(desc, word);
        if (Display()) Display()->sessionWord = static_cast<DWORD_PTR>(m_viewerSettings[kViewerDisplayWord]);
        SetProjection(60.0f, 60.0f, 1.0f, ViewerFarPlane(m_viewerSettings[0], 1.0f));
        YSMV_Init();
        SetViewerRenderStates();
        m_ready = 1;
        Log("[YD3D6Parser::InitSession] YSMVLevel 0 End");
        return 1;
    }
    if (mode != 2) return 1;

    switch (level) {
    case 0: {
        m_ready = 0;
        if (const YSessionDesc* desc = static_cast<const YSessionDesc*>(descriptor)) {
            m_mapPath = desc->m_mapPath;
            for (int word : kMapCopiedWords) m_mapSettings[word] = SessionWord(desc, word);
        }
        if (Display()) Display()->sessionWord = static_cast<DWORD_PTR>(m_mapSettings[kDisplayWord]);
        m_mapSettings[kClearedWord] = 0;
        Hunt_SizeBuffers();
        // The far plane is the far distance of the view distance, which the
        // map shot also restores; the renderer's word 5 (100 units, six
        // metres) would cut the world off just past the plane's nose.
        SetProjection(60.0f, 60.0f, m_projection[2], float(m_popUpDistance));
        delete m_softwareRasteriser;
        m_softwareRasteriser = CreateSoftwareRasteriser(static_cast<int16_t>(m_mapSettings[kAntiAliasWord]));
        if (!m_greyRamp) m_greyRamp = new (std::nothrow) uint16_t[256];
        if (m_greyRamp) BuildGreyRamp(m_greyRamp);
        return Hunt_Init();
    }
    case 1: Hunt_Init2(); return 1;
    case 2:
        SetupModels();
        SetupMRMModels();
        CollectItemsNearVertices(1);
        CollectItemsNearVertices(0);
        ShadeVerticesByTrees(120.0f);
        Hunt_SetupBackground();
        SetDefaultRenderStates();
        return 1;
    case 3: ReleaseMapObject(); return 1;
    case 4:
        EvictTextures();
        m_ready = 1;
        return 1;
    default: return 1;
    }
}

int YD3D6Parser::Hunt_SizeBuffers()
{
    Log("[YD3D6Parser::Hunt_SizeBuffers] Starting...");
    FreeDecalRing();
    delete[] m_renderRecords;
    m_renderRecordCount = std::min(std::max(m_mapSettings[kRenderRecordsWord], int32_t(0)), kMaxRenderRecords);
    m_renderRecords = new YRenderInstance[m_renderRecordCount + kRenderRecordSpare];
    // The view distance in cells, 20 to 50, and the visible-cell lists
    // the area of a circle of that radius and 4 more.
    const int32_t option = std::min(std::max(m_mapSettings[kViewDistanceWord], int32_t(0)), int32_t(255));
    m_viewCells = option * 30 / 255 + 20;
    m_mapSettings[kViewDistanceWord] = m_viewCells;
    m_popUpDistance = int32_t(float(m_viewCells - 2) * 128.0f * 0.9f);
    m_visibleCellCapacity =
        int32_t(std::ceil(double(m_viewCells + 4) * double(m_viewCells + 4) * 3.141592 * 0.26315789803903855));
    for (auto& list : m_visibleCells) list.assign(size_t(m_visibleCellCapacity), 0);
    for (auto& list : m_visibleRecords) list.assign(size_t(m_visibleCellCapacity) * 4, 0.0f);
    // The frame road's work buffers do not depend on the view distance here.
    AllocateFrameBuffers(kFrameBufferBytes);
    m_shadowCasters.assign(kShadowCasters, YD3D6ShadowCaster());
    Log("[YD3D6Parser::Hunt_SizeBuffers] Finished");
    return 1;
}

const uint32_t YD3D6Parser::kFrameBufferBytes[kFrameBuffers] = {720896, 196608, 2883584, 1572864,
                                                                393216, 196608, 393216,  393216};

const uint32_t YD3D6Parser::kFrameRecordBytes[kFrameBuffers] = {44, 1, 44, 1, 1, 1, 12, 12};
const uint32_t YD3D6Parser::kFrameRecordHeld[kFrameBuffers] = {
    sizeof(YBillboardRecord), 1, sizeof(YAlphaVertex), 1, 1, 1, sizeof(YAlphaRecord), sizeof(YOpaqueRecord)};

void YD3D6Parser::FrameBuffer::Allocate(uint32_t n, uint32_t recordBytes, uint32_t heldBytes)
{
    capacity = n / recordBytes;
    bytes.reset(new uint8_t[size_t(capacity) * heldBytes]);
    size = n;
}

void YD3D6Parser::FrameBuffer::Free()
{
    bytes.reset();
    size = capacity = 0;
}

void YD3D6Parser::AllocateFrameBuffers(const uint32_t bytes[kFrameBuffers])
{
    for (int i = 0; i < kFrameBuffers; ++i) {
        m_frameBuffers[i].Free();
        m_frameBuffers[i].Allocate(bytes[i], kFrameRecordBytes[i], kFrameRecordHeld[i]);
    }
    m_vertexScratch.Free();
    m_vertexScratch.Allocate(kVertexScratchBytes, sizeof(YAlphaVertex), sizeof(YAlphaVertex));
    for (uint8_t*& pointer : m_scratch) pointer = m_vertexScratch.bytes.get();
    m_indexScratch.Free();
    m_indexScratch.Allocate(kIndexScratchBytes, sizeof(uint16_t), sizeof(uint16_t));
    for (int32_t& count : m_frameCounters) count = 0;
    for (int32_t& count : m_visibleCounts) count = 0;
}

void YD3D6Parser::FreeFrameBuffers()
{
    for (auto& list : m_visibleCells) std::vector<uint16_t>().swap(list);
    for (auto& list : m_visibleRecords) std::vector<float>().swap(list);
    for (FrameBuffer& buffer : m_frameBuffers) buffer.Free();
    m_vertexScratch.Free();
    for (uint8_t*& pointer : m_scratch) pointer = nullptr;
    m_indexScratch.Free();
    for (int32_t& count : m_frameCounters) count = 0;
    for (int32_t& count : m_visibleCounts) count = 0;
    std::vector<YD3D6ShadowCaster>().swap(m_shadowCasters);
}

int YD3D6Parser::Hunt_Init()
{
    Log("[YD3D6Parser::Hunt_Init] Starting...");
    for (int i = 0; i < 256; ++i) {
        m_lookupScaled[i] = float(i) * 256.0f;
        m_lookupPlain[i] = float(i);
        for (int k = 0; k < 8; ++k) m_lookupBits[i][k] = (i >> k) & 1 ? 1.0f : 0.0f;
    }
    m_fogFactors[0] = m_fogFactors[1] = m_fogFactors[2] = 1.0f;
    m_textureQuality = std::min(std::max(m_mapSettings[kTextureQualityWord], int32_t(0)), int32_t(2));
    m_mapSettings[kSoftenWord] = std::min(std::max(m_mapSettings[kSoftenWord], int32_t(0)), int32_t(1));
    m_day = m_mapSettings[kDayWord];
    delete m_map;
    m_map = nullptr;
    ClearLights(1);
    m_map = new YMapVT3;
    Log((std::string("[YD3D6Parser::Hunt_Init] Loading Map:") + m_mapPath.GetBuffer()).c_str());
    if (!m_map->LoadFile(m_mapPath.GetBuffer(), this)) {
        delete m_map;
        m_map = nullptr;
        return 0;
    }
    m_gridWidth = m_map->m_gridWidth;
    m_gridHeight = m_map->m_gridHeight;
    m_cellSize = m_map->m_cellSize;
    m_cellSizeRender = m_cellSize * m_worldScale;
    Store3(m_origin, m_map->m_originX * m_worldScale, m_map->m_originY * m_worldScale,
           m_map->m_originZ * m_worldScale);
    // Truncated, and held in range (NaN: 0) for maps with wild header values.
    auto whole = [](double v) {
        return v != v ? 0 : int32_t(std::max(-2147483648.0, std::min(2147483647.0, v)));
    };
    m_farCorner[0] = whole(double(float(m_gridWidth) * m_cellSizeRender + m_origin[0]));
    m_farCorner[1] = whole(double(float(m_gridHeight) * m_cellSizeRender + m_origin[2]));
    m_heightTable = m_map->m_heightTable;
    m_heightCopy = m_map->m_heightTable;
    m_waterHeights = m_map->m_vertexHeights;

    // The placed models move over to the renderer.
    for (YMapVT3Model_Output* record : m_modelOutputs) delete record;
    for (YMapVT3Model_Output* record : m_tags) delete record;
    m_modelOutputs.clear();
    m_tags.clear();
    for (const YMapVT3Model_Output& record : m_map->m_models) m_modelOutputs.push_back(new YMapVT3Model_Output(record));
    for (const YMapVT3Model_Output& record : m_map->m_models2) m_tags.push_back(new YMapVT3Model_Output(record));
    m_map->m_models.clear();
    m_map->m_models2.clear();
    for (YParserZone* zone : m_map->TakeZones()) m_zones.push_back(zone);
    BuildTextureClasses();
    ChooseTextureFormats();
    return 1;
}

int YD3D6Parser::Hunt_Init2()
{
    KeepAlive();
    SetupTextures();
    KeepAlive();
    SetupCells();
    KeepAlive();
    SetupSky();
    KeepAlive();
    m_namePairs.clear();
    if (m_map) m_namePairs = m_map->m_tags;
    SetupTreeTypes();
    KeepAlive();
    PlaceTrees(1);
    PlaceTrees(0);
    if (m_map) m_map->m_trees.clear();
    KeepAlive();
    // The water classes came with the cells.
    for (YMapCell& cell : m_cells) cell.m_index = -1;
    std::set<std::string> names;
    for (const YMapVT3Model_Output* output : m_modelOutputs)
        if (output && (output->m_flag & 0x80) && names.insert(output->m_name.GetBuffer()).second)
            FindOrAddModel(output->m_name.GetBuffer());
    KeepAlive();
    CreateShadowTable();
    KeepAlive();
    return 1;
}

int YD3D6Parser::SetDefaultRenderStates()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (device) {
        device->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_FILLMODE, 3);
        device->SetRenderState(D3DRENDERSTATE_SHADEMODE, 2);
        device->SetRenderState(D3DRENDERSTATE_MONOENABLE, FALSE);
        device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
        device->SetRenderState(D3DRENDERSTATE_SUBPIXEL, TRUE);
        device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x01010101);
    }
    // Whatever the device held before, the next change of any state is sent.
    ForgetCachedStates();
    return device ? 1 : 0;
}

void YD3D6Parser::ForgetCachedStates()
{
    for (int64_t& value : m_renderStateCache) value = -1;
    for (auto& stage : m_stageStateCache)
        for (int64_t& value : stage) value = -1;
}

HRESULT YD3D6Parser::SetRenderStateCached(D3DRENDERSTATETYPE state, DWORD value)
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return D3DERR_INVALID_DEVICE;
    const bool cached = DWORD(state) < DWORD(kCachedRenderStates);
    if (cached && m_renderStateCache[state] == int64_t(value)) return D3D_OK;
    const HRESULT result = device->SetRenderState(state, value);
    // A refused state is not known.
    if (cached) m_renderStateCache[state] = result == D3D_OK ? int64_t(value) : -1;
    return result;
}

HRESULT YD3D6Parser::SetTextureStageStateCached(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value)
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return D3DERR_INVALID_DEVICE;
    const bool cached = stage < DWORD(kCachedStages) && DWORD(state) < DWORD(kCachedStageStates);
    if (cached && m_stageStateCache[stage][state] == int64_t(value)) return D3D_OK;
    const HRESULT result = device->SetTextureStageState(stage, state, value);
    if (cached) m_stageStateCache[stage][state] = result == D3D_OK ? int64_t(value) : -1;
    return result;
}

void YD3D6Parser::ReleaseMapObject()
{
    delete m_map;
    m_map = nullptr;
}

int YD3D6Parser::EndSession(int)
{
    if (m_sessionMode == 2) EndMapSession();
    m_ready = 0;
    m_sessionMode = 0;
    delete m_softwareRasteriser;
    m_softwareRasteriser = nullptr;
    DestroyZones();
    FreeCellGrid();
    delete[] m_greyRamp;
    m_greyRamp = nullptr;
    return 1;
}

void YD3D6Parser::EndMapSession()
{
    if (m_raster) m_raster->FreeSessionLights();
    ClearFlaggedShadows();
    FreeMapSetup();
    FreeDecalRing();
    delete[] m_renderRecords;
    m_renderRecords = nullptr;
    m_renderRecordCount = 0;
    for (YMapVT3Model_Output* record : m_modelOutputs) delete record;
    for (YMapVT3Model_Output* record : m_tags) delete record;
    m_modelOutputs.clear();
    m_tags.clear();
    m_actorDescs.clear();
    for (YParseModelItem* item : m_models) {
        if (item) delete item->m_model;
        delete item;
    }
    m_models.clear();
    for (YD3D6TextureItem* item : m_textures) delete item;
    m_textures.clear();
    m_namePairs.clear();
    std::vector<float>().swap(m_heightCopy);
    std::vector<float>().swap(m_waterHeights);
}

// Frames draw only once a session is ready, and only in its two modes.
void YD3D6Parser::BeginFrame()
{
    if (!m_ready) return;
    if (m_sessionMode == 2) BeginMapScene();
    else if (m_sessionMode == 1) BeginViewerFrame();
}

int YD3D6Parser::RenderTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions)
{
    if (!m_ready) return 0;
    if (m_sessionMode == 2) return RenderMapTextureFrame(texture, projection1, projection2, fractions);
    if (m_sessionMode == 1) return RenderViewerTextureFrame(texture, projection1, projection2, fractions);
    return 0;
}

void YD3D6Parser::RenderFrame()
{
    if (!m_ready) return;
    if (m_sessionMode == 2) Hunt_RenderFrame();
    else if (m_sessionMode == 1) YSMV_RenderFrame();
}

void YD3D6Parser::EndFrame()
{
    if (!m_ready) return;
    if (m_sessionMode == 2) EndMapScene();
    else if (m_sessionMode == 1) EndViewerFrame();
}

int YD3D6Parser::BlitSurfaceToTexture(IDirectDrawSurface7* surface, int16_t texture)
{
    return BlitTexture(texture, surface, true);
}

int YD3D6Parser::BlitTextureToSurface(int16_t texture, IDirectDrawSurface7* surface)
{
    return BlitTexture(texture, surface, false);
}

int YD3D6Parser::BlitTexture(int16_t texture, IDirectDrawSurface7* surface, bool intoTexture)
{
    if (texture < 0 || size_t(texture) >= m_textures.size() || !surface) return 0;
    YD3D6TextureItem* item = m_textures[texture];
    if (!item || !item->m_surface) return 0;
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc))) return 0;
    IDirectDrawSurface7* target = nullptr;
    if (FAILED(item->m_surface->QueryInterface(IID_IDirectDrawSurface7, reinterpret_cast<void**>(&target))) ||
        !target) {
        surface->ReleaseDC(dc);
        return 0;
    }
    HDC textureDc = nullptr;
    if (FAILED(target->GetDC(&textureDc))) {
        target->Release();
        surface->ReleaseDC(dc);
        return 0;
    }
    const BOOL done = intoTexture
                          ? BitBlt(textureDc, 0, 0, item->m_width, item->m_height, dc, 0, 0, SRCCOPY)
                          : BitBlt(dc, 0, 0, item->m_width, item->m_height, textureDc, 0, 0, SRCCOPY);
    target->ReleaseDC(textureDc);
    target->Release();
    surface->ReleaseDC(dc);
    return done ? 1 : 0;
}

void YD3D6Parser::SetCameraPosition(float x, float y, float z)
{
    m_cameraPosition[0] = x;
    m_cameraPosition[1] = y + float(g_eyeOffset);
    m_cameraPosition[2] = z;
    if (m_raster) m_raster->SetCameraPosition(x, y, z);
}

void YD3D6Parser::SetCameraAngles(float a, float b, float c)
{
    Store3(m_cameraAngles, a, b, c);
    if (m_raster) m_raster->SetCameraAngles(a, b, c);
}

void YD3D6Parser::SetProjection(float fov, float fov2, float nearPlane, float farPlane)
{
    m_projection[0] = fov;
    m_projection[1] = fov2;
    m_projection[2] = nearPlane;
    m_projection[3] = farPlane;
    if (m_raster) m_raster->SetProjection(fov, nearPlane, farPlane);
}

void YD3D6Parser::SetViewScale(float x, float y, float z)
{
    Store3(m_viewScale, x, y, z);
    if (m_raster) m_raster->SetViewScale(x, y, z);
}

int YD3D6Parser::SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2)
{
    m_screenRect = {l1, t1, r1, b1};
    m_clipRect = {l2, t2, r2, b2};
    if (!m_raster) return 0;
    return m_raster->SetViewRects(l1, t1, r1, b1, l2, t2, r2, b2) ? 1 : 0;
}

void YD3D6Parser::SetOverlayColor(float a, float b, float c, float d)
{
    m_overlayColor[0] = c;
    m_overlayColor[1] = b;
    m_overlayColor[2] = a;
    m_overlayColor[3] = d;
}

void YD3D6Parser::GetOverlayColor(float* a, float* b, float* c, float* d)
{
    *a = m_overlayColor[2];
    *b = m_overlayColor[1];
    *c = m_overlayColor[0];
    *d = m_overlayColor[3];
}

void YD3D6Parser::GetCameraPosition(float* x, float* y, float* z)
{
    Load3(m_cameraPosition, x, y, z);
}

void YD3D6Parser::GetCameraAngles(float* a, float* b, float* c)
{
    Load3(m_cameraAngles, a, b, c);
}

void YD3D6Parser::GetProjection(float* fov, float* fov2, float* nearPlane, float* farPlane)
{
    *fov = m_projection[0];
    *fov2 = m_projection[1];
    *nearPlane = m_projection[2];
    *farPlane = m_projection[3];
}

void YD3D6Parser::GetViewScale(float* x, float* y, float* z)
{
    Load3(m_viewScale, x, y, z);
}

void YD3D6Parser::GetViewRects(RECT* screen, RECT* clip)
{
    *screen = m_screenRect;
    *clip = m_clipRect;
}

void YD3D6Parser::SetViewRectsAndApply(int left, int top, int right, int bottom)
{
    SetViewRects(left, top, right, bottom, m_clipRect.left, m_clipRect.top, m_clipRect.right, m_clipRect.bottom);
    ApplyView();
}

int YD3D6Parser::ApplyView()
{
    if (!m_raster) return 0;
    m_raster->CalcCamera();
    return 1;
}

void YD3D6Parser::PushOverlayColor(int frames, float a, float b, float c, float d)
{
    if (m_overlayDepth == 0)
        GetOverlayColor(&m_savedOverlay[0], &m_savedOverlay[1], &m_savedOverlay[2], &m_savedOverlay[3]);
    SetOverlayColor(a, b, c, d);
    m_overlayDepth = frames;
}

void YD3D6Parser::PopOverlayColor()
{
    if (m_overlayDepth == 0) return;
    if (--m_overlayDepth == 0) SetOverlayColor(m_savedOverlay[0], m_savedOverlay[1], m_savedOverlay[2], m_savedOverlay[3]);
}

// The ambient colour is three floats in words 5 to 7 of the ambient block.
void YD3D6Parser::SetAmbientColor(float r, float g, float b)
{
    const float colour[3] = {r, g, b};
    memcpy(&m_ambient[kAmbientWord], colour, sizeof colour);
}

void YD3D6Parser::SaveAmbientColor()
{
    memcpy(m_savedLight, &m_ambient[kAmbientWord], sizeof m_savedLight);
}

int YD3D6Parser::AddModeLight(float r, float g, float b)
{
    YRasterLight light;
    memset(&light, 0, sizeof light);
    light.type = 3;
    Store3(light.direction, 0.0f, -1.0f, 0.0f);
    light.range = 1000.0f;
    Store3(light.color, r, g, b);
    light.words[1] = 1;
    return AddLight(&light);
}

void YD3D6Parser::EnterLightMode()
{
    m_lightMode = 1;
    AddModeLight(0.3f, 1.0f, 0.3f);
    SaveAmbientColor();
    SetAmbientColor(0.0f, 1.0f, 0.0f);
    m_lightIntensity = 0.0f;
}

void YD3D6Parser::EnterThermalView()
{
    m_thermal = 1;
    if (m_thermalTexture == kThermalNotLoaded) m_thermalTexture = LoadCatalogTextures(kThermalTexture, 0, 1);
    AddModeLight(0.3f, 0.3f, 1.0f);
    SaveAmbientColor();
    SetAmbientColor(0.0f, 0.0f, 1.0f);
    m_lightIntensity = 0.0f;
}

void YD3D6Parser::LeaveLightMode(int light)
{
    SetAmbientColor(m_savedLight[0], m_savedLight[1], m_savedLight[2]);
    m_lightMode = 0;
    RemoveLight(light);
    m_lightIntensity = 0.5f;
}

void YD3D6Parser::LeaveThermalView(int light)
{
    SetAmbientColor(m_savedLight[0], m_savedLight[1], m_savedLight[2]);
    m_thermal = 0;
    RemoveLight(light);
    m_lightIntensity = 0.5f;
}

YTexLock* YD3D6Parser::GetTexture(int16_t texture) { return GetTextureLock(texture); }

int YD3D6Parser::GetTextureNameReversed(int16_t texture, char* buffer, int16_t length)
{
    if (texture < 0 || size_t(texture) >= m_textures.size() || !m_textures[texture] || !buffer || length <= 0)
        return 0;
    std::string name = m_textures[texture]->m_name.GetBuffer();
    std::reverse(name.begin(), name.end());
    CopyText(buffer, name.c_str(), size_t(length) - 1);
    return 1;
}

// A stored empty name stands for a null one: it matches an empty or null
// search name.
namespace {
bool SameName(const YString& stored, const char* name)
{
    return strcmp(stored.GetBuffer(), name ? name : "") == 0;
}
}  // namespace

int YD3D6Parser::LookupNamePair(const char* first, uint8_t* outByte, char* buffer, const char*)
{
    if (!outByte || !buffer) return 0;
    for (const YMapVT3Tag& pair : m_namePairs) {
        if (!SameName(pair.m_name, first)) continue;
        CopyText(buffer, pair.m_value.GetBuffer(), kMaxNameText);
        *outByte = pair.m_flag;
        return 1;
    }
    return 0;
}

int YD3D6Parser::FindNamePair(const char* first, void* record)
{
    for (const YMapVT3Tag& pair : m_namePairs) {
        if (!SameName(pair.m_name, first)) continue;
        if (record) *static_cast<YMapVT3Tag*>(record) = pair;
        return 1;
    }
    return 0;
}

int YD3D6Parser::GetNamePairText(int16_t index, uint8_t* outByte, char* buffer1, const char*, char* buffer2,
                                 const char*)
{
    if (index < 0 || size_t(index) >= m_namePairs.size()) return 0;
    const YMapVT3Tag& pair = m_namePairs[index];
    if (buffer1) CopyText(buffer1, pair.m_name.GetBuffer(), kMaxNameText);
    if (buffer2) CopyText(buffer2, pair.m_value.GetBuffer(), kMaxNameText);
    if (outByte) *outByte = pair.m_flag;
    return 1;
}

int YD3D6Parser::GetNamePair(int16_t index, void* record)
{
    if (index < 0 || size_t(index) >= m_namePairs.size() || !record) return 0;
    *static_cast<YMapVT3Tag*>(record) = m_namePairs[index];
    return 1;
}

bool YD3D6Parser::IsModelLoaded(int16_t model)
{
    return model >= 0 && size_t(model) < m_models.size() && m_models[model] && m_models[model]->m_model;
}

int16_t YD3D6Parser::FindModelByName(const char* name)
{
    for (size_t i = 0; i < m_models.size(); ++i) {
        const YParseModelItem* item = m_models[i];
        if (item && item->m_model && SameName(item->m_name, name)) return static_cast<int16_t>(i);
    }
    return -1;
}

int YD3D6Parser::LogStatus()
{
    GetTextureMemoryStats();
    return 1;
}

namespace {
const DWORD kFormatFound = 0x400;

HRESULT CALLBACK MatchTextureFormat(LPDDPIXELFORMAT format, LPVOID context)
{
    DDPIXELFORMAT* wanted = static_cast<DDPIXELFORMAT*>(context);
    const DWORD flags = wanted->dwFlags & ~kFormatFound;
    bool match = (format->dwFlags & flags) == flags;
    if (match && (flags & DDPF_RGB))
        match = format->dwRGBBitCount == wanted->dwRGBBitCount && format->dwRBitMask == wanted->dwRBitMask &&
                format->dwGBitMask == wanted->dwGBitMask && format->dwBBitMask == wanted->dwBBitMask;
    if (match && (flags & DDPF_ALPHAPIXELS)) match = format->dwRGBAlphaBitMask == wanted->dwRGBAlphaBitMask;
    if (!match) {
        wanted->dwFlags &= ~kFormatFound;
        return D3DENUMRET_OK;
    }
    wanted->dwFlags |= kFormatFound;
    return D3DENUMRET_CANCEL;
}
}  // namespace

int YD3D6Parser::FindTextureFormat(const DDPIXELFORMAT* format)
{
    if (!format || !m_raster || !m_raster->GetDevice()) return 0;
    DDPIXELFORMAT wanted = *format;
    if (FAILED(m_raster->GetDevice()->EnumTextureFormats(MatchTextureFormat, &wanted))) return 0;
    return (wanted.dwFlags & kFormatFound) ? 1 : 0;
}

float YD3D6Parser::ViewerFarPlane(int32_t size, float nearPlane)
{
    const float farPlane = float(size - 2) * 128.0f;
    return farPlane > nearPlane ? farPlane : nearPlane + 128.0f;
}

CTexRen* YD3D6Parser::CreateSoftwareRasteriser(int32_t mode)
{
    switch (static_cast<int16_t>(mode)) {
    case 1: return new (std::nothrow) CTex2XAARen;
    case 2: return new (std::nothrow) CTex4XAARen;
    default: return new (std::nothrow) CTexRen;
    }
}

void YD3D6Parser::BuildGreyRamp(uint16_t ramp[256])
{
    for (int k = 0; k < 256; ++k) {
        const int intensity = 255 - k;
        const int five = intensity / 8, six = intensity / 4;
        ramp[k] = static_cast<uint16_t>((five << 11) | (six << 5) | five);
    }
}

// Width x height and bytes of every texture, at 1, 2, 3 or 4 bytes a texel.
void YD3D6Parser::GetTextureMemoryStats()
{
    uint32_t texels = 0, bytes = 0, count = 0;
    for (const YD3D6TextureItem* item : m_textures) {
        if (!item) continue;
        const uint32_t area = uint32_t(std::max<int16_t>(item->m_width, 0)) * uint32_t(std::max<int16_t>(item->m_height, 0));
        const uint32_t perTexel = item->m_bitDepth <= 8 ? 1 : item->m_bitDepth <= 16 ? 2 : item->m_bitDepth <= 24 ? 3 : 4;
        texels += area;
        bytes += area * perTexel;
        ++count;
    }
    char line[160];
    DebugLog("[YD3D6Parser::GetTextureMemoryStats] Starting...");
    snprintf(line, sizeof line, "[YD3D6Parser::GetTextureMemoryStats] Textures in use: %u, %u bytes", count, bytes);
    DebugLog(line);
    snprintf(line, sizeof line, "[YD3D6Parser::GetTextureMemoryStats] Texels: %u", texels);
    DebugLog(line);
    DebugLog("[YD3D6Parser::GetTextureMemoryStats] Finished");
}

uint8_t YD3D6Parser::ShadeByTrees(const float vertex[3], const TreeShadeSource* trees, int count, float offset)
{
    float sum = 0.0f;
    for (int i = 0; trees && i < count; ++i) {
        const TreeShadeSource& tree = trees[i];
        const YVector a(tree.point[0], tree.point[1], tree.point[2]);
        const float bx = a.x + offset, bz = a.z + offset;
        const YVector b(bx, GetGroundHeight(bx, bz), bz);
        const YVector p(vertex[0], vertex[1], vertex[2]);
        const YVector ab = b - a;
        const float length2 = ab.x * ab.x + ab.y * ab.y + ab.z * ab.z;
        YVector closest = a;
        if (length2 > 0.0f) {
            const YVector ap = p - a;
            const float t = (ap.x * ab.x + ap.y * ab.y + ap.z * ab.z) / length2;
            if (t >= 1.0f) closest = b;
            else if (t > 0.0f) closest = a + ab * t;
        }
        const float d = (p - closest).Length();
        if (d < tree.radius) sum += (1.0f - d / tree.radius) * 80.0f;
    }
    return sum <= 255.0f ? static_cast<uint8_t>(255 - int(sum)) : 0;
}

// ---------------------------------------------------------------------------
// Cell grid

namespace {
// A grid coordinate in floating point, NaN taken as 0.
inline double GridCoordinate(double value, double origin, double cellSize)
{
    const double f = (value - origin) / cellSize;
    return std::isnan(f) ? 0.0 : f;
}

inline const float* VertexAt(const std::vector<YMapVT3Vertex>& vertices, uint32_t index)
{
    return index < vertices.size() ? &vertices[index].m_x : nullptr;
}
}  // namespace

int32_t YD3D6Parser::CellIndexOf(float x, float z) const
{
    if (m_cells.empty() || !(m_cellSizeRender > 0.0f)) return -1;
    const double c = GridCoordinate(x, m_gridOrigin[0], m_cellSizeRender);
    const double r = GridCoordinate(z, m_gridOrigin[2], m_cellSizeRender);
    // Truncation toward zero: anything above -1 is column 0.
    if (c <= -1.0 || r <= -1.0 || c >= m_gridWidth || r >= m_gridHeight) return -1;
    return static_cast<int32_t>(r) * static_cast<int32_t>(m_gridWidth) + static_cast<int32_t>(c);
}

uint32_t YD3D6Parser::ClampedCellOf(double x, double z) const
{
    if (m_cells.empty() || !(m_cellSizeRender > 0.0f)) return 0;
    double c = std::floor(GridCoordinate(x, m_gridOrigin[0], m_cellSizeRender));
    double r = std::floor(GridCoordinate(z, m_gridOrigin[2], m_cellSizeRender));
    c = c < 0.0 ? 0.0 : (c > m_gridWidth - 1.0 ? m_gridWidth - 1.0 : c);
    r = r < 0.0 ? 0.0 : (r > m_gridHeight - 1.0 ? m_gridHeight - 1.0 : r);
    return static_cast<uint32_t>(r) * m_gridWidth + static_cast<uint32_t>(c);
}

int YD3D6Parser::TestCellTriangle(float px, float pz, const YCellPlane& plane, const float* a, const float* b,
                                  const float* c, float* height)
{
    if (plane.b == 0.0f) return 0;
    const float y = (-plane.a * px - plane.c * pz - plane.d) / plane.b;
    if (a[0] < px && b[0] < px && c[0] < px) return 0;
    if (a[0] > px && b[0] > px && c[0] > px) return 0;
    if (a[2] < pz && b[2] < pz && c[2] < pz) return 0;
    if (a[2] > pz && b[2] > pz && c[2] > pz) return 0;
    const float* v[3] = {a, b, c};
    for (const float* p : v) {
        if (p[0] == px && p[1] == y && p[2] == pz) {
            *height = y;
            return 1;
        }
    }
    for (int i = 0; i < 3; ++i) {
        const float* p0 = v[i];
        const float* p1 = v[(i + 1) % 3];
        bool hit = false;
        if (p0[0] == p1[0]) {
            // Parallel to z; a point edge (both ends equal) has no inside.
            if (p0[0] == px && p0[2] != p1[2]) {
                const float t = (pz - p0[2]) / (p1[2] - p0[2]);
                hit = t > 0.0f && t < 1.0f;
            }
        } else if (p0[2] == p1[2]) {
            if (p0[2] == pz) {
                const float t = (px - p0[0]) / (p1[0] - p0[0]);
                hit = t > 0.0f && t < 1.0f;
            }
        } else {
            const float tx = (px - p0[0]) / (p1[0] - p0[0]);
            const float d = tx - (pz - p0[2]) / (p1[2] - p0[2]);
            hit = d > -0.001f && d < 0.001f && tx > 0.0f && tx < 1.0f;
        }
        if (hit) {
            *height = y;
            return 1;
        }
    }
    bool inside = false;
    for (int i = 0, j = 2; i < 3; j = i++) {
        const float zi = v[i][2], zj = v[j][2];
        if ((zi > pz) != (zj > pz)) {
            const float xc = (pz - zi) * (v[j][0] - v[i][0]) / (zj - zi) + v[i][0];
            if (xc > px) inside = !inside;
        }
    }
    if (!inside) return 0;
    *height = y;
    return 1;
}

int YD3D6Parser::BuildTerrainCells(const YMapVT3& map, float scale)
{
    FreeCellGrid();
    const size_t cells = static_cast<size_t>(map.m_gridWidth) * map.m_gridHeight;
    if (!cells || cells > YMapVT3::kMaxCells || map.m_cells.size() != cells) return 0;
    if (!(scale > 0.0f) || !std::isfinite(scale)) return 0;
    const float cellSize = map.m_cellSize * scale;
    if (!(cellSize > 0.0f) || !std::isfinite(cellSize)) return 0;

    m_gridWidth = map.m_gridWidth;
    m_gridHeight = map.m_gridHeight;
    m_cellSize = map.m_cellSize;
    m_cellSizeRender = cellSize;
    m_gridOrigin[0] = map.m_originX * scale;
    m_gridOrigin[1] = map.m_originY * scale;
    m_gridOrigin[2] = map.m_originZ * scale;

    m_mapVertices.resize(map.m_vertices.size());
    for (size_t i = 0; i < map.m_vertices.size(); ++i) {
        YMapVT3Vertex v = map.m_vertices[i];
        v.m_x *= scale;
        v.m_y *= scale;
        v.m_z *= scale;
        m_mapVertices[i] = v;
    }

    // One polygon per group, shared by every cell that lists the group.
    m_groupPolygons.assign(map.m_groups.size(), YCellPolygon());
    struct HeightRange {
        bool any = false;
        float low = 0, high = 0;
        void Add(float y)
        {
            low = any ? std::min(low, y) : y;
            high = any ? std::max(high, y) : y;
            any = true;
        }
    };
    std::vector<HeightRange> groupRanges(map.m_groups.size());
    for (size_t key = 0; key < map.m_groups.size(); ++key) {
        const YMapVT3Group& g = map.m_groups[key];
        YCellPolygon& poly = m_groupPolygons[key];
        poly.m_shape = g.m_kind;
        poly.m_kind = g.m_surface;
        poly.m_corners.reserve(g.m_corners.size());
        for (const YMapVT3Corner& c : g.m_corners) {
            YCellCorner corner;
            corner.m_vertex = c.m_vertex;
            corner.m_colour = c.m_red * 65536u + c.m_green * 256u + c.m_blue;
            poly.m_corners.push_back(corner);
        }
        // One plane per triangle slot; PlaneFromPoints of (b - a) x (b - c).
        const size_t n = poly.m_corners.size();
        poly.m_planes.resize(g.m_kind == YCellPolygon::kTriangle ? 1 : (n > 2 ? n - 2 : 0));
        auto planeOf = [&](uint32_t ia, uint32_t ib, uint32_t ic) {
            YCellPlane plane;
            const float* a = VertexAt(m_mapVertices, ia);
            const float* b = VertexAt(m_mapVertices, ib);
            const float* c = VertexAt(m_mapVertices, ic);
            if (!a || !b || !c) return plane;
            const double e1[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
            const double e2[3] = {double(b[0]) - c[0], double(b[1]) - c[1], double(b[2]) - c[2]};
            double nx = e1[1] * e2[2] - e1[2] * e2[1];
            double ny = e1[2] * e2[0] - e1[0] * e2[2];
            double nz = e1[0] * e2[1] - e1[1] * e2[0];
            const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
            if (!(len > 0.0) || !std::isfinite(len)) return plane;  // no area: never contains a point
            // Whichever way the corners wind, the normal points up.
            const double up = ny < 0.0 ? -len : len;
            nx /= up, ny /= up, nz /= up;
            plane.a = float(nx), plane.b = float(ny), plane.c = float(nz);
            plane.d = float(-(nx * a[0] + ny * a[1] + nz * a[2]));
            return plane;
        };
        if (g.m_kind == YCellPolygon::kTriangle && n >= 3) {
            poly.m_planes[0] = planeOf(poly.m_corners[0].m_vertex, poly.m_corners[1].m_vertex,
                                       poly.m_corners[2].m_vertex);
        } else if (g.m_kind == YCellPolygon::kStrip) {
            for (size_t k = 0; n >= 3 && k < n - 2; k += 2) {
                poly.m_planes[k] = planeOf(poly.m_corners[k].m_vertex, poly.m_corners[k + 1].m_vertex,
                                           poly.m_corners[k + 2].m_vertex);
                if (k + 1 < n - 2)
                    poly.m_planes[k + 1] = planeOf(poly.m_corners[k + 1].m_vertex, poly.m_corners[k + 3].m_vertex,
                                                   poly.m_corners[k + 2].m_vertex);
            }
        }
        for (size_t l = 0; l < g.m_layerTextures.size(); ++l) {
            poly.m_layerTextures.push_back(static_cast<int16_t>(g.m_layerTextures[l]));
            std::vector<float> uv;
            std::vector<uint8_t> alpha;
            if (l < g.m_layerCorners.size()) {
                for (const YMapVT3LayerCorner& lc : g.m_layerCorners[l]) {
                    uv.push_back(lc.m_u);
                    uv.push_back(lc.m_v);
                    alpha.push_back(lc.m_alpha);
                }
            }
            uv.resize(2 * n, 0.0f);
            alpha.resize(n, 255);
            poly.m_layerCoords.push_back(std::move(uv));
            poly.m_layerAlpha.push_back(std::move(alpha));
        }
        if (g.m_surface == YCellPolygon::kWater || g.m_surface == YCellPolygon::kGround) {
            for (const YCellCorner& c : poly.m_corners)
                if (const float* v = VertexAt(m_mapVertices, c.m_vertex)) groupRanges[key].Add(v[1]);
        }
    }

    m_cells.assign(cells, YMapCell());
    m_cellActors.assign(YMapVT3::kMaxCells, nullptr);
    if (m_waterHeights.size() < cells) m_waterHeights.resize(cells, 0.0f);
    for (size_t i = 0; i < cells; ++i) {
        YMapCell& cell = m_cells[i];
        // Water classes compare the heights of the water and ground corners.
        HeightRange water, ground;
        for (DWORD key : map.m_cells[i].m_groups) {
            if (key >= map.m_groups.size()) continue;
            const HeightRange& range = groupRanges[key];
            HeightRange& into = map.m_groups[key].m_surface == YCellPolygon::kWater ? water : ground;
            if (range.any) {
                into.Add(range.low);
                into.Add(range.high);
            }
            cell.m_polygons.push_back(&m_groupPolygons[key]);
            cell.m_keys.push_back(key);
        }
        if (!water.any || (ground.any && !(water.high > ground.low)))
            cell.m_water = water.any && !ground.any ? 2 : 0;
        else if (ground.any && water.low < ground.high)
            cell.m_water = 1;
        else
            cell.m_water = 2;
        m_waterHeights[i] = water.any ? water.high : 0.0f;
    }
    m_visitedCells.assign(cells, 0);
    m_visitedKeys.assign(map.m_groups.size(), 0);
    m_visitedList.clear();
    m_visitedValues.clear();
    m_heightTable = map.m_heightTable;
    m_mapSounds = map.m_sounds;
    m_mapKept = true;
    return 1;
}

void YD3D6Parser::FreeCellGrid()
{
    for (YCellActor*& head : m_cellActors) {
        while (head) {
            YCellActor* next = head->m_next;
            delete head;
            head = next;
        }
    }
    m_cellActors.clear();
    m_viewerActors.clear();
    m_cells.clear();
    m_groupPolygons.clear();
    m_visitedCells.clear();
    m_visitedKeys.clear();
    m_visitedList.clear();
    m_visitedValues.clear();
    m_mapVertices.clear();
    m_heightTable.clear();
    m_mapSounds.clear();
    m_mapKept = false;
    m_gridWidth = m_gridHeight = 0;
}

namespace {
inline bool ValidSlot(const std::vector<YMapCell>& cells, DWORD cell, DWORD item)
{
    const DWORD c = cell & 0xFFFF;
    return c < cells.size() && (item & 0xFF) < cells[c].m_items.size();
}
}  // namespace

uint8_t YD3D6Parser::GetCellItemCount(DWORD cell)
{
    const DWORD c = cell & 0xFFFF;
    if (c >= m_cells.size()) return 0;
    return static_cast<uint8_t>(m_cells[c].m_items.size() & 0xFF);
}

int16_t YD3D6Parser::GetCellItemMaterial(DWORD cell, DWORD item)
{
    if (!ValidSlot(m_cells, cell, item)) return -1;
    return m_cells[cell & 0xFFFF].m_items[item & 0xFF].m_type;
}

void YD3D6Parser::GetCellItemPosition(DWORD cell, DWORD item, float* x, float* z)
{
    if (!ValidSlot(m_cells, cell, item)) return;
    const YCellItem& it = m_cells[cell & 0xFFFF].m_items[item & 0xFF];
    if (x) *x = it.m_position[0];
    if (z) *z = it.m_position[2];
}

float YD3D6Parser::GetCellItemFactor(DWORD cell, DWORD item)
{
    if (!ValidSlot(m_cells, cell, item)) return 0.0f;
    const YCellItem& it = m_cells[cell & 0xFFFF].m_items[item & 0xFF];
    if (it.m_type < 0 || static_cast<size_t>(it.m_type) >= m_treeFactorC.size()) return 0.0f;
    return m_treeFactorC[it.m_type] * it.m_size / 255.0f;
}

float YD3D6Parser::GetCellItemFactorEx(DWORD cell, DWORD item)
{
    if (!ValidSlot(m_cells, cell, item)) return 0.0f;
    const YCellItem& it = m_cells[cell & 0xFFFF].m_items[item & 0xFF];
    if (it.m_type < 0 || static_cast<size_t>(it.m_type) >= m_treeFactorD.size()) return 0.0f;
    return m_treeFactorD[it.m_type] * it.m_size / 255.0f;
}

int YD3D6Parser::SetCellItemHidden(DWORD cell, DWORD item, int enable)
{
    if (!ValidSlot(m_cells, cell, item)) return 0;
    int16_t& v = m_cells[cell & 0xFFFF].m_items[item & 0xFF].m_type;
    if (v == -1) return 0;
    const int wasEnabled = v >= 0 ? 1 : 0;
    const int k = v >= 0 ? v : -2 - v;
    v = static_cast<int16_t>(enable ? k : -2 - k);
    return wasEnabled;
}

int8_t YD3D6Parser::GetCellFlags(DWORD cell)
{
    const DWORD c = cell & 0xFFFF;
    if (c >= m_cells.size()) return -1;
    return static_cast<int8_t>(m_cells[c].m_flags);
}

void YD3D6Parser::SetCellFlags(DWORD cell, uint8_t flags)
{
    const DWORD c = cell & 0xFFFF;
    if (c < m_cells.size()) m_cells[c].m_flags = flags;
}

float YD3D6Parser::GetHeightSample(DWORD index)
{
    const DWORD i = index & 0xFFFF;
    if (i >= m_heightTable.size()) return kNoGround;
    return m_heightTable[i];
}

void YD3D6Parser::SetCellItemMaterial(DWORD cell, DWORD item, int16_t value)
{
    if (value < 0 || (item & 0xFF) >= 5 || !ValidSlot(m_cells, cell, item)) return;
    m_cells[cell & 0xFFFF].m_items[item & 0xFF].m_type = value;
}

int16_t YD3D6Parser::GetCellItemMaterialEx(DWORD cell, DWORD item)
{
    if (!ValidSlot(m_cells, cell, item)) return -1;
    const int16_t v = m_cells[cell & 0xFFFF].m_items[item & 0xFF].m_type;
    if (v < 0) return 0;
    if (v < m_spriteTypeCount) {
        if (static_cast<size_t>(v) >= m_spriteTextures.size()) return -1;
        return static_cast<int16_t>(m_spriteTextures[v]);  // 0xFFFF reads as -1
    }
    const size_t model = static_cast<size_t>(v - m_spriteTypeCount);
    if (model >= m_treeModels.size() || !m_treeModels[model]) return -1;
    const YSMHandle* handle = m_treeModels[model];
    const int16_t group = handle->GetActiveGroup();
    return handle->GetSkinTexture(group, handle->GetGroupSkin(group));
}

namespace {
// The polygon of a cell whose triangle first contains the point, or null.
YCellPolygon* FirstPickedPolygon(const std::vector<YCellPolygon*>& polygons,
                                 const std::vector<YMapVT3Vertex>& vertices, float x, float z)
{
    for (YCellPolygon* shared : polygons) {
        YCellPolygon& poly = *shared;
        if (poly.m_kind != YCellPolygon::kGround) continue;
        bool found = false;
        poly.ForEachTriangle([&](const YCellCorner& a, const YCellCorner& b, const YCellCorner& c,
                                 const YCellPlane& plane) {
            if (found) return;
            const float* pa = VertexAt(vertices, a.m_vertex);
            const float* pb = VertexAt(vertices, b.m_vertex);
            const float* pc = VertexAt(vertices, c.m_vertex);
            float y;
            if (pa && pb && pc && YD3D6Parser::TestCellTriangle(x, z, plane, pa, pb, pc, &y)) found = true;
        });
        if (found) return &poly;
    }
    return nullptr;
}
}  // namespace

int16_t YD3D6Parser::PickCellItem(float x, float z)
{
    const int32_t cell = CellIndexOf(x, z);
    if (cell < 0) return -1;
    YCellPolygon* poly = FirstPickedPolygon(m_cells[cell].m_polygons, m_mapVertices, x, z);
    // A polygon without layers has no ground texture.
    if (!poly || poly->m_layerTextures.empty()) return -1;
    return poly->m_layerTextures[0];
}

int YD3D6Parser::PickCellItemEx(float x, float z, int16_t value)
{
    const int32_t cell = CellIndexOf(x, z);
    if (cell < 0) return 0;
    YCellPolygon* poly = FirstPickedPolygon(m_cells[cell].m_polygons, m_mapVertices, x, z);
    if (!poly) return 0;
    if (poly->m_layerTextures.empty()) return 0;
    poly->m_layerTextures[0] = value;
    return 1;
}

int16_t YD3D6Parser::GetMapRecordCount()
{
    return static_cast<int16_t>(std::min<size_t>(m_modelOutputs.size(), 0x7FFF));
}

void* YD3D6Parser::GetMapRecord(int16_t index)
{
    if (index < 0 || index >= GetMapRecordCount()) return nullptr;
    return m_modelOutputs[index];
}

int16_t YD3D6Parser::GetMapSoundCount()
{
    if (!m_mapKept) return 0;
    return static_cast<int16_t>(std::min<size_t>(m_mapSounds.size(), 0x7FFF));
}

void* YD3D6Parser::GetMapSound(int16_t index)
{
    if (!m_mapKept || index < 0 || index >= GetMapSoundCount()) return nullptr;
    return &m_mapSounds[index];
}

int YD3D6Parser::CollectActorsNear(uint8_t column, uint8_t row, uint8_t radius, DWORD_PTR* out, int capacity,
                                   int skipFlagged)
{
    if (m_cells.empty() || m_cellActors.empty() || !out || capacity <= 0) return 0;
    const int32_t w = static_cast<int32_t>(m_gridWidth), h = static_cast<int32_t>(m_gridHeight);
    const int32_t c0 = std::max<int32_t>(column - radius, 0);
    const int32_t c1 = std::min<int32_t>(column + radius + 1, w);
    const int32_t r0 = std::max<int32_t>(row - radius, 0);
    const int32_t r1 = std::min<int32_t>(row + radius + 1, h);
    int count = 0;
    for (int32_t r = r0; r < r1; ++r) {
        for (int32_t c = c0; c < c1; ++c) {
            for (const YCellActor* node = m_cellActors[r * w + c]; node; node = node->m_next) {
                DWORD_PTR id;
                if (node->m_flags & 1) {
                    if (skipFlagged) continue;
                    id = m_objectTest ? m_objectTest(node->m_id, node->m_flags) : 0;
                } else {
                    id = reinterpret_cast<DWORD_PTR>(node->m_id);
                }
                if (!id) continue;
                if (count >= capacity) return count;
                out[count++] = id;
            }
        }
    }
    return count;
}

// ---------------------------------------------------------------------------
// Per-cell actor registry

namespace {
inline bool InGrid(int16_t column, int16_t row, uint32_t w, uint32_t h)
{
    return column >= 0 && row >= 0 && static_cast<uint32_t>(column) < w && static_cast<uint32_t>(row) < h;
}

// Takes the first node with the identity out of a list; null when none.
YCellActor* Unlink(YCellActor*& head, void* identity)
{
    for (YCellActor** link = &head; *link; link = &(*link)->m_next) {
        if ((*link)->m_id == identity) {
            YCellActor* node = *link;
            *link = node->m_next;
            node->m_next = nullptr;
            return node;
        }
    }
    return nullptr;
}
}  // namespace

YCellActor* YD3D6Parser::GetCellActors(uint32_t cell) const
{
    return cell < m_cellActors.size() ? m_cellActors[cell] : nullptr;
}

void YD3D6Parser::AddActorToCell(void* identity, uint8_t flags, int16_t column, int16_t row)
{
    if (m_cellActors.empty() || !InGrid(column, row, m_gridWidth, m_gridHeight)) return;
    YCellActor*& head = m_cellActors[row * m_gridWidth + column];
    head = new YCellActor{identity, flags, head};
}

int YD3D6Parser::RemoveActorFromCell(void* identity, int16_t column, int16_t row)
{
    if (m_cellActors.empty() || !InGrid(column, row, m_gridWidth, m_gridHeight)) return 0;
    YCellActor* node = Unlink(m_cellActors[row * m_gridWidth + column], identity);
    delete node;
    return node ? 1 : 0;
}

int YD3D6Parser::MoveActorBetweenCells(void* identity, int16_t oldColumn, int16_t oldRow, int16_t column, int16_t row)
{
    if (oldColumn == column && oldRow == row) return 1;
    if (m_cellActors.empty() || !InGrid(oldColumn, oldRow, m_gridWidth, m_gridHeight) ||
        !InGrid(column, row, m_gridWidth, m_gridHeight))
        return 0;
    YCellActor* node = Unlink(m_cellActors[oldRow * m_gridWidth + oldColumn], identity);
    if (!node) return 0;
    YCellActor*& head = m_cellActors[row * m_gridWidth + column];
    node->m_next = head;
    head = node;
    return 1;
}

void YD3D6Parser::CellOf(double x, double z, int16_t* column, int16_t* row) const
{
    *column = *row = -1;
    if (!(m_cellSizeRender > 0.0f)) return;
    // Clamped in floating point before the conversion; NaN counts as 0.
    const double c = GridCoordinate(x, m_gridOrigin[0], m_cellSizeRender);
    const double r = GridCoordinate(z, m_gridOrigin[2], m_cellSizeRender);
    *column = static_cast<int16_t>(c < -1.0 ? -1.0 : (c > 32767.0 ? 32767.0 : c));
    *row = static_cast<int16_t>(r < -1.0 ? -1.0 : (r > 32767.0 ? 32767.0 : r));
}

void YD3D6Parser::AddActorAt(void* identity, uint8_t flags, double x, double z)
{
    if (m_sessionMode == 1) {
        m_viewerActors.push_back(ViewerActor{float(x), float(z), identity, flags, 0});
        return;
    }
    if (m_sessionMode != 2) return;
    int16_t c, r;
    CellOf(x, z, &c, &r);
    AddActorToCell(identity, flags, c, r);
}

int YD3D6Parser::RemoveActorAt(void* identity, double x, double z)
{
    if (m_sessionMode == 1) {
        for (size_t i = 0; i < m_viewerActors.size(); ++i) {
            if (m_viewerActors[i].id == identity) {
                m_viewerActors.erase(m_viewerActors.begin() + i);
                return 1;
            }
        }
        return 0;
    }
    if (m_sessionMode != 2) return 0;
    int16_t c, r;
    CellOf(x, z, &c, &r);
    return RemoveActorFromCell(identity, c, r);
}

int YD3D6Parser::MoveActorTo(void* identity, double oldX, double oldZ, double x, double z)
{
    if (m_sessionMode == 1) {
        for (ViewerActor& a : m_viewerActors) {
            if (a.id == identity) {
                a.x = float(x);
                a.z = float(z);
            }
        }
        return 1;
    }
    if (m_sessionMode != 2) return 0;
    int16_t oc, orow, c, r;
    CellOf(oldX, oldZ, &oc, &orow);
    CellOf(x, z, &c, &r);
    return MoveActorBetweenCells(identity, oc, orow, c, r);
}

// ---------------------------------------------------------------------------
// Ground height and surface queries

template <class F>
void YD3D6Parser::WalkTriangles(double x, double z, F f) const
{
    if (m_cells.empty()) return;
    const YMapCell& cell = m_cells[ClampedCellOf(x, z)];
    const float px = static_cast<float>(x), pz = static_cast<float>(z);
    for (const YCellPolygon* shared : cell.m_polygons) {
        const YCellPolygon& poly = *shared;
        poly.ForEachTriangle([&](const YCellCorner& a, const YCellCorner& b, const YCellCorner& c,
                                 const YCellPlane& plane) {
            const float* pa = VertexAt(m_mapVertices, a.m_vertex);
            const float* pb = VertexAt(m_mapVertices, b.m_vertex);
            const float* pc = VertexAt(m_mapVertices, c.m_vertex);
            float y;
            if (pa && pb && pc && TestCellTriangle(px, pz, plane, pa, pb, pc, &y)) f(poly, a, b, c, plane, y);
        });
    }
}

bool YD3D6Parser::TestFlagMask(DWORD value, DWORD mask, int mode)
{
    const uint8_t v = static_cast<uint8_t>(value), m = static_cast<uint8_t>(mask);
    switch (mode) {
    case 0: return v == m;
    case 1: return (v & m) == m;
    case 2: return (v & m) != 0;
    default: return false;
    }
}

float YD3D6Parser::GetGroundHeight(double x, double z)
{
    bool found = false;
    float best = 0.0f;
    WalkTriangles(x, z, [&](const YCellPolygon& poly, const YCellCorner&, const YCellCorner&, const YCellCorner&,
                            const YCellPlane&, float y) {
        if (poly.m_kind != YCellPolygon::kGround) return;
        if (!found || y > best) best = y;
        found = true;
    });
    return found ? best : 0.0f;
}

float YD3D6Parser::GetGroundHeightBelow(double x, double y, double z)
{
    float best = kNoGround;
    bool found = false;
    WalkTriangles(x, z, [&](const YCellPolygon& poly, const YCellCorner&, const YCellCorner&, const YCellCorner&,
                            const YCellPlane&, float h) {
        if (poly.m_kind != YCellPolygon::kGround || !(h < y)) return;
        if (!found || h > best) best = h;
        found = true;
    });
    return best;
}

// The highest ground and water hits, each below limit; a normal per hit.
struct YD3D6Parser::GroundWater {
    bool ground = false, water = false;
    float groundY = 0, waterY = 0;
    YCellPlane groundPlane, waterPlane;
};

YD3D6Parser::GroundWater YD3D6Parser::FindGroundAndWater(double x, double z, double limit) const
{
    GroundWater gw;
    WalkTriangles(x, z, [&](const YCellPolygon& poly, const YCellCorner&, const YCellCorner&, const YCellCorner&,
                            const YCellPlane& plane, float y) {
        if (!(y < limit)) return;
        if (poly.m_kind == YCellPolygon::kGround) {
            if (!gw.ground || y > gw.groundY) gw.groundY = y, gw.groundPlane = plane;
            gw.ground = true;
        } else if (poly.m_kind == YCellPolygon::kWater) {
            if (!gw.water || y > gw.waterY) gw.waterY = y, gw.waterPlane = plane;
            gw.water = true;
        }
    });
    if (gw.ground && !gw.water) gw.waterY = gw.groundY, gw.waterPlane = gw.groundPlane;
    if (gw.water && !gw.ground) gw.groundY = gw.waterY, gw.groundPlane = gw.waterPlane;
    return gw;
}

void YD3D6Parser::GetGroundInfo(double x, double z, double* heights)
{
    const GroundWater gw = FindGroundAndWater(x, z, std::numeric_limits<double>::infinity());
    if (!heights || (!gw.ground && !gw.water)) return;
    heights[0] = gw.groundY;
    heights[1] = gw.waterY;
}

double YD3D6Parser::GetSurfaceHeight(double x, double z)
{
    if (m_cells.empty()) return 0.0;
    if (m_cells[ClampedCellOf(x, z)].m_water) {
        const GroundWater gw = FindGroundAndWater(x, z, std::numeric_limits<double>::infinity());
        return gw.ground || gw.water ? gw.waterY : 0.0;
    }
    return GetGroundHeight(x, z);
}

void YD3D6Parser::GetGroundAndWaterBelow(double x, double y, double z, double* heights, double* normals)
{
    const GroundWater gw = FindGroundAndWater(x, z, y + 1.0);
    if (!gw.ground && !gw.water) {
        GetGroundInfo(x, z, heights);
        return;
    }
    if (heights) {
        heights[0] = gw.groundY;
        heights[1] = gw.waterY;
    }
    if (normals) {
        const YCellPlane* p[2] = {&gw.groundPlane, &gw.waterPlane};
        for (int i = 0; i < 2; ++i) {
            normals[3 * i] = p[i]->a;
            normals[3 * i + 1] = p[i]->b;
            normals[3 * i + 2] = p[i]->c;
        }
    }
}

void YD3D6Parser::GetGroundAndWaterHeightBelow(double x, double y, double z, double* heights)
{
    GetGroundAndWaterBelow(x, y, z, heights, nullptr);
}

DWORD YD3D6Parser::GetGroundHeightsByFlags(double x, double y, double z, int count, double* heights,
                                           const uint8_t* masks, const uint8_t* modes, double* normals)
{
    if (count <= 0 || !heights || !masks || !modes) return 0;
    const double limit = y == 0.0 ? 3.4028234663852886e38 : y + 0.01;
    std::vector<char> found(static_cast<size_t>(count), 0);
    bool any = false;
    double top = kNoGround;
    YCellPlane topPlane;
    auto setNormal = [&](int i, const YCellPlane& p) {
        if (!normals) return;
        normals[3 * i] = p.a;
        normals[3 * i + 1] = p.b;
        normals[3 * i + 2] = p.c;
    };
    WalkTriangles(x, z, [&](const YCellPolygon& poly, const YCellCorner&, const YCellCorner&, const YCellCorner&,
                            const YCellPlane& plane, float h) {
        if (!any || h > top) top = h, topPlane = plane;
        any = true;
        for (int i = 0; i < count; ++i) {
            if (!TestFlagMask(poly.m_kind, masks[i], modes[i]) || !(h < limit)) continue;
            if (found[i] && !(h > heights[i])) continue;
            heights[i] = h;
            setNormal(i, plane);
            found[i] = 1;
        }
    });
    DWORD result = 0;
    for (int i = 0; i < count; ++i)
        if (found[i]) result |= 1u << (i % 32);
    if (result) return result;
    for (int i = 0; i < count; ++i) {
        heights[i] = top;
        setNormal(i, topPlane);  // zeros when nothing lies under the point
    }
    return 0;
}

void YD3D6Parser::GetGroundTexCoords(double x, double z, double* u, double* v)
{
    bool done = false;
    WalkTriangles(x, z, [&](const YCellPolygon& poly, const YCellCorner& a, const YCellCorner& b,
                            const YCellCorner& c, const YCellPlane&, float) {
        if (done || poly.m_kind != YCellPolygon::kGround || poly.m_layerCoords.empty()) return;
        done = true;
        // Barycentric weights in the x-z plane.
        const size_t ia = &a - poly.m_corners.data(), ib = &b - poly.m_corners.data(),
                     ic = &c - poly.m_corners.data();
        const std::vector<float>& uv = poly.m_layerCoords[0];
        const float* pa = &m_mapVertices[a.m_vertex].m_x;
        const float* pb = &m_mapVertices[b.m_vertex].m_x;
        const float* pc = &m_mapVertices[c.m_vertex].m_x;
        const double det = (double(pb[0]) - pa[0]) * (double(pc[2]) - pa[2]) -
                           (double(pc[0]) - pa[0]) * (double(pb[2]) - pa[2]);
        double s = 0, t = 0;
        if (det != 0.0) {
            s = ((x - pa[0]) * (double(pc[2]) - pa[2]) - (double(pc[0]) - pa[0]) * (z - pa[2])) / det;
            t = ((double(pb[0]) - pa[0]) * (z - pa[2]) - (x - pa[0]) * (double(pb[2]) - pa[2])) / det;
        }
        if (u) *u = uv[2 * ia] + s * (uv[2 * ib] - uv[2 * ia]) + t * (uv[2 * ic] - uv[2 * ia]);
        if (v) *v = uv[2 * ia + 1] + s * (uv[2 * ib + 1] - uv[2 * ia + 1]) + t * (uv[2 * ic + 1] - uv[2 * ia + 1]);
    });
}

int YD3D6Parser::WalkCellTriangles(float x, float z, YGroundPoint* point)
{
    bool found = false;
    float best = 0;
    YCellPlane plane;
    WalkTriangles(x, z, [&](const YCellPolygon& poly, const YCellCorner&, const YCellCorner&, const YCellCorner&,
                            const YCellPlane& p, float y) {
        if (poly.m_kind != YCellPolygon::kGround) return;
        if (!found || y > best) best = y, plane = p;
        found = true;
    });
    if (!found || !point) return 0;
    point->position[0] = x;
    point->position[1] = best;
    point->position[2] = z;
    point->normal[0] = plane.a;
    point->normal[1] = plane.b;
    point->normal[2] = plane.c;
    point->uv2[0] = point->uv[0];
    point->uv2[1] = point->uv[1];
    return 1;
}

void YD3D6Parser::InterpolateTriangleUV(const float* p0, const float* p1, const float* p2, const float* q,
                                        const float* t0, const float* t1, const float* t2, float* out)
{
    const double e1[3] = {double(p1[0]) - p0[0], double(p1[1]) - p0[1], double(p1[2]) - p0[2]};
    const double e2[3] = {double(p2[0]) - p0[0], double(p2[1]) - p0[1], double(p2[2]) - p0[2]};
    const double n[3] = {e2[1] * e1[2] - e2[2] * e1[1], e2[2] * e1[0] - e2[0] * e1[2], e2[0] * e1[1] - e2[1] * e1[0]};
    const double r[3] = {double(q[0]) - p0[0], double(q[1]) - p0[1], double(q[2]) - p0[2]};
    auto det3 = [](const double* a, const double* b, const double* c) {
        return a[0] * (b[1] * c[2] - b[2] * c[1]) - b[0] * (a[1] * c[2] - a[2] * c[1]) +
               c[0] * (a[1] * b[2] - a[2] * b[1]);
    };
    const double d = det3(e1, e2, n);
    double s = 0, t = 0;
    if (d != 0.0) {  // a triangle without area gives the first corner's pair
        s = det3(r, e2, n) / d;
        t = det3(e1, r, n) / d;
    }
    out[0] = float(t0[0] + s * (double(t1[0]) - t0[0]) + t * (double(t2[0]) - t0[0]));
    out[1] = float(t0[1] + s * (double(t1[1]) - t0[1]) + t * (double(t2[1]) - t0[1]));
}

// ---------------------------------------------------------------------------
// World trace

void YD3D6Parser::ClearVisitedMarks()
{
    std::fill(m_visitedCells.begin(), m_visitedCells.end(), 0);
    ClearVisitedList();
}

int YD3D6Parser::MarkVisited(uint32_t key) { return MarkVisitedWithValue(key, 0); }

int YD3D6Parser::MarkVisitedWithValue(uint32_t key, DWORD value)
{
    if (key >= m_visitedKeys.size()) return 0;  // not a group of this map: never marked
    if (m_visitedKeys[key]) return 1;
    m_visitedKeys[key] = 1;
    m_visitedList.push_back(key);
    m_visitedValues.push_back(value);
    return 0;
}

void YD3D6Parser::ClearVisitedList()
{
    for (uint32_t key : m_visitedList) m_visitedKeys[key] = 0;
    m_visitedList.clear();
    m_visitedValues.clear();
}

void YD3D6Parser::ResetVisitedBitmap()
{
    std::fill(m_visitedKeys.begin(), m_visitedKeys.end(), 0);
    m_visitedList.clear();
    m_visitedValues.clear();
}

int YD3D6Parser::IntersectRayTriangle(const float* o, const float* d, const float* a, const float* b, const float* c,
                                      float* t, float* u, float* v)
{
    const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const float p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
    const float det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
    if (det == 0.0f) return 0;
    const float inv = 1.0f / det;
    const float sv[3] = {o[0] - a[0], o[1] - a[1], o[2] - a[2]};
    const float uu = (sv[0] * p[0] + sv[1] * p[1] + sv[2] * p[2]) * inv;
    if (!(uu >= 0.0f && uu <= 1.0f)) return 0;
    const float q[3] = {sv[1] * e1[2] - sv[2] * e1[1], sv[2] * e1[0] - sv[0] * e1[2], sv[0] * e1[1] - sv[1] * e1[0]};
    const float vv = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) * inv;
    if (!(vv >= 0.0f) || !(uu + vv <= 1.0f)) return 0;
    if (t) *t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
    if (u) *u = uu;
    if (v) *v = vv;
    return 1;
}

template <class T>
static int RayTriangleEps(const T* o, const T* d, const T* a, const T* b, const T* c, T* t, T* u, T* v)
{
    const T e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const T e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const T p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
    const T det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
    if (!(std::fabs(det) >= T(1e-9))) return 0;
    const T inv = T(1) / det;
    const T sv[3] = {o[0] - a[0], o[1] - a[1], o[2] - a[2]};
    const T uu = (sv[0] * p[0] + sv[1] * p[1] + sv[2] * p[2]) * inv;
    if (!(uu >= T(0) && uu <= T(1))) return 0;
    const T q[3] = {sv[1] * e1[2] - sv[2] * e1[1], sv[2] * e1[0] - sv[0] * e1[2], sv[0] * e1[1] - sv[1] * e1[0]};
    const T vv = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) * inv;
    if (!(vv >= T(0)) || !(uu + vv <= T(1))) return 0;
    if (t) *t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
    if (u) *u = uu;
    if (v) *v = vv;
    return 1;
}

int YD3D6Parser::IntersectRayTriangleEps(const float* o, const float* d, const float* a, const float* b,
                                         const float* c, float* t, float* u, float* v)
{
    return RayTriangleEps(o, d, a, b, c, t, u, v);
}

int YD3D6Parser::IntersectRayTriangleEps(const double* o, const double* d, const double* a, const double* b,
                                         const double* c, double* t, double* u, double* v)
{
    return RayTriangleEps(o, d, a, b, c, t, u, v);
}

int YD3D6Parser::SegmentBox(const float* start, const float* end, const float* size, float* point)
{
    auto inside = [&](const float* p) {
        for (int i = 0; i < 3; ++i)
            if (!(p[i] >= 0.0f && p[i] <= size[i])) return false;
        return true;
    };
    for (int i = 0; i < 3; ++i) {
        if (start[i] < 0.0f && end[i] < 0.0f) return 0;
        if (start[i] > size[i] && end[i] > size[i]) return 0;
    }
    if (inside(start)) return inside(end) ? -1 : -2;
    // Faces x = 0, x = size, z = 0, z = size, y = 0, y = size, numbered 1 to 6.
    const int axes[6] = {0, 0, 2, 2, 1, 1};
    int face = 0;
    float best = 1.0f;
    for (int f = 0; f < 6; ++f) {
        const int k = axes[f];
        const float plane = (f & 1) ? size[k] : 0.0f;
        const float span = end[k] - start[k];
        if (span == 0.0f) continue;  // parallel to the face
        const float t = (plane - start[k]) / span;
        if (!(t >= 0.0f && t < best)) continue;
        float p[3];
        for (int i = 0; i < 3; ++i) p[i] = start[i] + t * (end[i] - start[i]);
        p[k] = plane;
        bool on = true;
        for (int i = 0; i < 3; ++i)
            if (i != k && !(p[i] >= 0.0f && p[i] <= size[i])) on = false;
        if (!on) continue;
        best = t;
        face = f + 1;
        if (point) point[0] = p[0], point[1] = p[1], point[2] = p[2];
    }
    return face;
}

int YD3D6Parser::PointSegmentDistance(const float* p, const float* d, float* t, float* distance2)
{
    const float l = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    if (!(l > 0.0f)) return 0;
    const float tt = (p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) / l;
    if (!(tt >= 0.0f && tt <= 1.0f)) return 0;
    const float e[3] = {p[0] - tt * d[0], p[1] - tt * d[1], p[2] - tt * d[2]};
    if (t) *t = tt;
    if (distance2) *distance2 = e[0] * e[0] + e[1] * e[1] + e[2] * e[2];
    return 1;
}

int YD3D6Parser::SegmentCircleXZ(const float* start, const float* end, const float* centre, float radius, float* t)
{
    const double px = double(start[0]) - centre[0], pz = double(start[2]) - centre[2];
    const double dx = double(end[0]) - start[0], dz = double(end[2]) - start[2];
    const double a = dx * dx + dz * dz;
    if (!(a > 0.0)) return 0;  // no extent in the plane: no entry
    const double b = 2.0 * (px * dx + pz * dz);
    const double c = px * px + pz * pz - double(radius) * radius;
    const double disc = b * b - 4.0 * a * c;
    if (!(disc >= 0.0)) return 0;
    const double root = (-b - std::sqrt(disc)) / (2.0 * a);
    if (!(root > 0.0 && root <= 1.0)) return 0;
    *t = float(root);
    return 1;
}

void YD3D6Parser::DetailMask(int32_t value, bool extra, uint8_t mask[4])
{
    if (value == 0) {
        mask[0] = mask[2] = 1;
        mask[1] = mask[3] = extra ? 1 : 0;
        return;
    }
    mask[0] = value >= 2, mask[2] = value >= 3, mask[1] = value >= 4, mask[3] = value == 5;
}

namespace {

// A grid coordinate for the walk, clamped in floating point (NaN 0) so the
// integer steps cannot overflow.
int32_t WalkCoordinate(float value, float origin, float cellSize)
{
    double f = GridCoordinate(value, origin, cellSize);
    f = f < -65536.0 ? -65536.0 : (f > 65536.0 ? 65536.0 : f);
    return static_cast<int32_t>(f);
}
}  // namespace

void YD3D6Parser::CollectTraceBlock(int32_t column, int32_t row)
{
    const int32_t w = static_cast<int32_t>(m_gridWidth), h = static_cast<int32_t>(m_gridHeight);
    if (column < 2 || row < 2 || column > w - 3 || row > h - 3) return;
    auto take = [&](int32_t dc, int32_t dr) {
        const uint32_t index = static_cast<uint32_t>((row + dr) * w + column + dc);
        if (m_visitedCells[index]) return;
        m_visitedCells[index] = 1;
        m_traceCells.push_back(index);
    };
    for (int32_t dr = -2; dr <= 0; ++dr)
        for (int32_t dc = -2; dc <= 2; ++dc) take(dc, dr);
    for (int32_t dr = 1; dr <= 2; ++dr)
        for (int32_t dc = 2; dc >= -2; --dc) take(dc, dr);
}

void YD3D6Parser::CollectTraceCells(const float* to, const float* from)
{
    m_traceCells.clear();
    int32_t c0 = WalkCoordinate(from[0], m_gridOrigin[0], m_cellSizeRender);
    int32_t r0 = WalkCoordinate(from[2], m_gridOrigin[2], m_cellSizeRender);
    int32_t c1 = WalkCoordinate(to[0], m_gridOrigin[0], m_cellSizeRender);
    int32_t r1 = WalkCoordinate(to[2], m_gridOrigin[2], m_cellSizeRender);
    if (r1 < r0) std::swap(c0, c1), std::swap(r0, r1);
    CollectTraceBlock(c0, r0);
    const int32_t dx = std::abs(c1 - c0), sx = c1 < c0 ? -1 : 1, dz = r1 - r0;
    int32_t c = c0, r = r0;
    if (dz == 0) {
        for (int32_t i = 0; i < dx; ++i) c += sx, CollectTraceBlock(c, r);
    } else if (dx == 0) {
        for (int32_t i = 0; i < dz; ++i) ++r, CollectTraceBlock(c, r);
    } else if (dx == dz) {
        for (int32_t i = 0; i < dx; ++i) c += sx, ++r, CollectTraceBlock(c, r);
    } else if (dx < dz) {
        const uint32_t f = static_cast<uint32_t>((static_cast<uint64_t>(dx) << 16) / dz);
        uint32_t acc = 0;
        for (int32_t i = 0; i < dz - 1; ++i) {
            acc += f;
            if (acc > 0xFFFF) acc &= 0xFFFF, c += sx;
            ++r;
            CollectTraceBlock(c, r);
        }
    } else {
        const uint32_t f = static_cast<uint32_t>((static_cast<uint64_t>(dz) << 16) / dx);
        uint32_t acc = 0;
        for (int32_t i = 0; i < dx - 1; ++i) {
            acc += f;
            if (acc > 0xFFFF) acc &= 0xFFFF, ++r;
            c += sx;
            CollectTraceBlock(c, r);
        }
    }
    CollectTraceBlock(c1, r1);
}

void YD3D6Parser::TraceSpriteTree(const YTraceRequest& q)
{
    const YRenderInstance& o = *q.m_object;
    const uint16_t type = static_cast<uint16_t>(o.m_typeIndex);
    const float size = o.m_scale;
    const float width = type < m_treeFactorA.size() ? m_treeFactorA[type] : 0.0f;
    const float tall = type < m_treeFactorB.size() ? m_treeFactorB[type] : 0.0f;
    if (width <= 0.0f && tall <= 0.0f) return;  // no sprite collision
    if (const YD3D6Lock* lock = GetSpriteLock(type))
        if (!lock->m_iSpriteCollide) return;
    const float radius = width * std::fabs(size) * 0.3333f, height = tall * std::fabs(size);
    const float* tree = o.m_position;
    const float ex = q.m_to[0] - tree[0], ez = q.m_to[2] - tree[2];
    const float sxv = q.m_from[0] - tree[0], szv = q.m_from[2] - tree[2];
    if (ex * ex + ez * ez > sxv * sxv + szv * szv) return;  // moving away from the tree
    float t;
    if (!SegmentCircleXZ(q.m_from, q.m_to, tree, radius, &t)) return;
    float entry[3] = {q.m_from[0] + t * q.m_delta[0], q.m_from[1], q.m_from[2] + t * q.m_delta[2]};
    const float d2 = (entry[0] - q.m_from[0]) * (entry[0] - q.m_from[0]) +
                     (entry[2] - q.m_from[2]) * (entry[2] - q.m_from[2]);
    if (!(d2 < m_traceResult->m_distance2)) return;
    if (std::fabs(q.m_delta[2]) <= std::fabs(q.m_delta[0])) {
        if (q.m_delta[0] != 0.0f) entry[1] = q.m_from[1] + (entry[0] - q.m_from[0]) * q.m_delta[1] / q.m_delta[0];
    } else {
        entry[1] = q.m_from[1] + (entry[2] - q.m_from[2]) * q.m_delta[1] / q.m_delta[2];
    }
    if (!(tree[1] < entry[1] + q.m_radiusTo && entry[1] + q.m_radiusFrom < tree[1] + height)) return;
    StoreTreeHit(q, YTraceResult::kTreeCylinder, entry, d2, height, 0.0f, 0.0f);
}

void YD3D6Parser::TraceTerrain(const float* from, DWORD flags)
{
    YTraceResult& res = *m_traceResult;
    float u[3] = {res.m_hitPoint[0] - from[0], res.m_hitPoint[1] - from[1], res.m_hitPoint[2] - from[2]};
    const float len = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (!(len > 0.0f) || !std::isfinite(len)) return;  // no direction to follow
    u[0] /= len, u[1] /= len, u[2] /= len;
    const float kFar = 3.4028235e38f;
    float best = kFar;
    const YCellPlane* bestPlane = nullptr;
    uint8_t bestKind = 0;
    const uint32_t cells = m_gridWidth * m_gridHeight;
    for (uint32_t index : m_traceCells) {
        if (index > cells - 1) continue;
        const YMapCell& cell = m_cells[index];
        for (size_t i = 0; i < cell.m_polygons.size(); ++i) {
            const YCellPolygon& poly = *cell.m_polygons[i];
            if (MarkVisited(cell.m_keys[i])) continue;
            const uint8_t k = poly.m_kind;
            if (!(k & 2)) continue;
            if ((k & 1) && !((flags & 0x100) && (k & 4)) && !((flags & 0x200) && k == YCellPolygon::kWater)) continue;
            poly.ForEachTriangle([&](const YCellCorner& ca, const YCellCorner& cb, const YCellCorner& cc,
                                     const YCellPlane& plane) {
                const float* a = VertexAt(m_mapVertices, ca.m_vertex);
                const float* b = VertexAt(m_mapVertices, cb.m_vertex);
                const float* c = VertexAt(m_mapVertices, cc.m_vertex);
                if (!a || !b || !c) return;
                const float top = std::max(from[1], res.m_hitPoint[1]);
                if (a[1] > top && b[1] > top && c[1] > top) return;  // wholly above the segment
                float t;
                if (!IntersectRayTriangle(from, u, a, b, c, &t, nullptr, nullptr)) return;
                if (!(t > 0.0f && t < best)) return;
                best = poly.m_shape == YCellPolygon::kTriangle ? t - 0.01f : t;
                bestPlane = &plane;
                bestKind = k;
            });
        }
    }
    if (!(best < kFar) || !(best * best < res.m_distance2)) return;
    res.m_distance2 = best * best;
    for (int i = 0; i < 3; ++i) res.m_hitPoint[i] = from[i] + u[i] * best;
    res.m_nodeFlags = 0;
    res.m_side = 1;
    res.m_hitCode = bestKind == YCellPolygon::kWater ? YTraceResult::kWater : YTraceResult::kTerrain;
    res.m_hitObject = nullptr;
    res.m_words[0] = res.m_words[1] = 0;
    res.m_objectHeight = 0.0f;
    res.m_normal[0] = bestPlane ? bestPlane->a : 0.0f;
    res.m_normal[1] = bestPlane ? bestPlane->b : 0.0f;
    res.m_normal[2] = bestPlane ? bestPlane->c : 0.0f;
}

int YD3D6Parser::TraceWorld(const float* to, const float* from, float radiusFrom, float radiusTo, DWORD flags)
{
    if (!m_traceResult) m_traceResult = new YTraceResult;
    YTraceResult& res = *m_traceResult;
    if (!to || !from) return 1;
    for (int i = 0; i < 3; ++i) res.m_hitPoint[i] = to[i];
    res.m_hitCode = 0;
    const float delta[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    res.m_distance2 = delta[0] * delta[0] + delta[1] * delta[1] + delta[2] * delta[2];
    if (m_cells.empty() || !(m_cellSizeRender > 0.0f)) return 1;

    CollectTraceCells(to, from);

    YTraceRequest q;
    const float yaw = std::atan2(delta[0], delta[2]);
    q.m_facing[0] = std::cos(yaw), q.m_facing[1] = -std::sin(yaw);
    for (int i = 0; i < 3; ++i) q.m_from[i] = from[i], q.m_to[i] = to[i], q.m_delta[i] = delta[i];
    q.m_radiusFrom = radiusFrom, q.m_radiusTo = radiusTo, q.m_flags = flags;
    MakeIdentityMatrix(&q.m_matrix);
    q.m_parent = q.m_parentInverse = q.m_matrix;

    uint8_t spriteMask[4], modelMask[4];
    DetailMask(m_mapSettings[kBillboardDetailWord], m_mapSettings[kExtraDetailWord] != 0, spriteMask);
    DetailMask(m_mapSettings[kModelDetailWord], m_mapSettings[kExtraDetailWord] != 0, modelMask);
    const bool fixedDistance = m_mapSettings[kDistanceCacheWord] != 0;
    const bool billboards = m_mapSettings[kLevelOfDetailWord] != 0;
    const uint16_t spriteTypes = static_cast<uint16_t>(std::max<int16_t>(m_spriteTypeCount, 0));
    YRenderInstance spriteTree, modelTree;
    modelTree.m_kind = 2;
    modelTree.m_subKind = 0;

    for (uint32_t index : m_traceCells) {
        const YMapCell& cell = m_cells[index];
        if (flags & 0x1) {
            for (size_t slot = 0; slot < cell.m_items.size(); ++slot) {
                const YCellItem& item = cell.m_items[slot];
                const uint16_t stored = static_cast<uint16_t>(item.m_type);
                if (!(stored < spriteTypes ? spriteMask : modelMask)[item.m_flags & 3]) continue;
                const float d = fixedDistance ? item.m_fixedDistance
                                              : std::sqrt((item.m_position[0] - m_cameraPosition[0]) *
                                                              (item.m_position[0] - m_cameraPosition[0]) +
                                                          (item.m_position[1] - m_cameraPosition[1]) *
                                                              (item.m_position[1] - m_cameraPosition[1]) +
                                                          (item.m_position[2] - m_cameraPosition[2]) *
                                                              (item.m_position[2] - m_cameraPosition[2]));
                float size = item.m_size / 255.0f;
                uint16_t type = stored;
                if (type >= spriteTypes && (d > m_farTreeDistance || billboards)) {
                    type = item.m_farType;
                    size /= 3.5f;
                }
                q.m_cell = index;
                q.m_itemSlot = static_cast<uint32_t>(slot);
                q.m_nodeFlags = 0;
                if (type < spriteTypes) {
                    if (IsCropSprite(type)) continue;  // crops never block
                    spriteTree.m_typeIndex = static_cast<int16_t>(type);
                    for (int i = 0; i < 3; ++i) spriteTree.m_position[i] = item.m_position[i];
                    spriteTree.m_scale = size;
                    q.m_kind = YTraceRequest::kSprite;
                    q.m_object = &spriteTree;
                } else {
                    modelTree.m_model = GetTreeModel(type);
                    for (int i = 0; i < 3; ++i) modelTree.m_position[i] = item.m_position[i];
                    modelTree.m_angles[0] = modelTree.m_angles[2] = 0.0f;
                    modelTree.m_angles[1] = item.m_facing;
                    modelTree.m_scale = size;
                    modelTree.m_typeIndex = item.m_type;
                    q.m_kind = YTraceRequest::kModel;
                    q.m_object = &modelTree;
                }
                q.m_nodeId = q.m_object;
                CollideModelNode(q);
            }
        }
        // The objects registered in the cell.
        for (const YCellActor* node = GetCellActors(index); node; node = node->m_next) {
            void* object = node->m_id;
            if (node->m_flags & 1)
                object = m_objectTest ? reinterpret_cast<void*>(m_objectTest(node->m_id, node->m_flags)) : nullptr;
            YRenderInstance* o = static_cast<YRenderInstance*>(object);
            if (!o || !(o->m_flags & 0x4) || (o->m_flags & 0x2) || ((flags & 0x1000) && (o->m_flags & 0x8))) continue;
            q.m_kind = YTraceRequest::kModel;
            q.m_cell = 0;
            q.m_itemSlot = 0;
            q.m_nodeFlags = node->m_flags;
            q.m_nodeId = node->m_id;
            q.m_object = o;
            CollideModelNode(q);
        }
    }
    if (flags & 0x300) TraceTerrain(from, flags);

    for (uint32_t index : m_traceCells) m_visitedCells[index] = 0;
    ClearVisitedList();

    if (!res.m_hitCode) return 1;
    if (res.m_side) {
        const float* p = res.m_objectPosition;
        const float cross = delta[0] * (p[2] - from[2]) - (p[0] - from[0]) * delta[2];
        res.m_side = cross < 0.0f ? 1 : -1;
    }
    return 0;
}
