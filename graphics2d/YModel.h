// A catalog model: a list of model frames and a few stored values.
#pragma once

#include "foundation/YResource.h"

#include "graphics2d/YModelFrameArray.h"

class YModel : public YResource {
    DECLARE_SERIAL(YModel)
public:
    YModel();
    ~YModel() override;

    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;

    YModelFrameArray& GetFrames() { return m_frames; }
    // Appends a frame the model then owns.
    void AddFrame(YModelFrame* frame) { m_frames.Add(frame); }

    LONG m_valueG;
    LONG m_valueH;
    LONG m_valueI;
    LONG m_valueJ;
    CString m_name;
    BYTE m_flags[3];

private:
    void DeleteFrames();

    YModelFrameArray m_frames;
};
