// An object's own archive record as bytes, and back.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/mfc.h"

inline std::vector<uint8_t> Store(CObject& object)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        object.Serialize(ar);
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Loads the bytes; false when the archive ran out.
inline bool Load(CObject& object, const std::vector<uint8_t>& bytes)
{
    CMemFile file(const_cast<uint8_t*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        object.Serialize(ar);
    } catch (CArchiveException* e) {
        e->Delete();
        return false;
    }
    return true;
}
