// The Direct3D 7 texture lock: picks the stored format that suits the
// device's texture pixel format, sizes it to the device's limits, creates
// the texture surface with its MIP chain, converts every level into it,
// keeps a one-bit opacity mask for hit tests and reads the TXT-/MAT-
// keywords into a block of render states and a material.
#pragma once

#include <vector>

#include "assets3d/YTexLock.h"
#include "assets3d/YTexStates.h"
#include "platform/d3d.h"

class CFile;
class YTextureFormat;
class YTextureTagList;

class YD3D6Lock : public YTexLock {
public:
    // A keyword's accepted word and the value it stores.
    struct Word {
        const char* word;
        DWORD value;
    };

    YD3D6Lock();
    ~YD3D6Lock() override;

    int Upload(YTexture2* texture) override { return Upload(texture, nullptr); }
    // source: the open stream the texture's headers came from, or null for
    // the texture's own file.  The texture keeps only the chosen format.
    virtual int Upload(YTexture2* texture, CFile* source);
    void ReleaseSurface() override;

    // Set by the creator before the upload; not owned.
    IDirect3D7* m_pD3D = nullptr;
    IDirect3DDevice7* m_pDevice = nullptr;
    IDirectDraw7* m_pDD = nullptr;
    float m_fReduceX = 1.0f;  // stored width / device width
    float m_fReduceY = 1.0f;
    int32_t m_iMinWidth = 4;
    int32_t m_iMinHeight = 4;
    int32_t m_iMaxWidth = 2048;
    int32_t m_iMaxHeight = 2048;
    int32_t m_iValue16 = 16;  // set by the creators, not read here
    int32_t m_iSquare = 0;    // 1: width and height become the larger one
    int32_t m_iHalveSize = 0; // 1: halve textures not tagged "TXT-FreezeSize"
    int32_t m_iSpriteCollide = 0;
    uint8_t m_bSwamp = 0;
    float m_fFullWidth = -1.0f;  // device size x reduction factor
    float m_fFullHeight = -1.0f;
    YTexStates* m_pOpaqueClass = nullptr;
    YTexStates* m_pAlphaClass = nullptr;
    YTexStates* m_pTreeClass = nullptr;
    YTexStates m_states;
    YD3D6Lock* m_pDetail = nullptr;  // not owned
    int32_t m_iSortType = 0;         // 0 opaque, 1 alpha
    int32_t m_iManaged = 0;
    int32_t m_iVideoMemory = 0;  // 0 forces managed textures
    IDirectDrawSurface7* m_pSurface = nullptr;
    DDPIXELFORMAT m_pixelFormat;
    DDPIXELFORMAT m_alphaFormat;
    DDPIXELFORMAT m_opaqueFormat;
    DDPIXELFORMAT m_defaultFormat;
    DDPIXELFORMAT m_spareFormat;
    D3DMATERIAL7 m_material;
    // One bit a pixel of the mask level, 1 where alpha >= 128; bit y * width + x.
    std::vector<uint32_t> m_mask;
    float m_fMaskWidth = -1.0f;
    float m_fMaskHeight = -1.0f;

    // The mask bit under texture coordinates u, v in [0, 1); 0 outside or without a mask.
    int IsOpaqueAt(float u, float v) const;
    // The index of the stored format the upload would choose for this pixel
    // format (colour key on or off); -1 for none.
    static int ChooseFormat(YTexture2* texture, const DDPIXELFORMAT& pixelFormat, int colorKey);

    // Keyword readers (YD3D6LockKeywords.cpp).
    // The preset, then the first whole-word match of the lower-cased value.
    static DWORD ReadWordFrom(const YTextureTagList& tags, const char* name, const char* defaultValue, const Word* words,
                              size_t count, DWORD preset);
    static DWORD ReadBoolean(const YTextureTagList& tags, const char* name, const char* defaultValue, DWORD preset);
    static DWORD ReadHint(const YTextureTagList& tags);
    // Values outside the stages 0-7 are refused: stage 0.
    static int32_t ReadStage(const YTextureTagList& tags);
    static DWORD ReadMIPLevels(const YTextureTagList& tags, int16_t depth);

private:
    int Fail(const char* message);
    bool CreateSurface(YTextureFormat* format, DWORD mipCount, DWORD stage, DWORD hint, DWORD noManage);
    void ConvertLevels(YTextureFormat* format, DWORD mipCount, int colorKey);
    void BuildMask(const BYTE* alpha, int width, int height);
    void CopyTagsAndRegions(YTexture2* texture, YTextureFormat* format);

    void ReadMaterial(const YTextureTagList& tags);
    // Rows read from the lock's merged tags, after the upload.
    void ReadStates(const YTexStates* classRecord, int colorKey);
};
