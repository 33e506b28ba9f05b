#include "platform/mfc/Archive.h"

#include <climits>
#include <string>

namespace {
const WORD wNullTag = 0;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const DWORD dwBigClassTag = 0x80000000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD nMaxMapCount = 0x3FFFFFFE;
const UINT nMinBufSize = 16;
}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void*)
    : m_pDocument(nullptr),
      m_pFile(pFile),
      m_nMode(nMode),
      m_nBufCur(0),
      m_nBufMax(0),
      m_nObjectSchema(static_cast<UINT>(-1)),
      m_nMapCount(1),
      m_bMapsReady(false)
{
    UINT size = nBufSize < static_cast<int>(nMinBufSize) ? nMinBufSize : static_cast<UINT>(nBufSize);
    m_buffer.resize(size);
    if (m_pFile) m_strFileName = m_pFile->GetFilePath();
}

CArchive::~CArchive()
{
    if (m_pFile && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    Abort();
}

BOOL CArchive::IsBufferEmpty() const { return m_nBufCur == m_nBufMax; }

UINT CArchive::GetObjectSchema()
{
    UINT nResult = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return nResult;
}

// ---------------------------------------------------------------- raw bytes
// Refills the drained buffer with as much as the file gives.
void CArchive::FillBuffer()
{
    m_nBufCur = m_nBufMax = 0;
    m_nBufMax = m_pFile->Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (nMax == 0) return 0;
    if (!IsLoading()) AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
    if (!m_pFile) AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        UINT avail = m_nBufMax - m_nBufCur;
        if (avail == 0) {
            UINT left = nMax - done;
            if (left >= m_buffer.size()) {
                UINT n = m_pFile->Read(out + done, left);
                done += n;
                break;
            }
            FillBuffer();
            avail = m_nBufMax;
            if (avail == 0) break;
        }
        UINT n = nMax - done < avail ? nMax - done : avail;
        std::memcpy(out + done, m_buffer.data() + m_nBufCur, n);
        m_nBufCur += n;
        done += n;
    }
    return done;
}

void CArchive::ReadExact(void* p, UINT n)
{
    if (Read(p, n) != n) AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

void CArchive::WriteBytes(const BYTE* p, UINT n)
{
    if (n == 0) return;
    if (!IsStoring()) AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
    if (!m_pFile) AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    UINT room = static_cast<UINT>(m_buffer.size()) - m_nBufCur;
    if (n <= room) {
        std::memcpy(m_buffer.data() + m_nBufCur, p, n);
        m_nBufCur += n;
        return;
    }
    if (m_nBufCur) {
        m_pFile->Write(m_buffer.data(), m_nBufCur);
        m_nBufCur = 0;
    }
    if (n >= m_buffer.size()) {
        m_pFile->Write(p, n);
    } else {
        std::memcpy(m_buffer.data(), p, n);
        m_nBufCur = n;
    }
}

void CArchive::Write(const void* lpBuf, UINT nMax) { WriteBytes(static_cast<const BYTE*>(lpBuf), nMax); }

void CArchive::Flush()
{
    if (!m_pFile) return;
    if (IsStoring()) {
        if (m_nBufCur) {
            UINT n = m_nBufCur;
            m_nBufCur = 0;
            m_pFile->Write(m_buffer.data(), n);
        }
        m_pFile->Flush();
    } else {
        if (m_nBufMax != m_nBufCur) m_pFile->Seek(-static_cast<LONG>(m_nBufMax - m_nBufCur), CFile::current);
        m_nBufCur = m_nBufMax = 0;
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() { m_pFile = nullptr; }

bool CArchive::CanRead(ULONGLONG nBytes)
{
    if (!IsLoading()) return true;
    ULONGLONG buffered = m_nBufMax - m_nBufCur;
    if (nBytes <= buffered) return true;
    if (!m_pFile) return false;
    ULONGLONG length = 0, position = 0;
    try {
        length = m_pFile->GetLength();
        position = m_pFile->GetPosition();
    } catch (CException* e) {
        e->Delete();
        return true;  // the file cannot tell
    }
    ULONGLONG left = length > position ? length - position : 0;
    return nBytes <= buffered + left;
}

void CArchive::EnsureCanRead(ULONGLONG nBytes)
{
    if (!CanRead(nBytes)) AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

// ---------------------------------------------------------------- text
void CArchive::WriteString(LPCTSTR lpsz)
{
    if (!lpsz) return;
    size_t n = std::strlen(lpsz);
    if (n > UINT_MAX) AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    Write(lpsz, static_cast<UINT>(n));
}

LPTSTR CArchive::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (!lpsz || nMax == 0) return nullptr;
    UINT n = 0;
    bool any = false;
    while (n + 1 < nMax) {
        char ch;
        if (Read(&ch, 1) != 1) break;
        any = true;
        if (ch == '\n') break;
        lpsz[n++] = ch;
    }
    if (n > 0 && lpsz[n - 1] == '\r') --n;
    lpsz[n] = '\0';
    return any ? lpsz : nullptr;
}

BOOL CArchive::ReadString(CString& rString)
{
    std::string line;
    bool any = false;
    for (;;) {
        char ch;
        if (Read(&ch, 1) != 1) break;
        any = true;
        if (ch == '\n') break;
        line += ch;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > static_cast<size_t>(INT_MAX - 1)) AfxThrowMemoryException();
    rString = CString(line.data(), static_cast<int>(line.size()));
    return any ? TRUE : FALSE;
}

// ---------------------------------------------------------------- values
#define RCV_ARCHIVE_PUT(Type)                                   \
    CArchive& CArchive::operator<<(Type value)                  \
    {                                                           \
        BYTE bytes[sizeof(Type)];                               \
        ULONGLONG bits = 0;                                     \
        std::memcpy(&bits, &value, sizeof(Type));               \
        for (size_t i = 0; i < sizeof(Type); ++i)               \
            bytes[i] = static_cast<BYTE>(bits >> (8 * i));      \
        WriteBytes(bytes, sizeof(Type));                        \
        return *this;                                           \
    }

#define RCV_ARCHIVE_GET(Type)                                   \
    CArchive& CArchive::operator>>(Type& value)                 \
    {                                                           \
        BYTE bytes[sizeof(Type)];                               \
        ReadExact(bytes, sizeof(Type));                         \
        ULONGLONG bits = 0;                                     \
        for (size_t i = 0; i < sizeof(Type); ++i)               \
            bits |= static_cast<ULONGLONG>(bytes[i]) << (8 * i); \
        std::memcpy(&value, &bits, sizeof(Type));               \
        return *this;                                           \
    }

static_assert(sizeof(float) == 4 && sizeof(double) == 8, "archive value widths");

RCV_ARCHIVE_PUT(BYTE)
RCV_ARCHIVE_PUT(WORD)
RCV_ARCHIVE_PUT(LONG)
RCV_ARCHIVE_PUT(DWORD)
RCV_ARCHIVE_PUT(short)
RCV_ARCHIVE_PUT(char)
RCV_ARCHIVE_PUT(float)
RCV_ARCHIVE_PUT(double)
RCV_ARCHIVE_PUT(LONGLONG)
RCV_ARCHIVE_PUT(ULONGLONG)

RCV_ARCHIVE_GET(BYTE)
RCV_ARCHIVE_GET(WORD)
RCV_ARCHIVE_GET(LONG)
RCV_ARCHIVE_GET(DWORD)
RCV_ARCHIVE_GET(short)
RCV_ARCHIVE_GET(char)
RCV_ARCHIVE_GET(float)
RCV_ARCHIVE_GET(double)
RCV_ARCHIVE_GET(LONGLONG)
RCV_ARCHIVE_GET(ULONGLONG)

// ---------------------------------------------------------------- counts
void CArchive::WriteCount(DWORD dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
    } else {
        *this << static_cast<WORD>(0xFFFF) << dwCount;
    }
}

DWORD CArchive::ReadCount()
{
    WORD wCount = 0;
    *this >> wCount;
    DWORD dwCount = wCount;
    if (wCount == 0xFFFF) *this >> dwCount;
    EnsureCanRead(dwCount);
    return dwCount;
}

void CArchive::SetStoreParams(UINT, UINT) {}
void CArchive::SetLoadParams(UINT) {}

// ---------------------------------------------------------------- objects
void CArchive::InitMaps()
{
    if (m_bMapsReady) return;
    m_bMapsReady = true;
    m_nMapCount = 1;
    m_storeMap.clear();
    m_loadArray.clear();
    m_loadArray.push_back(LoadEntry{nullptr, false});  // index 0: null
}

void CArchive::CheckCount()
{
    if (m_nMapCount >= nMaxMapCount) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
}

void CArchive::MapObject(const CObject* pOb)
{
    InitMaps();
    if (!pOb) return;
    CheckCount();
    if (IsStoring()) {
        m_storeMap[pOb] = m_nMapCount++;
    } else {
        m_loadArray.push_back(LoadEntry{const_cast<CObject*>(pOb), false});
        ++m_nMapCount;
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    if (!IsStoring()) AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
    if (!pClassRef || pClassRef->m_wSchema == 0xFFFF) AfxThrowNotSupportedException();
    InitMaps();
    auto it = m_storeMap.find(pClassRef);
    if (it != m_storeMap.end()) {
        DWORD nClassIndex = it->second;
        if (nClassIndex < wBigObjectTag)
            *this << static_cast<WORD>(wClassTag | nClassIndex);
        else
            *this << wBigObjectTag << (dwBigClassTag | nClassIndex);
        return;
    }
    *this << wNewClassTag;
    pClassRef->Store(*this);
    CheckCount();
    m_storeMap[pClassRef] = m_nMapCount++;
}

void CArchive::WriteObject(const CObject* pOb)
{
    if (!IsStoring()) AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
    InitMaps();
    if (!pOb) {
        *this << wNullTag;
        return;
    }
    auto it = m_storeMap.find(pOb);
    if (it != m_storeMap.end()) {
        DWORD nObIndex = it->second;
        if (nObIndex < wBigObjectTag)
            *this << static_cast<WORD>(nObIndex);
        else
            *this << wBigObjectTag << nObIndex;
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    CheckCount();
    m_storeMap[pOb] = m_nMapCount++;
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    if (!IsLoading()) AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
    if (pClassRefRequested && pClassRefRequested->m_wSchema == 0xFFFF) AfxThrowNotSupportedException();
    InitMaps();

    WORD wTag = 0;
    *this >> wTag;
    DWORD obTag;
    if (wTag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

    if (!(obTag & dwBigClassTag)) {
        if (!pObTag) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        *pObTag = obTag;
        return nullptr;
    }

    CRuntimeClass* pClassRef = nullptr;
    UINT nSchema = 0;
    if (wTag == wNewClassTag) {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (!pClassRef || pClassRef->m_wSchema == 0xFFFF || !pClassRef->m_pfnCreateObject)
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema) {
            if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
                AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
            m_schemaMap[pClassRef] = nSchema;
        }
        CheckCount();
        m_loadArray.push_back(LoadEntry{pClassRef, true});
        ++m_nMapCount;
    } else {
        DWORD nClassIndex = obTag & ~dwBigClassTag;
        if (nClassIndex == 0 || nClassIndex >= m_loadArray.size() || !m_loadArray[nClassIndex].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        pClassRef = static_cast<CRuntimeClass*>(m_loadArray[nClassIndex].pointer);
        auto it = m_schemaMap.find(pClassRef);
        nSchema = it != m_schemaMap.end() ? it->second : (pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA);
    }

    if (pClassRefRequested && !pClassRef->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);

    if (pSchema)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    if (pObTag) *pObTag = obTag;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);

    if (!pClassRef) {
        if (obTag >= m_loadArray.size() || m_loadArray[obTag].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        CObject* pOb = static_cast<CObject*>(m_loadArray[obTag].pointer);
        if (pOb && pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        return pOb;
    }

    CObject* pOb = pClassRef->CreateObject();
    if (!pOb) AfxThrowMemoryException();
    size_t slot = m_loadArray.size();
    try {
        CheckCount();
        m_loadArray.push_back(LoadEntry{pOb, false});
        ++m_nMapCount;
        UINT nSchemaSave = m_nObjectSchema;
        m_nObjectSchema = nSchema;
        pOb->Serialize(*this);
        m_nObjectSchema = nSchemaSave;
    } catch (...) {
        // Nobody else can own an object whose reading failed.
        if (slot < m_loadArray.size()) m_loadArray[slot].pointer = nullptr;
        delete pOb;
        throw;
    }
    return pOb;
}

CObject* CArchive::ReadOwnedObject(const CRuntimeClass* pClassRefRequested)
{
    // A new object always takes a new index; a back-reference takes none.
    const size_t before = m_loadArray.size();
    CObject* pOb = ReadObject(pClassRefRequested);
    if (pOb && m_loadArray.size() == before) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    return pOb;
}

CObject* AfxReadObjectFromArchive(CArchive& ar, const CRuntimeClass* pClass) { return ar.ReadObject(pClass); }

CArchive& operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

// ---------------------------------------------------------------- CString
CArchive& operator<<(CArchive& ar, const CString& string)
{
    DWORD len = static_cast<DWORD>(string.GetLength());
    if (len < 255) {
        ar << static_cast<BYTE>(len);
    } else if (len < 0xFFFE) {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(len);
    } else {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << len;
    }
    ar.Write(static_cast<LPCTSTR>(string), len);
    return ar;
}

// The length prefix; sets bWide for the 16-bit character form.
static DWORD ReadStringLength(CArchive& ar, bool& bWide)
{
    bWide = false;
    BYTE bLen = 0;
    ar >> bLen;
    if (bLen < 0xFF) return bLen;
    WORD wLen = 0;
    ar >> wLen;
    if (wLen == 0xFFFE) {
        bWide = true;
        ar >> bLen;
        if (bLen < 0xFF) return bLen;
        ar >> wLen;
        if (wLen == 0xFFFE) AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    if (wLen < 0xFFFF) return wLen;
    DWORD dwLen = 0;
    ar >> dwLen;
    return dwLen;
}

CArchive& operator>>(CArchive& ar, CString& string)
{
    bool bWide = false;
    DWORD len = ReadStringLength(ar, bWide);
    ULONGLONG bytes = static_cast<ULONGLONG>(len) * (bWide ? 2 : 1);
    ar.EnsureCanRead(bytes);
    if (len > static_cast<DWORD>(INT_MAX - 1)) AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);

    // Read in pieces so that a false length from a file that cannot tell its
    // size never allocates more than the data that is really there.
    std::string raw;
    const ULONGLONG piece = 1 << 20;
    while (raw.size() < bytes) {
        ULONGLONG left = bytes - raw.size();
        UINT n = static_cast<UINT>(left < piece ? left : piece);
        size_t old = raw.size();
        raw.resize(old + n);
        if (ar.Read(&raw[old], n) != n) {
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        }
    }
    if (!bWide) {
        string = CString(raw.data(), static_cast<int>(len));
        return ar;
    }
    std::basic_string<WCHAR> wide(len, u'\0');
    for (DWORD i = 0; i < len; ++i)
        wide[i] = static_cast<WCHAR>(static_cast<BYTE>(raw[2 * i]) | (static_cast<BYTE>(raw[2 * i + 1]) << 8));
    std::string narrow(len, '\0');
    if (len) WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(len), &narrow[0], static_cast<int>(len), nullptr, nullptr);
    string = CString(narrow.data(), static_cast<int>(len));
    return ar;
}
