// An actor drawn as a flat sprite image: it takes its image by catalog key,
// enters the active world in one call and turns toward the camera whenever
// it is drawn.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "world/YActor.h"

class YSpriteActor : public YActor {
    DECLARE_SERIAL(YSpriteActor)
public:
    // How the sprite faces the camera.
    enum : uint32_t { FaceCamera = 0, OrientSelf = 3, Upright = 9 };

    explicit YSpriteActor(uint32_t mode = FaceCamera);
    ~YSpriteActor() override = default;

    // Turns the sprite, then the actor's render step.
    YRenderInstance* BuildRenderInstance() override;
    // Takes the position and the image and enters the active world: flying,
    // not pitched to the slope, a sprite actor the mechanical pass skips.
    virtual void SetSprite(const YVector& position, const char* key);
    // The orientation step of a drawn frame.
    virtual void RenderSprite();
    // After a move outside the mechanical pass: the grid cell and the render
    // record follow, so that traces find the sprite where it is.
    void Relocate();

    uint32_t m_orientation;
    int16_t m_soundNear;  // metres
    int16_t m_soundFar;
    YString m_spriteKey;
};
