// A map: reads a ".zon" file in the "YMAP" format into memory records and
// builds the terrain strips from it.  The program only reads maps; storing
// writes nothing.
#pragma once

#include <vector>

#include "platform/mfc.h"
#include "renderer/CelestialObject.h"
#include "renderer/CloudPlane.h"
#include "renderer/Stripper.h"
#include "renderer/YMapVT3Model_Output.h"
#include "renderer/YMapVT3Sound_Output.h"
#include "renderer/YMapVT3Tag.h"
#include "renderer/YMapVT3Terrain.h"
#include "renderer/YMapVT3Tree.h"

class YParser;
struct YParserZone;
class YMapBlockReader;

class YMapVT3 : public CObject {
    DECLARE_DYNAMIC(YMapVT3)
public:
    enum { kMaxCells = 65536, kHeightTable = 65536, kMaxString = 2047, kMaxZoneString = 4095 };
    enum { kListedRecordsPerByte = 4 };
    enum StripState { kNoTerrain = 0, kTerrainRead = 1, kStripsBuilt = 2 };

    YMapVT3();
    ~YMapVT3() override;

    // Reads the map file; 1 when a whole, valid map was read, else 0 and the
    // object is left empty.
    virtual int LoadFile(const char* path, YParser* renderer);
    virtual int Clear();
    void Serialize(CArchive& ar) override;

    int FindTag(CString name, YMapVT3Tag& out) const;
    // The zones of a map read without a renderer to take them, handed over
    // to the caller.
    std::vector<YParserZone*> TakeZones();

    int32_t m_readKind = 0;
    CStringArray m_strings1, m_strings2, m_strings3, m_strings4;
    std::vector<YMapVT3Model_Output> m_models;
    std::vector<YMapVT3Model_Output> m_models2;
    std::vector<YMapVT3Sound_Output> m_sounds;
    YParser* m_renderer = nullptr;
    DWORD m_gridWidth = 0, m_gridHeight = 0;
    float m_cellSize = 0;
    float m_originX = 0, m_originY = 0, m_originZ = 0;
    std::vector<float> m_heightTable;
    std::vector<float> m_vertexHeights;
    std::vector<YMapVT3Cell> m_cells;
    int32_t m_stripState = kNoTerrain;
    std::vector<YMapVT3Vertex> m_vertices;
    std::vector<YMapVT3Group> m_groups;
    StripperOutput m_strips;
    std::vector<YMapVT3Tag> m_tags;
    std::vector<YMapVT3Tree> m_trees;
    std::vector<CelestialObject> m_celestials;
    std::vector<CloudPlane> m_clouds;

private:
    // Reads the whole stream; false on a wrong magic or version (the tag
    // list is emptied and nothing else is read).  Throws
    // CArchiveException on a truncated or inconsistent stream.
    bool ReadStream(CArchive& ar);
    void ReadHeader(CArchive& ar);
    void ReadBlock(BYTE type, YMapBlockReader& in);
    void ReadTags(YMapBlockReader& in);
    void ReadModels(YMapBlockReader& in, std::vector<YMapVT3Model_Output>& list, bool longForm);
    void ReadSounds(YMapBlockReader& in);
    void ReadZones(YMapBlockReader& in, bool threeCoordinates);
    void ReadStringLists(YMapBlockReader& in);
    void ReadPathTrees(YMapBlockReader& in);
    void ReadSingleTrees(YMapBlockReader& in);
    void ReadStringList1(YMapBlockReader& in);
    void ReadVertices(YMapBlockReader& in);
    void ReadGroupsOneLayer(YMapBlockReader& in);
    void ReadGroupsLayered(YMapBlockReader& in);
    void ReadCells(YMapBlockReader& in);
    void ReadCelestials(YMapBlockReader& in);
    void ReadClouds(YMapBlockReader& in);
    // Refuses group and vertex indexes out of range, and cell lists that
    // would make the strip builder list more layer records than
    // kListedRecordsPerByte for each byte of the stream.
    void CheckIndexes(ULONGLONG streamBytes) const;
    void BuildStrips();
    void FreeZones();

    std::vector<YParserZone*> m_zones;
    bool m_whole = false;  // the last stream read was a whole, valid map
};
