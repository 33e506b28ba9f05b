// What the control tests share: named pictures, a drawing context that logs
// what it is asked to draw, a parent that logs what its children tell it,
// and the manual clock.
#pragma once

#include "ArchiveBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/YResource.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YWindow.h"

namespace controls {

inline std::string Box(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A picture of a size with a name; deletions are counted.
class Picture : public YResource {
public:
    explicit Picture(const char* name = "", int w = 8, int h = 8, int* deleted = nullptr)
        : m_name(name), m_w(w), m_h(h), m_deleted(deleted)
    {
    }
    ~Picture() override
    {
        if (m_deleted) ++*m_deleted;
    }
    LONG GetWidth() override { return m_w; }
    LONG GetHeight() override { return m_h; }
    std::string m_name;
    int m_w, m_h;
    int* m_deleted;
};

// A font that measures 5 pixels a character and 9 high, and answers the
// line-start question with a set index, noting what it was asked.
class TestFont : public YFont {
public:
    explicit TestFont(const char* name) : m_name(name) {}
    SIZE TextExtent(const char* text, int length) override
    {
        const int n = length < 0 ? static_cast<int>(strlen(text)) : length;
        return SIZE{5 * n, 9};
    }
    int GetCharIndex(const char*, const RECT*, int line, int column, UINT format) override
    {
        m_asked.push_back({line, column, format});
        return m_index;
    }
    struct Question {
        int line, column;
        UINT format;
    };
    std::string m_name;
    int m_index = 0;
    std::vector<Question> m_asked;
};

inline std::string NameOf(YResource* r)
{
    if (!r) return "null";
    if (auto* p = dynamic_cast<Picture*>(r)) return p->m_name;
    if (auto* f = dynamic_cast<TestFont*>(r)) return f->m_name;
    return "?";
}

// Logs every drawing call as one line of text.
class LogDC : public YDC {
public:
    int DrawFromSource(const RECT* where, YResource* r, YDC* source, int) override
    {
        Log("src " + NameOf(r) + " " + Box(*where) + (source == this ? " self" : ""));
        return 1;
    }
    int DrawResource(const RECT* where, YResource* r, int, int) override
    {
        Log("res " + NameOf(r) + " " + Box(*where));
        return 1;
    }
    void TextOut(int x, int y, const CString& text, int length) override
    {
        Log("text " + std::to_string(x) + "," + std::to_string(y) + " " +
            std::string((const char*)text).substr(0, static_cast<size_t>(length)) + Font());
    }
    int DrawText(const CString& text, RECT* rect, UINT format) override
    {
        Log("drawtext " + Box(*rect) + " " + std::to_string(format) + " " + (const char*)text + Font());
        return 1;
    }
    int GetTextExtent(const CString& text, SIZE* out) override
    {
        *out = SIZE{6 * text.GetLength(), 10};
        return 1;
    }
    void Rectangle(const RECT* rect, CBrush* brush, CPen*) override
    {
        LOGBRUSH lb = {};
        if (brush) GetObject(static_cast<HBRUSH>(*brush), sizeof lb, &lb);
        char colour[16];
        snprintf(colour, sizeof colour, "%06X", static_cast<unsigned>(lb.lbColor));
        Log("rect " + Box(*rect) + " " + (brush ? colour : "none"));
    }
    YDXSurface* GetSurface() override { return m_surface; }

    std::string Font()
    {
        YFont* f = GetFont();
        return f ? " [" + NameOf(f) + "]" : "";
    }
    void Log(const std::string& line) { m_log.push_back(line); }
    std::string Joined() const
    {
        std::string all;
        for (const std::string& line : m_log) all += (all.empty() ? "" : " | ") + line;
        return all;
    }
    std::vector<std::string> m_log;
    YDXSurface* m_surface = nullptr;
};

// Logs notifications and releases that reach it from its children.
class Parent : public YWindow {
public:
    void OnNotify(int id, int code) override { m_log.push_back("notify " + std::to_string(id) + " " + std::to_string(code)); }
    void OnLButtonUp(int, int, int) override { m_log.push_back("up"); }
    void OnLButtonDown(int, int, int) override { m_log.push_back("down"); }
    std::string Joined() const
    {
        std::string all;
        for (const std::string& line : m_log) all += (all.empty() ? "" : ", ") + line;
        return all;
    }
    std::vector<std::string> m_log;
};

inline DWORD WordAt(const std::vector<BYTE>& bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<DWORD>(bytes[at + 3]) << 24;
}

// The clock stands still unless the test moves it.
class ManualClock {
public:
    explicit ManualClock(DWORD start)
    {
        m_was = platform::Clock::IsManual();
        platform::Clock::SetManual(true);
        platform::Clock::Set(start);
    }
    ~ManualClock() { platform::Clock::SetManual(m_was); }
    void Advance(DWORD ms) { platform::Clock::Advance(ms); }

private:
    bool m_was;
};

}  // namespace controls
