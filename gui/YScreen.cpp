#include "gui/YScreen.h"

#include "foundation/YCatalog.h"
#include "foundation/YResourceVisitor.h"
#include "gui/YDC.h"
#include "sound/YDXSoundBuffer.h"

IMPLEMENT_SERIAL(YScreen, YWindow, 1)

namespace {

const COLORREF kNoBackgroundFrame = 0xFF0000;

}  // namespace

YScreen::YScreen()
    : m_backgroundIndex(-1), m_clickSoundIndex(-1), m_secondSoundIndex(-1), m_owner(nullptr), m_soundsBorrowed(false)
{
}

YScreen::~YScreen() { ForgetBorrowedSounds(); }

int YScreen::Accept(YResourceVisitor* visitor) { return visitor->VisitScreen(this); }

int YScreen::Create(int, const char* text, int style, const RECT* rect, YWindow* owner, int id, int)
{
    m_style = style;
    if (rect) m_rect = *rect;
    m_owner = owner;
    m_text = text ? text : "";
    m_windowId = id;
    m_created = 1;
    return 1;
}

void YScreen::ForgetBorrowedSounds()
{
    if (!m_soundsBorrowed) return;
    for (int index : {m_clickSoundIndex, m_secondSoundIndex})
        if (index >= 0 && index < GetResourceCount()) m_dependents->SetAt(index, nullptr);
    m_soundsBorrowed = false;
}

YWindow* YScreen::Release()
{
    ForgetBorrowedSounds();
    m_clickSoundIndex = -1;
    m_secondSoundIndex = -1;
    return YWindow::Release();
}

void YScreen::IndexLoadedResources()
{
    const int count = GetResourceCount();
    m_backgroundIndex = count >= 1 ? 0 : -1;
    if (count >= 3) {
        m_clickSoundIndex = 1;
        m_secondSoundIndex = 2;
    }
}

int YScreen::LoadFromFile(const CStringArray& directories, int flag)
{
    const int result = YWindow::LoadFromFile(directories, flag);
    IndexLoadedResources();
    return result;
}

int YScreen::LoadFromCatalog(const char* directory, int flag)
{
    const int result = YWindow::LoadFromCatalog(directory, flag);
    if (result) IndexLoadedResources();
    return result;
}

YResource* YScreen::SetBackground(YResource* image)
{
    if (m_backgroundIndex < 0 || m_backgroundIndex >= GetResourceCount()) {
        AddResource(image, true);
        m_backgroundIndex = GetResourceCount() - 1;
        return image;
    }
    YResource* old = m_dependents->GetAt(m_backgroundIndex);
    if (old && old != image && !(s_catalog && s_catalog->ReleaseResource(old))) delete old;
    m_dependents->SetAt(m_backgroundIndex, image);
    return image;
}

void YScreen::SetSounds(YResource* click, YResource* second)
{
    SetResourceAt(1, click, false);
    SetResourceAt(2, second, false);
    m_clickSoundIndex = 1;
    m_secondSoundIndex = 2;
    m_soundsBorrowed = true;
}

void YScreen::PlayOnce(int index)
{
    YDXSoundBuffer* sound = dynamic_cast<YDXSoundBuffer*>(GetResourceAt(index));
    if (!sound) return;
    sound->SetCurrentPosition(0);
    sound->Play(0);
}

void YScreen::PlaySecondSound() { PlayOnce(m_secondSoundIndex); }

void YScreen::PlayClickSound() { PlayOnce(m_clickSoundIndex); }

void YScreen::DrawBackground(YDC* dc)
{
    if (!dc) return;
    if (YResource* image = GetResourceAt(m_backgroundIndex)) {
        if (!s_screenSource) dc->DrawResource(&m_rect, image, 0, 0);
        else dc->DrawFromSource(&m_rect, image, s_screenSource, 0);
        return;
    }
    // No background: a blue frame two pixels wide round an empty rectangle.
    CBrush brush(kNoBackgroundFrame);
    RECT rect = m_rect;
    dc->FrameRect(&rect, &brush);
    InflateRect(&rect, -1, -1);
    dc->FrameRect(&rect, &brush);
    InflateRect(&rect, -1, -1);
    dc->Rectangle(&rect, nullptr, nullptr);
}

void YScreen::DrawForeground(YDC*) {}

int YScreen::DrawResources(YDC* source, int maxWidth, int maxHeight, POINT* cursor)
{
    s_shelfBottom = 0;
    if (!source) return 0;
    for (POSITION at = m_children->GetHeadPosition(); at;)
        static_cast<YWindow*>(m_children->GetNext(at))->DrawResources(source, maxWidth, maxHeight, cursor);
    if (YResource* image = GetResourceAt(m_backgroundIndex)) image->SetBounds(m_rect);
    return 1;
}

void YScreen::OnNotify(int id, int code)
{
    if (code == kNotifyClicked && GetResourceAt(m_clickSoundIndex)) {
        YWindow* child = FindChildById(id);
        if (child && !child->IsDisabled() && child->m_clickSound) PlayClickSound();
    }
    YWindow::OnNotify(id, code);
}

void YScreen::OnNextDlgCtl(bool forward, YWindow* target)
{
    if (target) {
        // Straight to a given child.
        if (m_children->Find(target)) target->SetFocus();
        return;
    }
    POSITION here = s_focus ? m_children->Find(s_focus) : nullptr;
    if (!here) return;
    // Cyclically from the focus child to the next tab stop, or back to it.
    for (POSITION step = here;;) {
        if (forward) {
            m_children->GetNext(step);
            if (!step) step = m_children->GetHeadPosition();
        } else {
            m_children->GetPrev(step);
            if (!step) step = m_children->GetTailPosition();
        }
        YWindow* next = static_cast<YWindow*>(m_children->GetAt(step));
        if (step == here || (next->GetStyle() & kTabStopStyle)) {
            next->SetFocus();
            return;
        }
    }
}
