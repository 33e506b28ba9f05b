// The TXT- and MAT- keywords a texture lock reads: their words, defaults,
// presets and the fields they set.
#include "assets3d/YD3D6Lock.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "assets3d/YTextureTagList.h"

namespace {

typedef YD3D6Lock::Word Word;

const Word kBoolean[] = {{"yes", 1}, {"1", 1},       {"enable", 1}, {"true", 1},  {"t", 1}, {"y", 1},
                         {"no", 0},  {"0", 0},       {"disable", 0}, {"false", 0}, {"f", 0}, {"n", 0}};
const Word kCompare[] = {{"never", 1},    {"less", 2},     {"equal", 3},        {"lessequal", 4},
                         {"greater", 5},  {"notequal", 6}, {"greaterequal", 7}, {"always", 8}};
const Word kBlend[] = {{"zero", 1},           {"one", 2},
                       {"srccolor", 3},       {"sourcecolor", 3},
                       {"invsrccolor", 4},    {"invsourcecolor", 4},
                       {"srcalpha", 5},       {"sourcealpha", 5},
                       {"invsrcalpha", 6},    {"invsourcealpha", 6},
                       {"destalpha", 7},      {"dstalpha", 7},
                       {"invdestalpha", 8},   {"invdstalpha", 8},
                       {"destcolor", 9},      {"dstcolor", 9},
                       {"invdestcolor", 10},  {"invdstcolor", 10},
                       {"srcalphasat", 11},   {"sourcealphasat", 11},
                       {"bothsrcalpha", 12},  {"bothsourcealpha", 12},
                       {"bothinvsrcalpha", 13}, {"bothinvsourcealpha", 13}};
const Word kStageOp[] = {{"disable", 1},
                         {"selectarg1", 2},
                         {"selectarg2", 3},
                         {"modulate", 4},
                         {"modulate2x", 5},
                         {"modulate4x", 6},
                         {"add", 7},
                         {"addsigned", 8},
                         {"addsigned2x", 9},
                         {"subtract", 10},
                         {"addsmooth", 11},
                         {"blenddiffusealpha", 12},
                         {"blendtexturealpha", 13},
                         {"blendfactoralpha", 14},
                         {"blendtexturealphapm", 15},
                         {"blendcurrentalpha", 16},
                         {"premodulate", 17},
                         {"modulatealpha_addcolor", 18},
                         {"modulatecolor_addalpha", 19},
                         {"modulateinvalpha_addcolor", 20},
                         {"modulateinvcolor_addalpha", 21}};
const Word kMaterialSource[] = {{"material", 0}, {"mat", 0}, {"color1", 1}, {"c1", 1}, {"color2", 2}, {"c2", 2}};
const Word kCoordGen[] = {{"none", 0}, {"0", 0},      {"environment", 1}, {"envmap", 1}, {"env", 1},
                          {"1", 1},    {"reflection", 2}, {"refmap", 2},   {"ref", 2},    {"2", 2}};
const Word kSortType[] = {{"opaque", 0}, {"alpha", 1}};
const Word kCull[] = {{"cw", 2}, {"clockwise", 2}, {"none", 1}, {"counterclockwise", 3}, {"ccw", 3}};
const Word kAddress[] = {{"clamp", 3}, {"wrap", 1}, {"mirror", 2}};
const Word kMagFilter[] = {{"anisotropic", 5}, {"point", 1}, {"linear", 2}};
const Word kMinFilter[] = {{"anisotropic", 3}, {"point", 1}, {"linear", 2}};
const Word kMIPFilter[] = {{"linear", 3}, {"none", 1}, {"point", 2}};
const Word kHint[] = {{"opaque", DDSCAPS2_OPAQUE}, {"static", DDSCAPS2_HINTSTATIC}, {"dynamic", DDSCAPS2_HINTDYNAMIC}};

// Stage arguments: the base words in the order each row searches them.
const char* const kArg1Words[3] = {"texture", "current", "diffuse"};
const DWORD kArg1Values[3] = {D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_DIFFUSE};
const char* const kArg2Words[3] = {"diffuse", "current", "texture"};
const DWORD kArg2Values[3] = {D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TEXTURE};

template <size_t N>
DWORD Read(const YTextureTagList& tags, const char* name, const char* defaultValue, const Word (&words)[N],
           DWORD preset)
{
    return YD3D6Lock::ReadWordFrom(tags, name, defaultValue, words, N, preset);
}

std::string Lower(const YTextureTagList& tags, const char* name, const char* defaultValue)
{
    std::string value = tags.GetTagValueByName(name, defaultValue).GetBuffer();
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return value;
}

DWORD ReadArgument(const YTextureTagList& tags, const char* name, const char* defaultValue, const char* const* words,
                   const DWORD* values, DWORD preset)
{
    const std::string value = Lower(tags, name, defaultValue);
    for (int i = 0; i < 3; ++i) {
        if (value.find(words[i]) == std::string::npos) continue;
        DWORD result = values[i];
        if (value.find("alphareplicate") != std::string::npos) result += D3DTA_ALPHAREPLICATE;
        if (value.find("complement") != std::string::npos) result += D3DTA_COMPLEMENT;
        return result;
    }
    return preset;
}

}  // namespace

DWORD YD3D6Lock::ReadWordFrom(const YTextureTagList& tags, const char* name, const char* defaultValue,
                              const Word* words, size_t count, DWORD preset)
{
    const std::string value = Lower(tags, name, defaultValue);
    for (size_t i = 0; i < count; ++i)
        if (value == words[i].word) return words[i].value;
    return preset;
}

DWORD YD3D6Lock::ReadBoolean(const YTextureTagList& tags, const char* name, const char* defaultValue, DWORD preset)
{
    return Read(tags, name, defaultValue, kBoolean, preset);
}

DWORD YD3D6Lock::ReadHint(const YTextureTagList& tags)
{
    return Read(tags, "TXT-D3DHint", "Opaque", kHint, DDSCAPS2_OPAQUE);
}

int32_t YD3D6Lock::ReadStage(const YTextureTagList& tags)
{
    // A device has eight texture stages at most.
    const int32_t stage = tags.GetTagIntByName("TXT-TSIndex", 0);
    return stage >= 0 && stage <= 7 ? stage : 0;
}

DWORD YD3D6Lock::ReadMIPLevels(const YTextureTagList& tags, int16_t depth)
{
    DWORD levels = static_cast<DWORD>(tags.GetTagIntByName("TXT-TSMIPLevels", depth));
    const DWORD most = depth > 0 ? static_cast<DWORD>(depth) : 1;
    if (levels < 1) levels = 1;
    if (levels > most) levels = most;
    return levels;
}

void YD3D6Lock::ReadMaterial(const YTextureTagList& tags)
{
    m_material = D3DMATERIAL7();
    m_material.diffuse.r = tags.GetTagFloatByName("MAT-DiffuseR", 1.0f);
    m_material.diffuse.g = tags.GetTagFloatByName("MAT-DiffuseG", 1.0f);
    m_material.diffuse.b = tags.GetTagFloatByName("MAT-DiffuseB", 1.0f);
    m_material.diffuse.a = tags.GetTagFloatByName("MAT-DiffuseA", 0.0f);
}

void YD3D6Lock::ReadStates(const YTexStates* classRecord, int colorKey)
{
    const YTextureTagList& tags = *this;
    YTexStates& s = m_states;
    m_iSortType = colorKey ? 0 : static_cast<int32_t>(Read(tags, "TXT-SortType", "Opaque", kSortType, 0));
    s.m_alphaBlendEnable = ReadBoolean(tags, "TXT-RSAlphaBlend", "No", 0);
    if (colorKey) s.m_alphaBlendEnable = 0;
    s.m_alphaFunc = Read(tags, "TXT-RSAlphaFunc", "Never", kCompare, D3DCMP_NEVER);
    s.m_alphaRef = static_cast<DWORD>(tags.GetTagIntByName("TXT-RSAlphaRef", 0));
    s.m_alphaTestEnable = ReadBoolean(tags, "TXT-RSAlphaTest", "No", 0);
    if (colorKey) s.m_alphaTestEnable = 0;
    s.m_cullMode = Read(tags, "TXT-RSCull", "CW", kCull, D3DCULL_CW);
    s.m_fogEnable = ReadBoolean(tags, "TXT-RSFog", "Yes", 1);
    s.m_destBlend = Read(tags, "TXT-RSDstBlend", "Zero", kBlend, D3DBLEND_ZERO);
    s.m_srcBlend = Read(tags, "TXT-RSSrcBlend", "One", kBlend, D3DBLEND_ONE);
    s.m_zEnable = ReadBoolean(tags, "TXT-RSZTest", "Yes", 1);
    s.m_zFunc = Read(tags, "TXT-RSZFunc", "LessEqual", kCompare, D3DCMP_LESSEQUAL);
    s.m_zWriteEnable = ReadBoolean(tags, "TXT-RSZWrite", "Yes", 1);
    if (colorKey) s.m_zWriteEnable = 1;
    s.m_zBias = static_cast<DWORD>(tags.GetTagIntByName("TXT-RSZBias", 0));
    s.m_diffuseMaterialSource = Read(tags, "TXT-RSDiffSrc", "Color1", kMaterialSource, D3DMCS_COLOR1);
    s.m_ambientMaterialSource = Read(tags, "TXT-RSAmbSrc", "Color1", kMaterialSource, D3DMCS_COLOR1);
    s.m_colorOp = Read(tags, "TXT-TSColorOp", "Modulate", kStageOp, D3DTOP_MODULATE);
    s.m_colorArg1 = ReadArgument(tags, "TXT-TSColorArg1", "Texture", kArg1Words, kArg1Values, D3DTA_TEXTURE);
    s.m_colorArg2 = ReadArgument(tags, "TXT-TSColorArg2", "Diffuse", kArg2Words, kArg2Values, D3DTA_DIFFUSE);
    s.m_alphaOp = Read(tags, "TXT-TSAlphaOp", "Modulate", kStageOp, D3DTOP_MODULATE);
    s.m_alphaArg1 = ReadArgument(tags, "TXT-TSAlphaArg1", "Texture", kArg1Words, kArg1Values, D3DTA_TEXTURE);
    s.m_alphaArg2 = ReadArgument(tags, "TXT-TSAlphaArg2", "Diffuse", kArg2Words, kArg2Values, D3DTA_DIFFUSE);
    s.m_address = Read(tags, "TXT-TSAddress", "Clamp", kAddress, D3DTADDRESS_CLAMP);
    s.m_magFilter = Read(tags, "TXT-TSMagFilt", "Anisotropic", kMagFilter, D3DTFG_ANISOTROPIC);
    s.m_minFilter = Read(tags, "TXT-TSMinFilt", "Anisotropic", kMinFilter, D3DTFN_ANISOTROPIC);
    s.m_mipFilter = Read(tags, "TXT-TSMIPFilt", "Linear", kMIPFilter, D3DTFP_LINEAR);
    if (classRecord->m_magFilter < s.m_magFilter) s.m_magFilter = classRecord->m_magFilter;
    if (classRecord->m_minFilter < s.m_minFilter) s.m_minFilter = classRecord->m_minFilter;
    if (classRecord->m_mipFilter < s.m_mipFilter) s.m_mipFilter = classRecord->m_mipFilter;
    s.m_mipMapLodBias = static_cast<DWORD>(tags.GetTagIntByName("TXT-TSMIPBias", 0));
    s.m_maxMipLevel = 0;
    s.m_repeatU = tags.GetTagFloatByName("TXT-RepeatU", 1.0f);
    s.m_repeatV = tags.GetTagFloatByName("TXT-RepeatV", 1.0f);
    s.m_lighting = static_cast<int16_t>(ReadBoolean(tags, "TXT-Light", "Yes", 1));
    s.m_tint = static_cast<int16_t>(ReadBoolean(tags, "TXT-Tint", "Yes", 1));
    s.m_wireframe = static_cast<int16_t>(ReadBoolean(tags, "TXT-Wire", "No", 0));
    s.m_uvGen = static_cast<int16_t>(Read(tags, "TXT-UVGen", "None", kCoordGen, 0));
    s.m_uv2Gen = static_cast<int16_t>(Read(tags, "TXT-UV2Gen", "None", kCoordGen, 0));
}
