// The Direct3D renderer. So far it takes the display, creates its raster
// device, keeps the camera, view and overlay state, the session options and
// the map-shot view, sets up the silhouette rasteriser of a map session and
// logs its texture memory.
#pragma once

#include "platform/d3d.h"
#include "renderer/YDeviceDescriptor.h"
#include "renderer/YParser.h"

class YD3D6Raster;

class YCatalog;
struct YSessionDesc;

// What the graphics object hands over when the display starts.
struct YDisplayDescriptor {
    YCatalog* catalog;
    DWORD_PTR word1;  // 20
    DWORD_PTR word2;
    DWORD_PTR filter;  // "gfx_filter", 0..4
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
    int InitSession(int mode, void* descriptor, int level) override;
    // Takes over the session parameters of the engine's descriptor.
    int SetSessionOptions(YSessionDesc* desc) override;
    int GetInitLevelCount(int mode) override { return mode == 2 ? 5 : 1; }
    int EndSession(int level) override;
    int GetEndLevelCount(int) override { return 1; }
    const char* GetName() override { return "VT3 D3D6 Parser"; }
    int ReservedZero() override { return 0; }
    int ReservedOne(DWORD) override { return 1; }
    void BeginFrame() override {}
    int RenderTextureFrame(int16_t) override { return 0; }
    void RenderFrame() override {}
    void EndFrame() override {}
    void EvictTextures() override;
    int BlitSurfaceToTexture(IDirectDrawSurface7*, int16_t) override { return 0; }
    int BlitTextureToSurface(int16_t, IDirectDrawSurface7*) override { return 0; }
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
    int GetTextureNameReversed(int16_t, char*, int16_t) override { return 0; }
    int LookupNamePair(const char*, uint8_t*, char*, const char*) override { return 0; }
    int FindNamePair(const char*, void*) override { return 0; }
    int16_t GetNamePairCount() override { return 0; }
    int GetNamePairText(int16_t, uint8_t*, char*, const char*, char*, const char*) override { return 0; }
    int GetNamePair(int16_t, void*) override { return 0; }
    YTexture2* GetTexture(int16_t) override { return nullptr; }
    int LogStatus() override;
    bool IsModelLoaded(int16_t) override { return false; }
    int16_t FindModelByName(const char*) override { return -1; }
    void EnterLightMode() override {}
    void LeaveLightMode(int) override {}
    void EnterThermalView() override {}
    void LeaveThermalView(int) override {}
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

    // The far plane of the model viewer of size n: (n - 2) x 128, kept
    // above the near plane.
    static float ViewerFarPlane(int32_t size, float nearPlane);
    // The silhouette rasteriser for an anti-aliasing mode: 0 plain, 1 2x,
    // 2 4x, anything else plain.
    static CTexRen* CreateSoftwareRasteriser(int32_t mode);
    // Entry k is the 5-6-5 grey of intensity 255 - k.
    static void BuildGreyRamp(uint16_t ramp[256]);

    // The overhead view of a map shot; active once set.
    struct MapShotView {
        int32_t active;
        int32_t viewDistance;
        float height;
        int32_t fogStart;
        int32_t fogEnd;
    };

    int m_filter;
    YCatalog* m_catalog;
    // The engine's session parameters; parameter i is descriptor word i + 1.
    int32_t m_sessionOptions[36];
    enum { kAntiAliasOption = 25 };
    MapShotView m_mapShot;
    // Textures the device holds and their bytes; none until textures load.
    uint32_t m_textureCount;
    uint32_t m_textureBytes;

    YD3D6Raster* m_raster;
    CTexRen* m_softwareRasteriser;  // made at map level 0
    uint16_t* m_greyRamp;           // 256 entries, the rasteriser's colour table
    float m_savedOverlay[4];
    int32_t m_overlayDepth;
};
