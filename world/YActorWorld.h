// An actor world: the slots of its actors (a slot index is an actor's
// identity inside the world), the view actor and the camera it drives, the
// tether, the model cache, the actors' registration in the renderer's actor
// grid, and the terrain, water, grid, placement and trace queries in metres.
#pragma once

#include <cstdint>

#include "foundation/YMatrix.h"
#include "foundation/YString.h"
#include "foundation/YVector.h"
#include "platform/mfc.h"

class YActor;
class YParser;
class YSMHandle;
struct YTraceResult;

// A model name and the model index the renderer gave it.
class YCacheTexture : public CObject {
public:
    YCacheTexture(const char* name = "", int16_t index = -1) : m_name(name), m_index(index) {}
    YString m_name;
    int32_t m_word = -1;
    int16_t m_index;
};

class YActorWorld : public CObject {
    DECLARE_SERIAL(YActorWorld)
public:
    typedef void (*MoveCallback)(YActor* actor, const YVector& newPosition, const YVector& previousPosition);

    // The renderer's ground record in metres: ground height, water-surface
    // height (the ground where there is no water), then the renderer's own.
    struct GroundSample {
        double ground;
        double water;
        double more[6];
    };

    // Render units per metre.
    static constexpr float kRenderScale = 16.0f;
    static constexpr float kMetresPerUnit = 1.0f / kRenderScale;
    enum { kDefaultCapacity = 256, kGrowBy = 32 };

    YActorWorld();
    ~YActorWorld() override;
    YActorWorld(const YActorWorld&) = delete;
    YActorWorld& operator=(const YActorWorld&) = delete;

    void Serialize(CArchive& ar) override;

    virtual void Reset();
    // The scene argument is ignored: the engine's renderer is taken.
    virtual void Init(YParser* scene, void* sound, const char* name, int capacity);
    virtual YSMHandle* LoadModel(const char* name);
    virtual int16_t GetModelIndex(const char* name);
    // The slot used; -1 for null, or for a given slot whose occupant the
    // grid will not let go.
    virtual int AddActor(YActor* actor, int place = 0, int slot = -1);
    virtual int IndexOf(const YActor* actor) const;
    virtual YActor* GetActor(int index) const;
    virtual YActor* DetachAt(int index, int force);
    // Takes the actor out of its slot without deleting it; null when it is
    // not here, or when the grid refused to let it go.
    virtual YActor* Detach(YActor* actor, int force);
    virtual void UnplaceAll();
    virtual void PlaceAll();
    virtual void UnplaceEach(int ignored);
    virtual YActor* RemoveActorAt(int index, int force);
    // Detaches and deletes; an actor with the keep byte comes back alive.
    virtual YActor* RemoveActor(YActor* actor, int force);
    virtual void Clear();
    virtual void RemoveMarked();
    virtual void PurgeDestroyed();
    virtual void RemoveByName(const char* text);
    virtual void UpdateCamera(float value);
    // The previous view actor.
    virtual YActor* SetViewActor(YActor* actor);
    virtual YActor* GetViewActor() const { return m_viewActor; }
    virtual bool GetCameraTransform(YVector& position, YVector& angles);
    virtual void GetCameraAngles(float* a, float* b, float* c);
    virtual void SetCamera(const YVector& position, const YVector& angles, float p1, float p2, float p3);
    virtual void ReloadAllModels();

    // Heights in metres; 0.0 off the map and without a map.
    virtual float TerrainHeightUnder(YActor* actor);
    virtual float TerrainHeightAtPoint(const YVector& point);
    virtual float TerrainHeightAt(float x, float z);
    virtual float GroundHeightUnder(YActor* actor);
    virtual float GroundHeightAtPoint(const YVector& point);
    virtual float GroundHeightAt(float x, float z);
    virtual void SampleUnder(YActor* actor, GroundSample& sample);
    virtual void SampleAtPoint(const YVector& point, GroundSample& sample);
    virtual void TerrainSample(float x, float z, GroundSample& sample);
    virtual int GridX(const YVector& point);
    virtual int GridXOf(YActor* actor);
    virtual int GridZ(const YVector& point);
    virtual int GridZOf(YActor* actor);
    virtual int CellIndex(int column, int row);
    virtual int CellIndexAt(const YVector& point);
    virtual int CellIndexOf(YActor* actor);
    virtual bool IsWaterNear(const YVector& position, float radius);
    virtual bool IsWaterNearActor(YActor* actor, float radius);
    virtual int SurfaceAttributeUnder(YActor* actor, const char* name, char* buffer, int size);
    virtual int SurfaceAttributeAtPoint(const YVector& point, const char* name, char* buffer, int size);
    virtual int SurfaceAttributeAt(float x, float z, const char* name, char* buffer, int size);
    virtual int TextureAttribute(int16_t texture, const char* name, char* buffer, int size);
    virtual int TextureAttributeAt(int16_t texture, float u, float v, const char* name, char* buffer, int size);
    // Moves position to the nearest free, shallow enough place; unchanged
    // when the spiral reaches a quarter of the map without one.
    virtual bool FindPlacement(YActor* actor, YVector* position, float maxDistance);
    // Non-zero for a clear line. The start is clipped into the map's inner
    // band in place.
    virtual int LineTrace(YActor* ignore, YVector& from, const YVector& to, float lengthA, float lengthB,
                          DWORD flags);
    virtual bool IsLocationClear(const YVector& position, float radius);
    virtual YTraceResult* GetTraceHit();
    virtual void ClipActorToSurface(YActor* actor);
    virtual void ClipToSurface(YVector& position, bool flying, bool clipGround, bool clipWater);

    // The slot of the actor nearest to the one at the index (itself too)
    // whose name holds the text, without regard to case; -1 when none.
    virtual int FindNearestByName(int fromIndex, const char* text);
    // Nearest in the x-z plane; with mustSee, within reach and in sight.
    virtual YActor* FindNearestActor(YActor* from, float maxDistance, bool mustSee, const char* text);
    virtual int FindNextByName(int afterIndex, const char* text);
    virtual int CountByName(const char* text);
    virtual void SetMoveCallback(MoveCallback callback) { m_moveCallback = callback; }
    // The follower keeps the distance behind the leader (slot indices).
    virtual void SetTether(int follower, int leader, int distance);
    virtual void BuildParentMatrix(YActor* actor, YMatrix* matrix);
    virtual void TransformPosition(YActor* actor, YVector& position, const YMatrix* matrix);
    virtual void TransformAngles(YActor* actor, YVector& angles, const YMatrix* matrix);
    // The purge of destroyed actors, the tether and the camera.
    virtual void Refresh();
    virtual void PlaceActor(YActor* actor, const YVector* position);
    virtual bool UnplaceActor(YActor* actor);
    virtual void MoveActor(YActor* actor, const YVector& newPosition);
    virtual float ToRenderUnits(float metres) { return metres * kRenderScale; }
    virtual void OnEvent(int value);
    virtual void ResetFields();
    virtual void RecomputeTopIndex();
    virtual void ApplyTether();

    YParser*& GetScene() { return m_scene; }
    void UpdateActorCell(YActor* actor);
    // The console's look-up: the next actor after the start whose name is
    // the identifier (without regard to case), going round past the last
    // slot and ending with the start slot; -1 when none. Actors flagged for
    // destruction are not found.
    int FindActor(int start, const char* identifier) const;
    int GetHighestIndex() const { return m_topIndex; }
    int GetCount() const { return m_count; }
    int GetPendingCount() const { return static_cast<int>(m_pendingDelete.GetSize()); }
    // A map is loaded: a renderer in map mode.
    bool HasMap() const;
    // The map's extent in metres along x and z; 0 without a map.
    float MapWidth() const;
    float MapHeight() const;
    float CellSize() const;
    // Every actor of both engine worlds, and the engine, forget the actor.
    static void ForgetEverywhere(YActor* actor);

    YParser* m_scene;
    void* m_sound;
    YString m_name;
    int32_t m_count;
    int32_t m_topIndex;  // -1 while empty
    YActor* m_viewActor;
    uint8_t m_useGrid;
    float m_auxFloat;
    uint32_t m_words[3];
    float m_worldFloat;
    uint32_t m_traceMilliseconds;
    uint32_t m_traceCount;
    MoveCallback m_moveCallback;
    int32_t m_tetherFollower;
    int32_t m_tetherLeader;
    int32_t m_tetherDistance;
    YVector m_cameraOffset;  // turned with the view actor's angles
    YVector m_cameraAngleOffset;

private:
    // Every actor of this world (and those waiting to be deleted) forgets
    // the actor; the view and the tether let it go.
    void ForgetHere(YActor* actor);
    // Forgets the actor everywhere, then deletes it.
    void DestroyActor(YActor* actor);
    // The given matrix, else the actor's parent chain composed anew.
    YMatrix ParentMatrix(YActor* actor, const YMatrix* matrix);
    // The grid holds the actor nowhere any more (searched cell by cell).
    bool UnplaceByIdentity(YActor* actor);
    // Empties a slot, letting the view and the tether go.
    void EmptySlot(int index);
    void StoreAt(int slot, YActor* actor);

    CTypedPtrArray<CPtrArray, YActor*> m_actors;         // owned; null is a free slot
    CTypedPtrArray<CPtrArray, YActor*> m_pendingDelete;  // owned, still held by the grid
    CTypedPtrArray<CObArray, YCacheTexture*> m_modelCache;
};
