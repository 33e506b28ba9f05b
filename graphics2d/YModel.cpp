#include "graphics2d/YModel.h"

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YModelFrame.h"

IMPLEMENT_SERIAL(YModel, YResource, 1)

YModel::YModel() : m_valueG(0), m_valueH(0), m_valueI(0), m_valueJ(0), m_flags{0, 0, 0} {}

YModel::~YModel() { DeleteFrames(); }

void YModel::DeleteFrames()
{
    for (int i = 0; i < m_frames.GetSize(); ++i) delete m_frames[i];
    m_frames.RemoveAll();
}

void YModel::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_name << m_flags[0] << m_flags[1] << m_flags[2] << m_valueG << m_valueH << m_valueI << m_valueJ;
        ar.WriteCount(m_frames.GetSize());
        for (int i = 0; i < m_frames.GetSize(); ++i) ar.WriteObject(m_frames[i]);
        return;
    }
    ar >> m_name >> m_flags[0] >> m_flags[1] >> m_flags[2] >> m_valueG >> m_valueH >> m_valueI >> m_valueJ;
    DeleteFrames();
    DWORD count = ar.ReadCount();
    // Each frame is the model's own: a reference to one read before is refused.
    for (DWORD i = 0; i < count; ++i) {
        CObject* frame = ar.ReadOwnedObject(RUNTIME_CLASS(YModelFrame));
        if (frame) m_frames.Add(static_cast<YModelFrame*>(frame));
    }
}

int YModel::Accept(YResourceVisitor* visitor) { return visitor->VisitModel(this); }
