// An actor of a world: its name, placement and motion, its model, its two
// flag words, the sounds and decals it carries, the actors bound to it as
// children and the render record the renderer draws it by.  Positions are
// metres, angles degrees (pitch, yaw, roll); the render record holds render
// units (metres x 16) and radians.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "foundation/YVector.h"
#include "platform/mfc.h"
#include "world/YActorSound.h"
#include "world/YRenderInstance.h"

class YActorWorld;
class YSMHandle;
class YActor;

typedef CTypedPtrList<CPtrList, YActor*> YActorList;

// A decal waiting to be stamped onto the actor's model.
struct YActorDecal {
    float m_position[3] = {0.0f, 0.0f, 0.0f};  // metres
    int16_t m_angles[4] = {0, 0, 0, 0};  // degrees x 128; the fourth is the scale
    int16_t m_frame = 0;
    YVector m_placePosition;
    YVector m_placeDirection;
    uint8_t m_angleByte = 0;  // 0..255 for 0..360 degrees
    YString m_name;
    uint8_t m_placed = 0;

    // A fixed-point value: 9 integer and 7 fraction bits.
    static float FromFixed(int16_t v) { return static_cast<float>(v >> 7) + static_cast<float>(v & 127) / 128.0f; }
};

// What DrawDecals hands the renderer for one decal (render units, radians).
struct YModelDecalArgs {
    YRenderInstance* record;
    int16_t texture;
    float position[3];
    float direction[3];
    float size;
    float angle;
};

class YActor : public CObject {
    DECLARE_SERIAL(YActor)
public:
    // Flag word A.
    enum : uint32_t {
        FlagVisible = 0x1,
        FlagItterative = 0x2,
        FlagCollidePush = 0x4,
        FlagDestroyMe = 0x8,
        FlagCollide = 0x10,
        FlagClipToGround = 0x20,
        FlagClipToWater = 0x40,
        FlagClipToWorld = 0x80,
        FlagTrace = 0x100,
        FlagPitchToSlope = 0x200,
        FlagAquatic = 0x2000,
        FlagTerrestrial = 0x4000,
        FlagFaceVelocity = 0x8000,
        FlagOrientVelocity = 0x10000,
        FlagFollowTarget = 0x20000,
        FlagIsChild = 0x40000,
        FlagDescribeOffsets = 0x80000,
        FlagExtendSweep = 0x100000,  // the collision sweep reaches ahead of the move
        FlagNoMech = 0x400000,
        FlagNoUpdates = 0x800000,
        FlagNearView = 0x1000000,  // drawn 3 % of the way toward the view actor
        FlagSpriteActor = 0x2000000,
        FlagsAReset = 0x802B1,
        FlagsLostAsChild = FlagCollide | FlagClipToGround | FlagClipToWorld | FlagPitchToSlope,
    };
    // Flag word B.
    enum : uint32_t {
        FlagFlying = 0x1,
        FlagRunning = 0x2,
        FlagSlopeEffect = 0x10,
        FlagFalling = 0x20,
        FlagOnGround = 0x40,
        FlagKicking = 0x80,
        FlagWobbling = 0x100,
        FlagBobbing = 0x200,
        FlagCrouching = 0x400,
        FlagPlaneKind = 0x800,
        FlagLightFallKind = 0x10000,
        FlagPowerUpKind = 0x20000,
        FlagHeavyKind = 0x800000,
        // Power-up, Tunnix, balloon, waypoint, goal and ground target.
        FlagsPopulationKinds = 0x7E0000,
    };
    // Render flag bits the actor sets.
    enum : DWORD { RenderDrawn = 0x1, RenderTarget = 0x2, RenderTraceable = 0x4, RenderViewActor = 0x8 };
    // Pending attachment entries: a slot index, bit 15 set to detach.
    enum : uint16_t { PendingDetach = 0x8000, PendingSlotMask = 0x7FFF };

    YActor();
    // Lets its children go, deletes its model, sounds and decals and leaves
    // its parent.
    ~YActor() override;
    YActor(const YActor&) = delete;
    YActor& operator=(const YActor&) = delete;

    void Serialize(CArchive& ar) override;

    void MarkForDestruction() { m_flagsA |= FlagDestroyMe; }
    bool IsMarkedForDestruction() const { return (m_flagsA & FlagDestroyMe) != 0; }

    // Flags of both words by name, without regard to case. Unknown names
    // change nothing and read as 0.
    void SetFlag(const char* name, bool on);
    int GetFlag(const char* name) const;

    virtual void Describe(CStringList& lines);
    // Takes the instance; null is ignored.
    virtual void SetModelObject(YSMHandle* instance);
    // A name with ':', '.', '\' or '/' loads an instance through the world,
    // any other names a world model drawn by index.
    virtual void SetModel(const char* name);
    // Refuses a third sound of one name: deletes it and nulls the pointer.
    virtual void AddSound(YActorSound*& sound);
    virtual void RemoveSound(const char* name);
    virtual int OnCommand(int a, int b, int c);
    virtual void UpdateSounds(YActor* listener, float dt);
    // Fills the render record; null when the actor lock timed out.
    virtual YRenderInstance* BuildRenderInstance();
    virtual bool CanSeePoint(const YVector& point, int range, DWORD flags);
    virtual bool CanSeeActor(YActor* actor, int range, DWORD flags);
    virtual bool CanSeeActorFrom(const YVector& eye, const YVector& eyeAngles, YActor* actor, int range,
                                 DWORD flags);
    virtual bool CanSeePointFrom(const YVector& eye, const YVector& eyeAngles, const YVector& point, int range,
                                 DWORD flags);
    // Pitch of the ground ahead along the heading turned by the offset, degrees.
    virtual float GetSlopePitch(float yawOffset);
    virtual void GetPosition(YVector& out);
    virtual void GetAngles(YVector& out);
    // Through the parent chain, cached for the frame's stamp.
    virtual void GetWorldTransform(YVector& position, YVector& angles);
    // True when the angle was moved onto the nearer end of the lock's arc.
    virtual bool ClampAngleToLock(float centre, float give, float& angle);
    virtual void ApplyAngleLocks();
    virtual void ApplyAngleLocksTo(float pitchYaw[2]);
    virtual void AddChild(YActor* actor);
    virtual void RemoveChild(YActor* actor);
    virtual void RemoveAllChildren();
    virtual void CollectChildRecords();
    virtual YActorList* GetChildren() { return m_children; }
    virtual int QueryRoot(int value);
    // Drops every reference to an actor that is going away.
    virtual void ForgetActor(YActor* actor);
    virtual void Update(float dt);
    virtual void Think();
    virtual void Touch(YActor* other);
    virtual void OnEvent(int a, int b);
    virtual void ReloadModel();
    virtual bool IsRelatedTo(YActor* other, bool searchParents, bool searchChildren);
    virtual void OnIdle();
    // A named action; a plain actor has none and answers 0.
    virtual int PerformAction(const char* action);
    virtual void UpdateViewDistance();
    virtual void UpdateViewHeading();
    virtual float GetWorldFloat();
    virtual void Reset();
    // Signed yaw of the direction relative to the heading, (-180, 180];
    // the direction is overwritten.
    virtual float GetHeadingTo(YVector& direction, const YVector* angles = nullptr);

    // Attaches and detaches the actors named by pending slot entries and
    // resolves the target id.
    void ResolvePendingAttachments();
    void DrawDecals();
    // Queues a slot to be made a child (or, with PendingDetach, let go).
    void AddPendingAttachment(uint16_t entry);
    YSMHandle*& GetModelInstance() { return m_model; }
    YActor* GetParent() const { return m_parent; }
    bool HasChild(const YActor* actor) const;
    int GetChildCount() const { return m_children ? static_cast<int>(m_children->GetCount()) : 0; }

    // The lock around the filling of render records, program-wide.
    static CCriticalSection& GetActorLock();
    // How long BuildRenderInstance waits for it, milliseconds.
    static const DWORD kLockTimeout = 200;

    CArray<YVector, const YVector&> m_points;
    int32_t m_auxTag;
    YString m_name;
    YVector m_position;
    YVector m_previousPosition;
    YVector m_vectorA;  // the mechanical pass: target point of FollowTarget
    YVector m_angles;   // pitch, yaw, roll in degrees
    YVector m_velocity;
    YVector m_vectorB;  // the mechanical pass: angular velocity, degrees a second
    YVector m_acceleration;
    YVector m_vectorC;
    YVector m_vectorD;
    YVector m_offsetAngles;
    YVector m_offsetPosition;
    YVector m_lockedAngles;  // lock centres: x pitch, y yaw; negative: no lock
    YVector m_lockedGive;    // half-width of each lock
    YVector m_vectorE;
    YVector m_vectorF;
    float m_length;
    float m_auxSize;
    float m_aimHeight;
    float m_wadeDepth;
    float m_auxFloatA;  // with wadeDepth: the ground-contact height
    float m_auxFloatB;
    float m_energy;
    float m_scale;
    float m_speedPercent;  // the speed factor
    float m_viewDistance;
    float m_viewHeading;
    float m_auxFloatC;  // animation advance per metre a second
    float m_auxFloatD;  // turn rate toward a target, degrees a second
    float m_auxFloatE;
    uint32_t m_nextThinkTime;  // game clock, ms
    uint32_t m_auxWord2;
    uint16_t m_auxShortA;
    uint16_t m_auxShortB;
    YRenderInstance m_render;
    YActor* m_target;
    int32_t m_targetId;  // slot of the target still to resolve, -1 none
    uint32_t m_flagsA;
    uint32_t m_flagsB;
    YString m_modelName;
    int32_t m_modelIndex;  // world model drawn by index, -1 none
    uint8_t m_inGrid;      // registered in the renderer's actor grid
    uint8_t m_keep;        // the world never deletes it
    uint8_t m_noRender;    // set, the camera-space pass leaves the actor out
    uint32_t m_transformStamp;
    int32_t m_cachedStamp;  // -1: the cached transform is stale
    YVector m_cachedPosition;
    YVector m_cachedAngles;
    uint32_t m_auxWord;
    CTypedPtrList<CPtrList, YActorDecal*> m_decals;  // owned
    YActorSoundList m_sounds;                        // owned
    YActorWorld* m_world;
    CObject* m_owned;  // deleted with the actor
    YString m_text;
    uint32_t m_auxWord3;
    CObject* m_owned2;  // deleted with the actor
    CWordArray* m_pendingAttachments;  // owned, null when none

    // Set by the console; nothing here reads them.
    YVector m_wobbleExtents;
    YVector m_wobbleVelocity;
    YVector m_bobbleExtents;
    YVector m_bobbleVelocity;
    int16_t m_attachGroup = -1;

protected:
    YSMHandle* m_model;  // owned
    YActor* m_parent;
    YActorList* m_children;            // created on the first child
    YRenderInstance** m_childRecords;  // one per child
    bool m_destroying = false;

private:
    void RebuildChildRecords();
};
