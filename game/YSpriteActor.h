// An actor drawn as a flat sprite image that turns toward the camera when it
// is drawn: balloons, power-ups, Tunnix balls, waypoints, smoke, the
// propeller disc and the projectiles derive from it.
#pragma once

#include <cstdint>

#include "world/YActor.h"

class YSpriteActor : public YActor {
    DECLARE_SERIAL(YSpriteActor)
public:
    // How the sprite faces the camera when drawn.
    enum { FaceCamera = 0, SelfOriented = 3, Upright = 9 };

    YSpriteActor();
    explicit YSpriteActor(uint32_t orientation);

    // Turns toward the camera, then the actor's own render step.
    YRenderInstance* BuildRenderInstance() override;
    // Takes the position and the sprite of the catalog key and joins the
    // engine's active world, flying, without mechanics.
    virtual void SetSprite(const YVector& position, const char* key);
    virtual void RenderSprite();

    uint32_t m_orientation;
    int16_t m_soundNear = 25;  // metres, for the sounds played at it
    int16_t m_soundFar = 400;
    YString m_spriteKey;
};
