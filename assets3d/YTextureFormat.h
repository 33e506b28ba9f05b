// One pixel format of a texture: how a pixel is packed (bytes, bit counts,
// shifts and masks of red, green, blue and alpha, palette, colour key), its
// tags and its chain of MIP layers.  Pixels pass in and out as exchange
// pixels of 4 bytes {blue, green, red, alpha}.
#pragma once

#include <cstdint>
#include <vector>

#include "assets3d/YTextureError.h"
#include "assets3d/YTextureLayer.h"
#include "assets3d/YTextureTagList.h"

struct YImage;

// Channel order of the bit count, shift and mask arrays.
enum { TEX_RED = 0, TEX_GREEN = 1, TEX_BLUE = 2, TEX_ALPHA = 3 };

// Largest channel bit count a format holds.
const int TEX_MAX_CHANNEL_BITS = 8;

class YTextureFormat : public YTextureError, public YTextureTagList {
public:
    YTextureFormat();
    ~YTextureFormat();
    YTextureFormat(const YTextureFormat&) = delete;
    YTextureFormat& operator=(const YTextureFormat&) = delete;

    // "name colour alpha bytes  bits r g b a  shifts r g b a  masks r g b a";
    // none for a short line, bytes outside 1-4, bit counts above 8 or shifts above 31.
    static YTextureFormat* ParseFormatLine(const char* line);

    YTextureLayer* GetLayer(int16_t index);
    int SetLayerRGBLock(int16_t index, int32_t state);
    int32_t GetLayerRGBLock(int16_t index);
    int SetLayerAlphaLock(int16_t index, int32_t state);
    int32_t GetLayerAlphaLock(int16_t index);
    int SetLayerRGBGenerated(int16_t index, int32_t state);
    int32_t GetLayerRGBGenerated(int16_t index);
    int SetLayerAlphaGenerated(int16_t index, int32_t state);
    int32_t GetLayerAlphaGenerated(int16_t index);

    int HasPalette() const { return m_iColorDepth <= 1 && m_iBytesPerPixel == 1; }
    int HasAlpha() const { return m_iNoAlpha == 0; }

    // With a null buffer the bytes needed; else 0, or -1 on failure.
    int GetLayerRGB(int16_t index, BYTE* buffer, int expand);
    int GetLayerAlpha(int16_t index, BYTE* buffer);
    // The packed value (the palette index when palettised); 0 on a bad argument.
    DWORD GetPixel(int16_t index, int x, int y);
    int SetPixel(int16_t index, int x, int y, DWORD exchange);
    BYTE GetPixelAlpha(int16_t index, int x, int y);
    int SetPixelAlpha(int16_t index, int x, int y, BYTE alpha);
    int SetLayerRGB(int16_t index, const BYTE* exchange);
    int SetLayerAlpha(int16_t index, const BYTE* alpha);
    int SetLayerRGBA(int16_t index, const BYTE* exchange);
    int SetLayerRGBFromImage(int16_t index, YImage* image);
    int SetLayerAlphaFromImage(int16_t index, YImage* image);
    int SetLayerRGBAFromImage(int16_t index, YImage* image);
    int ExternLayerRGB(int16_t index, const char* fileName);
    int ExternLayerAlpha(int16_t index, const char* fileName);
    int ExternLayerRGBA(int16_t index, const char* fileName);
    int GetPalette(RGBQUAD* palette);
    int SetPalette(const RGBQUAD* palette);
    int AlphaFromColorKey();
    int GenerateRGBMIPs(const char* upFilter, const char* downFilter);
    int GenerateAlphaMIPs(const char* upFilter, const char* downFilter);
    // Sets m_iHeaderSize and m_iDataSize, the format's sizes in a stream.
    void HeaderSize();

    // Exchange pixel <-> packed value.
    DWORD PackPixel(const BYTE* exchange) const;
    void UnpackPixel(DWORD packed, BYTE* exchange) const;
    // An 8-bit alpha as the plane stores it and back.
    BYTE PackAlpha(BYTE alpha) const;
    BYTE UnpackAlpha(BYTE stored) const;
    // Same packing: depths, bytes per pixel, bit counts, shifts and masks.
    bool SameLayout(const YTextureFormat& other) const;
    // Replaces the layers with depth new ones halving width and height: zero
    // colour rows (pitch rounded up to 4 bytes when asked) and, with alpha,
    // an opaque alpha plane.  False when a row does not fit the pitch field.
    bool CreateLayers(int16_t width, int16_t height, int16_t depth, bool roundPitch);
    void DeleteLayers();
    void FreePixels();
    // Exchange pixels into the layer, through the nearest palette entries
    // when palettised.
    int StoreLayerRGB(int16_t index, const BYTE* exchange);
    // The same into any layer of this format's size, unchecked; and 8-bit
    // alpha values into its alpha plane.
    void StoreRGB(YTextureLayer& layer, const BYTE* exchange) const;
    void StoreAlpha(YTextureLayer& layer, const BYTE* alpha) const;
    // Writes the four status tags of a layer again under its level number.
    void WriteStatusTags(int16_t index);
    // A side at a MIP level: halved level times, integer division.
    static int16_t LevelSize(int16_t size, int level) { return level >= 16 ? 0 : static_cast<int16_t>(size >> level); }
    // Levels of a chain from width x height: one more while a halving keeps
    // both sides at 4 or more, up to most.
    static int16_t DepthFor(int width, int height, int most);
    // A status tag's name: prefix and the level character.
    static YString StatusTagName(const char* prefix, int16_t index);

    int32_t m_iHeaderSize = 0;
    int32_t m_iDataSize = 0;
    YString m_strName;
    int16_t m_iWidth = -1;
    int16_t m_iHeight = -1;
    int16_t m_iColorDepth = 0;
    int16_t m_iAlphaDepth = 0;
    int16_t m_iBytesPerPixel = 0;
    int16_t m_iMIPDepth = 0;
    int32_t m_iNoAlpha = 1;
    BYTE m_bitCount[4] = {0, 0, 0, 0};
    BYTE m_shift[4] = {0, 0, 0, 0};
    BYTE m_mask[4] = {0, 0, 0, 0};
    int32_t m_iColorKey = -1;
    RGBQUAD m_palette[256];
    int16_t m_iFirstPalette = 0;
    int16_t m_iLastPalette = 255;
    std::vector<YTextureLayer*> m_layers;

private:
    // The layer, or null with "Layer Index < 0" / "Layer Index >= m_iMIPDepth".
    YTextureLayer* Layer(int16_t index);
    int Fail(const char* message);
    int SetFlag(int16_t index, int32_t YTextureLayer::*flag, const char* prefix, bool alpha, int32_t state);
    int32_t GetFlag(int16_t index, int32_t YTextureLayer::*flag);
    int FromImage(int16_t index, YImage* image, bool colour, bool alpha);
    int ExternLayer(int16_t index, const char* fileName, bool colour, bool alpha);
    int GenerateMIPs(bool alpha, const char* upFilter, const char* downFilter);
    BYTE UnpackChannel(DWORD packed, int channel) const;
    // Colour rows from exchange pixels, or from index bytes when palettised.
    void WriteRows(YTextureLayer& layer, const BYTE* data) const;
    DWORD ReadPacked(const BYTE* at) const;
    void WritePacked(BYTE* at, DWORD value) const;
};
