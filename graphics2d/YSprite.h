// The catalog sprite.  So far it carries its archive form: position, size,
// stored values and its frames.
#pragma once

#include "foundation/YResource.h"
#include "graphics2d/YFrameList.h"

class YSprite : public YResource {
    DECLARE_SERIAL(YSprite)
public:
    YSprite();
    ~YSprite() override;

    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;
    LONG GetWidth() override { return m_width; }
    LONG GetHeight() override { return m_height; }

    YFrameList& GetFrames() { return m_frames; }
    // Appends a frame the sprite then owns.
    void AddFrame(YFrame* frame) { m_frames.AddTail(frame); }

    CString m_name;
    LONG m_x;
    LONG m_y;
    LONG m_valueA;
    LONG m_width;
    LONG m_height;
    LONG m_valueB;
    LONG m_valueC;
    LONG m_halfSize;

private:
    void DeleteFrames();

    YFrameList m_frames;
};
