#include "engine/YEditDialog.h"

#include "engine/YEngineCallbacks.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "platform/win32.h"
#include "renderer/YGraphics.h"

#include <cstring>

#ifndef VK_F3
#define VK_F3 0x72
#endif

namespace {

const char kHeightSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890{}[]!@#$%^&*()-_=+";
const int kImageType = 1;

int Extent(YFont* font, const CString& text)
{
    if (!font) return 0;
    return font->TextExtent(text, text.GetLength()).cx;
}

CString Trimmed(const CString& text)
{
    CString copy = text;
    copy.TrimLeft();
    copy.TrimRight();
    return copy;
}

}  // namespace

YEditDialog::YEditDialog()
    : m_innerDialog(new YDialog), m_editBox(new YEditBox), m_listBox(new YListBox), m_backgroundSurface(nullptr),
      m_display(nullptr), m_backColour(0), m_textColour(0xFFFFFF), m_drawSeparator(true), m_historySize(32), m_listSize(50),
      m_queueSize(50), m_historyPosition(-1), m_lineHeight(15), m_spareSwitch(false)
{
    const RECT none = {0, 0, 0, 0};
    if (m_editBox) {
        m_editBox->Create(0, &none, this, 0);
        m_editBox->SetLabel(">");
        m_editBox->SetForeColor(m_textColour);
    }
    if (m_listBox) m_listBox->Create(0, &none, this, 0);
    // The engine's frame step draws the interface under the console.
    SetDrawOwner(0);
}

YEditDialog::~YEditDialog()
{
    ReleaseSurfaces();
    YGameObjects* engine = YGameObjects::Existing();
    if (m_display && engine && engine->m_graphics == m_display) m_display->RemoveDisplayClient(this);
    delete m_innerDialog;
}

YFont* YEditDialog::SetFont(YFont* font)
{
    YFont* previous = YDialog::SetFont(font);
    if (font) m_lineHeight = font->TextExtent(kHeightSample, static_cast<int>(std::strlen(kHeightSample))).cy;
    if (m_editBox) {
        m_editBox->SetFont(font);
        m_editBox->SetName("");
    }
    if (m_listBox) m_listBox->SetFont(font);
    return previous;
}

void YEditDialog::SetTextColour(COLORREF colour)
{
    m_textColour = colour;
    if (m_editBox) m_editBox->SetForeColor(colour);
}

BOOL YEditDialog::ReleaseSurfaces()
{
    delete m_backgroundSurface;
    m_backgroundSurface = nullptr;
    return TRUE;
}

BOOL YEditDialog::CreateSurfaces(YDXDraw*)
{
    const CString name = m_backgroundName;
    SetBackground(name);
    return TRUE;
}

void YEditDialog::SetBackground(const char* name)
{
    ReleaseSurfaces();
    m_backgroundName = name ? name : "";
    // The engine object makes its console before its catalog.
    YGameObjects* engine = YGameObjects::Existing();
    YCatalog* catalog = engine ? engine->m_catalog : nullptr;
    const int colon = m_backgroundName.Find(':');
    if (!catalog || colon < 0) return;
    YResource* image =
        catalog->GetResource(kImageType, m_backgroundName.Left(colon), m_backgroundName.Mid(colon + 1), 0);
    if (!image) return;
    YGraphics* display = engine->m_graphics;
    const LONG width = image->GetWidth(), height = image->GetHeight();
    if (display && width > 0 && height > 0) {
        YDXSurface* surface = new YDXSurface("Console background");
        int copied = surface->CreateSurface(display, static_cast<DWORD>(width), static_cast<DWORD>(height),
                                            DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr);
        if (copied) {
            YDIB* dib = dynamic_cast<YDIB*>(image);
            copied = dib ? dib->Draw(surface, 0, 0, SRCCOPY) : image->Draw(surface);
        }
        if (copied) {
            m_backgroundSurface = surface;
            // Lost with the display and made again after it.
            display->AddDisplayClient(this);
            m_display = display;
        } else {
            delete surface;
        }
    }
    catalog->ReleaseResource(image);
}

CString YEditDialog::GetHistoryLine(int index) const
{
    if (index < 0 || index >= m_history.GetCount()) return CString();
    return m_history.GetAt(m_history.FindIndex(index));
}

void YEditDialog::QueueText(const char* text)
{
    m_queue.AddTail(text ? text : "");
    while (m_queue.GetCount() > m_queueSize) m_queue.RemoveHead();
}

void YEditDialog::AddText(const char* text, YFont* font)
{
    if (!m_listBox || !text || !*text) return;
    YListBox& list = *m_listBox;
    list.SetCurSel(-1);
    const int rows = list.GetVisibleRowCount(nullptr, nullptr);
    // Text starts at the bottom.
    while (list.GetCount() < rows) list.AddString("");

    CStringList wrapped;
    const char* start = text;
    for (;;) {
        const char* end = std::strchr(start, '\n');
        if (!end) {
            if (*start) WrapText(start, wrapped, font);
            break;
        }
        WrapText(CString(start, static_cast<int>(end - start)), wrapped, font);
        start = end + 1;
    }

    const int added = static_cast<int>(wrapped.GetCount());
    for (POSITION at = wrapped.GetHeadPosition(); at;) {
        list.AddString(wrapped.GetNext(at));
        if (list.GetCount() > m_listSize) list.DeleteString(0);
    }
    const int count = list.GetCount();
    const int top = list.GetTopIndex();
    // The view was following the end: it goes on following it.
    if (top > count - added - rows - 2) {
        const int follow = count - rows - 1;
        list.SetTopIndex(follow > top - 1 ? follow : top - 1);
    }
}

void YEditDialog::Submit(const char*) {}

void YEditDialog::WrapText(const char* text, CStringList& lines, YFont* font)
{
    const int usable = m_listBox ? m_listBox->Rect().right - m_listBox->Rect().left - 2 * m_listBox->GetTextInset() - 2 : 0;
    CString line;
    CString candidate;
    const char* at = text ? text : "";
    for (;;) {
        while (*at == ' ') ++at;
        if (!*at) break;
        const char* end = at;
        while (*end && *end != ' ') ++end;
        const CString word(at, static_cast<int>(end - at));
        at = end;
        candidate += word + " ";
        if (Extent(font, candidate) > usable) {
            lines.AddTail(line);
            line.Empty();
            candidate = word + " ";
        }
        line += word + " ";
    }
    lines.AddTail(line);
}

CString YEditDialog::GetEditText() const
{
    CString text;
    if (m_editBox) m_editBox->GetName(text);
    return text;
}

void YEditDialog::ShowInEdit(const CString& line)
{
    if (!m_editBox) return;
    m_editBox->SetName(line);
    m_editBox->SetCaret(line.GetLength());
}

void YEditDialog::OnKeyDown(int key, int, int)
{
    const CString text = Trimmed(GetEditText());
    if (key != VK_UP && key != VK_DOWN) m_historyPosition = -1;
    const int count = static_cast<int>(m_history.GetCount());
    switch (key) {
    case VK_RETURN:
        Submit(text);
        if (!text.IsEmpty()) {
            m_history.AddHead(text);
            while (m_history.GetCount() > m_historySize) m_history.RemoveTail();
        }
        ShowInEdit(CString());
        break;
    case VK_UP:
        m_historyPosition = m_historyPosition + 1 < count ? m_historyPosition + 1 : count;
        ShowInEdit(GetHistoryLine(m_historyPosition));
        break;
    case VK_DOWN:
        m_historyPosition = m_historyPosition - 1 < -1 ? -1 : m_historyPosition - 1;
        ShowInEdit(GetHistoryLine(m_historyPosition));
        break;
    case VK_F3:
        ShowInEdit(GetHistoryLine(0));
        m_historyPosition = 0;
        break;
    default: break;
    }
}

void YEditDialog::OnLButtonUp(int flags, int x, int y)
{
    YDialog::OnLButtonUp(flags, x, y);
    if (!m_listBox || !m_editBox) return;
    const POINT point = {x, y};
    const int selected = m_listBox->GetCurSel();
    if (!PtInRect(&m_listBox->Rect(), point) || selected < 0) return;
    const CString line = m_listBox->GetText(selected);
    const CString& prompt = m_editBox->GetLabel();
    if (!prompt.IsEmpty() && line.Left(prompt.GetLength()) == prompt) ShowInEdit(line.Mid(1));
}

void YEditDialog::Layout(const RECT& rect)
{
    m_rect = rect;
    if (m_innerDialog) m_innerDialog->MoveTo(&rect);
    const int bottom = rect.bottom - 4;
    RECT edit = {rect.left + 5, bottom - m_lineHeight, rect.right - 2, bottom};
    if (m_editBox) m_editBox->MoveTo(&edit);
    RECT list = {rect.left + 4, rect.top + 4, rect.right - 4, edit.top - 1};
    if (m_listBox) m_listBox->MoveTo(&list);
}

void YEditDialog::MoveTo(const RECT* rect)
{
    if (!rect) return;
    const RECT wanted = *rect;
    Layout(wanted);
    if (!m_listBox) return;
    int overflow = 0;
    m_listBox->GetVisibleRowCount(&overflow, nullptr);
    if (overflow <= 0) return;
    RECT grown = wanted;
    grown.bottom += overflow;
    Layout(grown);
}

void YEditDialog::DrawBackground(YDC* dc)
{
    if (!dc) return;
    if (m_backgroundSurface) {
        // Whole tiles sit on the bottom edge; the top row is cut.
        const int w = static_cast<int>(m_backgroundSurface->GetWidth());
        const int h = static_cast<int>(m_backgroundSurface->GetHeight());
        for (int y = m_rect.bottom - h; w > 0 && h > 0 && y + h > m_rect.top; y -= h) {
            const int cut = y < m_rect.top ? m_rect.top - y : 0;
            for (int x = m_rect.left; x < m_rect.right; x += w) {
                const int right = x + w > m_rect.right ? m_rect.right - x : w;
                dc->BltSurfaceRect(m_backgroundSurface, x, y + cut, 0, cut, right, h);
            }
        }
    } else {
        CBrush brush(m_backColour);
        dc->FillRect(&m_rect, &brush, m_textColour, m_backColour);
    }
    if (m_drawSeparator && m_editBox) {
        CPen pen(PS_SOLID, 1, m_textColour);
        const int y = m_editBox->Rect().top - 1;
        dc->DrawLine(m_rect.left, y, m_rect.right, y, &pen);
    }
}

int YEditDialog::Draw(YDC* dc)
{
    if (m_editBox) m_editBox->SetFocus();
    while (!m_queue.IsEmpty()) {
        const CString text = m_queue.RemoveHead();
        AddText(text, m_font);
    }
    if (!dc) return 0;
    const COLORREF oldColour = dc->SetTextColor(m_textColour);
    const int result = YDialog::Draw(dc);
    dc->SetTextColor(oldColour);
    return result;
}

void YEditDialog::ModalPass()
{
    ModalStep();
}

int YEditDialog::DoModal(YDC* target)
{
    if (IsModal()) return 0;
    SetFont(m_font);
    const RECT rect = m_rect;
    MoveTo(&rect);
    // Keys typed before the first pass is drawn reach the input line.
    if (m_editBox) m_editBox->SetFocus();
    return YDialog::DoModal(target);
}
