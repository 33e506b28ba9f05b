#include "renderer/YD3D6Parser.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

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
    : m_mapShot{0, 0, 0.0f, 0, 0}, m_raster(nullptr), m_map(nullptr), m_renderRecordCount(0),
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
    m_workBuffer = new uint8_t[kWorkBufferSize];
}

YD3D6Parser::~YD3D6Parser()
{
    delete[] m_workBuffer;
    DestroyDevice();
    ReleaseModels();
    EndMapSession();
    EndSession(0);
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
    if (!desc || word < 1 || word > YSessionDesc::ParameterCount) return 0;
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
        if (const int32_t* words = static_cast<const int32_t*>(descriptor))
            for (int word : kViewerCopiedWords) m_viewerSettings[word] = words[word];
        if (Display()) Display()->sessionWord = static_cast<DWORD_PTR>(m_viewerSettings[kViewerDisplayWord]);
        SetProjection(60.0f, 60.0f, 1.0f, ViewerFarPlane(m_viewerSettings[0], 1.0f));
        // The viewer's models and render states come with the frame road.
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
        SetProjection(60.0f, 60.0f, m_projection[2], float(m_mapSettings[kFarPlaneWord]));
        delete m_softwareRasteriser;
        m_softwareRasteriser = CreateSoftwareRasteriser(static_cast<int16_t>(m_mapSettings[kAntiAliasWord]));
        if (!m_greyRamp) m_greyRamp = new (std::nothrow) uint16_t[256];
        if (m_greyRamp) BuildGreyRamp(m_greyRamp);
        return Hunt_Init();
    }
    case 1: Hunt_Init2(); return 1;
    case 2:
        // The map's models, trees and backgrounds are placed, and the
        // ground vertices shaded by their trees (ShadeByTrees, offset
        // 120), by the map set-up as it comes; the device gets its
        // default states.
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
    delete[] m_renderRecords;
    m_renderRecordCount = std::min(std::max(m_mapSettings[kRenderRecordsWord], int32_t(0)), kMaxRenderRecords);
    m_renderRecords = new YRenderInstance[m_renderRecordCount + kRenderRecordSpare];
    Log("[YD3D6Parser::Hunt_SizeBuffers] Finished");
    return 1;
}

int YD3D6Parser::Hunt_Init()
{
    Log("[YD3D6Parser::Hunt_Init] Starting...");
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
    m_farCorner[0] = int32_t(float(m_gridWidth) * m_cellSizeRender + m_origin[0]);
    m_farCorner[1] = int32_t(float(m_gridHeight) * m_cellSizeRender + m_origin[2]);

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
    return 1;
}

// Of the second level so far the map's name/value pairs; textures, cells,
// sky, trees and the shadow table come with the map set-up.
int YD3D6Parser::Hunt_Init2()
{
    KeepAlive();
    m_namePairs.clear();
    if (m_map) m_namePairs = m_map->m_tags;
    KeepAlive();
    return 1;
}

int YD3D6Parser::SetDefaultRenderStates()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return 0;
    device->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_FILLMODE, 3);
    device->SetRenderState(D3DRENDERSTATE_SHADEMODE, 2);
    device->SetRenderState(D3DRENDERSTATE_MONOENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_SUBPIXEL, TRUE);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x01010101);
    return 1;
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
    for (YParserZone* zone : m_zones) {
        DestroyItem(zone);
        delete zone;
    }
    m_zones.clear();
    delete m_softwareRasteriser;
    m_softwareRasteriser = nullptr;
    DestroyZones();
    delete[] m_greyRamp;
    m_greyRamp = nullptr;
    return 1;
}

void YD3D6Parser::EndMapSession()
{
    if (m_raster) m_raster->FreeSessionLights();
    ClearFlaggedShadows();
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
}

// Frames draw only once a session is ready, and only in its two modes.
void YD3D6Parser::BeginFrame()
{
    if (!m_ready) return;
    if (m_sessionMode == 2) BeginMapScene();
}

// Frames into a texture come with the frame road.
int YD3D6Parser::RenderTextureFrame(int16_t)
{
    return 0;
}

void YD3D6Parser::RenderFrame()
{
    if (!m_ready) return;
    // The model viewer's frame comes with the frame road.
    if (m_sessionMode == 2) Hunt_RenderFrame();
}

void YD3D6Parser::EndFrame()
{
    if (!m_ready) return;
    if (m_sessionMode == 2) EndMapScene();
}

int YD3D6Parser::BeginMapScene()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    return device && SUCCEEDED(device->BeginScene()) ? 1 : 0;
}

// The passes between the two depth clears (terrain, objects, shadows,
// models, flares and the overlay) come with the frame road.
void YD3D6Parser::Hunt_RenderFrame()
{
    Log("[YD3D6Parser::Hunt_RenderFrame] Starting...");
    if (m_raster) m_raster->ClearZBuffer();
    if (m_raster) m_raster->ClearZBuffer();
    PopOverlayColor();
    Log("[YD3D6Parser::Hunt_RenderFrame] Finished");
}

void YD3D6Parser::EndMapScene()
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (device) device->EndScene();
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

YTexture2* YD3D6Parser::GetTexture(int16_t texture)
{
    if (texture < 0 || size_t(texture) >= m_textures.size() || !m_textures[texture]) return nullptr;
    return m_textures[texture]->m_texture;
}

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

void YD3D6Parser::SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd)
{
    m_mapShot = {1, viewDistance, height, fogStart, fogEnd};
}
