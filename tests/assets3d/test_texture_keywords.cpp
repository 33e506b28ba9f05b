// The TXT- and MAT- keywords: what each one sets in the lock's state block,
// material and options, their word sets, presets and overrides.
#include "LockFixture.h"

#include <functional>

namespace {
using namespace lock_test;

typedef std::function<double(const YD3D6Lock&)> Field;

#define STATE(member) [](const YD3D6Lock& l) { return double(l.m_states.member); }

struct Row {
    const char* keyword;
    const char* value;
    Field field;
    double expected;
};

// Each keyword alone on a 5-6-5 texture; every other field keeps its default.
TEST_F(LockTest, EveryKeywordSetsItsField)
{
    const Row rows[] = {
        {"TXT-RSColorKey", "Yes", STATE(m_colorKeyEnable), 1},
        {"TXT-RSColorKey", "maybe", STATE(m_colorKeyEnable), 0},
        {"TXT-SpriteCollide", "yes", [](const YD3D6Lock& l) { return double(l.m_iSpriteCollide); }, 1},
        {"TXT-SpriteCollide", "no", [](const YD3D6Lock& l) { return double(l.m_iSpriteCollide); }, 0},
        {"TXT-SpriteCollide", "perhaps", [](const YD3D6Lock& l) { return double(l.m_iSpriteCollide); }, 1},
        {"TXT-SwampMucker", "300", [](const YD3D6Lock& l) { return double(l.m_bSwamp); }, 44},
        {"MAT-DiffuseR", "0.25", [](const YD3D6Lock& l) { return double(l.m_material.diffuse.r); }, 0.25},
        {"MAT-DiffuseG", "0.5", [](const YD3D6Lock& l) { return double(l.m_material.diffuse.g); }, 0.5},
        {"MAT-DiffuseB", "0.75", [](const YD3D6Lock& l) { return double(l.m_material.diffuse.b); }, 0.75},
        {"MAT-DiffuseA", "0.5", [](const YD3D6Lock& l) { return double(l.m_material.diffuse.a); }, 0.5},
        {"TXT-SortType", "ALPHA", [](const YD3D6Lock& l) { return double(l.m_iSortType); }, 1},
        {"TXT-SortType", "glass", [](const YD3D6Lock& l) { return double(l.m_iSortType); }, 0},
        {"TXT-RSAlphaBlend", "enable", STATE(m_alphaBlendEnable), 1},
        {"TXT-RSAlphaFunc", "GreaterEqual", STATE(m_alphaFunc), D3DCMP_GREATEREQUAL},
        {"TXT-RSAlphaFunc", "always", STATE(m_alphaFunc), D3DCMP_ALWAYS},
        {"TXT-RSAlphaFunc", "sometimes", STATE(m_alphaFunc), D3DCMP_NEVER},
        {"TXT-RSAlphaRef", "96", STATE(m_alphaRef), 96},
        {"TXT-RSAlphaTest", "T", STATE(m_alphaTestEnable), 1},
        {"TXT-RSCull", "none", STATE(m_cullMode), D3DCULL_NONE},
        {"TXT-RSCull", "CCW", STATE(m_cullMode), D3DCULL_CCW},
        {"TXT-RSCull", "counterclockwise", STATE(m_cullMode), D3DCULL_CCW},
        {"TXT-RSCull", "counter-clockwise", STATE(m_cullMode), D3DCULL_CW},
        {"TXT-RSFog", "false", STATE(m_fogEnable), 0},
        {"TXT-RSFog", " no", STATE(m_fogEnable), 1},  // a blank matches no word
        {"TXT-RSDstBlend", "InvSourceAlpha", STATE(m_destBlend), D3DBLEND_INVSRCALPHA},
        {"TXT-RSDstBlend", "bothinvsrcalpha", STATE(m_destBlend), D3DBLEND_BOTHINVSRCALPHA},
        {"TXT-RSSrcBlend", "srcalpha", STATE(m_srcBlend), D3DBLEND_SRCALPHA},
        {"TXT-RSSrcBlend", "dstcolor", STATE(m_srcBlend), D3DBLEND_DESTCOLOR},
        {"TXT-RSZTest", "n", STATE(m_zEnable), 0},
        {"TXT-RSZFunc", "Greater", STATE(m_zFunc), D3DCMP_GREATER},
        {"TXT-RSZWrite", "disable", STATE(m_zWriteEnable), 0},
        {"TXT-RSZBias", "3", STATE(m_zBias), 3},
        {"TXT-RSDiffSrc", "mat", STATE(m_diffuseMaterialSource), D3DMCS_MATERIAL},
        {"TXT-RSAmbSrc", "C2", STATE(m_ambientMaterialSource), D3DMCS_COLOR2},
        {"TXT-TSColorOp", "SelectArg1", STATE(m_colorOp), D3DTOP_SELECTARG1},
        {"TXT-TSColorOp", "modulateinvcolor_addalpha", STATE(m_colorOp), D3DTOP_MODULATEINVCOLOR_ADDALPHA},
        {"TXT-TSColorOp", "dotproduct3", STATE(m_colorOp), D3DTOP_MODULATE},
        {"TXT-TSColorArg1", "Current|AlphaReplicate", STATE(m_colorArg1), 33},
        {"TXT-TSColorArg1", "complement texture", STATE(m_colorArg1), 18},
        {"TXT-TSColorArg2", "texture", STATE(m_colorArg2), D3DTA_TEXTURE},
        {"TXT-TSColorArg2", "specular complement", STATE(m_colorArg2), D3DTA_DIFFUSE},  // no base word: no modifier
        {"TXT-TSAlphaOp", "disable", STATE(m_alphaOp), D3DTOP_DISABLE},
        {"TXT-TSAlphaArg1", "diffuse", STATE(m_alphaArg1), D3DTA_DIFFUSE},
        {"TXT-TSAlphaArg2", "current", STATE(m_alphaArg2), D3DTA_CURRENT},
        {"TXT-TSAddress", "Wrap", STATE(m_address), D3DTADDRESS_WRAP},
        {"TXT-TSAddress", "mirror", STATE(m_address), D3DTADDRESS_MIRROR},
        {"TXT-TSMagFilt", "linear", STATE(m_magFilter), D3DTFG_LINEAR},
        {"TXT-TSMinFilt", "point", STATE(m_minFilter), D3DTFN_POINT},
        {"TXT-TSMIPFilt", "point", STATE(m_mipFilter), D3DTFP_POINT},
        {"TXT-TSMIPBias", "-2", [](const YD3D6Lock& l) { return double(int32_t(l.m_states.m_mipMapLodBias)); }, -2},
        {"TXT-RepeatU", "4.5", STATE(m_repeatU), 4.5},
        {"TXT-RepeatV", "0.25", STATE(m_repeatV), 0.25},
        {"TXT-Light", "no", STATE(m_lighting), 0},
        {"TXT-Tint", "0", STATE(m_tint), 0},
        {"TXT-Wire", "yes", STATE(m_wireframe), 1},
        {"TXT-UVGen", "ENV", STATE(m_uvGen), 1},
        {"TXT-UVGen", "2", STATE(m_uvGen), 2},
        {"TXT-UVGen", "sphere", STATE(m_uvGen), 0},
        {"TXT-UV2Gen", "reflection", STATE(m_uv2Gen), 2},
        {"TXT-TSIndex", "3", STATE(m_stage), 3},
        {"TXT-TSIndex", "12", STATE(m_stage), 0},  // refused: eight stages at most
    };
    const YTexStates fromCaps = opaqueClass;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.keyword) + " = \"" + row.value + "\"");
        opaqueClass = fromCaps;  // a colour-keyed texture points its class for good
        std::unique_ptr<YTexture2> texture = Tagged({"565"}, {{row.keyword, row.value}});
        std::unique_ptr<YD3D6Lock> lock = NewLock();
        ASSERT_EQ(1, lock->Upload(texture.get())) << lock->GetError().GetBuffer();
        EXPECT_FLOAT_EQ(float(row.expected), float(row.field(*lock)));
    }
}

// A texture without keywords, and a lock that could not upload, hold the presets.
TEST_F(LockTest, DefaultsWithoutKeywords)
{
    std::unique_ptr<YTexture2> texture = Stored(*Build({"565"}));
    std::unique_ptr<YD3D6Lock> uploaded = NewLock();
    ASSERT_EQ(1, uploaded->Upload(texture.get()));
    YD3D6Lock fresh;
    for (const YD3D6Lock* lock : std::vector<const YD3D6Lock*>{uploaded.get(), &fresh}) {
        const YTexStates& s = lock->m_states;
        EXPECT_EQ(0u, s.m_colorKeyEnable);
        EXPECT_EQ(0, lock->m_iSortType);
        EXPECT_EQ(0u, s.m_alphaBlendEnable);
        EXPECT_EQ(0u, s.m_alphaTestEnable);
        EXPECT_EQ(DWORD(D3DCMP_NEVER), s.m_alphaFunc);
        EXPECT_EQ(0u, s.m_alphaRef);
        EXPECT_EQ(DWORD(D3DCULL_CW), s.m_cullMode);
        EXPECT_EQ(1u, s.m_fogEnable);
        EXPECT_EQ(DWORD(D3DBLEND_ONE), s.m_srcBlend);
        EXPECT_EQ(DWORD(D3DBLEND_ZERO), s.m_destBlend);
        EXPECT_EQ(1u, s.m_zEnable);
        EXPECT_EQ(1u, s.m_zWriteEnable);
        EXPECT_EQ(DWORD(D3DCMP_LESSEQUAL), s.m_zFunc);
        EXPECT_EQ(0u, s.m_zBias);
        EXPECT_EQ(DWORD(D3DMCS_COLOR1), s.m_diffuseMaterialSource);
        EXPECT_EQ(DWORD(D3DMCS_COLOR1), s.m_ambientMaterialSource);
        EXPECT_EQ(0u, s.m_stage);
        EXPECT_EQ(DWORD(D3DTOP_MODULATE), s.m_colorOp);
        EXPECT_EQ(DWORD(D3DTA_TEXTURE), s.m_colorArg1);
        EXPECT_EQ(DWORD(D3DTA_DIFFUSE), s.m_colorArg2);
        EXPECT_EQ(DWORD(D3DTOP_MODULATE), s.m_alphaOp);
        EXPECT_EQ(DWORD(D3DTA_TEXTURE), s.m_alphaArg1);
        EXPECT_EQ(DWORD(D3DTA_DIFFUSE), s.m_alphaArg2);
        EXPECT_EQ(DWORD(D3DTADDRESS_CLAMP), s.m_address);
        EXPECT_EQ(DWORD(D3DTFG_ANISOTROPIC), s.m_magFilter);  // the device allows it
        EXPECT_EQ(DWORD(D3DTFN_ANISOTROPIC), s.m_minFilter);
        EXPECT_EQ(DWORD(D3DTFP_LINEAR), s.m_mipFilter);
        EXPECT_EQ(0u, s.m_mipMapLodBias);
        EXPECT_EQ(0u, s.m_maxMipLevel);
        EXPECT_EQ(1.0f, s.m_repeatU);
        EXPECT_EQ(1.0f, s.m_repeatV);
        EXPECT_EQ(1, s.m_lighting);
        EXPECT_EQ(1, s.m_tint);
        EXPECT_EQ(0, s.m_wireframe);
        EXPECT_EQ(0, s.m_uvGen);
        EXPECT_EQ(0, s.m_uv2Gen);
        EXPECT_EQ(1.0f, lock->m_material.diffuse.r);
        EXPECT_EQ(1.0f, lock->m_material.diffuse.g);
        EXPECT_EQ(1.0f, lock->m_material.diffuse.b);
        EXPECT_EQ(0.0f, lock->m_material.diffuse.a);
        EXPECT_EQ(0.0f, lock->m_material.ambient.r + lock->m_material.specular.g + lock->m_material.emissive.b +
                            lock->m_material.power);
        EXPECT_EQ(0, lock->m_iSpriteCollide);
        EXPECT_EQ(0, lock->m_bSwamp);
    }
}

// The colour key turns blending, alpha test and the alpha sort off and Z writes on.
TEST_F(LockTest, ColourKeyOverridesBlendingAndSorting)
{
    std::unique_ptr<YTexture2> texture = Tagged({"565"}, {{"TXT-RSAlphaBlend", "ENABLE"},
                                                          {"TXT-RSColorKey", "yes"},
                                                          {"TXT-RSAlphaTest", "yes"},
                                                          {"TXT-SortType", "alpha"},
                                                          {"TXT-RSZWrite", "no"}});
    std::unique_ptr<YD3D6Lock> lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(1u, lock->m_states.m_colorKeyEnable);
    EXPECT_EQ(0u, lock->m_states.m_alphaBlendEnable);
    EXPECT_EQ(0u, lock->m_states.m_alphaTestEnable);
    EXPECT_EQ(0, lock->m_iSortType);
    EXPECT_EQ(1u, lock->m_states.m_zWriteEnable);
    // Without the key the same words hold.
    texture = Tagged({"565"}, {{"TXT-RSAlphaBlend", "ENABLE"},
                               {"TXT-RSAlphaTest", "yes"},
                               {"TXT-SortType", "alpha"},
                               {"TXT-RSZWrite", "no"}});
    lock = NewLock();
    ASSERT_EQ(1, lock->Upload(texture.get()));
    EXPECT_EQ(1u, lock->m_states.m_alphaBlendEnable);
    EXPECT_EQ(1u, lock->m_states.m_alphaTestEnable);
    EXPECT_EQ(1, lock->m_iSortType);
    EXPECT_EQ(0u, lock->m_states.m_zWriteEnable);
}

TEST_F(LockTest, WordReaderTakesWholeWordsOnly)
{
    YTexture2 tags;
    tags.SetTag("A", "YES");
    tags.SetTag("B", "yes please");
    tags.SetTag("C", "");
    EXPECT_EQ(1u, YD3D6Lock::ReadBoolean(tags, "A", "No", 7));
    EXPECT_EQ(7u, YD3D6Lock::ReadBoolean(tags, "B", "No", 7));
    EXPECT_EQ(7u, YD3D6Lock::ReadBoolean(tags, "C", "No", 7));
    EXPECT_EQ(0u, YD3D6Lock::ReadBoolean(tags, "Missing", "No", 7));
    EXPECT_EQ(DWORD(DDSCAPS2_OPAQUE), YD3D6Lock::ReadHint(tags));
    tags.SetTag("TXT-D3DHint", "Streaming");
    EXPECT_EQ(DWORD(DDSCAPS2_OPAQUE), YD3D6Lock::ReadHint(tags));
    struct Levels {
        const char* value;
        DWORD levels;
    } levels[] = {{"-1", 6}, {"0", 1}, {"99", 6}, {"4", 4}, {"junk", 1}};
    for (const Levels& l : levels) {
        tags.SetTag("TXT-TSMIPLevels", l.value);
        EXPECT_EQ(l.levels, YD3D6Lock::ReadMIPLevels(tags, 6)) << l.value;
    }
}

}  // namespace
