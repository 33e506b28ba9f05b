#include "assets3d/YTextureError.h"

YString YTextureError::GetError() const { return m_iErrorMode == 1 ? m_strLastError : YString(); }

void YTextureError::SetError(const char* message)
{
    if (m_iErrorMode == 1) m_strLastError = message;
}
