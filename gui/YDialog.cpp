#include "gui/YDialog.h"

#include "foundation/YResourceVisitor.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YDialog, YWindow, 1)

namespace {

// One tick of the step callbacks, shared by all dialogs.
DWORD g_lastStep = 0;

const int kSourceWidth = 640, kSourceHeight = 480;

// Messages the dialog routes itself; the rest go to the frame window.
bool Routed(UINT message)
{
    switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_NOTIFY:
    case WM_TIMER: return true;
    default: return false;
    }
}

}  // namespace

YDialog::YDialog()
    : m_result(0), m_ended(0), m_ownSource(nullptr), m_savedSource(nullptr), m_step(nullptr),
      m_backgroundSource(nullptr), m_drawOwner(1), m_drawOwnerOverlay(1), m_offsetX(0), m_offsetY(0), m_running(0)
{
}

YDialog::~YDialog()
{
    // A dialog that ran leaves the source it found.
    if (m_savedSource) s_defaultSource = m_savedSource;
}

int YDialog::Accept(YResourceVisitor* visitor) { return visitor->VisitDialog(this); }

YWindow* YDialog::Release()
{
    YWindow* parent = YScreen::Release();
    m_ownSource = nullptr;
    m_savedSource = nullptr;
    m_backgroundSource = nullptr;
    return parent;
}

YResource* YDialog::CopyTo(YResource* target)
{
    if (!target) target = new YDialog;
    else if (!target->IsKindOf(RUNTIME_CLASS(YDialog))) return nullptr;
    return YWindow::CopyTo(target);
}

void YDialog::SetSource(YDC* source) { m_ownSource = source; }

void YDialog::SetOffset(int x, int y)
{
    m_offsetX = x;
    m_offsetY = y;
}

int YDialog::PrepareSources()
{
    POINT cursor = {0, 0};
    const int packed = DrawResources(m_ownSource, kSourceWidth, kSourceHeight, &cursor);
    m_savedSource = s_defaultSource;
    return packed;
}

int YDialog::SetBackgroundSource(YDC* source)
{
    m_backgroundSource = source;
    YResource* image = GetResourceAt(0);
    if (GetResourceCount() < 1) return 1;
    if (!source || !image) return 0;
    const RECT where = {0, 0, Clamped(WidthOf(m_rect)), Clamped(HeightOf(m_rect))};
    return source->DrawResource(&where, image, 0, 0);
}

void YDialog::DrawBackground(YDC* dc)
{
    YResource* image = GetResourceAt(0);
    if (!dc || !image) return;
    if (m_backgroundSource) {
        image->SetBounds(RECT{0, 0, image->GetWidth(), image->GetHeight()});
        dc->DrawFromSource(&m_rect, image, m_backgroundSource, 0);
    } else {
        dc->DrawResource(&m_rect, image, 0, 0);
    }
}

int YDialog::Draw(YDC* dc)
{
    YDC* previous = s_defaultSource;
    if (m_ownSource) s_defaultSource = m_ownSource;
    int result;
    if (!m_offsetX && !m_offsetY) {
        result = YWindow::Draw(dc);
    } else {
        RECT moved = m_rect;
        OffsetRect(&moved, m_offsetX, m_offsetY);
        MoveTo(&moved);
        result = YWindow::Draw(dc);
        OffsetRect(&moved, -m_offsetX, -m_offsetY);
        MoveTo(&moved);
    }
    s_defaultSource = previous;
    return result;
}

void YDialog::OnKeyDown(int key, int, int)
{
    if (key == VK_RETURN) EndDialog(1);
    else if (key == VK_ESCAPE) EndDialog(2);
}

void YDialog::OnNotify(int id, int code)
{
    if (code == kNotifyClicked && (id == 1 || id == 2)) EndDialog(id);
    YScreen::OnNotify(id, code);
}

void YDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = 1;
}

void YDialog::ModalPass()
{
    if (!m_step) return;
    const DWORD now = GetTickCount();
    if (now - g_lastStep <= 1) return;
    m_step(this, 0);
    g_lastStep = now;
}

int YDialog::DoModal(YDC* target)
{
    if (m_running) return 0;
    m_running = 1;
    m_result = -1;
    m_ended = 0;
    PrepareSources();
    YDC* const saved = m_savedSource;
    YWindow* parent = m_parent;
    const uint8_t parentModal = parent ? parent->m_modal : 0;
    if (parent) parent->m_modal = 1;
    bool quit = false;
    WPARAM quitCode = 0;
    while (!m_ended) {
        MSG msg;
        // Messages after the one that ended the dialog stay for the loop outside.
        while (!m_ended && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == -1) break;
            if (!got) {
                // The program is closing: the dialog ends, and the loop
                // outside gets the quit message again.
                quit = true;
                quitCode = msg.wParam;
                m_ended = 1;
                break;
            }
            TranslateMessage(&msg);
            if (Routed(msg.message)) HandleMessage(msg.message, msg.wParam, msg.lParam);
            else DispatchMessageA(&msg);
        }
        if (quit) break;
        s_defaultSource = saved;
        if (m_drawOwner && m_parent) m_parent->Draw(target);
        if (m_drawOwnerOverlay && m_parent) m_parent->DrawOverlay(target);
        s_defaultSource = m_ownSource;
        Draw(target);
        DrawOverlay(target);
        // The step draws the program's frame with the usual source.
        s_defaultSource = saved;
        ModalPass();
    }
    m_lastDC = nullptr;
    s_defaultSource = saved;
    s_focus = nullptr;
    if (parent) parent->m_modal = parentModal;
    m_running = 0;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return m_result;
}
