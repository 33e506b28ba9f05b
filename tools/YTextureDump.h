// A ".ytx" texture as text for people: the header, tags, regions, and per
// format its layout, tags and layers with a checksum of their pixels.
#pragma once

#include <string>

class YTexture2;

class YTextureDump {
public:
    static std::string Write(YTexture2& texture);
};
