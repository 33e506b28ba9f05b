#include "renderer/YMapBlockReader.h"

#include <cstring>
#include <string>

const BYTE* YMapBlockReader::Take(size_t count)
{
    if (count > Left()) AfxThrowArchiveException(CArchiveException::endOfFile);
    const BYTE* p = m_data + m_pos;
    m_pos += count;
    return p;
}

BYTE YMapBlockReader::ReadByte() { return *Take(1); }

WORD YMapBlockReader::ReadWord()
{
    const BYTE* p = Take(2);
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

DWORD YMapBlockReader::ReadDword()
{
    const BYTE* p = Take(4);
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

float YMapBlockReader::ReadFloat()
{
    DWORD bits = ReadDword();
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void YMapBlockReader::ReadBytes(void* out, size_t count)
{
    const BYTE* p = Take(count);
    if (count) std::memcpy(out, p, count);
}

void YMapBlockReader::Skip(size_t count) { Take(count); }

YString YMapBlockReader::ReadString(size_t maxLength)
{
    WORD length = ReadWord();
    if (length > maxLength) AfxThrowArchiveException(CArchiveException::badIndex);
    const BYTE* p = Take(length);
    std::string text(reinterpret_cast<const char*>(p), length);  // terminated copy
    return YString(text.c_str());
}

DWORD YMapBlockReader::CheckCount(DWORD count, size_t minBytes) const
{
    if (minBytes && count > Left() / minBytes) AfxThrowArchiveException(CArchiveException::endOfFile);
    return count;
}
