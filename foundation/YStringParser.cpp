#include "foundation/YStringParser.h"

void YStringParser::SetText(const char* text)
{
    m_text = text ? text : "";
    m_text.TrimLeft();
    m_text.TrimRight();
}

CString YStringParser::GetNextWord(int* kind)
{
    int found = -1;
    CString word;
    while (!m_text.IsEmpty()) {
        if (!word.IsEmpty() || found == 2) break;
        const char* delimiters;
        if (m_text[0] == '"') {
            found = 2;
            delimiters = "\"";
            m_text = m_text.Mid(1);
        } else {
            found = 1;
            delimiters = " \t\r\n";
        }
        int at = m_text.FindOneOf(delimiters);
        if (at >= 0) {
            word = m_text.Left(at);
            word.TrimLeft();
            word.TrimRight();
            m_text = m_text.Mid(at + 1);
        } else if (found == 1) {
            word = m_text;
            word.TrimLeft();
            word.TrimRight();
            m_text.Empty();
        } else {
            // An unclosed quote: the rest is the word, and the text keeps it.
            return m_text;
        }
    }
    if (kind) *kind = found;
    return word;
}
