#include "foundation/YClipboard.h"

bool YClipboard::SetText(const CString& text)
{
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t size = static_cast<size_t>(text.GetLength()) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_DDESHARE, size);
    if (!block) {
        CloseClipboard();
        return false;
    }
    std::memcpy(GlobalLock(block), static_cast<LPCTSTR>(text), size);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return true;
}

bool YClipboard::GetText(CString& text)
{
    if (!OpenClipboard(nullptr)) return false;
    bool found = false;
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block) {
        const char* bytes = static_cast<const char*>(GlobalLock(block));
        size_t size = GlobalSize(block);
        // Bounded: a block without a terminator still ends at its size.
        text = CString(bytes, static_cast<int>(strnlen(bytes, size)));
        GlobalUnlock(block);
        found = true;
    }
    CloseClipboard();
    return found;
}
