// The last-error text and error mode the texture classes share: in error
// mode 1 a failing operation writes its message, otherwise nothing is kept.
#pragma once

#include <cstdint>

#include "foundation/YString.h"

class YTextureError {
public:
    void SetErrorMode(int32_t mode) { m_iErrorMode = mode; }
    int32_t GetErrorMode() const { return m_iErrorMode; }
    // The last message in error mode 1, else "".
    YString GetError() const;
    // Keeps the message in error mode 1.
    void SetError(const char* message);

protected:
    YString m_strLastError;
    int32_t m_iErrorMode = 0;
};
