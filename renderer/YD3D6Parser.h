// The Direct3D renderer: it takes the display, creates its raster device,
// sets up and ends the sessions of the model viewer and of a map in their
// stages, dispatches the frame entry points by session mode, and keeps the
// camera, view, overlay colours, light modes and its texture, model and
// name-pair tables.
#pragma once

#include <vector>

#include "platform/d3d.h"
#include "renderer/YDeviceDescriptor.h"
#include "renderer/YMapVT3Tag.h"
#include "renderer/YParser.h"

class YD3D6Raster;
class YMapVT3;
class YCatalog;
struct YD3D6TextureItem;
struct YSessionDesc;

// What the graphics object hands over when the display starts.
struct YDisplayDescriptor {
    YCatalog* catalog;
    DWORD_PTR word1;  // 20
    DWORD_PTR word2;
    DWORD_PTR filter;  // "gfx_filter", 0..4; lowered to what the device can do
    DWORD_PTR sessionWord;
};

class CTexRen;

class YD3D6Parser : public YParser {
    DECLARE_DYNAMIC(YD3D6Parser)
public:
    YD3D6Parser();
    ~YD3D6Parser() override;

    int AttachDisplay(void* displayDescriptor) override;
    int ReleaseModels() override;
    int CreateDevice(void* deviceDescriptor) override;
    int DestroyDevice() override;
    YD3D6Raster* GetRaster() override { return m_raster; }
    // Mode 1 is the model viewer (its descriptor a block of 32-bit words),
    // mode 2 a map session (the engine's session descriptor).
    int InitSession(int mode, void* descriptor, int level) override;
    int SetSessionOptions(YSessionDesc* desc) override;
    int GetInitLevelCount(int mode) override { return mode == 2 ? 5 : 1; }
    int EndSession(int level) override;
    int GetEndLevelCount(int) override { return 1; }
    const char* GetName() override { return "VT3 D3D6 Parser"; }
    int ReservedZero() override { return 0; }
    int ReservedOne(DWORD) override { return 1; }
    void BeginFrame() override;
    int RenderTextureFrame(int16_t texture) override;
    void RenderFrame() override;
    void EndFrame() override;
    void EvictTextures() override;
    int BlitSurfaceToTexture(IDirectDrawSurface7* surface, int16_t texture) override;
    int BlitTextureToSurface(int16_t texture, IDirectDrawSurface7* surface) override;
    void SetCameraPosition(float x, float y, float z) override;
    void SetCameraAngles(float a, float b, float c) override;
    void SetProjection(float fov, float fov2, float nearPlane, float farPlane) override;
    void SetViewScale(float x, float y, float z) override;
    int SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) override;
    void SetOverlayColor(float a, float b, float c, float d) override;
    void GetOverlayColor(float* a, float* b, float* c, float* d) override;
    void GetCameraPosition(float* x, float* y, float* z) override;
    void GetCameraAngles(float* a, float* b, float* c) override;
    void GetProjection(float* fov, float* fov2, float* nearPlane, float* farPlane) override;
    void GetViewScale(float* x, float* y, float* z) override;
    void GetViewRects(RECT* screen, RECT* clip) override;
    void SetViewRectsAndApply(int left, int top, int right, int bottom) override;
    int ApplyView() override;
    // Puts the camera overhead for a shot of the whole map.
    void SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd) override;
    YSMHandle* CreateModelHandle(const char*) override { return nullptr; }
    int LoadCatalogTextures(const char*, DWORD, int) override { return -1; }
    int16_t FindOrAddModel(const char*) override { return -1; }
    // The texture's name reversed back into the buffer, always terminated.
    int GetTextureNameReversed(int16_t texture, char* buffer, int16_t length) override;
    // The name-pair buffers hold up to kMaxNameText characters and the
    // terminator; the source arguments are not read.
    int LookupNamePair(const char* first, uint8_t* outByte, char* buffer, const char* secondSource) override;
    int FindNamePair(const char* first, void* record) override;
    int16_t GetNamePairCount() override { return static_cast<int16_t>(m_namePairs.size()); }
    int GetNamePairText(int16_t index, uint8_t* outByte, char* buffer1, const char* source1, char* buffer2,
                        const char* source2) override;
    int GetNamePair(int16_t index, void* record) override;
    YTexture2* GetTexture(int16_t texture) override;
    int LogStatus() override;
    bool IsModelLoaded(int16_t model) override;
    int16_t FindModelByName(const char* name) override;
    void EnterLightMode() override;
    void LeaveLightMode(int light) override;
    void EnterThermalView() override;
    void LeaveThermalView(int light) override;
    void PushOverlayColor(int frames, float a, float b, float c, float d) override;
    void PopOverlayColor() override;

    // Operations after those of the interface.  Those of the map session
    // and the frame road answer as they do without a map session.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
    // 1 when the device lists a texture format with the record's flags,
    // and its bit count and masks where the flags name them.
    virtual int FindTextureFormat(const DDPIXELFORMAT* format);
    virtual int RemoveModelDecals(YSMHandle* handle, DWORD mode) { return handle ? 1 : 0; }
    virtual bool TestFlagMask(DWORD value, DWORD mask, int mode) { return false; }
    virtual void PlaceTrees(uint8_t fill) {}
    virtual int LoadCommandTexture(const char* text, DWORD value, int redirect) { return -1; }
    virtual int16_t GetCellItemMaterialEx(DWORD cell, DWORD item) { return -1; }
    virtual float GetCellItemFactorEx(DWORD cell, DWORD item) { return 0.0f; }

    // Shadows.
    virtual int CastShadow(YRenderInstance* record) { return 0; }
    virtual int SelectShadowEntry(YRenderInstance* record) { return -1; }
    virtual int ReleaseShadowEntry(int entry) { return 0; }
    virtual int ProjectShadow(int entry) { return 0; }
    virtual int BuildShadowMesh(int entry) { return 0; }
    virtual int UpdateShadowTexture(int entry) { return 0; }
    virtual int DrawShadowSilhouette(int entry) { return 0; }
    virtual int CreateShadowTable() { return 0; }
    virtual void ClearFlaggedShadows() {}
    virtual int ResetShadowTable() { return 0; }
    virtual int CountShadowEntries() { return 0; }
    virtual int CountProjectedShadow(int entry) { return 0; }
    virtual int ProduceProjectedShadow(int entry, void* points, void* triangles) { return 0; }

#pragma GCC diagnostic pop

    // Appends the texture memory sums to the renderer's log.
    void GetTextureMemoryStats();
    // Phases of the set-up and of every frame go to "Debug.log" while set.
    void SetDebugLog(int on) { m_debugLog = on; }
    int IsReady() const { return m_ready; }

    // The far plane of the model viewer of size n: (n - 2) x 128, kept
    // above the near plane.
    static float ViewerFarPlane(int32_t size, float nearPlane);
    // The silhouette rasteriser for an anti-aliasing mode: 0 plain, 1 2x,
    // 2 4x, anything else plain.
    static CTexRen* CreateSoftwareRasteriser(int32_t mode);
    // Entry k is the 5-6-5 grey of intensity 255 - k.
    static void BuildGreyRamp(uint16_t ramp[256]);
    // A tree near a ground vertex: its stored point and its reach (the type's
    // scale x its size byte / 255).
    struct TreeShadeSource {
        float point[3];
        float radius;
    };
    // The shade byte of a ground vertex under the trees near it: each tree
    // darkens by how deep the vertex lies in the reach of the segment from
    // the tree's point to the ground at (x + offset, z + offset).
    uint8_t ShadeByTrees(const float vertex[3], const TreeShadeSource* trees, int count, float offset);
    // Word i of the engine's session descriptor; word 0 is the map path.
    static int32_t SessionWord(const YSessionDesc* desc, int word);

    // The overhead view of a map shot; active once set.
    struct MapShotView {
        int32_t active;
        int32_t viewDistance;
        float height;
        int32_t fogStart;
        int32_t fogEnd;
    };

    enum {
        kSessionWords = 36,
        kViewerWords = 20,
        kRenderRecordsWord = 4,
        kFarPlaneWord = 5,
        kDisplayWord = 21,
        kAntiAliasWord = 26,
        kViewerDisplayWord = 15,
        kMaxNameText = 2047,
        kWorkBufferSize = 1041,
    };
    // The map session's copy of the descriptor, by word (word 0 is the path).
    YString m_mapPath;
    int32_t m_mapSettings[kSessionWords];
    int32_t m_viewerSettings[kViewerWords];
    // (MIP, minification, magnification) filters; the second set is the
    // one drawn with.
    DWORD m_filters[2][3];
    D3DDEVICEDESC7 m_deviceCaps;
    std::vector<YD3D6TextureItem*> m_textures;
    std::vector<YMapVT3Tag> m_namePairs;
    MapShotView m_mapShot;

    YD3D6Raster* m_raster;
    YMapVT3* m_map;                 // kept from map level 0 to level 3
    int32_t m_renderRecordCount;    // the array holds 32 more
    float m_origin[3];              // of the map grid, render units
    int32_t m_farCorner[2];         // x and z
    CTexRen* m_softwareRasteriser;  // made at map level 0
    uint16_t* m_greyRamp;           // 256 entries, the rasteriser's colour table
    float m_savedLight[3];          // the ambient colour the light modes replace
    float m_savedOverlay[4];
    int32_t m_overlayDepth;
    uint8_t m_lightMode;
    uint8_t m_thermal;
    int32_t m_thermalTexture;  // -100 until first loaded
    float m_lightIntensity;
    uint8_t* m_workBuffer;

private:
    void Log(const char* text) const;
    YDisplayDescriptor* Display() const { return static_cast<YDisplayDescriptor*>(m_display); }
    // Map session stages.
    int Hunt_SizeBuffers();
    int Hunt_Init();
    int Hunt_Init2();
    int SetDefaultRenderStates();
    void ReleaseMapObject();
    void KeepAlive() const;
    void EndMapSession();
    // Frame stages of the map session.
    int BeginMapScene();
    void Hunt_RenderFrame();
    void EndMapScene();
    // Copies the texture's pixels from or to the surface with the GDI.
    int BlitTexture(int16_t texture, IDirectDrawSurface7* surface, bool intoTexture);
    void SetAmbientColor(float r, float g, float b);
    void SaveAmbientColor();
    int AddModeLight(float r, float g, float b);
};
