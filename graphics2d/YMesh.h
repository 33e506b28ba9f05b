// A catalog mesh: a "D2MY" file of vertices and 32-byte records, with the
// height range and the smallest of four turned rectangles around it.
#pragma once

#include "foundation/YResource.h"

class YMesh : public YResource {
    DECLARE_SERIAL(YMesh)
public:
    enum { kRecordSize = 32, kHeaderSize = 12 };

    YMesh();
    ~YMesh() override;

    void Serialize(CArchive& ar) override;
    // Loads the mesh file from the first folder of the list.
    BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context) override;
    // Loads the mesh file from the folder.
    BOOL LoadFromPath(const CString& path, DWORD_PTR context) override;
    int Accept(YResourceVisitor* visitor) override;
    using YResource::LoadFromFile;

    // 1 when the file is a whole mesh file, else 0.
    int Load(const CString& path);
    // Stores the folder and loads folder\file name (the file name alone
    // when the folder is empty).
    int LoadFromFile(const CString& folder);
    void Reset();

    float GetLowestZ() const { return m_lowestZ; }
    float GetHighestZ() const { return m_highestZ; }
    // Corner i (0..3) of the footprint.
    float GetFootprintX(int corner) const { return m_footprint[corner][0]; }
    float GetFootprintY(int corner) const { return m_footprint[corner][1]; }
    LONG GetVertexCount() const { return m_vertexCount; }
    LONG GetRecordCount() const { return m_recordCount; }
    const float* GetVertices() const { return m_vertices; }
    const BYTE* GetRecords() const { return m_records; }
    const CString& GetFolder() const { return m_folder; }
    const CString& GetFileName() const { return m_fileName; }
    void SetFileName(const CString& name) { m_fileName = name; }

    LONG m_valueE;
    CString m_secondName;
    BYTE m_flags[3];
    LONG m_valueA;
    LONG m_valueB;
    LONG m_valueC;
    LONG m_valueD;
    LONG m_valueF;

private:
    void FreeArrays();
    void ComputeBounds();

    CString m_folder;
    CString m_fileName;
    float m_lowestZ;
    float m_highestZ;
    float m_footprint[4][2];
    LONG m_vertexCount;
    LONG m_recordCount;
    float* m_vertices;
    BYTE* m_records;
};
