// Global memory blocks and an in-process clipboard.
#include "platform/win32.h"

#include <map>

namespace {
// A block keeps its size in front of the bytes it hands out.
struct BlockHeader {
    size_t size;
    size_t padding;  // keeps the bytes 16-byte aligned
};

BlockHeader* HeaderOf(HGLOBAL mem)
{
    return reinterpret_cast<BlockHeader*>(static_cast<char*>(mem) - sizeof(BlockHeader));
}

struct Clipboard {
    bool open = false;
    std::map<UINT, HGLOBAL> data;

    void Clear()
    {
        for (auto& entry : data) GlobalFree(entry.second);
        data.clear();
    }
    ~Clipboard() { Clear(); }
};

Clipboard& TheClipboard()
{
    static Clipboard clipboard;
    return clipboard;
}
}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    char* raw = static_cast<char*>((flags & GMEM_ZEROINIT) ? std::calloc(1, sizeof(BlockHeader) + bytes)
                                                            : std::malloc(sizeof(BlockHeader) + bytes));
    if (!raw) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    reinterpret_cast<BlockHeader*>(raw)->size = bytes;
    return raw + sizeof(BlockHeader);
}

LPVOID GlobalLock(HGLOBAL mem)
{
    return mem;
}

BOOL GlobalUnlock(HGLOBAL mem)
{
    (void)mem;
    return FALSE;  // no lock count is left
}

size_t GlobalSize(HGLOBAL mem)
{
    return mem ? HeaderOf(mem)->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    if (mem) std::free(HeaderOf(mem));
    return nullptr;
}

BOOL OpenClipboard(HWND)
{
    Clipboard& c = TheClipboard();
    if (c.open) return FALSE;
    c.open = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    Clipboard& c = TheClipboard();
    if (!c.open) return FALSE;
    c.open = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    Clipboard& c = TheClipboard();
    if (!c.open) return FALSE;
    c.Clear();
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE mem)
{
    Clipboard& c = TheClipboard();
    if (!c.open || !mem) return nullptr;
    auto old = c.data.find(format);
    if (old != c.data.end() && old->second != mem) GlobalFree(old->second);
    c.data[format] = mem;
    return mem;
}

HANDLE GetClipboardData(UINT format)
{
    Clipboard& c = TheClipboard();
    if (!c.open) return nullptr;
    auto found = c.data.find(format);
    return found == c.data.end() ? nullptr : found->second;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    return TheClipboard().data.count(format) ? TRUE : FALSE;
}
