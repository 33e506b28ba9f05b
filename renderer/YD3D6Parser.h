// The Direct3D renderer: it takes the display, creates its raster device,
// sets up and ends the sessions of the model viewer and of a map in their
// stages, dispatches the frame entry points by session mode, and keeps the
// camera, view, overlay colours, light modes and its texture, model and
// name-pair tables.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d.h"
#include "renderer/YCellActor.h"
#include "renderer/YD3D6ShadowCaster.h"
#include "renderer/YDeviceDescriptor.h"
#include "renderer/YMapCell.h"
#include "renderer/CelestialObject.h"
#include "renderer/YMapVT3Model_Output.h"
#include "renderer/YMapVT3Sound_Output.h"
#include "renderer/YMapVT3Tag.h"
#include "renderer/YMapVT3Terrain.h"
#include "renderer/YParser.h"
#include "assets3d/YTexStates.h"
#include "frame/YAlphaRecord.h"
#include "frame/YAlphaVertex.h"
#include "frame/YBillboardRecord.h"
#include "frame/YD3D6CelestialObject.h"
#include "frame/YD3D6CloudPlane.h"
#include "frame/YD3D6ShadowEntry.h"
#include "frame/YD3D6ShadowWorkTexture.h"
#include "frame/YD3D6SkyPeriod.h"
#include "frame/YD3D6DrawContext.h"
#include "frame/YModelGroupRecord.h"
#include "frame/YPrimitiveMesh.h"
#include "frame/YTransformedVertex.h"
#include "frame/YOpaqueRecord.h"

class YD3D6Raster;
struct YSMFrame;
struct YDecalMesh;
class YMapVT3;
class YCatalog;
class YD3D6Lock;
struct YTraceRequest;
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
class YD3D6Lock;
class YModel;

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
    // Mode 1 is the model viewer, mode 2 a map session; both read the
    // engine's session descriptor.
    int InitSession(int mode, void* descriptor, int level) override;
    int SetSessionOptions(YSessionDesc* desc) override;
    int GetInitLevelCount(int mode) override { return mode == 2 ? 5 : 1; }
    int EndSession(int level) override;
    int GetEndLevelCount(int) override { return 1; }
    const char* GetName() override { return "VT3 D3D6 Parser"; }
    int ReservedZero() override { return 0; }
    int ReservedOne(DWORD) override { return 1; }
    void BeginFrame() override;
    int RenderTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions) override;
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
    YTexLock* GetTexture(int16_t texture) override;
    int LogStatus() override;
    bool IsModelLoaded(int16_t model) override;
    int16_t FindModelByName(const char* name) override;
    void EnterLightMode() override;
    void LeaveLightMode(int light) override;
    void EnterThermalView() override;
    void LeaveThermalView(int light) override;
    void PushOverlayColor(int frames, float a, float b, float c, float d) override;
    void PopOverlayColor() override;

    // Cell grid.
    int CollectActorsNear(uint8_t column, uint8_t row, uint8_t radius, DWORD_PTR* out, int capacity,
                          int skipFlagged) override;
    uint8_t GetCellItemCount(DWORD cell) override;
    int16_t GetCellItemMaterial(DWORD cell, DWORD item) override;
    void GetCellItemPosition(DWORD cell, DWORD item, float* x, float* z) override;
    float GetCellItemFactor(DWORD cell, DWORD item) override;
    int SetCellItemHidden(DWORD cell, DWORD item, int enable) override;
    int8_t GetCellFlags(DWORD cell) override;
    void SetCellFlags(DWORD cell, uint8_t flags) override;
    float GetHeightSample(DWORD index) override;
    int16_t PickCellItem(float x, float z) override;
    int PickCellItemEx(float x, float z, int16_t value) override;
    void SetCellItemMaterial(DWORD cell, DWORD item, int16_t value) override;
    // The height table's second copy; null before a map session's level 0.
    void* GetMapRecordBase() override { return m_heightCopy.empty() ? nullptr : m_heightCopy.data(); }
    int16_t GetMapRecordCount() override;
    void* GetMapRecord(int16_t index) override;
    int16_t GetMapSoundCount() override;
    void* GetMapSound(int16_t index) override;

    // Ground and surface queries.
    float GetGroundHeightBelow(double x, double y, double z) override;
    float GetGroundHeight(double x, double z) override;
    void GetGroundTexCoords(double x, double z, double* u, double* v) override;
    double GetSurfaceHeight(double x, double z) override;
    void GetGroundAndWaterBelow(double x, double y, double z, double* heights, double* normals) override;
    DWORD GetGroundHeightsByFlags(double x, double y, double z, int count, double* heights, const uint8_t* masks,
                                  const uint8_t* modes, double* normals) override;
    void GetGroundAndWaterHeightBelow(double x, double y, double z, double* heights) override;
    void GetGroundInfo(double x, double z, double* heights) override;

    // World trace.
    void ClearVisitedMarks() override;
    int TraceWorld(const float* to, const float* from, float radiusFrom, float radiusTo, DWORD flags) override;
    YTraceResult* GetTraceResult() override { return m_traceResult; }

    // Per-cell actor registry.
    int RemoveActorFromCell(void* identity, int16_t column, int16_t row) override;
    int RemoveActorAt(void* identity, double x, double z) override;
    void AddActorToCell(void* identity, uint8_t flags, int16_t column, int16_t row) override;
    void AddActorAt(void* identity, uint8_t flags, double x, double z) override;
    int MoveActorBetweenCells(void* identity, int16_t oldColumn, int16_t oldRow, int16_t column,
                              int16_t row) override;
    int MoveActorTo(void* identity, double oldX, double oldZ, double x, double z) override;

    // Operations after those of the interface.  Those of the map session
    // and the frame road answer as they do without a map session.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
    // 1 when the device lists a texture format with the record's flags,
    // and its bit count and masks where the flags name them.
    virtual int FindTextureFormat(const DDPIXELFORMAT* format);
    // mode 0 value equals mask, 1 every bit of mask set, 2 a bit shared; else false.
    virtual bool TestFlagMask(DWORD value, DWORD mask, int mode);
    virtual int16_t GetCellItemMaterialEx(DWORD cell, DWORD item);
    virtual float GetCellItemFactorEx(DWORD cell, DWORD item);

#pragma GCC diagnostic pop

    // ---- Asset tables and the map set-up ------------------------------
    // Textures by name: "file;PATH" (a ".ytx" file), "cmd;NAME;000;W;H;PATH"
    // (a work texture of that size) or a catalog texture handler, which
    // draws one of today's variants by weight on every request.
    int LoadCatalogTextures(const char* name, DWORD value, int redirect) override;
    virtual int LoadCommandTexture(const char* text, DWORD value, int redirect);
    // A new handle on the model of the file (loaded once), null when it
    // cannot be loaded.
    YSMHandle* CreateModelHandle(const char* path) override;
    // The catalog model table index of the type-19 item, or -1.
    int16_t FindOrAddModel(const char* name) override;
    virtual void PlaceTrees(uint8_t fill);
    virtual int CreateShadowTable();
    virtual int SetupModels();
    virtual int SetupMRMModels();
    virtual void CollectItemsNearVertices(uint8_t count);
    // The 8-bit table hash; letters hash without regard to case.
    static uint8_t HashLowerName(const char* name);
    // The text up to and including the last "\" or "/" ("" when none).
    static YString FolderOf(const char* path);
    // "file;" paths: the text up to its last "." (in the file name only),
    // then ".ytx".
    static YString TexturePathOf(const char* path);
    // The three decimal numbers of a colour tag packed as 0xRRGGBB; false
    // when the text has fewer than three.
    static bool ParseRGB(const char* text, uint8_t rgb[3]);
    // The parts of a command texture text; false for a text the request
    // refuses (missing parts, format other than "000", sizes below 1).
    static bool ParseCommandText(const char* text, int32_t* width, int32_t* height, YString* file);
    // The session option words the set-up reads.
    enum {
        kViewDistanceWord = 1,
        kTextureQualityWord = 2,
        kSoftenWord = 3,
        kDetailTexturesWord = 9,
        kSingleFormatWord = 10,
        kSkyWord = 12,
        kFogWord = 13,
        kVideoMemoryWord = 23,
        kDayWord = 35,
    };
    enum { kMaxCellItems = 255, kMaxVertexItems = 255, kShadowSlots = 56, kWorkSlots = 3, kPlacedKind = 5 };
    static const int16_t kTextureNotLoaded = -100;

    struct TextureHandlerVariant {
        int32_t weight = 0;
        int16_t texture = kTextureNotLoaded;
        YString name;  // "file;" + the variant's file
        uint8_t hash = 0;
    };
    struct TextureHandlerEntry {
        YString name;  // reversed
        int32_t valid = 0;
        int32_t count = 0;
        int32_t weightSum = 0;
        DWORD value = 0;
        std::vector<TextureHandlerVariant> variants;
        uint8_t hash = 0;
    };
    struct CatalogModelEntry {
        YModel* resource = nullptr;  // held from the catalog
        YString name;
        uint8_t hash = 0;
        std::vector<YSMHandle*> handles;  // owned
    };
    using ShadowSlot = YD3D6ShadowEntry;
    using Background = YD3D6SkyPeriod;
    using Cloud = YD3D6CloudPlane;
    // The session's texture formats and filter classes, from the device.
    void ChooseTextureFormats();
    void BuildTextureClasses();
    // The lock of a texture entry, null for none.
    YD3D6Lock* GetTextureLock(int16_t texture) const;
    const YD3D6TextureItem* GetTextureItem(int16_t texture) const;
    int16_t GetTextureCount() const { return static_cast<int16_t>(m_textures.size()); }

    std::vector<TextureHandlerEntry*> m_textureHandlers;
    std::vector<CatalogModelEntry*> m_catalogModels;  // removed entries are null
    std::vector<ShadowSlot> m_shadowSlots;
    std::vector<YD3D6ShadowWorkTexture> m_workSlots;
    std::vector<Background> m_backgrounds;
    int32_t m_backgroundsOn = 0;
    int32_t m_fogOn = 0;
    float m_fogRange[2] = {0.0f, 0.0f};
    float m_fogFactors[3] = {1.0f, 1.0f, 1.0f};
    float m_fogStartFactor = 1.0f;
    uint32_t m_clearColour = 0x6497DA;
    std::vector<Cloud> m_clouds;
    int16_t m_flareTexture = -1;
    // Texture pixel formats of the session: opaque, alpha, default, spare.
    DDPIXELFORMAT m_opaqueFormat, m_alphaFormat, m_defaultFormat, m_spareFormat;
    DDPIXELFORMAT m_format565;
    int32_t m_has16Alpha = 0;
    int32_t m_textureQuality = 1;
    YTexStates m_opaqueClass, m_alphaClass, m_treeClass;
    int16_t m_groundTexture = -1;
    int16_t m_waterTexture = -1;
    std::vector<int16_t> m_mapTextureHandlers;  // per map texture: its handler entry, or -1
    std::vector<float> m_treeFactorC, m_treeFactorD;
    std::vector<YSMHandle*> m_ownedTreeModels;  // the tree model handles the set-up made
    std::vector<YSMHandle*> m_mrmHandles;  // owned, the placed MRM models'
    std::vector<YRenderInstance*> m_placedStore;  // owned placed objects
    // Trees in reach of each master vertex, and each vertex's shade byte.
    std::vector<uint8_t> m_vertexItemCounts;
    std::vector<std::vector<const YCellItem*>> m_vertexItems;
    std::vector<uint8_t> m_vertexShade;
    // Visible-cell lists of the frame road, sized by the view distance.
    int32_t m_viewCells = 0;
    int32_t m_popUpDistance = 0;
    int32_t m_visibleCellCapacity = 0;
    // Dates the texture handlers' variants; the day of the year.
    int32_t m_day = 0;
    // Tree items per cell while trees are placed (count, then fill).
    std::vector<uint8_t> m_cellItemCounts;
    // Lookup tables of the frame road: i x 256, i, and the bits of a byte.
    float m_lookupScaled[256];
    float m_lookupPlain[256];
    float m_lookupBits[256][8];
    std::vector<uint16_t> m_visibleCells[3];
    std::vector<float> m_visibleRecords[2];  // four values a cell
    // The frame road's fixed work buffers, in order: billboard records, work
    // buffer 2, alpha vertices, work buffers 4 to 6, alpha records, opaque
    // records.  Then the vertex scratch buffer that the seven scratch
    // pointers share and the index scratch buffer.  Sized once a map session.
    enum { kFrameBuffers = 8, kScratchPointers = 7, kShadowCasters = 80 };
    static const uint32_t kFrameBufferBytes[kFrameBuffers];
    static const uint32_t kVertexScratchBytes = 1441792;
    static const uint32_t kIndexScratchBytes = 131072;
    // size is the buffer's bytes in the records' stored form; capacity the
    // records it holds (their form here may be larger).
    struct FrameBuffer {
        std::unique_ptr<uint8_t[]> bytes;
        uint32_t size = 0;
        uint32_t capacity = 0;
        void Allocate(uint32_t n, uint32_t recordBytes = 1, uint32_t heldBytes = 1);
        void Free();
        template <class T>
        T* As() const
        {
            return reinterpret_cast<T*>(bytes.get());
        }
    };
    // Each buffer's record: its stored bytes and its size here.
    static const uint32_t kFrameRecordBytes[kFrameBuffers];
    static const uint32_t kFrameRecordHeld[kFrameBuffers];
    void AllocateFrameBuffers(const uint32_t bytes[kFrameBuffers]);
    FrameBuffer m_frameBuffers[kFrameBuffers];
    FrameBuffer m_vertexScratch;
    uint8_t* m_scratch[kScratchPointers] = {};
    FrameBuffer m_indexScratch;
    std::vector<YD3D6ShadowCaster> m_shadowCasters;
    void FreeFrameBuffers();
    // Device states as last sent through the caches; -1 where not known, so
    // that the next change of such a state is always sent.
    enum { kCachedRenderStates = 256, kCachedStages = 8, kCachedStageStates = 32 };
    int64_t m_renderStateCache[kCachedRenderStates];
    int64_t m_stageStateCache[kCachedStages][kCachedStageStates];
    // A state goes to the device unless the cache knows the device holds
    // that value already; states beyond the caches always go.
    HRESULT SetRenderStateCached(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT SetTextureStageStateCached(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value);
    void ForgetCachedStates();
    YCatalog* m_modelCatalog = nullptr;       // the catalog the models came from

private:
    int16_t AddTextureEntry(YD3D6Lock* lock, const char* requestName);
    YD3D6Lock* NewLock(bool commandTexture, int32_t width, int32_t height);
    int LoadFileTexture(const char* path, DWORD value, int redirect, const char* requestName);
    int LoadHandlerTexture(const char* name, DWORD value);
    void SetupTextures();
    void SetupCells();
    void SetupSky();
    void SetupTreeTypes();
    void ShadeVerticesByTrees(float offset);
    void FreeMapSetup();
    int Hunt_SetupBackground();
    YRenderInstance* NewPlacedObject(YSMHandle* handle, const YMapVT3Model_Output& output);
    // The texture file, else the file of that name the catalog's search finds.
    bool OpenTextureStream(CFile& stream, const YString& file) const;
    bool CatalogFileExists(const char* name) const;
public:
    // The catalog's file of that name (the map's sky and marks load by it).
    YString FindCatalogFile(const char* name) const;

    // 1 when (px, pz) lies in the x-z projection of the triangle a, b, c
    // (edges and corners included), with the plane's height there in *height.
    static int TestCellTriangle(float px, float pz, const YCellPlane& plane, const float* a, const float* b,
                                const float* c, float* height);

    // The terrain cells of a map: the master vertex list and every cell's
    // polygons with their planes and layers, scaled to render units, and
    // each cell's water class.  0 (and no grid) for a map without cells or
    // a scale that is not positive and finite.
    int BuildTerrainCells(const YMapVT3& map, float scale);
    // Frees the grid, its polygons, items and actor lists.
    void FreeCellGrid();
    bool HasGrid() const { return !m_cells.empty(); }
    uint32_t GridColumns() const { return m_gridWidth; }
    uint32_t GridRows() const { return m_gridHeight; }
    float CellSize() const { return m_cellSizeRender; }  // render units
    // The cell index of a point, or -1 outside the grid (truncation toward zero).
    int32_t CellIndexOf(float x, float z) const;
    // The cell under a point, clamped to the border cells (NaN gives 0).
    uint32_t ClampedCellOf(double x, double z) const;

    // A point of the terrain decal projection.
    struct YGroundPoint {
        float position[3];
        float normal[3];
        float uv[2];
        float uv2[2];
    };
    // The highest ground under (x, z) fills the point (position, normal,
    // second pair = first); 0 and the point untouched when there is none.
    int WalkCellTriangles(float x, float z, YGroundPoint* point);
    // The texture pair at q of the triangle p0, p1, p2 (q projected along the normal).
    static void InterpolateTriangleUV(const float* p0, const float* p1, const float* p2, const float* q,
                                      const float* t0, const float* t1, const float* t2, float* out);

    // Visited marks of a trace: 1 when the key was already marked, else marks it.
    int MarkVisited(uint32_t key);
    int MarkVisitedWithValue(uint32_t key, DWORD value);
    void ClearVisitedList();
    void ResetVisitedBitmap();
    // Segment tests.  The ray o + t d against a triangle (t, u, v out).
    static int IntersectRayTriangle(const float* o, const float* d, const float* a, const float* b, const float* c,
                                    float* t, float* u, float* v);
    // The same with plain arithmetic, refusing |det| below 1e-9.
    static int IntersectRayTriangleEps(const float* o, const float* d, const float* a, const float* b,
                                       const float* c, float* t, float* u, float* v);
    static int IntersectRayTriangleEps(const double* o, const double* d, const double* a, const double* b,
                                       const double* c, double* t, double* u, double* v);
    // A segment against the box [0, size] (points relative to its minimum
    // corner): 0 a miss, -1 both points inside, -2 the start inside only,
    // else the face entered (1 x = 0, 2 x = size, 3 z = 0, 4 z = size,
    // 5 y = 0, 6 y = size) with the entry point.
    static int SegmentBox(const float* start, const float* end, const float* size, float* point);
    // The point p (relative to the start) against the segment d.
    static int PointSegmentDistance(const float* p, const float* d, float* t, float* distance2);
    // Where the segment enters the circle about centre in the x-z plane, as
    // the smaller root t in (0, 1].
    static int SegmentCircleXZ(const float* start, const float* end, const float* centre, float radius, float* t);
    // The cells the last trace collected, in order.
    const std::vector<uint32_t>& GetTraceCells() const { return m_traceCells; }

    // The head of a cell's actor list; null for an empty or unknown cell.
    YCellActor* GetCellActors(uint32_t cell) const;
    // The column and row of a position, truncated toward zero (may lie outside the grid).
    void CellOf(double x, double z, int16_t* column, int16_t* row) const;

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
    // The four values of a tree model type: reach and height of the groups
    // flagged 0x10, then of those flagged 0x02, in render units.
    static void TreeModelValues(const YSMHandle& handle, float values[4]);
    // The bits of a float, as float render states take them.
    static DWORD FloatBits(float value);
    // Word i of the engine's session descriptor; word 0 is the map path,
    // read as a number (the model viewer's size).
    static int32_t SessionWord(const YSessionDesc* desc, int word);

    enum {
        kSessionWords = 36,
        kViewerWords = 20,
        kRenderRecordsWord = 4,
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

    // The map grid; cell index = row x width + column.
    std::vector<YMapCell> m_cells;
    std::vector<YCellPolygon> m_groupPolygons;  // one per map group; the cells point into it
    std::vector<YMapVT3Vertex> m_mapVertices;  // render units
    float m_gridOrigin[3] = {0.0f, 0.0f, 0.0f};
    std::vector<float> m_heightTable;          // 65536 entries once a map is set up
    std::vector<float> m_heightCopy;           // the same, copied at map level 0
    // The map's corner heights, (width + 1) x (height + 1); from level 1 on,
    // at each cell's index, the greatest height of its water (0 for none).
    std::vector<float> m_waterHeights;
    bool m_mapKept = false;                    // a map object is kept
    std::vector<YMapVT3Sound_Output> m_mapSounds;
    // Tree types: below m_spriteTypeCount sprite types with a texture each
    // (0xFFFF none), from there on model types with a handle each.
    int16_t m_spriteTypeCount = 0;
    std::vector<uint16_t> m_spriteTextures;
    std::vector<YSMHandle*> m_treeModels;
    // Per tree type: A the width (the reach), B the height; C and D repeat
    // them for a sprite with a second image (the item factors read them).
    std::vector<float> m_treeFactorA, m_treeFactorB;
    // Per-cell actor lists, one head per cell.
    std::vector<YCellActor*> m_cellActors;
    // The model viewer's flat list instead.
    struct ViewerActor {
        float x, z;
        void* id;
        uint8_t flags;
        DWORD word;
    };
    std::vector<ViewerActor> m_viewerActors;
    // World trace state.
    YTraceResult* m_traceResult = nullptr;
    std::vector<uint8_t> m_visitedCells;  // one per cell
    std::vector<uint8_t> m_visitedKeys;   // one per terrain group
    std::vector<uint32_t> m_visitedList;
    std::vector<DWORD> m_visitedValues;
    std::vector<uint32_t> m_traceCells;

private:
    void CollectTraceBlock(int32_t column, int32_t row);
    void CollectTraceCells(const float* to, const float* from);
    // The cylinder test of a sprite tree.
    void TraceSpriteTree(const YTraceRequest& q);
    void TraceTerrain(const float* from, DWORD flags);
    struct GroundWater;
    // Calls f(polygon, a, b, c, plane, height) for every triangle of the
    // cell under (x, z) that contains the point.
    template <class F>
    void WalkTriangles(double x, double z, F f) const;
    GroundWater FindGroundAndWater(double x, double z, double limit) const;

public:
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
    // Copies the texture's pixels from or to the surface with the GDI.
    int BlitTexture(int16_t texture, IDirectDrawSurface7* surface, bool intoTexture);
    void SetAmbientColor(float r, float g, float b);
    void SaveAmbientColor();
    int AddModeLight(float r, float g, float b);

public:
    // World trace: the model collision walk and what it reads.
    // Tests the request's object (a sprite tree, a model tree or a
    // registered object with its attached ones) and updates the result.
    void CollideModelNode(YTraceRequest& request);
    // Where the segment start -> end crosses the segment a -> b in the x-z
    // plane: t along the first, s along the second, both in [0, 1].
    static int SegmentBillboard(const float* start, const float* end, const float* a, const float* b, float* t,
                                float* s);
    // The texture lock of a sprite type, or null.
    YD3D6Lock* GetSpriteLock(uint16_t type) const;
    // A sprite type whose texture is tagged "TXT-IsCrop" = "yes".
    bool IsCropSprite(uint16_t type) const;
    // The model handle of a model tree type, or null.
    YSMHandle* GetTreeModel(uint16_t type) const;
    // Model trees farther than this use their far type; nothing changes it.
    float m_farTreeDistance = 0.0f;

private:
    void TraceSpriteBillboard(const YTraceRequest& q);
    void StoreTreeHit(const YTraceRequest& q, DWORD code, const float* point, float distance2, float height, float u,
                      float v);

    // ---- The frame road (frame/) --------------------------------------
public:
    // Frame driver.
    int BeginMapScene();
    void Hunt_RenderFrame();
    void EndMapScene();
    // A map frame into a rectangle of the render surface, copied into the
    // texture; 1 when drawn at the surface origin, 0 in view rectangle B or
    // for a bad texture or rectangle.
    int RenderMapTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions);
    // Stages that later road works fill.
    virtual void RenderSky();
    virtual void UpdateShadows();
    virtual void DrawImmediateTriangles();
    virtual void RenderCameraSpaceModels();
    virtual void RenderFlaresAndOverlay();
    virtual void DrawCellObjects();
    virtual void DrawModelHandle(YD3D6DrawContext* context, int level);

    // ---- Time-of-day sky, shadow pool and shadow casting (frame/) -----
    // The second of the day on the renderer's clock.
    int SecondOfDay() const;
    // The current period in pair[0], the one blended towards in pair[1]
    // (equal when none) and the blend weight 0..255.
    virtual void FindTimeOfDayPeriods(uint8_t* blend, int32_t pair[2]) const;
    // The five faces of a period, colour 0x00RRGGBB under alpha.
    virtual void DrawSkyBox(int32_t period, float radius, uint32_t colour, uint8_t alpha);
    virtual void DrawCelestialObjects(float radius);
    virtual void DrawCelestialObject(float radius, int index);
    virtual void DrawCloudPlanes(float radius);
    // A night-fading object's alpha by its time value; 255 for the others.
    static uint8_t CelestialAlpha(const YD3D6CelestialObject& object);
    // The four strip vertices of an object's square (position, normal,
    // diffuse, one texture pair).
    static void CelestialSquare(const YD3D6CelestialObject& object, float radius, void* out);
    enum { kCloudVertices = 17, kCloudIndexCount = 72 };
    static const uint16_t kCloudIndices[kCloudIndexCount];
    static void CloudVertices(const YD3D6CloudPlane& cloud, float radius, YAlphaVertex* out);

    // The shadow tick and its pool.
    enum { kShadowKindLimit1 = 100 };
    static const float kShadowLight[3];
    virtual void ClearFlaggedShadows();
    virtual void FreeShadowGeometry(YD3D6ShadowEntry& entry);
    virtual void SetCasterShadowSlot(YD3D6ShadowCaster& caster, int16_t slot);
    // Milliseconds of the shadow ageing (the platform's timeGetTime).
    virtual uint32_t ShadowClock() const;
    // Shadow casting.
    virtual void CastShadow(YD3D6ShadowCaster& caster, const float* light, YD3D6ShadowWorkTexture* work,
                            YD3D6ShadowEntry& entry, int32_t number);
    virtual void GetCasterBounds(YD3D6ShadowCaster& caster, float* min, float* max, uint8_t* empty);
    virtual bool TraceShadowRay(const float* point, const float* direction, float maxDistance2,
                                YD3D6ShadowCaster& caster);
    virtual void BuildShadowProjection(YD3D6ShadowCaster& caster, const float* light);
    virtual void CollectShadowReceivers(YD3D6ShadowCaster& caster);
    virtual void BuildShadowGeometry(YD3D6ShadowCaster& caster, YD3D6ShadowEntry& entry);
    virtual void RenderShadowTexture(YD3D6ShadowCaster& caster, YD3D6ShadowWorkTexture* work, YD3D6ShadowEntry& entry,
                                     float fade, const float* matrix);
    virtual void CountCasterGeometry(YD3D6ShadowCaster& caster, int32_t* vertices, int32_t* triangles);
    virtual void ProjectCasterGeometry(YD3D6ShadowCaster& caster, std::vector<int32_t>& points,
                                       std::vector<int32_t>& triangles, int32_t* base, int32_t* count,
                                       const float* matrix, float scaleX, float scaleY);
    // The grid's triangles of a cell, in item order: f(polygon, plane, three positions).
    template <class F>
    void ForShadowCellTriangles(int32_t column, int32_t row, F f) const;
    // The fade table of the last silhouette, one weight a texture row.
    std::vector<uint16_t> m_shadowFade;
    // The light level the silhouette's shade is made from (0: full shade).
    float m_shadowLightLevel = 0.0f;
private:
    void DrawSkyVertices(YD3D6Lock* lock, bool blended, const void* vertices);
public:
private:
    void DrawPrimitiveSet(YD3D6DrawContext* context, int level);
    void DrawModelRecord(YD3D6DrawContext* context, int level);
    void DrawModelChildren(YD3D6DrawContext* context, int level, const YTransformedVertex* block);
    float DepthKey(const YD3D6DrawContext& context, const float* point) const;
    YAlphaVertex* AddAlphaVertices(uint32_t n, uint32_t* first);
    YTransformedVertex* AddTransformedVertices(uint32_t n);
    int32_t AddModelGroupRecord(const void* source, const YTransformedVertex* block, float distance);
public:
    // Sends the fixed lights to the device, brings the flare sources to the
    // time of day and lights their device lights after the fixed ones.
    void UpdateDayLights();
    // Milliseconds each stage of the last map frame took, on the real clock.
    enum {
        kStageDayLights, kStageSky, kStageClear, kStageTerrain, kStageCellObjects, kStageSceneObjects,
        kStageShadows, kStageSort, kStageOpaque, kStageImmediate, kStageAlpha, kStageCameraSpace,
        kStageFlares, kStageVisibleCells, kStageCount
    };
    static const char* const kStageNames[kStageCount];
    double m_stageMs[kStageCount] = {};

    // Map shot view and view-distance buffers.
    void SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd) override;
    // Frees and sizes the cell lists and work buffers for view distance d.
    void ResizeFrameBuffers(int32_t viewDistance);
    // Entries of each visible-cell list for view distance d.
    static int32_t VisibleCellCapacity(int32_t viewDistance);
    // The widest shot view: its lists stay within 16-bit cell indices.
    static int32_t MaxShotDistance();
    struct SavedView {
        int32_t viewDistance = 0;
        int32_t farDistance = 0;
        float fogStart = 0.0f;
        float fogEnd = 0.0f;
        bool saved = false;
    };
    SavedView m_savedView;

    // Visible cells and the terrain pass.
    void ComputeVisibleCells();
    void CollectTerrainPolygons();
    int32_t m_visibleCounts[3] = {0, 0, 0};  // all, with water, with actors
    // Entries of the animated texture-offset table: u, v and a spare.
    enum { kTextureOffsets = 16 };
    float m_textureOffsets[kTextureOffsets][3] = {};
    int32_t m_oneRecordPerLayer = 0;
    // The camera's forward vector from its yaw and pitch.
    void ViewVector(float out[3]) const;
    // A terrain vertex's normal, kept in its three further words.
    static void TerrainNormal(const YMapVT3Vertex& vertex, float out[3]);
    // The texture is drawn in the alpha pass.
    bool IsTranslucent(int16_t texture) const;

    // Scene objects, sorting and the two passes.
    enum { kBillboardCount, kWorkCount2, kAlphaVertexCount, kWorkCount4, kWorkCount5, kAlphaRecordCount,
           kOpaqueRecordCount, kWorkCount8, kFrameCounters };
    int32_t m_frameCounters[kFrameCounters] = {};
    void ResetFrameCounters();
    void DrawSceneObjects();
    void SortOpaqueRecords();
    void SortAlphaRecords();
    void DrawOpaqueRecords();
    void DrawAlphaRecords();
    // Sends the states of a texture's stage chain (its lock, then its
    // detail lock) that the device does not hold yet; null clears stages 0 and 1.
    void ApplyMaterialStates(const YD3D6Lock* record);
    // The frame's opaque and alpha lists and buffers, as far as filled.
    YOpaqueRecord* OpaqueRecords() const { return m_frameBuffers[7].As<YOpaqueRecord>(); }
    YAlphaRecord* AlphaRecords() const { return m_frameBuffers[6].As<YAlphaRecord>(); }
    YAlphaVertex* AlphaVertices() const { return m_frameBuffers[2].As<YAlphaVertex>(); }
    YBillboardRecord* BillboardRecords() const { return m_frameBuffers[0].As<YBillboardRecord>(); }
    // Appends a record when the list has room; null when full.
    YOpaqueRecord* AddOpaqueRecord(int16_t texture, uint16_t vertices, uint8_t kind, uint8_t sub);
    YAlphaRecord* AddAlphaRecord(float key, int16_t texture, uint16_t kind, const void* data);
    // The scene-object switches are words of the map session's descriptor:
    // model detail "APP_PTREES" (31) and billboard detail "APP_STREES" (32),
    // levels 0 to 5; the distance cache "APP_LOD" (33); the far classes, level
    // of detail, "APP_BILLBOARD" (34); extra detail the map's soften word (3).
    enum {
        kModelDetailWord = 31,
        kBillboardDetailWord = 32,
        kDistanceCacheWord = 33,
        kLevelOfDetailWord = 34,
        kExtraDetailWord = kSoftenWord,
    };
    // The detail classes (flags word mod 4) a detail level shows.
    static void DetailMask(int32_t level, bool extra, uint8_t mask[4]);
    int32_t m_distanceCacheFilled = 0;
    // How much of a billboard from base to base + height lies under water.
    static float WaterFraction(float water, float base, float height);
    YRenderInstance m_sceneRecord;  // the model item being drawn
    float m_swapDistance = 0.0f;  // nothing sets it
    // The device state caches beyond the render and stage states.
    struct MaterialCache {
        int32_t nextStage = -1;
        int32_t lighting = -1;
        int32_t materialFlag = 0;
        int32_t fill = -1;
        int32_t uvGen = 0;
        int32_t uv2Gen = 0;
        float scaleU[2] = {1.0f, 1.0f};
        float scaleV[2] = {1.0f, 1.0f};
    };
    MaterialCache m_materialCache;
    // The billboard normal every billboard vertex takes.
    float m_billboardNormal[3] = {0.0f, 1.0f, 0.0f};

    // Model and primitive drawing into the frame lists.  The session words
    // of the key-frame blend and of the two shadow classes.
    enum { kBlendWord = 7, kShadowWord0 = 14, kShadowWord1 = 18 };
    enum { kRecordVisible = 0x1, kRecordFollowLeader = 0x10, kRecordNoShadow = 0x20, kRecordOverride = 0x40 };
    enum { kPrimitiveKind = 1, kDrawLevels = 4 };
    // Model-group records and transformed vertices live in work buffers 2
    // and 4 (their counters count records and vertices).
    YModelGroupRecord* ModelGroupRecords() const { return m_frameBuffers[1].As<YModelGroupRecord>(); }
    uint32_t ModelGroupCapacity() const { return m_frameBuffers[1].capacity / uint32_t(sizeof(YModelGroupRecord)); }
    YTransformedVertex* TransformedVertices() const { return m_frameBuffers[3].As<YTransformedVertex>(); }
    uint32_t TransformedCapacity() const { return m_frameBuffers[3].capacity / uint32_t(sizeof(YTransformedVertex)); }
    int32_t m_shadowCasterCount = 0;  // stored this frame
    // The level scratch: each level's world and rotation matrices.
    YMatrix m_levelMatrix[kDrawLevels];
    YMatrix m_levelRotation[kDrawLevels];
    // The distance-cache switch the cell-object pass saw last frame.
    int32_t m_cellDistanceSwitch = 0;
    // The world matrix of a placed record (scale, angles, position; no parent).
    static void RecordPlacement(const float* position, const float* angles, float scale, YMatrix* matrix,
                                YMatrix* rotation);

    // Lights, sun, fog and the colour rules.
    int ClearLights(int count) override;
    int GetLightCount() override;
    void* GetLight(int index) override;
    void* SetLight(int index, const void* record) override;
    int AddLight(const void* record) override;
    void RemoveLight(int index) override;
    void SetSunDirection(const float* direction) override;
    void SetFog(const DWORD* factors, const float* multipliers) override;
    void SetFogStart(float multiplier) override;
    uint32_t ShadeTerrainVertexColor(const YCellCorner& corner, uint8_t shade, uint8_t fog) const;
    uint32_t ShadeModelVertexColor(uint32_t colour, uint8_t shade, uint8_t grey, uint8_t alpha) const;
    float m_ambientLevel = 0.0f;
    float m_sunVector[3] = {0.0f, -1.0f, 0.0f};
    DWORD m_fogFactorWords[3] = {0, 0, 0};
    float m_shadeStrength = 1.0f;

    // Lens-flare sources: the map's celestial objects.
    int InsertFlareElement(int source, const void* element) override;
    int GetFlareElementCount(int source) override;
    void* GetFlareElement(int source, int element) override;
    int RemoveFlareElement(int source, int element) override;
    int RemoveFlareSource(int source) override;
    void UpdateFlareSource(int source, int seconds, void* target) override;
    YD3D6CelestialObject* GetCelestialObject(int source) const;
    void FreeFlareSources();
    static YFlareElement FlareElementOf(const CelestialObject& object, const std::vector<uint16_t>& images);
    // The day of the moon's month (0 to 29, below 0 for some dates) on a date.
    static int MoonPhaseDay(int year, int month, int day);
    void ApplyMoonPhase(YD3D6CelestialObject& moon, YFlareElement& out);
    std::vector<std::unique_ptr<YD3D6CelestialObject>> m_celestials;
    float m_rememberedSun[3] = {0.0f, 0.0f, 0.0f};
    float m_lightTint[3] = {1.0f, 1.0f, 1.0f};

    // Ground marks in a ring of the session's render records.
    void ProjectOntoTerrain(YRenderInstance* request) override;
    void ProjectOntoSurface(YRenderInstance* request) override;
    // Cuts terrain edge a-b (positions) into a mark's mesh; the triangle count.
    int SplitDecalByEdge(std::vector<YAlphaVertex>& vertices, std::vector<int16_t>& triangles, const float* a,
                         const float* b);
    static void ClipFootprintEdge(const YAlphaVertex& a, const YAlphaVertex& b, const YAlphaVertex& c,
                                  YAlphaVertex* vertex);
    // The pieces of a triangle inside the unit square of texture space,
    // three vertices each into out (room for five); 0 when none.
    static int ClipDecalTriangle(const YAlphaVertex* triangle, YAlphaVertex* out);
    // The slot a new mark takes (its old mark cleared), -1 without a ring.
    int32_t TakeDecalSlot(int32_t slot);
    void ClearDecalSlot(int32_t slot);
    YDecalMesh* DecalMesh(int32_t slot) const;
    void FreeDecalRing();
    bool DecalSize(const YRenderInstance& request, float* halfWidth, float* halfDepth) const;
    YRenderInstance* PlaceDecalRecord(const YRenderInstance& request, int32_t slot, const float* centre, float angle);
    template <class F>
    void ForDecalPolygons(float minX, float minZ, float maxX, float maxZ, F f);
    const float* VertexPosition(uint32_t index) const
    {
        return index < m_mapVertices.size() ? &m_mapVertices[index].m_x : nullptr;
    }
    int32_t m_decalNext = 0;
    int32_t m_decalUsed = 0;

    // ---- Glare and overlay, camera-space models, model decals and the
    // model viewer (frame/) ------------------------------------------------
    // Scales of every source's glare: strength, reach and exponent; and of
    // its glare colour: red, green, blue.
    float m_glareScales[3] = {1.0f, 1.0f, 1.0f};
    float m_glareColourScales[3] = {1.0f, 1.0f, 1.0f};
    // The glare alpha (0..255 x strength) of a source at d = cos of its angle
    // off the view axis; 0 where none shows.
    static float GlareAlpha(float d, float reach, float exponent, float strength);
    // Washes the whole view with the colour (a triangle in front of the
    // stage's camera).
    void DrawScreenWash(uint32_t colour);
    // The pose a handle shows: its key frame, the next one and the blend
    // towards it (none when interpolate is off); false when the handle or
    // its animation cannot be drawn.
    struct FrameChoice {
        const YSMFrame* frame = nullptr;
        const YSMFrame* next = nullptr;
        float blend = 0.0f;
    };
    static bool SelectModelFrame(const YSMHandle& handle, bool interpolate, FrameChoice* out);
    // The world and normal matrices of a model record drawn in the parent
    // space (matrix, rotation), as the model draw places it.
    static void PlaceModelRecord(const YRenderInstance& record, const YSMHandle& handle, const FrameChoice& pose,
                                 const YMatrix& parent, const YMatrix& parentRotation, YMatrix* world,
                                 YMatrix* rotation);
    static float ModelRecordScale(const YRenderInstance& record, const YSMHandle& handle, const FrameChoice& pose);
    // The space of a child record hanging from a model drawn with (world,
    // rotation, scale) in the pose; false where it takes the parent's.
    static bool PlaceChildRecord(const YRenderInstance& child, const YSMHandle& parent, const FrameChoice& pose,
                                 const YMatrix& world, const YMatrix& rotation, float savedScale, YMatrix* matrixOut,
                                 YMatrix* rotationOut, float* scaleOut);
    // Model decals.  Projects the texture onto the placed model along the
    // line origin -> hit; 1 when the walk ran, 0 when refused.
    int AddModelDecal(YRenderInstance* instance, int16_t texture, const float* hit, const float* origin, float size,
                      float roll) override;
    struct DecalWalk {
        YRenderInstance* record = nullptr;
        YMatrix matrix;
        YMatrix rotation;
        float scale = 1.0f;
        int32_t interpolate = 0;
        int32_t level = 0;  // as deep as the model draw goes
    };
    void AddDecalToNode(DecalWalk* walk, int16_t texture, const float* hit, const float* origin, float width,
                        float roll);
    // Mode 1 adds the shadow marker once; any other mode removes it.
    int MarkModelShadows(YSMHandle* handle, DWORD mode);
    // The model viewer.
    int YSMV_Init();
    void SetViewerRenderStates();
    void YSMV_RenderFrame();
    // 0 for a bad texture and for a view drawn inside the current view; no
    // caller may take it for success.
    int RenderViewerTextureFrame(int16_t texture, float projection1, float projection2, const float* fractions);
    void SetViewerLights();
    void ClearViewer();
    void DrawViewerActors();
    void BeginViewerFrame() {}
    void EndViewerFrame() {}
    // The texture-format settings of the viewer, clamped by its start:
    // alpha textures (0..1) and quality (0..2).
    int32_t m_iSoftenLevel = 0;
    int32_t m_iTexQuality = 1;
    int32_t m_twoStageTexturing = 1;
    DDPIXELFORMAT m_screenFormat;
    int32_t m_viewerClear = 1;
    uint32_t m_viewerClearColour = 0;
};
