// The spinning propeller disc: a sprite carried by its plane as a child,
// turning with the engine level and flipping between two images.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YPlane;

class YPropeller : public YSpriteActor {
    DECLARE_SERIAL(YPropeller)
public:
    YPropeller();
    // Made at the position (relative to the plane once attached) and
    // joined to the plane as its child.
    YPropeller(YPlane* plane, const YVector& position, int flip);

    void Init(const YVector& position, int flip);
    void Update(float dt) override;
    // Leaves the plane and goes with the world's next purge.  The only way
    // a propeller leaves: it holds a world slot.
    void Detach();

    uint8_t m_flip = 0;
    float m_flipTime = 0.0f;  // seconds since the last flip

    // The spin every propeller shares, degrees.
    static float s_spin;

private:
    const char* SpriteKey() const;
};
