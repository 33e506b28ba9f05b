// Builds "YMAP" streams byte by byte for the map tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class MapStreamBytes {
public:
    MapStreamBytes& U8(uint32_t v)
    {
        m_bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    MapStreamBytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    MapStreamBytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    MapStreamBytes& F32(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return U32(v);
    }
    MapStreamBytes& Raw(const std::string& text)
    {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    MapStreamBytes& Str(const std::string& text) { return U16(static_cast<uint32_t>(text.size())).Raw(text); }
    MapStreamBytes& Append(const MapStreamBytes& other)
    {
        m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
        return *this;
    }
    // A block: type, a spare byte, the payload's size, the payload.
    MapStreamBytes& Block(int type, const MapStreamBytes& payload)
    {
        return U8(type).U8(0).U32(static_cast<uint32_t>(payload.Size())).Append(payload);
    }

    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

    // The 38-byte header; the blocks follow `gap` bytes later.
    static MapStreamBytes Header(uint32_t width, uint32_t height, uint32_t blocks, uint32_t gap = 0,
                                 int version = 4, float cellSize = 10.0f, const char* magic = "YMAP")
    {
        MapStreamBytes h;
        h.Raw(std::string(magic, 4)).U8(version).U8(0).U32(width).U32(height).F32(cellSize);
        h.F32(-5.0f).F32(1.5f).F32(7.0f).U32(blocks).U32(38 + gap);
        for (uint32_t i = 0; i < gap; ++i) h.U8(0xEE);
        return h;
    }

private:
    std::vector<uint8_t> m_bytes;
};
