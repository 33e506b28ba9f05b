#include "graphics2d/YFontCache.h"

#include <algorithm>
#include <cstring>

#include "graphics2d/YDXSurface.h"

void YFontCacheEntry::Empty()
{
    delete surface;
    surface = nullptr;
    text.Empty();
    key = spacing = boxWidth = boxHeight = 0;
    checksum = 0;
    used = false;
}

YFontCache::YFontCache(int capacity) : m_entries(nullptr), m_capacity(0), m_used(0), m_next(0) { Create(capacity); }

YFontCache::~YFontCache()
{
    Empty();
    delete[] m_entries;
}

void YFontCache::Create(int capacity)
{
    Empty();
    delete[] m_entries;
    m_capacity = std::max(capacity, 1);
    m_entries = new YFontCacheEntry[m_capacity];
}

void YFontCache::Empty()
{
    for (int i = 0; i < m_capacity; ++i) m_entries[i].Empty();
    m_used = m_next = 0;
}

YFontCacheEntry* YFontCache::Find(BYTE checksum, LONG key, LONG spacing, LONG boxWidth, LONG boxHeight,
                                  const char* text, int length)
{
    for (int i = 0; i < m_used; ++i) {
        YFontCacheEntry& e = m_entries[i];
        if (!e.used || e.checksum != checksum || e.key != key || e.spacing != spacing) continue;
        if (e.boxWidth != boxWidth || e.boxHeight != boxHeight || e.text.GetLength() != length) continue;
        if (memcmp(static_cast<LPCTSTR>(e.text), text, static_cast<size_t>(length)) == 0) return &e;
    }
    return nullptr;
}

YFontCacheEntry* YFontCache::Take()
{
    if (m_next >= m_capacity) m_next = 0;
    YFontCacheEntry& e = m_entries[m_next];
    e.Empty();
    e.used = true;
    ++m_next;
    m_used = std::max(m_used, m_next);
    return &e;
}

BYTE YFontCache::Checksum(const char* text, int length)
{
    unsigned sum = 0;
    for (int i = 0; i < length; ++i)
        if (((length - i) & 8) == 0) sum += static_cast<unsigned char>(text[i]);
    return static_cast<BYTE>(sum);
}
