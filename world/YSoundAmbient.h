// The map's ambient sounds: random one-shot sounds and the wind loop named
// by its map tags. So far the calls the game server makes; both do nothing.
#pragma once

class YSoundAmbient {
public:
    YSoundAmbient() = default;
    virtual ~YSoundAmbient() = default;

    // Reads the map's sound tags.
    virtual void Load() {}
    // One frame.
    virtual void Update() {}
};
