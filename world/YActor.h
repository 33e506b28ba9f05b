// An actor of a world: its name, placement and motion, its model, its two
// flag words, the actors bound to it as children and the render record the
// renderer draws it by.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/YString.h"
#include "foundation/YVector.h"
#include "world/YRenderInstance.h"

class YActorWorld;
class YSMHandle;

class YActor {
public:
    // Flag word A.
    enum { FlagVisible = 0x1, FlagDestroyMe = 0x8 };
    // Flag word B.
    enum { FlagPowerUpKind = 0x20000 };

    YActor() { m_render.m_owner = this; }
    // Leaves its parent and lets its children go.
    virtual ~YActor();
    YActor(const YActor&) = delete;
    YActor& operator=(const YActor&) = delete;

    void MarkForDestruction() { m_flags |= FlagDestroyMe; }
    bool IsMarkedForDestruction() const { return (m_flags & FlagDestroyMe) != 0; }

    // Flags by name, without regard to case. Unknown names change nothing
    // and read as 0.
    void SetFlag(const char* name, bool on);
    int GetFlag(const char* name) const;

    // Binds a child; 0 for null, for itself, for one of its own ancestors
    // (the chain would loop) and for a child it already holds. A child
    // bound elsewhere leaves its old parent.
    int AddChild(YActor* child);
    int RemoveChild(YActor* child);
    YActor* GetParent() const { return m_parent; }
    const std::vector<YActor*>& GetChildren() const { return m_children; }

    // Performs a named action; a plain actor has none and answers 0.
    virtual int PerformAction(const char* action);
    // Fills the render record from the actor (render units, radians) and
    // returns it.
    virtual YRenderInstance* BuildRenderInstance();

    YString m_name;
    YVector m_position;
    YVector m_angles;  // pitch, yaw, roll in degrees
    YVector m_velocity;
    YVector m_angularVelocity;
    YVector m_wobbleExtents;
    YVector m_wobbleVelocity;
    YVector m_bobbleExtents;
    YVector m_bobbleVelocity;
    float m_scale = 1.0f;
    float m_animVelocityScale = 1.0f;
    YSMHandle* m_model = nullptr;  // not owned
    int16_t m_attachGroup = -1;
    YActorWorld* m_world = nullptr;
    uint32_t m_flags = 0;
    uint32_t m_flagsB = 0;
    uint8_t m_noRender = 0;  // set, the camera-space pass leaves the actor out
    YRenderInstance m_render;

private:
    YActor* m_parent = nullptr;
    std::vector<YActor*> m_children;  // references
};
