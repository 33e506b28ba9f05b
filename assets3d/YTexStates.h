// The render and texture-stage states, repeat factors and flags a texture
// lock applies whenever it is drawn with.  The renderer's class records
// (opaque, alpha, tree) have the same layout.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct YTexStates {
    // Render states.
    DWORD m_alphaBlendEnable = 0;
    DWORD m_alphaFunc = 1;  // D3DCMP_NEVER
    DWORD m_alphaRef = 0;
    DWORD m_alphaTestEnable = 0;
    DWORD m_colorKeyEnable = 0;
    DWORD m_cullMode = 2;   // D3DCULL_CW
    DWORD m_destBlend = 1;  // D3DBLEND_ZERO
    DWORD m_srcBlend = 2;   // D3DBLEND_ONE
    DWORD m_zEnable = 1;
    DWORD m_zFunc = 4;  // D3DCMP_LESSEQUAL
    DWORD m_zWriteEnable = 1;
    DWORD m_zBias = 0;
    DWORD m_diffuseMaterialSource = 1;  // D3DMCS_COLOR1
    DWORD m_ambientMaterialSource = 1;
    DWORD m_fogEnable = 1;
    // The stage the stage states go to.
    DWORD m_stage = 0;
    // Texture-stage states.
    DWORD m_colorOp = 4;    // D3DTOP_MODULATE
    DWORD m_colorArg1 = 2;  // D3DTA_TEXTURE
    DWORD m_colorArg2 = 0;  // D3DTA_DIFFUSE
    DWORD m_alphaOp = 4;
    DWORD m_alphaArg1 = 2;
    DWORD m_alphaArg2 = 0;
    DWORD m_address = 3;    // D3DTADDRESS_CLAMP
    DWORD m_magFilter = 5;  // D3DTFG_ANISOTROPIC
    DWORD m_minFilter = 3;  // D3DTFN_ANISOTROPIC
    DWORD m_mipFilter = 3;  // D3DTFP_LINEAR
    DWORD m_mipMapLodBias = 0;
    DWORD m_maxMipLevel = 0;
    float m_repeatU = 1.0f;
    float m_repeatV = 1.0f;
    int16_t m_lighting = 1;
    int16_t m_tint = 1;
    int16_t m_wireframe = 0;
    int16_t m_uvGen = 0;   // first coordinate set: 0 none, 1 environment map, 2 reflection map
    int16_t m_uv2Gen = 0;  // second coordinate set
};
