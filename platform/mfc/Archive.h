// CArchive: the class library's binary archive over a CFile.  Values are
// fixed-width little-endian; strings, counts and object references use the
// library's own tagged forms, so files match the original byte for byte.
//
// Reading never trusts the stream: running out of data throws
// CArchiveException::endOfFile, and a length or count larger than the data
// left in the file (when the file can tell its length) throws endOfFile
// before anything is allocated.  Game code checks its own counts with
// CanRead before allocating.
#pragma once

#include <unordered_map>
#include <vector>

#include "platform/win32.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/Exceptions.h"
#include "platform/mfc/String.h"
#include "platform/mfc/File.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // lpBuf is accepted for compatibility; the archive keeps its own buffer.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Closes (flushing a storing archive) unless bNoFlushOnDelete was given.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    // Loading: nothing left in the archive's buffer.
    BOOL IsBufferEmpty() const;
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being read (from its stored class reference),
    // once; later calls give (UINT)-1.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Raw bytes.  Read returns fewer bytes at the end of the data.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Storing: writes the buffer out.  Loading: puts the file back at the
    // archive's logical position, so the file can be used directly.
    void Flush();
    void Close();
    // Detaches from the file without flushing and without throwing.
    void Abort();

    // True when nBytes more can be read: the archive's buffer plus what the
    // file has left covers them.  True when the file cannot tell its length.
    bool CanRead(ULONGLONG nBytes);
    // Throws CArchiveException::endOfFile unless CanRead(nBytes).
    void EnsureCanRead(ULONGLONG nBytes);

    // Text lines.  WriteString writes the text as it stands (no line end);
    // ReadString reads up to '\n' and drops the line end ("\n" or "\r\n").
    void WriteString(LPCTSTR lpsz);
    LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    BOOL ReadString(CString& rString);

    // Objects and class references in the tagged form.
    CObject* ReadObject(const CRuntimeClass* pClass);
    // Reads an object the caller will own and delete: a reference back to an
    // object read earlier, which its first reader owns, throws badIndex.
    // A null reference gives null.
    CObject* ReadOwnedObject(const CRuntimeClass* pClass);
    void WriteObject(const CObject* pOb);
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Gives pOb the next index without writing it (null: nothing).
    void MapObject(const CObject* pOb);

    // Element counts: a WORD below 0xFFFF, else 0xFFFF and a DWORD.
    // ReadCount rejects a count larger than the bytes left.
    void WriteCount(DWORD dwCount);
    DWORD ReadCount();

    void SetStoreParams(UINT nHashSize = 2053, UINT nBlockSize = 128);
    void SetLoadParams(UINT nGrowBy = 1024);

    // ---- values
    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(LONG l);  // also int
    CArchive& operator<<(DWORD dw);  // also unsigned
    CArchive& operator<<(short s);
    CArchive& operator<<(char ch);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(LONGLONG ll);
    CArchive& operator<<(ULONGLONG ull);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(short& s);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(LONGLONG& ll);
    CArchive& operator>>(ULONGLONG& ull);

    void* m_pDocument;
    CString m_strFileName;

private:
    void FillBuffer();
    void WriteBytes(const BYTE* p, UINT n);
    void ReadExact(void* p, UINT n);
    void CheckCount();
    void InitMaps();

    struct LoadEntry {
        void* pointer;
        bool isClass;
    };

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_buffer;
    UINT m_nBufCur;  // next byte to read or write
    UINT m_nBufMax;  // loading: bytes in the buffer
    UINT m_nObjectSchema;
    DWORD m_nMapCount;
    bool m_bMapsReady;
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<LoadEntry> m_loadArray;
    std::unordered_map<const CRuntimeClass*, UINT> m_schemaMap;
};

CArchive& operator<<(CArchive& ar, const CObject* pOb);
CArchive& operator>>(CArchive& ar, CObject*& pOb);
CArchive& operator>>(CArchive& ar, const CObject*& pOb);

// CString: a BYTE length below 255; else 0xFF and a WORD below 0xFFFE; else
// 0xFF, 0xFFFF and a DWORD; then the characters.  Reading also takes the
// 16-bit form (0xFF 0xFFFE then a length prefix in characters).
CArchive& operator<<(CArchive& ar, const CString& string);
CArchive& operator>>(CArchive& ar, CString& string);
