// A button whose state images are fonts: its text is drawn in the font of
// the current state, and the button is exactly as large as that text.
#pragma once

#include "gui/YButton.h"

class YFontButton : public YButton {
    DECLARE_SERIAL(YFontButton)
public:
    enum { kTypeCode = 28 };

    YFontButton();

    YResource* CopyTo(YResource* target) override;
    int Accept(YResourceVisitor* visitor) override;
    // The text at where's top-left corner in font resource index; whether
    // the index named a resource.
    int DrawResource(YDC* dc, const RECT* where, int index) override;
    // Sized to the text in font 0 when there is one.
    RECT* GetRect(RECT* out) override;
    int DrawCaption(YDC* dc) override;
};
