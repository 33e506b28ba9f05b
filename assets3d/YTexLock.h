// The renderer's record of one texture that lives on the device: its tags
// and regions copied from the texture, and a format header with the size
// and MIP depth of the device texture.  YD3D6Lock is the Direct3D one.
#pragma once

#include <cstdint>

#include "assets3d/YTexRegionList.h"
#include "assets3d/YTextureError.h"
#include "assets3d/YTextureTagList.h"
#include "platform/win32.h"

class YTexture2;

class YTexLock : public YTextureError, public YTextureTagList, public YTexRegionList {
public:
    YTexLock();
    virtual ~YTexLock();
    YTexLock(const YTexLock&) = delete;
    YTexLock& operator=(const YTexLock&) = delete;

    // Frees the tags and the regions.
    virtual void Release();
    // Makes the device texture from the texture; 1 when it was made.
    virtual int Upload(YTexture2* texture) = 0;
    // Gives the device texture back.
    virtual void ReleaseSurface() = 0;

    YString GetName() const { return m_strName; }
    YString GetPath() const { return m_strPath; }
    int32_t AddUse() { return ++m_iUseCount; }
    int32_t RemoveUse() { return --m_iUseCount; }
    int32_t GetUseCount() const { return m_iUseCount; }

    int16_t GetWidth() const { return m_iWidth; }
    int16_t GetHeight() const { return m_iHeight; }
    int16_t GetMIPDepth() const { return m_iMIPDepth; }

protected:
    YString m_strName;
    YString m_strPath;
    int32_t m_iUseCount = 0;

    // The format header: the lock keeps size, depth and the colour-key colour.
    int16_t m_iWidth = -1;
    int16_t m_iHeight = -1;
    int16_t m_iMIPDepth = 0;
    int16_t m_iHeader16[3] = {0, 0, 0};
    int32_t m_iHeader32[3] = {0, 0, 0};
    int32_t m_iColorKey = -1;  // {blue, green, red} of the key colour in the low three bytes
    RGBQUAD m_palette[256];
    int16_t m_iFirstPalette = 0;
    int16_t m_iLastPalette = 255;
};
