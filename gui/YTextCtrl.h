// Text in the window font, aligned and wrapped by style bits: bit 0 centres,
// bit 1 aligns right, bits 2 and 3 keep it on one line, bit 16 centres it
// vertically.  The text is shown from a chosen line of its wrapped form.
#pragma once

#include "gui/YWindow.h"

class YTextCtrl : public YWindow {
    DECLARE_SERIAL(YTextCtrl)
public:
    enum {
        kCentreStyle = 0x1,
        kRightStyle = 0x2,
        kSingleLineStyles = 0x4 | 0x8,
        kVCentreStyle = 0x10000
    };

    YTextCtrl();

    using YWindow::Create;
    using YWindow::Draw;
    using YWindow::LoadFromFile;

    void Serialize(CArchive& ar) override;
    // Both loads run even when the resources are loaded; a control without
    // a font then takes resource 0 when it is one.
    int LoadFromFile(const CStringArray& directories, int flag) override;
    int LoadFromCatalog(const char* directory, int flag) override;
    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;

    virtual int Create(const char* text, int style, const RECT* rect, YWindow* parent, int id);
    void SetFirstLine(int line) { m_firstLine = line; }
    int GetFirstLine() const { return m_firstLine; }
    // The DrawText flags of the style.
    UINT GetFormat() const;

protected:
    void TakeFontFromResources();

    int32_t m_firstLine;
};
