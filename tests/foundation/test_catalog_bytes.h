// Builds archive bytes by hand for the catalog tests: little-endian values,
// the class library's string form and its object tags.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/mfc.h"
#include "platform/win32.h"

struct ArchiveBytes {
    std::vector<BYTE> bytes;

    ArchiveBytes& U8(BYTE v)
    {
        bytes.push_back(v);
        return *this;
    }
    ArchiveBytes& U16(WORD v) { return U8(v & 0xFF).U8(v >> 8); }
    ArchiveBytes& U32(DWORD v) { return U16(v & 0xFFFF).U16(v >> 16); }
    ArchiveBytes& I32(LONG v) { return U32((DWORD)v); }
    ArchiveBytes& Raw(const char* text, size_t n)
    {
        bytes.insert(bytes.end(), text, text + n);
        return *this;
    }
    // Short strings: one length byte, then the characters.
    ArchiveBytes& Str(const std::string& s) { return U8((BYTE)s.size()).Raw(s.data(), s.size()); }
    // A new class: 0xFFFF, schema, name length, name.
    ArchiveBytes& NewClass(WORD schema, const std::string& name)
    {
        return U16(0xFFFF).U16(schema).U16((WORD)name.size()).Raw(name.data(), name.size());
    }
    ArchiveBytes& ClassRef(WORD index) { return U16(0x8000 | index); }
    ArchiveBytes& ObjectRef(WORD index) { return U16(index); }
    ArchiveBytes& Add(const ArchiveBytes& other)
    {
        bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end());
        return *this;
    }
};

// Reads each body in turn from one loading archive over a copy of bytes, as
// a catalog reads its items' bodies; the cause of the CArchiveException that
// stopped the reading, or -1 when every body was read.
template <class... Bodies>
int ReadBodies(const std::vector<BYTE>& bytes, Bodies&... bodies)
{
    std::vector<BYTE> copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    try {
        CArchive ar(&file, CArchive::load);
        (bodies.Serialize(ar), ...);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

// A folder under /tmp removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/rcv_h7_XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made ? made : "";
    }
    ~TempFolder()
    {
        if (!m_path.empty()) {
            std::string command = "rm -rf '" + m_path + "'";
            if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", m_path.c_str());
        }
    }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    static void Write(const std::string& path, const std::vector<BYTE>& data)
    {
        FILE* file = fopen(path.c_str(), "wb");
        if (!file) return;
        if (!data.empty()) fwrite(data.data(), 1, data.size(), file);
        fclose(file);
    }
    static void Write(const std::string& path, const std::string& text)
    {
        Write(path, std::vector<BYTE>(text.begin(), text.end()));
    }
    static std::vector<BYTE> Read(const std::string& path)
    {
        std::vector<BYTE> data;
        FILE* file = fopen(path.c_str(), "rb");
        if (!file) return data;
        int c;
        while ((c = fgetc(file)) != EOF) data.push_back((BYTE)c);
        fclose(file);
        return data;
    }
    static std::string ReadText(const std::string& path)
    {
        std::vector<BYTE> data = Read(path);
        return std::string(data.begin(), data.end());
    }

private:
    std::string m_path;
};
