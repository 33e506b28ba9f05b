// Reading an image file through a CFile: exact reads, the bytes left, and
// little-endian fields.  A short read is a failure, never a partial picture.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/mfc.h"

class YImageFileReader {
public:
    explicit YImageFileReader(CFile& file) : m_file(file) {}

    bool Read(void* buffer, uint64_t count)
    {
        if (count > Remaining()) return false;
        BYTE* at = static_cast<BYTE*>(buffer);
        while (count > 0) {
            UINT part = static_cast<UINT>(count > 0x40000000u ? 0x40000000u : count);
            UINT got = m_file.Read(at, part);
            if (got != part) return false;
            at += got;
            count -= got;
        }
        return true;
    }
    bool Read(std::vector<BYTE>& out, uint64_t count)
    {
        if (count > Remaining()) return false;
        out.assign(static_cast<size_t>(count), 0);
        return count == 0 || Read(out.data(), count);
    }
    bool Skip(uint64_t count)
    {
        if (count > Remaining()) return false;
        m_file.Seek(static_cast<LONG>(count), CFile::current);
        return true;
    }
    bool SeekTo(uint64_t position)
    {
        if (position > m_file.GetLength()) return false;
        m_file.Seek(static_cast<LONG>(position), CFile::begin);
        return true;
    }
    uint64_t Remaining() const
    {
        DWORD length = m_file.GetLength(), position = m_file.GetPosition();
        return position < length ? length - position : 0;
    }

    static uint32_t U16(const BYTE* at) { return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8); }
    static uint32_t U32(const BYTE* at) { return U16(at) | (U16(at + 2) << 16); }
    static int32_t I32(const BYTE* at) { return static_cast<int32_t>(U32(at)); }

private:
    CFile& m_file;
};
