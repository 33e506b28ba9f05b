#include "foundation/YGraphicsData.h"

#include <cstdlib>
#include <cstring>

#include "foundation/YRenderOptions.h"
#include "foundation/YUtility.h"

const char* const YGraphicsData::FilterNames[FilterCount] = {"None", "Linear", "Bilinear", "Trilinear", "Anisotropic"};

// Integer keys in the order Set tries them and Save writes them.
const YGraphicsData::IntKey YGraphicsData::SetKeys[] = {
    {"gfx_fullscreen", &YGraphicsData::m_fullScreen},
    {"gfx_treedensity", &YGraphicsData::m_treeDensity},
    {"gfx_treepop", &YGraphicsData::m_treePop},
    {"gfx_landpop", &YGraphicsData::m_landPop},
    {"gfx_wallpop", &YGraphicsData::m_wallPop},
    {"gfx_treesmipmapped", &YGraphicsData::m_treesMipmapped},
    {"gfx_landmipmapped", &YGraphicsData::m_landMipmapped},
    {"gfx_texturequality", &YGraphicsData::m_textureQuality},
    {"gfx_overlaypersistence", &YGraphicsData::m_overlayPersistence},
    {"gfx_spriteperspective", &YGraphicsData::m_spritePerspective},
    {"gfx_backgroundquality", &YGraphicsData::m_backgroundQuality},
    {"gfx_animationquality", &YGraphicsData::m_animationQuality},
    {"gfx_wbuffering", &YGraphicsData::m_wBuffering},
    {"gfx_depthbuffer16bit", &YGraphicsData::m_depthBuffer16},
    {"gfx_alphasprites", &YGraphicsData::m_alphaSprites},
    {"gfx_softsprites", &YGraphicsData::m_softSprites},
    {"gfx_fog", &YGraphicsData::m_fog},
    {"gfx_software", &YGraphicsData::m_software},
    {"gfx_wireframe", &YGraphicsData::m_wireFrame},
    {"gfx_texdetail", &YGraphicsData::m_texDetail},
    {"gfx_colorkeying", &YGraphicsData::m_colorKeying},
    {"gfx_softwarelight", &YGraphicsData::m_softwareLight},
    {"gfx_fastscopes", &YGraphicsData::m_fastScopes},
    {"gfx_amountofdetail", &YGraphicsData::m_amountOfDetail},
    {"gfx_skysprites", &YGraphicsData::m_skySprites},
    {"gfx_cloudlayers", &YGraphicsData::m_cloudLayers},
    {"gfx_bitdepth", &YGraphicsData::m_bitDepth},
    {"gfx_treelod", &YGraphicsData::m_treeLod},
    {"gfx_shadowstatics", &YGraphicsData::m_shadowStatics},
    {"gfx_shadowactors", &YGraphicsData::m_shadowActors},
    {"gfx_shadowtree", &YGraphicsData::m_shadowTree},
    {"gfx_shadowquality", &YGraphicsData::m_shadowQuality},
    {nullptr, nullptr},
};

const char* const YGraphicsData::ListedKeys[] = {
    "\n-- Graphic settings\n", "gfx_fullscreen", "gfx_treedensity", "gfx_treepop", "gfx_landpop",
    "gfx_wallpop", "gfx_treesmipmapped", "gfx_landmipmapped", "gfx_texturequality", "gfx_animalquality",
    "gfx_overlaypersistence", "gfx_spriteperspective", "gfx_viewportindex", "gfx_backgroundquality",
    "gfx_animationquality", "gfx_wbuffering", "gfx_depthbuffer16bit", "gfx_alphasprites", "gfx_softsprites",
    "gfx_fog", "gfx_software", "gfx_wireframe", "gfx_res", "gfx_driver_guid", "gfx_softwarelight",
    "gfx_filter", "[None, Linear, Bilinear, Trilinear, Anisotropic]", "gfx_texdetail", "gfx_colorkeying",
    "gfx_fastscopes", "gfx_amountofdetail", "gfx_skysprites", "gfx_cloudlayers", "gfx_bitdepth", "gfx_cursor",
    "gfx_treelod", "gfx_shadowstatics", "gfx_shadowactors", "gfx_shadowtree", "gfx_shadowquality",
    "gfx_terrainblending", nullptr,
};

int YGraphicsData::ClampFilter(int index)
{
    if (index < 0) return 0;
    if (index >= FilterCount) return FilterCount - 1;
    return index;
}

const char* YGraphicsData::FilterName(int index) { return FilterNames[ClampFilter(index)]; }

YGraphicsData::YGraphicsData()
    : m_fullScreen(0), m_software(1), m_treeDensity(1), m_treePop(40), m_landPop(20), m_wallPop(20),
      m_treesMipmapped(1), m_landMipmapped(1), m_texDetail(1), m_colorKeying(0), m_softwareLight(1),
      m_fastScopes(0), m_skySprites(1), m_cloudLayers(1), m_textureQuality(1), m_overlayPersistence(4000),
      m_backgroundQuality(2), m_animationQuality(1), m_wireFrame(0), m_amountOfDetail(100), m_treeLod(100),
      m_wBuffering(1), m_depthBuffer16(0), m_bitDepth(16), m_alphaSprites(1), m_softSprites(2), m_fog(0),
      m_resWidth(640), m_resHeight(480), m_shadowActors(1), m_shadowStatics(1), m_shadowTree(0),
      m_shadowQuality(1), m_filter(0), m_spritePerspective(0), m_treeOverlap(75), m_terrainBlending(false),
      m_extension(nullptr)
{
    memset(m_driverGuid, 0, sizeof(m_driverGuid));
}

YGraphicsData::~YGraphicsData() { delete m_extension; }

int YGraphicsData::Set(const YString& key, const YString& value, int)
{
    for (const IntKey* k = SetKeys; k->name; ++k)
        if (SetIntIf(key, k->name, value, this->*(k->field))) return 1;

    if (lstrcmpiA(key, "gfx_terrainblending") == 0) {
        m_terrainBlending = rcv_atoi(value) != 0;
        return 1;
    }
    if (lstrcmpiA(key, "gfx_driver_guid") == 0) {
        HexDecode(m_driverGuid, sizeof(m_driverGuid), value);
        return 1;
    }
    if (lstrcmpiA(key, "gfx_res") == 0) {
        if (m_software) {
            m_resWidth = 640;
            m_resHeight = 480;
            return 1;
        }
        YString copy = value;
        char* text = const_cast<char*>((const char*)copy);
        char* save = nullptr;
        char* width = strtok_r(text, " \t", &save);
        char* height = width ? strtok_r(nullptr, " \t", &save) : nullptr;
        m_resWidth = rcv_atoi(width ? width : "");
        m_resHeight = rcv_atoi(height ? height : "");
        return 1;
    }
    if (lstrcmpiA(key, "gfx_filter") == 0) {
        for (int i = 0; i < FilterCount; ++i) {
            if (strcmp(value, FilterNames[i]) == 0) {
                m_filter = i;
                return 1;
            }
        }
        return 0;
    }
    return 0;
}

int YGraphicsData::Get(const YString& key, YString& value, int)
{
    for (const IntKey* k = SetKeys; k->name; ++k)
        if (GetIntIf(key, k->name, value, this->*(k->field))) return 1;

    if (lstrcmpiA(key, "gfx_terrainblending") == 0) {
        value.Format("%d", m_terrainBlending ? 1 : 0);
        return 1;
    }
    if (lstrcmpiA(key, "gfx_driver_guid") == 0) {
        HexEncode(m_driverGuid, sizeof(m_driverGuid), value);
        return 1;
    }
    if (lstrcmpiA(key, "gfx_res") == 0) {
        value.Format("%d %d", m_resWidth, m_resHeight);
        return 1;
    }
    if (lstrcmpiA(key, "gfx_filter") == 0) {
        value = FilterName(m_filter);
        return 1;
    }
    return 0;
}

void YGraphicsData::Save(CStdioFile& file)
{
    file.WriteString("\n-- Graphic settings\n\n");
    for (const IntKey* k = SetKeys; k->name; ++k) WriteInt(file, k->name, this->*(k->field));
    WriteInt(file, "gfx_terrainblending", m_terrainBlending ? 1 : 0);

    YString hex, line;
    HexEncode(m_driverGuid, sizeof(m_driverGuid), hex);
    line.Format("set %s \"%s\"\n", "gfx_driver_guid", (const char*)hex);
    file.WriteString(line);
    line.Format("set %s \"%d %d\"\n", "gfx_res", m_resWidth, m_resHeight);
    file.WriteString(line);
    line.Format("set %s \"%s\"\n", "gfx_filter", FilterName(m_filter));
    file.WriteString(line);
}

int YGraphicsData::ListKeys(CArray<YString>& names, int)
{
    for (const char* const* name = ListedKeys; *name; ++name) names.Add(YString(*name));
    return 1;
}

void YGraphicsData::SetProfile(int p)
{
    m_treeDensity = 0;
    m_landPop = 10 - (int)(p * -5.0);
    m_textureQuality = p >= 3 ? 1 : 0;
    m_alphaSprites = p >= 3 ? 1 : 0;
    m_softSprites = p >= 4 ? 2 : 1;
    m_backgroundQuality = p >= 3 ? 2 : (p == 2 ? 1 : 0);
    m_animationQuality = p >= 2 ? 1 : 0;
    int filter = p - 2;
    m_filter = filter < 0 ? 0 : (filter > 3 ? 3 : filter);
    m_treeOverlap = 25 * p - 25;
    m_spritePerspective = p > 2 ? 1 : 0;
    m_fog = p >= 4 ? 1 : 0;
    m_texDetail = m_skySprites = m_cloudLayers = p > 3 ? 1 : 0;
    m_treeLod = 20 * p + 20;
}

void YGraphicsData::Export(int kind, void* record)
{
    if (kind != ExportRenderer || !record) return;
    YRenderOptions* out = static_cast<YRenderOptions*>(record);
    out->landPop = m_landPop;
    out->textureQuality = m_textureQuality;
    out->treeDensity = m_treeDensity;
    out->overlayPersistence = m_overlayPersistence;
    out->backgroundQuality = m_backgroundQuality;
    out->animationQuality = m_animationQuality;
    out->wBuffering = m_wBuffering;
    out->depthBuffer16 = m_depthBuffer16;
    out->colorKeying = m_colorKeying;
    out->bitDepth = m_bitDepth;
    out->alphaSprites = m_alphaSprites;
    out->softSprites = m_softSprites;
    out->treeOverlap = m_treeOverlap;
    out->spritePerspective = m_spritePerspective;
    out->fog = m_fog;
    out->wireFrame = m_wireFrame;
    out->texDetail = m_texDetail;
    out->softwareLight = m_softwareLight;
    out->fastScopes = m_fastScopes;
    out->shadowQuality = m_shadowQuality;
    out->shadowStatics = m_shadowStatics;
    out->shadowActors = m_shadowActors;
    out->shadowTree = m_shadowTree;
    out->terrainBlending = m_terrainBlending ? 1 : 0;
}

int YGraphicsData::SetPresetValue(const char* key, int value)
{
    if (lstrcmpiA(key, "gfx_filter") == 0) {
        m_filter = ClampFilter(value);
        return 1;
    }
    if (lstrcmpiA(key, "gfx_treeoverlap") == 0) {
        m_treeOverlap = value;
        return 1;
    }
    for (const IntKey* k = SetKeys; k->name; ++k) {
        if (lstrcmpiA(key, k->name) == 0) {
            this->*(k->field) = value;
            return 1;
        }
    }
    return 0;
}
