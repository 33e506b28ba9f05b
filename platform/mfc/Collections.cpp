#include "platform/mfc/Collections.h"

void AfxCheckCollectionCount(CArchive& ar, DWORD nCount, size_t nMinBytes) {
    // Element indexes are ints.
    if (nCount > DWORD(INT_MAX)) AfxThrowArchiveException(CArchiveException::badIndex);
    ar.EnsureCanRead(ULONGLONG(nCount) * ULONGLONG(nMinBytes));
}

void AfxThrowCollectionMemory() { AfxThrowMemoryException(); }

void AfxThrowCollectionNotSerializable() { AfxThrowNotSupportedException(); }

void AfxThrowCollectionBadClass() { AfxThrowArchiveException(CArchiveException::badClass); }

IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
