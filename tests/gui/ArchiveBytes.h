// An object written to archive bytes and read back from them.
#pragma once

#include <vector>

#include "platform/mfc.h"

inline std::vector<BYTE> Store(CObject* object)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << object;
        ar.Close();
    }
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Throws what the archive throws.
inline CObject* Load(std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CObject* object = nullptr;
    ar >> object;
    return object;
}

// The object read back; null when the archive throws.
inline CObject* LoadOrNull(std::vector<BYTE>& bytes)
{
    try {
        return Load(bytes);
    } catch (CException* e) {
        e->Delete();
        return nullptr;
    }
}

// The object stored and read back: a new object the caller owns.
inline CObject* RoundTrip(CObject* object)
{
    std::vector<BYTE> bytes = Store(object);
    return Load(bytes);
}
