#include "platform/mfc/StdioFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace platform {
// The buffer behind a CStdioFile: raw bytes read ahead from the descriptor,
// translated as they are taken, and translated bytes waiting to be written.
// The logical position is always a byte offset in the file.
class StdioBuffer {
public:
    StdioBuffer(int fd, bool text, const CString& name) : m_fd(fd), m_text(text), m_name(name), m_data(kSize) {}

    // ---- reading
    size_t Read(void* buffer, size_t count)
    {
        BeginRead();
        char* out = static_cast<char*>(buffer);
        size_t done = 0;
        if (!m_text) {
            while (done < count && Fill()) {
                size_t n = std::min(count - done, m_length - m_pos);
                std::memcpy(out + done, m_data.data() + m_pos, n);
                m_pos += n;
                done += n;
            }
            return done;
        }
        for (int c; done < count && (c = Get()) >= 0;) out[done++] = static_cast<char>(c);
        return done;
    }

    // Reads through the next "\n" or up to max characters; false when
    // nothing was left to read.
    bool ReadLine(std::string* line, size_t max)
    {
        BeginRead();
        line->clear();
        int c = 0;
        while (line->size() < max && (c = Get()) >= 0) {
            *line += static_cast<char>(c);
            if (c == '\n') break;
        }
        return !line->empty();
    }

    // ---- writing
    void Write(const void* buffer, size_t count)
    {
        BeginWrite();
        const char* in = static_cast<const char*>(buffer);
        if (!m_text) {
            m_pending.append(in, count);
        } else {
            for (size_t i = 0; i < count; ++i) {
                if (in[i] == '\n') m_pending += '\r';
                m_pending += in[i];
            }
        }
        if (m_pending.size() >= kSize) FlushWrites();
    }

    // Writes out what is waiting; on failure it is dropped and the error thrown.
    void FlushWrites()
    {
        size_t done = 0;
        while (done < m_pending.size()) {
            ssize_t n = ::write(m_fd, m_pending.data() + done, m_pending.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                int error = n < 0 ? errno : ENOSPC;
                m_pending.clear();
                m_mode = kIdle;
                // Not opened for writing: Windows calls that access denied.
                if (error == EBADF) AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, m_name);
                CFileException::ThrowErrno(error, m_name);
            }
            done += static_cast<size_t>(n);
        }
        m_pending.clear();
        if (m_mode == kWriting) m_mode = kIdle;
    }

    // ---- position
    off_t Position()
    {
        if (m_mode == kReading) return m_start + static_cast<off_t>(m_pos);
        FlushWrites();
        off_t position = ::lseek(m_fd, 0, SEEK_CUR);
        if (position < 0) CFileException::ThrowErrno(errno, m_name);
        return position;
    }

    off_t Seek(off_t offset, int whence)
    {
        if (whence == SEEK_CUR) {
            offset += Position();
            whence = SEEK_SET;
        }
        Settle();
        m_sawEnd = false;
        off_t position = ::lseek(m_fd, offset, whence);
        if (position < 0) {
            if (errno == EINVAL) AfxThrowFileException(CFileException::badSeek, 131, m_name);
            CFileException::ThrowErrno(errno, m_name);
        }
        return position;
    }

    // Leaves the descriptor at the logical position with nothing buffered.
    void Settle()
    {
        if (m_mode == kWriting) FlushWrites();
        if (m_mode == kReading) {
            m_mode = kIdle;
            if (::lseek(m_fd, m_start + static_cast<off_t>(m_pos), SEEK_SET) < 0)
                CFileException::ThrowErrno(errno, m_name);
        }
    }

private:
    enum Mode { kIdle, kReading, kWriting };
    static const size_t kSize = 16384;

    void BeginRead()
    {
        if (m_mode == kReading) return;
        FlushWrites();
        m_start = ::lseek(m_fd, 0, SEEK_CUR);
        if (m_start < 0) CFileException::ThrowErrno(errno, m_name);
        m_pos = m_length = 0;
        m_mode = kReading;
    }

    void BeginWrite()
    {
        if (m_mode == kReading) Settle();
        m_mode = kWriting;
    }

    // Makes sure a byte is buffered; false at the end of the file.
    bool Fill()
    {
        if (m_pos < m_length) return true;
        m_start += static_cast<off_t>(m_length);
        m_pos = m_length = 0;
        ssize_t n;
        do n = ::read(m_fd, m_data.data(), m_data.size());
        while (n < 0 && errno == EINTR);
        if (n < 0) CFileException::ThrowErrno(errno, m_name);
        m_length = static_cast<size_t>(n);
        return n > 0;
    }

    // The next character after text translation, or -1 at the end.
    int Get()
    {
        if (m_sawEnd || !Fill()) return -1;
        char c = m_data[m_pos];
        if (m_text) {
            if (c == 0x1A) {  // Ctrl-Z ends a text file
                m_sawEnd = true;
                return -1;
            }
            if (c == '\r') {
                ++m_pos;
                if (Fill() && m_data[m_pos] == '\n') {
                    ++m_pos;
                    return '\n';
                }
                return '\r';
            }
        }
        ++m_pos;
        return static_cast<unsigned char>(c);
    }

    int m_fd;
    bool m_text;
    CString m_name;
    Mode m_mode = kIdle;
    std::vector<char> m_data;
    off_t m_start = 0;  // file offset of m_data[0] while reading
    size_t m_pos = 0;
    size_t m_length = 0;
    bool m_sawEnd = false;
    std::string m_pending;
};
}  // namespace platform

namespace {
using platform::StdioBuffer;

// The stdio side: an unbuffered stream whose calls land in the same buffer.
// Exceptions must not cross the C library, so they become errors here.
ssize_t StreamRead(void* cookie, char* buffer, size_t size)
{
    try {
        return static_cast<ssize_t>(static_cast<StdioBuffer*>(cookie)->Read(buffer, size));
    } catch (CException* e) {
        e->Delete();
        errno = EIO;
        return -1;
    }
}

ssize_t StreamWrite(void* cookie, const char* buffer, size_t size)
{
    try {
        static_cast<StdioBuffer*>(cookie)->Write(buffer, size);
        return static_cast<ssize_t>(size);
    } catch (CException* e) {
        e->Delete();
        errno = EIO;
        return 0;
    }
}

int StreamSeek(void* cookie, off64_t* offset, int whence)
{
    try {
        *offset = static_cast<StdioBuffer*>(cookie)->Seek(static_cast<off_t>(*offset), whence);
        return 0;
    } catch (CException* e) {
        e->Delete();
        errno = EINVAL;
        return -1;
    }
}

int StreamClose(void*)
{
    return 0;  // the descriptor belongs to the CFile
}

DWORD CheckedPosition(off_t position, const CString& name)
{
    if (position > static_cast<off_t>(LONG_MAX)) AfxThrowFileException(CFileException::badSeek, 131, name);
    return static_cast<DWORD>(position);
}
}  // namespace

CStdioFile::CStdioFile() : m_pStream(nullptr), m_pBuffer(nullptr) {}

CStdioFile::CStdioFile(FILE* pOpenStream) : m_pStream(pOpenStream), m_pBuffer(nullptr)
{
    m_hFile = pOpenStream ? static_cast<UINT>(fileno(pOpenStream)) : static_cast<UINT>(hFileNull);
    m_bCloseOnDelete = FALSE;
}

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_pStream(nullptr), m_pBuffer(nullptr)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e)) AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream && m_bCloseOnDelete) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    if (m_pBuffer || (m_pStream && m_bCloseOnDelete)) Abort();
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_pStream || m_pBuffer) Abort();
    if (!CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError)) return FALSE;

    int fd = static_cast<int>(m_hFile);
    bool append = (nOpenFlags & modeCreate) ? (nOpenFlags & modeNoTruncate) != 0 : (nOpenFlags & modeWrite) != 0;
    if (append) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_APPEND);

    m_pBuffer = new platform::StdioBuffer(fd, (nOpenFlags & typeBinary) == 0, m_strFileName);
    const char* mode = (nOpenFlags & 3) == modeRead ? "r" : (nOpenFlags & 3) == modeWrite ? "w" : "r+";
    cookie_io_functions_t functions = {StreamRead, StreamWrite, StreamSeek, StreamClose};
    m_pStream = fopencookie(m_pBuffer, mode, functions);
    if (!m_pStream) {
        int error = errno;
        Abort();
        if (pError) {
            pError->m_cause = CFileException::ErrnoToException(error);
            pError->m_lOsError = CFileException::ErrnoToOsError(error);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    setvbuf(m_pStream, nullptr, _IONBF, 0);
    return TRUE;
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (!lpsz) AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER, m_strFileName);
    Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (!lpsz || nMax == 0) return nullptr;
    if (!m_pBuffer) {
        if (!m_pStream) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
        LPTSTR result = std::fgets(lpsz, static_cast<int>(std::min<UINT>(nMax, INT_MAX)), m_pStream);
        if (!result && std::ferror(m_pStream)) {
            std::clearerr(m_pStream);
            CFileException::ThrowErrno(errno ? errno : EIO, m_strFileName);
        }
        return result;
    }
    std::string line;
    if (nMax == 1) {
        lpsz[0] = '\0';
        return lpsz;
    }
    if (!m_pBuffer->ReadLine(&line, nMax - 1)) return nullptr;
    std::memcpy(lpsz, line.data(), line.size());
    lpsz[line.size()] = '\0';
    return lpsz;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    std::string text;
    bool any = false;
    if (m_pBuffer) {
        any = m_pBuffer->ReadLine(&text, static_cast<size_t>(INT_MAX));
    } else {
        char chunk[129];
        while (ReadString(chunk, sizeof chunk)) {
            any = true;
            text += chunk;
            if (!text.empty() && text.back() == '\n') break;
        }
    }
    if (!text.empty() && text.back() == '\n') text.pop_back();
    rString = CString(text.data(), static_cast<int>(text.size()));
    return any ? TRUE : FALSE;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0) return 0;
    if (m_pBuffer) return static_cast<UINT>(m_pBuffer->Read(lpBuf, nCount));
    if (!m_pStream) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    size_t n = std::fread(lpBuf, 1, nCount, m_pStream);
    if (n < nCount && std::ferror(m_pStream)) {
        std::clearerr(m_pStream);
        CFileException::ThrowErrno(errno ? errno : EIO, m_strFileName);
    }
    return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_pBuffer) {
        m_pBuffer->Write(lpBuf, nCount);
        return;
    }
    if (!m_pStream) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount) {
        std::clearerr(m_pStream);
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
    }
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom)
{
    int whence = nFrom == begin ? SEEK_SET : nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : -1;
    if (whence < 0) AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    if (m_pBuffer) return static_cast<LONG>(CheckedPosition(m_pBuffer->Seek(lOff, whence), m_strFileName));
    if (!m_pStream) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (std::fseek(m_pStream, lOff, whence) != 0) AfxThrowFileException(CFileException::badSeek, 131, m_strFileName);
    return static_cast<LONG>(CheckedPosition(std::ftell(m_pStream), m_strFileName));
}

DWORD CStdioFile::GetPosition() const
{
    if (m_pBuffer) return CheckedPosition(m_pBuffer->Position(), m_strFileName);
    if (!m_pStream) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    long position = std::ftell(m_pStream);
    if (position < 0) CFileException::ThrowErrno(errno, m_strFileName);
    return CheckedPosition(position, m_strFileName);
}

DWORD CStdioFile::GetLength() const
{
    if (m_pBuffer) m_pBuffer->FlushWrites();
    else if (m_pStream) std::fflush(m_pStream);
    return CFile::GetLength();
}

void CStdioFile::SetLength(DWORD dwNewLen)
{
    if (m_pBuffer) m_pBuffer->Settle();
    else if (m_pStream) std::fflush(m_pStream);
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush()
{
    if (m_pBuffer) m_pBuffer->FlushWrites();
    else if (m_pStream && std::fflush(m_pStream) != 0) CFileException::ThrowErrno(errno, m_strFileName);
}

void CStdioFile::Close()
{
    CException* failure = nullptr;
    if (m_pBuffer) {
        try {
            m_pBuffer->FlushWrites();
        } catch (CException* e) {
            failure = e;
        }
    }
    bool wrapped = m_pStream && !m_pBuffer;
    int closeError = 0;
    if (m_pStream && std::fclose(m_pStream) != 0) closeError = errno;
    m_pStream = nullptr;
    delete m_pBuffer;
    m_pBuffer = nullptr;
    if (wrapped) {
        m_hFile = static_cast<UINT>(hFileNull);  // fclose closed the descriptor
        m_bCloseOnDelete = FALSE;
    } else {
        try {
            CFile::Close();
        } catch (CException* e) {
            if (failure) e->Delete();
            else failure = e;
        }
    }
    if (failure) throw failure;
    if (closeError && wrapped) CFileException::ThrowErrno(closeError, m_strFileName);
}

void CStdioFile::Abort()
{
    Release();
    CFile::Abort();
}

// Drops the stream and the buffer without writing anything out.
void CStdioFile::Release()
{
    bool wrapped = m_pStream && !m_pBuffer;
    // A wrapped stream is closed only by Close; Abort just lets go of it.
    if (m_pStream && !wrapped) std::fclose(m_pStream);
    m_pStream = nullptr;
    delete m_pBuffer;
    m_pBuffer = nullptr;
    if (wrapped) {
        m_hFile = static_cast<UINT>(hFileNull);
        m_bCloseOnDelete = FALSE;
    }
}
