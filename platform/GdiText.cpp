// GDI text: TextOut, DrawText with its DT_ flags, extents and metrics.
#include "platform/GdiDeviceContext.h"
#include "platform/GdiFontFace.h"

#include <algorithm>
#include <string>
#include <vector>

using platform::GdiDeviceContext;
using platform::GdiFontFace;

namespace {
GdiFontFace* FaceOf(GdiDeviceContext* dc)
{
    return dc->font ? dc->font->Face() : GdiFontFace::Builtin();
}

int Width(GdiFontFace* face, const char* text, int length)
{
    int width = 0;
    for (int i = 0; i < length; ++i) width += face->GetGlyph(static_cast<unsigned char>(text[i])).advance;
    return width;
}

bool InClip(const RECT* clip, int x, int y)
{
    return !clip || (x >= clip->left && x < clip->right && y >= clip->top && y < clip->bottom);
}

// Draws one run of text with its baseline at y; `underlined` marks the
// character index that a prefix '&' asked to underline (-1 for none).
void DrawRun(GdiDeviceContext* dc, GdiFontFace* face, int x, int baseline, const char* text, int length,
             const RECT* clip, int underlined)
{
    if (!dc->HasPixels()) return;
    int width = Width(face, text, length);
    if (dc->backMode == OPAQUE) {
        RECT box = {x, baseline - face->Ascent(), x + width, baseline + face->Descent()};
        if (clip) IntersectRect(&box, &box, clip);
        dc->FillBox(box, dc->PixelOf(dc->backColour), R2_COPYPEN);
    }
    uint32_t ink = dc->PixelOf(dc->textColour);
    const LOGFONTA* logFont = dc->font ? &dc->font->logFont : nullptr;
    bool underline = logFont && logFont->lfUnderline, strike = logFont && logFont->lfStrikeOut;
    int pen = x;
    for (int i = 0; i < length; ++i) {
        const GdiFontFace::Glyph& glyph = face->GetGlyph(static_cast<unsigned char>(text[i]));
        for (int gy = 0; gy < glyph.height; ++gy)
            for (int gx = 0; gx < glyph.width; ++gx) {
                if (!glyph.ink[static_cast<size_t>(gy) * glyph.width + gx]) continue;
                int px = pen + glyph.left + gx, py = baseline - glyph.top + gy;
                if (InClip(clip, px, py)) dc->Plot(px, py, ink, R2_COPYPEN);
            }
        if (underline || i == underlined)
            for (int px = pen; px < pen + glyph.advance; ++px)
                if (InClip(clip, px, baseline + 1)) dc->Plot(px, baseline + 1, ink, R2_COPYPEN);
        if (strike)
            for (int px = pen; px < pen + glyph.advance; ++px)
                if (InClip(clip, px, baseline - face->Ascent() / 3)) dc->Plot(px, baseline - face->Ascent() / 3, ink, R2_COPYPEN);
        pen += glyph.advance;
    }
}

struct Line {
    std::string text;
    int underlined = -1;
};

// Removes prefix characters: "&&" is "&", "&x" underlines x.
Line StripPrefix(const std::string& text)
{
    Line line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&') line.underlined = static_cast<int>(line.text.size());
        } else if (text[i] == '&') {
            continue;
        }
        line.text += text[i];
    }
    return line;
}

std::string ExpandTabs(const std::string& text, GdiFontFace* face)
{
    std::string out;
    int spaceWidth = std::max(1, face->GetGlyph(' ').advance);
    int stop = std::max(1, 8 * face->AverageWidth());
    int width = 0;
    for (char c : text) {
        if (c == '\t') {
            int next = (width / stop + 1) * stop;
            while (width < next) {
                out += ' ';
                width += spaceWidth;
            }
        } else {
            out += c;
            width += face->GetGlyph(static_cast<unsigned char>(c)).advance;
        }
    }
    return out;
}

// Splits the text into lines by its breaks and, with DT_WORDBREAK, at the
// spaces that keep each line within maxWidth.
std::vector<std::string> Layout(const std::string& text, UINT format, int maxWidth, GdiFontFace* face)
{
    std::vector<std::string> paragraphs;
    if (format & DT_SINGLELINE) {
        std::string one;
        for (char c : text)
            if (c != '\r' && c != '\n') one += c;
        paragraphs.push_back(one);
    } else {
        std::string current;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') {
                paragraphs.push_back(current);
                current.clear();
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            } else {
                current += text[i];
            }
        }
        paragraphs.push_back(current);
    }
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) return paragraphs;

    auto measure = [&](const std::string& s) {
        std::string visible = (format & DT_NOPREFIX) ? s : StripPrefix(s).text;
        return Width(face, visible.data(), static_cast<int>(visible.size()));
    };
    std::vector<std::string> lines;
    for (const std::string& paragraph : paragraphs) {
        std::string line;
        size_t i = 0;
        if (paragraph.empty()) lines.push_back(std::string());
        while (i < paragraph.size()) {
            size_t wordEnd = paragraph.find(' ', i);
            if (wordEnd == std::string::npos) wordEnd = paragraph.size();
            std::string word = paragraph.substr(i, wordEnd - i);
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && measure(candidate) > maxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            i = wordEnd;
            if (i < paragraph.size()) {
                // Spaces between words: one is kept in the candidate, the rest are part of the next word.
                ++i;
                while (i < paragraph.size() && paragraph[i] == ' ') {
                    line += ' ';
                    ++i;
                }
            }
        }
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}
}  // namespace

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || (!text && length > 0) || length < 0) return FALSE;
    GdiFontFace* face = FaceOf(context);
    UINT align = context->textAlign;
    if (align & TA_UPDATECP) {
        x = context->position.x;
        y = context->position.y;
    }
    int width = Width(face, text, length);
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER) left = x - width / 2;
    else if (align & TA_RIGHT) left = x - width;
    int baseline = y + face->Ascent();
    if ((align & TA_BASELINE) == TA_BASELINE) baseline = y;
    else if (align & TA_BOTTOM) baseline = y - face->Descent();
    DrawRun(context, face, left, baseline, text, length, nullptr, -1);
    if (align & TA_UPDATECP) context->position.x = (align & TA_RIGHT) ? left : left + width;
    return TRUE;
}

int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || !text || !rect) return 0;
    if (length < 0) length = static_cast<int>(strlen(text));
    GdiFontFace* face = FaceOf(context);
    std::string source(text, length);
    if (format & DT_EXPANDTABS) source = ExpandTabs(source, face);
    int lineHeight = face->Height();
    int boxWidth = rect->right - rect->left;
    if ((format & DT_CALCRECT) && boxWidth <= 0) boxWidth = 0x7FFFFFF;
    std::vector<std::string> lines = Layout(source, format, boxWidth, face);

    std::vector<Line> shown;
    int widest = 0;
    for (const std::string& l : lines) {
        Line line = (format & DT_NOPREFIX) ? Line{l, -1} : StripPrefix(l);
        widest = std::max(widest, Width(face, line.text.data(), static_cast<int>(line.text.size())));
        shown.push_back(line);
    }
    int total = lineHeight * static_cast<int>(shown.size());
    if (length == 0) total = 0;

    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }
    int top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) top = (rect->top + rect->bottom - lineHeight) / 2;
        else if (format & DT_BOTTOM) top = rect->bottom - lineHeight;
    }
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
    int y = top;
    for (const Line& line : shown) {
        int w = Width(face, line.text.data(), static_cast<int>(line.text.size()));
        int x = rect->left;
        if (format & DT_CENTER) x = (rect->left + rect->right - w) / 2;
        else if (format & DT_RIGHT) x = rect->right - w;
        DrawRun(context, face, x, y + face->Ascent(), line.text.data(), static_cast<int>(line.text.size()), clip,
                line.underlined);
        y += lineHeight;
    }
    return (top - rect->top) + total;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || !size || length < 0 || (!text && length > 0)) return FALSE;
    GdiFontFace* face = FaceOf(context);
    size->cx = Width(face, text, length);
    size->cy = face->Height();
    return TRUE;
}

BOOL GetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size)
{
    return GetTextExtentPoint32A(dc, text, length, size);
}

BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || !metrics) return FALSE;
    GdiFontFace* face = FaceOf(context);
    memset(metrics, 0, sizeof *metrics);
    metrics->tmHeight = face->Height();
    metrics->tmAscent = face->Ascent();
    metrics->tmDescent = face->Descent();
    metrics->tmInternalLeading = face->InternalLeading();
    metrics->tmAveCharWidth = face->AverageWidth();
    metrics->tmMaxCharWidth = face->MaxWidth();
    metrics->tmWeight = context->font ? (context->font->logFont.lfWeight ? context->font->logFont.lfWeight : FW_NORMAL)
                                      : FW_NORMAL;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 32;
    metrics->tmLastChar = 255;
    metrics->tmDefaultChar = '?';
    metrics->tmBreakChar = ' ';
    metrics->tmItalic = context->font ? context->font->logFont.lfItalic : 0;
    metrics->tmUnderlined = context->font ? context->font->logFont.lfUnderline : 0;
    metrics->tmStruckOut = context->font ? context->font->logFont.lfStrikeOut : 0;
    // As on Windows, the low bit is set for a variable-pitch font.
    metrics->tmPitchAndFamily = face->FixedPitch() ? 0 : 1;
    return TRUE;
}

int GetTextFaceA(HDC dc, int size, LPSTR face)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context) return 0;
    const char* name = context->font ? context->font->logFont.lfFaceName : "System";
    if (!face) return static_cast<int>(strlen(name)) + 1;
    if (size <= 0) return 0;
    lstrcpynA(face, name, size);
    return static_cast<int>(strlen(face));
}
