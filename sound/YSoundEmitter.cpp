#include "sound/YSoundEmitter.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YSoundEmitter, YResource, 1)

YSoundEmitter::YSoundEmitter(const char* fileName) { m_soundFiles.Add(fileName ? fileName : ""); }

void YSoundEmitter::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    m_info.Serialize(ar);
    m_soundFiles.Serialize(ar);
}

BOOL YSoundEmitter::LoadFromPath(const CString& folder, DWORD_PTR)
{
    if (m_soundFiles.GetSize() < 1) return FALSE;
    const CString path = folder + "/" + m_soundFiles.GetAt(0);
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
    m_folder = folder;
    return TRUE;
}

BOOL YSoundEmitter::LoadFromDirectories(CStringArray* folders, DWORD_PTR context)
{
    if (!folders) return FALSE;
    for (int i = 0; i < folders->GetSize(); ++i)
        if (LoadFromPath(folders->GetAt(i), context)) return TRUE;
    return FALSE;
}

int YSoundEmitter::Accept(YResourceVisitor* visitor) { return visitor->VisitSoundEmitter(this); }

void YSoundEmitter::GetSoundFilePath(YString& text, int index) const
{
    if (index < 0 || index >= m_soundFiles.GetSize())
        text = "";
    else
        text = YString(static_cast<const char*>(m_soundFiles.GetAt(index)));
}

void YSoundEmitter::Assign(const YSoundEmitter& other)
{
    m_folder = other.m_folder;
    m_info.CopyFrom(other.m_info);
}
