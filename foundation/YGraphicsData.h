// Graphics settings: the "gfx_" keys.
#pragma once

#include "foundation/YConfigObject.h"

class YGraphicsData : public YConfigObject {
public:
    enum { FilterCount = 5, ExportRenderer = 2 };
    static const char* const FilterNames[FilterCount];
    // Name of a filter index; an index outside the table is clamped into it.
    static const char* FilterName(int index);
    static int ClampFilter(int index);

    YGraphicsData();
    ~YGraphicsData() override;

    void Save(CStdioFile& file) override;
    int Set(const YString& key, const YString& value, int flag) override;
    int Get(const YString& key, YString& value, int flag) override;
    int ListKeys(CArray<YString>& names, int flag) override;
    void SetProfile(int level) override;
    void Export(int kind, void* record) override;

    // Stores one value of a detail preset under its "gfx_" name; also takes
    // "gfx_treeoverlap" and the filter as an index (clamped). 0 for no such key.
    int SetPresetValue(const char* key, int value);

    BYTE m_driverGuid[16];
    int m_fullScreen;
    int m_software;
    int m_treeDensity;
    int m_treePop;
    int m_landPop;
    int m_wallPop;
    int m_treesMipmapped;
    int m_landMipmapped;
    int m_texDetail;
    int m_colorKeying;
    int m_softwareLight;
    int m_fastScopes;
    int m_skySprites;
    int m_cloudLayers;
    int m_textureQuality;
    int m_overlayPersistence;
    int m_backgroundQuality;
    int m_animationQuality;
    int m_wireFrame;
    int m_amountOfDetail;
    int m_treeLod;
    int m_wBuffering;
    int m_depthBuffer16;
    int m_bitDepth;
    int m_alphaSprites;
    int m_softSprites;
    int m_fog;
    int m_resWidth;
    int m_resHeight;
    int m_shadowActors;
    int m_shadowStatics;
    int m_shadowTree;
    int m_shadowQuality;
    int m_filter;
    int m_spritePerspective;
    int m_treeOverlap;
    bool m_terrainBlending;
    CObject* m_extension;  // owned

private:
    struct IntKey {
        const char* name;
        int YGraphicsData::*field;
    };
    static const IntKey SetKeys[];
    static const char* const ListedKeys[];
};
