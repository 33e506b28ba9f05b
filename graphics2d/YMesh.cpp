#include "graphics2d/YMesh.h"

#include <cmath>

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YMesh, YResource, 1)

namespace {
const float kFar = 2147483648.0f;
const float kLargestArea = 3.4028235e38f;

float ReadFloat(const BYTE* p)
{
    DWORD bits = (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
    float value;
    memcpy(&value, &bits, sizeof(value));
    return value;
}

DWORD ReadDword(const BYTE* p) { return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24); }
}  // namespace

YMesh::YMesh()
    : m_valueE(0),
      m_valueA(0),
      m_valueB(0),
      m_valueC(0),
      m_valueD(0),
      m_valueF(0),
      m_lowestZ(0.0f),
      m_highestZ(0.0f),
      m_footprint{},
      m_vertexCount(0),
      m_recordCount(0),
      m_vertices(nullptr),
      m_records(nullptr)
{
    Reset();
}

YMesh::~YMesh() { FreeArrays(); }

void YMesh::FreeArrays()
{
    delete[] m_vertices;
    delete[] m_records;
    m_vertices = nullptr;
    m_records = nullptr;
}

void YMesh::Reset()
{
    FreeArrays();
    m_secondName.Empty();
    m_fileName.Empty();
    m_flags[0] = m_flags[1] = m_flags[2] = 0;
    m_valueA = m_valueB = m_valueC = m_valueD = m_valueF = 0;
    m_vertexCount = 0;
    m_recordCount = 0;
}

void YMesh::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_valueA << m_fileName << m_secondName << m_flags[0] << m_flags[1] << m_flags[2];
        ar << m_valueB << m_valueC << m_valueD << m_valueF << m_valueE;
    } else {
        ar >> m_valueA >> m_fileName >> m_secondName >> m_flags[0] >> m_flags[1] >> m_flags[2];
        ar >> m_valueB >> m_valueC >> m_valueD >> m_valueF >> m_valueE;
    }
}

BOOL YMesh::LoadFromDirectories(CStringArray* directories, DWORD_PTR)
{
    if (!directories || directories->GetSize() == 0) return FALSE;
    LoadFromFile(directories->GetAt(0));
    return TRUE;
}

BOOL YMesh::LoadFromPath(const CString& path, DWORD_PTR) { return LoadFromFile(path); }

int YMesh::Accept(YResourceVisitor* visitor) { return visitor->VisitMesh(this); }

int YMesh::LoadFromFile(const CString& folder)
{
    m_folder = folder;
    return Load(folder.IsEmpty() ? m_fileName : folder + "\\" + m_fileName);
}

int YMesh::Load(const CString& path)
{
    CFile file;
    if (path.IsEmpty() || !file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return 0;

    BYTE header[kHeaderSize];
    DWORD vertexCount = 0;
    DWORD recordCount = 0;
    try {
        if (file.Read(header, 4) != 4 || memcmp(header, "D2MY", 4) != 0) return 0;
        if (file.Read(header + 4, 8) != 8) return 0;
        vertexCount = ReadDword(header + 4);
        recordCount = ReadDword(header + 8);
        // The counts must account for the file exactly: no short or padded files.
        ULONGLONG expected = (ULONGLONG)kHeaderSize + 12ull * vertexCount + (ULONGLONG)kRecordSize * recordCount;
        if (expected != file.GetLength() || vertexCount > 0x7FFFFFFF || recordCount > 0x7FFFFFFF) return 0;

        BYTE* vertexBytes = new BYTE[(size_t)vertexCount * 12];
        BYTE* records = new BYTE[(size_t)recordCount * kRecordSize];
        UINT vertexSize = (UINT)vertexCount * 12;
        UINT recordSize = (UINT)recordCount * kRecordSize;
        if (file.Read(vertexBytes, vertexSize) != vertexSize || file.Read(records, recordSize) != recordSize) {
            delete[] vertexBytes;
            delete[] records;
            return 0;
        }
        FreeArrays();
        m_vertices = new float[(size_t)vertexCount * 3];
        for (DWORD i = 0; i < vertexCount * 3; ++i) m_vertices[i] = ReadFloat(vertexBytes + i * 4);
        delete[] vertexBytes;
        m_records = records;
        m_vertexCount = (LONG)vertexCount;
        m_recordCount = (LONG)recordCount;
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    ComputeBounds();
    return 1;
}

void YMesh::ComputeBounds()
{
    m_lowestZ = kFar;
    m_highestZ = -kFar;
    for (LONG i = 0; i < m_vertexCount; ++i) {
        float z = m_vertices[i * 3 + 2];
        if (z < m_lowestZ) m_lowestZ = z;
        if (z > m_highestZ) m_highestZ = z;
    }

    float bestArea = kLargestArea;
    int bestAngle = 0;
    float best[4] = {kFar, kFar, -kFar, -kFar};  // min x, min y, max x, max y
    for (int i = 0; i < 4; ++i) {
        float angle = (float)i * 22.0f * 3.141592f / 180.0f;
        float c = cosf(angle);
        float s = sinf(angle);
        float box[4] = {kFar, kFar, -kFar, -kFar};
        for (LONG v = 0; v < m_vertexCount; ++v) {
            float x = m_vertices[v * 3];
            float y = m_vertices[v * 3 + 1];
            float tx = x * c - y * s;
            float ty = x * s + y * c;
            if (tx < box[0]) box[0] = tx;
            if (tx > box[2]) box[2] = tx;
            if (ty < box[1]) box[1] = ty;
            if (ty > box[3]) box[3] = ty;
        }
        float area = (box[2] - box[0]) * (box[3] - box[1]);
        if (area < bestArea) {
            bestArea = area;
            bestAngle = i;
            memcpy(best, box, sizeof(best));
        }
    }

    float back = -((float)bestAngle * 22.0f * 3.141592f / 180.0f);
    float c = cosf(back);
    float s = sinf(back);
    const float corners[4][2] = {{best[0], best[1]}, {best[2], best[1]}, {best[2], best[3]}, {best[0], best[3]}};
    for (int k = 0; k < 4; ++k) {
        float x = corners[k][0];
        float y = corners[k][1];
        m_footprint[k][0] = x * c - y * s;
        m_footprint[k][1] = x * s + y * c;
    }
}
