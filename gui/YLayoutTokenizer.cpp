#include "gui/YLayoutTokenizer.h"

#include <cstring>

namespace {
bool IsIn(char c, const char* set) { return c && strchr(set, c) != nullptr; }

bool OnlyBlanks(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] != ' ' && text[i] != '\t') return false;
    return true;
}
}  // namespace

YLayoutTokenizer::YLayoutTokenizer(const char* text) : m_text(text ? text : ""), m_at(0) {}

CString YLayoutTokenizer::Next(const char* separators, CString* followers)
{
    const int length = m_text.GetLength();
    CString token;
    int end = m_at;
    do {
        while (m_at < length && IsIn(m_text[m_at], separators)) ++m_at;
        end = m_at;
        while (end < length && !IsIn(m_text[end], separators)) ++end;
        token = m_text.Mid(m_at, end - m_at);
        // strtok cuts the one separator that ends the token.
        m_at = end < length ? end + 1 : end;
    } while (!token.IsEmpty() && OnlyBlanks(token));
    if (followers) {
        int stop = end;
        while (stop < length && IsIn(m_text[stop], separators)) ++stop;
        *followers = m_text.Mid(end, stop - end);
    }
    return token;
}
