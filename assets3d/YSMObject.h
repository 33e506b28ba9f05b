// The shared 3D model: vertex frames, faces, groups with skins and tags,
// frame-sequence animations, texture resources and model tags.  Stored as a
// "YSMO" file (.ysm) or imported from a "YFMF" mesh set (.fmf).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "assets3d/YSMRecords.h"
#include "platform/mfc.h"

class YSMHandle;
class YFMFMeshSet;
struct YFMFMeshPart;

class YSMObject : public CObject {
    DECLARE_SERIAL(YSMObject)
public:
    YSMObject();
    ~YSMObject() override;

    // Loading throws CArchiveException on a file that is not a sound model.
    void Serialize(CArchive& ar) override;
    // A path ending in ".FMF" is imported from a mesh set; false when the
    // file cannot be opened or is not a valid model (the model is then empty).
    bool LoadFile(const char* path);
    bool SaveFile(const char* path);

    YSMHandle* CreateHandle();
    YSMHandle* CloneHandle(const YSMHandle* source);
    void RemoveHandle(YSMHandle* handle);

    void Clear();
    // First model tag with that key (without regard to case), -1 when none.
    int16_t FindTag(const char* key) const;
    bool GetTag(int16_t index, CString* key, CString* value, uint8_t* type) const;
    int16_t FindGroup(const char* name) const;

    // Geometry preparation, in this order after a load.
    void RemapAxes(const uint8_t permutation[3], const float signs[3]);
    void WeldAndComputeNormals();
    void BuildPreShell();
    void ComputeBounds();

    // Mesh-set import and its detail levels.  The import returns false (and
    // leaves the model empty) for a set it cannot make a model of.
    bool ImportMeshSet(YFMFMeshSet* set);
    // False when the tables of a set read from a file would pass
    // kDetailBytesPerFileByte bytes for each byte of it (kDetailFloorBytes
    // at least).
    bool BuildDetailLevels(YFMFMeshSet* set);
    enum { kDetailBytesPerFileByte = 64, kDetailFloorBytes = 8 << 20 };
    static int32_t SelectDetailLevel(const float a[3], float angle, const float b[3], const YFMFMeshPart* entry,
                                     float given, bool useGiven);
    void FreeDetailLevels(YFMFMeshSet* set);
    // The mesh entry a group was made from, for SelectDetailLevel: a model
    // loaded from an ".FMF" file keeps its mesh set; null for any other.
    const YFMFMeshPart* GetDetailEntry(int16_t group) const;
    std::unique_ptr<YFMFMeshSet> m_meshSet;

    std::vector<std::unique_ptr<YSMGroup>> m_groups;
    std::vector<std::unique_ptr<YSMFrame>> m_frames;
    std::vector<std::unique_ptr<YSMAnim>> m_anims;
    std::vector<YSMHandle*> m_handles;  // not owned
    std::vector<std::unique_ptr<YSMResource>> m_resources;
    std::vector<std::unique_ptr<YSMTag>> m_tags;
    std::vector<YSMFace> m_faces;

    int16_t m_vertexFormat = 1;  // 1 floats, 2 grid64
    int16_t m_compression = 0;   // 0 none, 1 zlib
    int16_t m_frameCount = 0;
    int16_t m_groupCount = 0;
    int16_t m_animCount = 0;
    int16_t m_vertexCount = 0;
    int16_t m_faceCount = 0;
    int16_t m_resourceCount = 0;
    int16_t m_tagCount = 0;
    int16_t m_spareIndex = -1;
    int32_t m_sourceKind = 0;    // non-zero after a mesh-set import
    int32_t m_shellPending = 1;  // cleared by the first instance preparation

private:
    bool ImportMeshes(YFMFMeshSet* set);
    void Load(CArchive& ar);
    void Store(CArchive& ar);
    void BuildFaceLists();
    YSMObject(const YSMObject&) = delete;
    YSMObject& operator=(const YSMObject&) = delete;
};
