#include "sound/YWave.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YWave, YResource, 1)

void YWave::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    CFile* file = ar.GetFile();
    m_fileName = file ? file->GetFilePath() : CString();
}

BOOL YWave::LoadFromFile(CFile& file)
{
    m_fileName = file.GetFilePath();
    return TRUE;
}

int YWave::Accept(YResourceVisitor* visitor) { return visitor->VisitWave(this); }
