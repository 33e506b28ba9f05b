// A ring of rendered strings for a bitmap font: each entry keeps the
// surface a text was drawn into, so that drawing it again costs one copy.
// When the ring is full the oldest entry is emptied and reused.
#pragma once

#include "platform/mfc.h"

class YDXSurface;

struct YFontCacheEntry {
    YDXSurface* surface = nullptr;  // owned
    CString text;
    LONG key = 0;  // the length for lines, the format flags for text boxes
    LONG spacing = 0;
    LONG boxWidth = 0;
    LONG boxHeight = 0;
    BYTE checksum = 0;
    bool used = false;

    void Empty();
};

class YFontCache {
public:
    explicit YFontCache(int capacity = 100);
    ~YFontCache();

    // Empties the ring and gives it a new capacity.
    void Create(int capacity);
    void Empty();

    // The used entry holding exactly this text and these keys, or null.
    YFontCacheEntry* Find(BYTE checksum, LONG key, LONG spacing, LONG boxWidth, LONG boxHeight, const char* text,
                          int length);
    // The next entry of the ring, emptied.
    YFontCacheEntry* Take();

    int GetCapacity() const { return m_capacity; }
    int GetUsed() const { return m_used; }
    int GetNext() const { return m_next; }
    YFontCacheEntry* GetEntry(int index) { return index >= 0 && index < m_capacity ? &m_entries[index] : nullptr; }

    // The sum of the bytes at positions i for which (length - i) has bit 3
    // clear, modulo 256.
    static BYTE Checksum(const char* text, int length);

private:
    YFontCache(const YFontCache&) = delete;
    YFontCache& operator=(const YFontCache&) = delete;

    YFontCacheEntry* m_entries;
    int m_capacity;
    int m_used;
    int m_next;
};
