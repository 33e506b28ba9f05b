// The texture as the engine keeps it between file and device: a named
// container of pixel formats of one picture, texture tags (filters, MIP
// count) and named regions.  Read and written as the "YTEX" stream.
#pragma once

#include <cstdint>
#include <vector>

#include "assets3d/YTexRegionList.h"
#include "assets3d/YTextureError.h"
#include "assets3d/YTextureFormat.h"
#include "assets3d/YTextureTagList.h"

class CFile;

// Bits of YTexture2::m_iFlags.
const int32_t TEX2_EXTERNAL_IMAGES = 1;  // formats tagged "Externalized" read their images
const int32_t TEX2_HAS_EXTERNAL = 2;     // a format's pixels came from external images

class YTexture2 : public YTextureError, public YTextureTagList, public YTexRegionList {
public:
    YTexture2();
    ~YTexture2();
    YTexture2(const YTexture2&) = delete;
    YTexture2& operator=(const YTexture2&) = delete;

    // Deletes every format, tag and region; size and depth stay.
    void Clear();
    YString GetName() const { return m_strName; }
    YString GetPath() const { return m_strPath; }

    int16_t GetNumFormats() const { return m_iNumFormats; }
    YTextureFormat* GetFormat(int16_t index);
    // 1 when a format of the same packing is there.
    int FindFormat(const YTextureFormat* format);
    // Takes the format and gives it the texture's size, depth and fresh layers.
    int AddFormat(YTextureFormat* format);
    int FreeFormatPixels(int16_t index);
    // Clears the texture and makes the image file its only format.
    int ImportImageFormat(YTextureFormat* format, const char* fileName);
    // Loads one level of a format from the images its tags name, in folder.
    int LoadExternalMIP(int16_t formatIndex, int16_t level, const char* folder);
    int Externalize(int check);
    void ClearExternalized();

    // The "YTEX" stream.
    int LoadFile(const char* fileName, int loadPixels);
    int Load(CFile* file, int loadPixels);
    int SaveFile(const char* fileName);
    int Save(CFile* file);
    int LoadFormatData(int16_t index, CFile* file);

    // New level-0 size for every format, with the MIP chain rebuilt.
    int Resize(int16_t width, int16_t height);

    YString m_strName;
    YString m_strPath;
    int32_t m_iFlags = TEX2_EXTERNAL_IMAGES;
    int16_t m_iNumFormats = 0;
    std::vector<YTextureFormat*> m_formats;
    int16_t m_iWidth = -1;
    int16_t m_iHeight = -1;
    int16_t m_iMIPDepth = 0;

private:
    int Fail(const char* message);
    // The formats a stream holds: every layer with its buffers.
    std::vector<YTextureFormat*> WritableFormats() const;
    bool WriteStream(CFile* file, const std::vector<YTextureFormat*>& formats);
    int ReadStream(CFile* file, int loadPixels);
    int ReadFormatData(int16_t index, CFile* file);
    int LoadExternalFormat(int16_t index, CFile* file);
    void RemoveFormat(int16_t index);
    bool ResizeFormat(YTextureFormat* format, int16_t width, int16_t height, int16_t depth, int up, int down);
};
