// The renderer interface: every other subsystem reaches the renderer only
// through these operations (the Direct3D renderer adds 20 after them), and
// the renderer calls back into the game through four functions.  Callers
// rely on the order of the operations.
//
// Operations of the map session (cell grid, world trace, ground queries,
// actor registry, asset loading, trees) and of the frame road (lights, fog,
// flares, decals, shadows) answer here as they do without a map session;
// the renderer overrides them as those parts come.
#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

#include "foundation/YMatrix.h"
#include "foundation/YString.h"
#include "platform/ddraw.h"
#include "platform/mfc.h"
#include "world/YRenderInstance.h"

class YD3D6Raster;
class YSMHandle;
class YTexLock;
struct YSessionDesc;
struct YTraceResult;
struct YParseYSMItem;
struct YParseModelItem;
struct YParseYSMV;
struct YParserZone;
struct YMapVT3Model_Output;
struct ActorDesc;

// The default bodies below name their parameters for the reader.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class YParser : public CObject {
    DECLARE_DYNAMIC(YParser)
public:
    typedef DWORD_PTR (*ObjectTest)(void* object, DWORD flags);
    typedef void* (*ModelEnumerator)(int* cursor);
    typedef void (*KeepAlive)();
    typedef float (*RangeTest)(LONG a, LONG b, LONG x);

    // Ground queries that find no ground.
    static constexpr float kNoGround = -3.4028235e38f;

    YParser();
    ~YParser() override;

    virtual int AttachDisplay(void* displayDescriptor) = 0;
    virtual int ReleaseModels() = 0;
    virtual int CreateDevice(void* deviceDescriptor) = 0;
    virtual int DestroyDevice() = 0;
    virtual YD3D6Raster* GetRaster() = 0;
    virtual int InitSession(int mode, void* descriptor, int level) = 0;
    virtual int SetSessionOptions(YSessionDesc* descriptor) = 0;
    virtual int GetInitLevelCount(int mode) = 0;
    virtual int EndSession(int level) = 0;
    virtual int GetEndLevelCount(int mode) = 0;
    virtual const char* GetName();
    virtual int ReservedZero() = 0;
    virtual int ReservedOne(DWORD word) = 0;
    virtual void BeginFrame() = 0;
    // Draws a frame into the texture over the fractions (left, top, right,
    // bottom) of its size, with the two projection values given.
    virtual int RenderTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions) = 0;
    virtual void RenderFrame() = 0;
    virtual void EndFrame() = 0;
    virtual void EvictTextures() = 0;
    virtual int BlitSurfaceToTexture(IDirectDrawSurface7* surface, int16_t texture) = 0;
    virtual int BlitTextureToSurface(int16_t texture, IDirectDrawSurface7* surface) = 0;
    virtual void SetCameraPosition(float x, float y, float z) = 0;
    virtual void SetCameraAngles(float a, float b, float c) = 0;
    virtual void SetProjection(float fov, float fov2, float nearPlane, float farPlane) = 0;
    virtual void SetViewScale(float x, float y, float z) = 0;
    virtual int SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) = 0;
    virtual void SetOverlayColor(float a, float b, float c, float d) = 0;
    virtual void GetOverlayColor(float* a, float* b, float* c, float* d) = 0;
    virtual void GetCameraPosition(float* x, float* y, float* z) = 0;
    virtual void GetCameraAngles(float* a, float* b, float* c) = 0;
    virtual void GetProjection(float* fov, float* fov2, float* nearPlane, float* farPlane) = 0;
    virtual void GetViewScale(float* x, float* y, float* z) = 0;
    virtual void GetViewRects(RECT* screen, RECT* clip) = 0;
    virtual void SetViewRectsAndApply(int left, int top, int right, int bottom) = 0;
    virtual int ApplyView() = 0;
    virtual void CountFrame();
    virtual int GetViewRay(int x, int y, float* origin, float* direction);
    virtual int GetViewAngles(int x, int y, float* angles);
    virtual int GetPickDirection(int x, int y, float* direction);
    virtual time_t SetClock(int year, int month, int day, int hour, int minute, int second);
    virtual void SetWorldScale(float scale);
    virtual void SetScaleEntry(int16_t index, float value, DWORD a, DWORD b);
    virtual void GetScaleEntry(int16_t index, float* value, DWORD* a, DWORD* b);
    virtual void SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd) = 0;
    virtual YSMHandle* CreateModelHandleFromCatalog(const char* model, const char* group, const char* finder);
    virtual YSMHandle* CreateModelHandleByName(const char* model, const char* group);
    virtual YSMHandle* CreateModelHandle(const char* path) = 0;
    virtual int LoadCatalogTextures(const char* name, DWORD word, int flag) = 0;
    virtual int16_t FindOrAddModel(const char* name) = 0;
    virtual int GetTextureNameReversed(int16_t texture, char* buffer, int16_t length) = 0;
    virtual int LookupNamePair(const char* first, uint8_t* outByte, char* buffer, const char* secondSource) = 0;
    virtual int FindNamePair(const char* first, void* record) = 0;
    virtual int16_t GetNamePairCount() = 0;
    virtual int GetNamePairText(int16_t index, uint8_t* outByte, char* buffer1, const char* source1, char* buffer2,
                                const char* source2) = 0;
    virtual int GetNamePair(int16_t index, void* record) = 0;
    // The device texture of a texture index: its lock, or null.
    virtual YTexLock* GetTexture(int16_t texture) = 0;
    virtual int LogStatus() = 0;
    virtual void ComposeItemMatrix(YRenderInstance* parent, YRenderInstance* record, YMatrix* matrix, int animate);
    virtual float* TransformPoint(float* point, YMatrix matrix);
    // Projects a decal texture onto the placed model along origin -> hit;
    // 1 when stamped, 0 when refused.
    virtual int AddModelDecal(YRenderInstance* instance, int16_t texture, const float* hit, const float* origin,
                              float size, float roll)
    {
        return 0;
    }

    // Cell grid.
    // Writes at most capacity ids into out.
    virtual int CollectActorsNear(uint8_t column, uint8_t row, uint8_t radius, DWORD_PTR* out, int capacity,
                                  int skipFlagged)
    {
        return 0;
    }
    virtual uint8_t GetCellItemCount(DWORD cell) { return 0; }
    virtual int16_t GetCellItemMaterial(DWORD cell, DWORD item) { return -1; }
    virtual void GetCellItemPosition(DWORD cell, DWORD item, float* x, float* z) {}
    virtual float GetCellItemFactor(DWORD cell, DWORD item) { return 0.0f; }
    virtual int SetCellItemHidden(DWORD cell, DWORD item, int enable) { return 0; }
    virtual int8_t GetCellFlags(DWORD cell) { return -1; }
    virtual void SetCellFlags(DWORD cell, uint8_t flags) {}
    virtual float GetHeightSample(DWORD index) { return kNoGround; }
    virtual int ReservedCellQuery(DWORD word) { return -1; }
    virtual void ReservedCellStep() {}
    virtual int16_t PickCellItem(float x, float z) { return -1; }
    virtual int PickCellItemEx(float x, float z, int16_t value) { return 0; }
    virtual void SetCellItemMaterial(DWORD cell, DWORD item, int16_t value) {}
    virtual void ReservedCellStepA() {}
    virtual void ReservedCellStepB() {}
    virtual void* GetMapRecordBase() { return nullptr; }
    virtual int16_t GetMapRecordCount() { return 0; }
    virtual void* GetMapRecord(int16_t index) { return nullptr; }
    virtual int16_t GetMapSoundCount() { return 0; }
    virtual void* GetMapSound(int16_t index) { return nullptr; }
    virtual DWORD* GetAmbientBlock();

    // Lens-flare sources.
    virtual int GetFlareSourceCount() { return m_flareSourceCount; }
    virtual int InsertFlareElement(int index, const void* element) { return -1; }
    virtual int GetFlareElementCount(int source) { return 0; }
    virtual void* GetFlareElement(int source, int element) { return nullptr; }
    virtual int RemoveFlareElement(int source, int element) { return 0; }
    virtual int RemoveFlareSource(int source) { return -1; }
    // Brings a source to a second of the day; target null: its own current element.
    virtual void UpdateFlareSource(int source, int seconds, void* target) {}

    virtual bool IsModelLoaded(int16_t model) = 0;
    virtual int16_t FindModelByName(const char* name) = 0;
    // A terrain decal at a point, turned half round when flip is set; the
    // last three words are not used.
    virtual void AddTerrainDecal(int16_t index, float x, float y, float z, DWORD flip, DWORD a, DWORD b,
                                 int16_t second, DWORD unused1, DWORD unused2, DWORD unused3);
    virtual void ProjectOntoTerrain(YRenderInstance* record) {}
    virtual void ProjectOntoSurface(YRenderInstance* record) {}

    // Lights and fog of the frame road.
    virtual int ClearLights(int count) { return 1; }
    virtual int GetLightCount() { return 0; }
    virtual void* GetLight(int index) { return nullptr; }
    // The record's device light description, null out of range.
    virtual void* SetLight(int index, const void* record) { return nullptr; }
    virtual int AddLight(const void* record) { return -1; }
    virtual void RemoveLight(int index) {}
    virtual void SetSunDirection(const float* direction) {}
    // Three factor words kept for the callers, and the fog colour's
    // multipliers r, g, b.
    virtual void SetFog(const DWORD* factors, const float* multipliers) {}
    virtual void SetFogStart(float multiplier) {}

    // World trace.
    virtual void ClearVisitedMarks() {}
    virtual int TraceWorld(const float* to, const float* from, float radiusFrom, float radiusTo, DWORD flags)
    {
        return 1;
    }
    virtual YTraceResult* GetTraceResult() { return nullptr; }
    virtual void ReservedRegistryStep(DWORD a, DWORD b, DWORD c) {}
    virtual int ReservedAssetQuery(DWORD word) { return 1; }

    // Ground and surface queries.
    virtual float GetGroundHeightBelow(double x, double y, double z) { return kNoGround; }
    virtual float GetGroundHeight(double x, double z) { return 0.0f; }
    virtual void GetGroundTexCoords(double x, double z, double* u, double* v) {}
    virtual double GetSurfaceHeight(double x, double z) { return 0.0; }
    virtual void GetGroundAndWaterBelow(double x, double y, double z, double* heights, double* normals) {}
    virtual DWORD GetGroundHeightsByFlags(double x, double y, double z, int count, double* heights,
                                          const uint8_t* masks, const uint8_t* modes, double* normals)
    {
        return 0;
    }
    virtual void GetGroundAndWaterHeightBelow(double x, double y, double z, double* heights) {}
    virtual void GetGroundInfo(double x, double z, double* heights) {}

    virtual void SetObjectTest(ObjectTest test);
    virtual void SetLoadingKeepAlive(KeepAlive keepAlive);
    virtual void SetModelEnumerator(ModelEnumerator enumerator);
    virtual void SetRangeTest(RangeTest test);

    // Per-cell actor registry.
    virtual int RemoveActorFromCell(void* identity, int16_t column, int16_t row) { return 0; }
    virtual int RemoveActorAt(void* identity, double x, double z) { return 0; }
    virtual void AddActorToCell(void* identity, uint8_t flags, int16_t column, int16_t row) {}
    virtual void AddActorAt(void* identity, uint8_t flags, double x, double z) {}
    virtual int MoveActorBetweenCells(void* identity, int16_t oldColumn, int16_t oldRow, int16_t column, int16_t row)
    {
        return 0;
    }
    virtual int MoveActorTo(void* identity, double oldX, double oldZ, double x, double z) { return 0; }

    virtual void EnterLightMode() = 0;
    virtual void LeaveLightMode(int light) = 0;
    virtual void EnterThermalView() = 0;
    virtual void LeaveThermalView(int light) = 0;
    virtual void PushOverlayColor(int frames, float a, float b, float c, float d) = 0;
    virtual void PopOverlayColor() = 0;

    // The text up to and including the last separator, and the text after it.
    static YString GetPathDirectory(const char* path);
    static YString GetPathFileName(const char* path);
    static void DestroyItem(YParserZone* zone);

    // The zones a map hands over as it is read; the renderer owns them.
    void AppendZone(YParserZone* zone);
    int GetZoneCount() const { return static_cast<int>(m_zones.size()); }
    YParserZone* GetZone(int index) const;
    // Destroys every zone record and empties the list.
    void DestroyZones();

    // The map objects the session set-up placed: records of the session's
    // render-record array, held here, not owned.
    int GetPlacedObjectCount() const { return static_cast<int>(m_placedObjects.size()); }
    YRenderInstance* GetPlacedObject(int index) const
    {
        return index >= 0 && index < GetPlacedObjectCount() ? m_placedObjects[static_cast<size_t>(index)] : nullptr;
    }
    void AddPlacedObject(YRenderInstance* record) { m_placedObjects.push_back(record); }
    void ClearPlacedObjects() { m_placedObjects.clear(); }

    int GetSessionMode() const { return m_sessionMode; }
    // The map grid: cells along x and z, and a cell's edge in map units (metres).
    uint32_t GetGridWidth() const { return m_gridWidth; }
    uint32_t GetGridHeight() const { return m_gridHeight; }
    float GetCellSize() const { return m_cellSize; }
    // The record shared by the actors drawn by world model index.
    YRenderInstance* GetWorldModelRecord() { return &m_renderRecord; }
    ObjectTest GetObjectTest() const { return m_objectTest; }
    ModelEnumerator GetModelEnumerator() const { return m_modelEnumerator; }
    KeepAlive GetLoadingKeepAlive() const { return m_keepAlive; }
    RangeTest GetRangeTest() const { return m_rangeTest; }
    int32_t GetFrameCount() const { return m_frameCount; }
    float GetWorldScale() const { return m_worldScale; }
    time_t GetClock() const { return m_clock; }

    struct ScaleEntry {
        float value;
        DWORD a;
        DWORD b;
    };
    enum { kScaleEntries = 25, kAmbientWords = 17 };

protected:
    void* m_display;
    void* m_deviceDescriptor;
    DWORD m_reserved0;
    int32_t m_sessionMode;  // 0 none, 1 model viewer, 2 map session
    DWORD m_reserved1;
    CString m_errorText;
    float m_cameraPosition[3];
    float m_cameraAngles[3];
    float m_viewScale[3];
    float m_projection[4];  // fov, fov2, near, far
    float m_overlayColor[4];
    RECT m_screenRect;
    RECT m_clipRect;
    int32_t m_ready;
    int32_t m_debugLog;
    int32_t m_frameCount;
    uint32_t m_gridWidth;
    uint32_t m_gridHeight;
    float m_cellSize;
    float m_cellSizeRender;
    time_t m_clock;
    float m_worldScale;
    std::vector<YParseYSMItem*> m_modelItems;
    std::vector<YParseModelItem*> m_models;
    std::vector<YParseYSMV*> m_viewers;
    std::vector<YParserZone*> m_zones;
    std::vector<YMapVT3Model_Output*> m_modelOutputs;
    std::vector<YMapVT3Model_Output*> m_tags;
    ScaleEntry m_scaleTable[kScaleEntries];
    int32_t m_flareSourceCount;
    void** m_flareSources;
    DWORD m_ambient[kAmbientWords];
    std::vector<ActorDesc*> m_actorDescs;
    std::vector<YRenderInstance*> m_placedObjects;
    YRenderInstance* m_renderRecords;
    YRenderInstance m_renderRecord;
    YString m_name;
    ObjectTest m_objectTest;
    KeepAlive m_keepAlive;
    ModelEnumerator m_modelEnumerator;
    RangeTest m_rangeTest;
};

#pragma GCC diagnostic pop

// Raised by the map-shot view; added to the camera's y.
extern int32_t g_eyeOffset;
