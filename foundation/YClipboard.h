// Moves text to and from the clipboard for the edit controls.
#pragma once

#include "platform/mfc.h"

class YClipboard : public CObject {
public:
    // True when the text was handed to the clipboard.
    virtual bool SetText(const CString& text);
    // True when the clipboard held text; otherwise `text` is left alone.
    virtual bool GetText(CString& text);
};
