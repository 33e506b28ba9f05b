// Reads the fields of one block of a "YMAP" stream from its payload.  Every
// read stays inside the payload: running past its end, a count larger than
// the bytes left or a string longer than its limit throws a
// CArchiveException (endOfFile or badIndex).
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/YString.h"
#include "platform/mfc.h"

class YMapBlockReader {
public:
    YMapBlockReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    BYTE ReadByte();
    WORD ReadWord();
    DWORD ReadDword();
    float ReadFloat();
    void ReadBytes(void* out, size_t count);
    void Skip(size_t count);
    // A u16 length then that many bytes; longer than maxLength is refused.
    YString ReadString(size_t maxLength);
    // Refuses a count of records that cannot fit in what is left, each at
    // least minBytes long; returns the count.
    DWORD CheckCount(DWORD count, size_t minBytes) const;

    size_t Left() const { return m_size - m_pos; }
    bool AtEnd() const { return m_pos == m_size; }

private:
    const BYTE* Take(size_t count);

    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
