#include "gui/YComboBox.h"

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"

IMPLEMENT_SERIAL(YComboBox, YWindow, 1)

namespace {

const COLORREF kNoButtonFrame = 0x00FF00;

// Set while a key the combo handed to its edit box comes back from it.
int g_keyFromEdit = 0;

}  // namespace

YComboBox::YComboBox()
    : m_list(new YListBox), m_edit(new YEditBox), m_button{0, 0, 0, 0}, m_dropped(0), m_pressed(0)
{
}

YComboBox::~YComboBox()
{
    // Children go with the window; the constructor's pair may not be children.
    if (m_edit && !OwnsChild(m_edit)) delete m_edit;
    if (m_list && !OwnsChild(m_list)) delete m_list;
}

bool YComboBox::OwnsChild(YWindow* child) const { return child && m_children->Find(child) != nullptr; }

int YComboBox::Accept(YResourceVisitor* visitor) { return visitor->VisitComboBox(this); }

int YComboBox::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    int result = YWindow::Create(0, "", style, rect, parent, id, 0);
    if (HasButton()) m_dropped = 0;
    const long long width = WidthOf(m_rect), height = HeightOf(m_rect);
    const RECT edit = {0, 0, Clamped(m_dropped ? width : width - kButtonWidth), Clamped(height)};
    result &= m_edit->Create(HasButton() ? style | YEditBox::kReadOnlyStyle : style, &edit, this, 0);
    m_button = RECT{Clamped(m_rect.right - static_cast<long long>(kButtonWidth)), m_rect.top, m_rect.right,
                    m_rect.bottom};
    const RECT list = {0, Clamped(height), Clamped(width), Clamped(2 * height)};
    result &= m_list->Create(style, &list, this, 0);
    return result;
}

bool YComboBox::SetDropped(bool dropped)
{
    if ((m_dropped != 0) == dropped) return false;
    const long long listHeight = HeightOf(m_list->Rect());
    m_rect.bottom = Clamped(m_rect.bottom + (dropped ? listHeight : -listHeight));
    m_dropped = dropped ? 1 : 0;
    return true;
}

void YComboBox::SetListHeight(int height)
{
    const RECT& edit = m_edit->Rect();
    const long long high = height < 0 ? HeightOf(m_list->Rect()) : height;
    const RECT list = {edit.left, edit.bottom, edit.right, Clamped(edit.bottom + high)};
    m_list->MoveTo(&list);
}

int YComboBox::AttachImage(const char* name, YResource* resource)
{
    if (!resource) return 0;
    if (dynamic_cast<YFont*>(resource)) {
        if (GetResourceCount() == 0) {
            AfxMessageBox("Please attach images before fonts");
            return 0;
        }
        AddResourceName(name);
        AddResource(resource, false);
        return 1;
    }
    const int held = m_edit->GetResourceCount() + m_list->GetResourceCount() + GetResourceCount();
    if (held == 0) {
        // The list's background; the list takes its size.
        m_list->AddResourceName(name);
        m_list->AddResource(resource, true);
        SetListHeight(resource->GetHeight());
        return 1;
    }
    AddResourceName(name);
    AddResource(resource, held == 2);
    if (held == 1) {
        // The button, at the right edge.
        m_button = RECT{Clamped(static_cast<long long>(m_rect.right) - resource->GetWidth()), m_rect.top,
                        m_rect.right, Clamped(static_cast<long long>(m_rect.top) + resource->GetHeight())};
    }
    return 1;
}

// ------------------------------------------------------------------ rows and text

int YComboBox::AddString(const char* text)
{
    m_list->AddString(text);
    return m_list->GetCount() - 1;
}

int YComboBox::GetCount() const { return m_list->GetCount(); }

int YComboBox::GetCurSel() const { return m_list->GetCurSel(); }

void YComboBox::GetLBText(int index, CString& out) const { out = m_list->GetText(index); }

int YComboBox::SelectItem(int index)
{
    const int previous = m_list->SetCurSel(index);
    if (index >= 0 && index < m_list->GetCount()) m_edit->SetName(m_list->GetText(index));
    return previous;
}

void YComboBox::ResetContent()
{
    m_edit->SetName("");
    m_list->ResetContent();
}

void YComboBox::GetName(CString& out) { m_edit->GetName(out); }

void YComboBox::SetName(const char* text) { m_edit->SetName(text); }

YFont* YComboBox::SetFont(YFont* font)
{
    YFont* previous = YWindow::SetFont(font);
    m_edit->SetFont(font);
    m_list->SetFont(font);
    return previous;
}

// ------------------------------------------------------------------ mouse and keys

YWindow* YComboBox::ChildFromPoint(int x, int y, int flags)
{
    if (!m_visible) return nullptr;
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        YWindow* hit = static_cast<YWindow*>(m_children->GetNext(at))->ChildFromPoint(x, y, flags);
        if (hit && hit != m_edit && hit != m_list) return hit;
    }
    const POINT point = {x, y};
    return PtInRect(&m_rect, point) ? this : nullptr;
}

void YComboBox::OnMouseMove(int flags, int x, int y)
{
    const POINT point = {x, y};
    if (PtInRect(&m_edit->Rect(), point)) {
        m_edit->OnMouseMove(flags, x, y);
        return;
    }
    // Hovering over the open list selects the row under the mouse.
    if (!HasButton() || !m_dropped || !PtInRect(&m_list->Rect(), point)) return;
    const long long row = m_list->GetTopIndex() + (static_cast<long long>(y) - m_list->Rect().top) / kHoverRowHeight;
    if (row < m_list->GetCount()) SelectItem(static_cast<int>(row));
}

void YComboBox::OnLButtonDown(int flags, int x, int y)
{
    s_capture = this;
    YWindow::OnLButtonDown(flags, x, y);
    const POINT point = {x, y};
    if (HasButton() && PtInRect(&m_button, point)) {
        SetDropped(!m_dropped);
        m_pressed = 1;
    }
    if (m_dropped) BringToFront();
    if (PtInRect(&m_edit->Rect(), point)) m_edit->OnLButtonDown(flags, x, y);
}

void YComboBox::OnLButtonUp(int flags, int x, int y)
{
    const POINT point = {x, y};
    if (PtInRect(&m_edit->Rect(), point)) {
        m_edit->OnLButtonUp(flags, x, y);
    } else if (m_dropped && PtInRect(&m_list->Rect(), point)) {
        const int selected = m_list->GetCurSel();
        if (selected >= 0 && selected < m_list->GetCount()) {
            m_edit->SetName(m_list->GetText(selected));
            SetDropped(false);
        }
        if (m_parent)
            m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), kNotifySelectionChanged);
    }
    m_pressed = 0;
    s_capture = nullptr;
}

void YComboBox::OnKeyDown(int key, int repeat, int keyFlags)
{
    // The edit box hands every key on to its parent: that one goes up the tree.
    if (g_keyFromEdit) {
        YWindow::OnKeyDown(key, repeat, keyFlags);
        return;
    }
    ++g_keyFromEdit;
    m_edit->OnKeyDown(key, repeat, keyFlags);
    --g_keyFromEdit;
}

int YComboBox::OnChar(int ch, int repeat, int keyFlags) { return m_edit->OnChar(ch, repeat, keyFlags); }

// ------------------------------------------------------------------ drawing and moving

void YComboBox::DrawBackground(YDC* dc)
{
    if (!s_defaultSource) return;
    if (GetResourceAt(2)) DrawResource(dc, &m_rect, 2);
    else m_edit->DrawBackground(dc);
    if (m_dropped) DrawResource(dc, &m_list->Rect(), 0);
}

int YComboBox::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    m_lastDC = dc;
    DrawBackground(dc);
    if (s_focus != this) SetDropped(false);
    // The caret shows in the edit box while the combo has the focus.
    const bool lend = s_focus == this;
    if (lend) s_focus = m_edit;
    m_edit->SetStyle(m_edit->GetStyle() & ~kKindMask);
    const int result = m_edit->Draw(dc);
    if (lend && s_focus == m_edit) s_focus = this;
    if (HasButton()) {
        if (GetResourceAt(0)) {
            DrawResource(dc, &m_button, 0);
        } else {
            CBrush green(kNoButtonFrame);
            dc->FrameRect(&m_button, &green);
        }
    }
    if (m_dropped) return m_list->Draw(dc);
    return result;
}

void YComboBox::MoveTo(const RECT* rect)
{
    if (!rect) return;
    const long long buttonWidth = WidthOf(m_button), buttonHeight = HeightOf(m_button);
    const long long editHeight = HeightOf(m_edit->Rect()), listHeight = HeightOf(m_list->Rect());
    m_rect = *rect;
    RECT edit = *rect;
    if (m_dropped) edit.bottom = Clamped(edit.top + editHeight);
    m_edit->MoveTo(&edit);
    const RECT list = {edit.left, edit.bottom, edit.right, Clamped(edit.bottom + listHeight)};
    m_list->MoveTo(&list);
    m_button = RECT{Clamped(rect->right - buttonWidth), rect->top, rect->right, Clamped(rect->top + buttonHeight)};
}

// ------------------------------------------------------------------ archive and loading

void YComboBox::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        YWindow::Serialize(ar);
        ar << static_cast<LONG>(m_button.left) << static_cast<LONG>(m_button.top) << static_cast<LONG>(m_button.right)
           << static_cast<LONG>(m_button.bottom);
        ar << static_cast<DWORD>(m_dropped);
        return;
    }
    delete m_edit;
    delete m_list;
    m_edit = nullptr;
    m_list = nullptr;
    try {
        YWindow::Serialize(ar);
        LONG l, t, r, b;
        DWORD dropped;
        ar >> l >> t >> r >> b;
        m_button = RECT{l, t, r, b};
        ar >> dropped;
        m_dropped = dropped ? 1 : 0;
    } catch (...) {
        FindParts();
        throw;
    }
    FindParts();
}

void YComboBox::FindParts()
{
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        CObject* child = m_children->GetNext(at);
        if (!m_edit && child->IsKindOf(RUNTIME_CLASS(YEditBox))) m_edit = static_cast<YEditBox*>(child);
        else if (!m_list && child->IsKindOf(RUNTIME_CLASS(YListBox))) m_list = static_cast<YListBox*>(child);
    }
    // A description without them still gets a pair to work with.
    if (!m_edit) m_edit = new YEditBox;
    if (!m_list) m_list = new YListBox;
}

int YComboBox::LoadFromFile(const CStringArray& directories, int flag)
{
    return LoadOwnTakingFont(&directories, nullptr, flag);
}

int YComboBox::LoadFromCatalog(const char* directory, int flag)
{
    return LoadOwnTakingFont(nullptr, directory, flag);
}
