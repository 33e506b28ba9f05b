#include "gui/YDialog.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YDialog, YWindow, 1)

namespace {

// One tick of the step callbacks, shared by all dialogs.
DWORD g_lastStep = 0;

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
    : m_result(0), m_ended(0), m_step(nullptr), m_drawOwner(1), m_offsetX(0), m_offsetY(0), m_running(0)
{
}

int YDialog::Accept(YResourceVisitor* visitor) { return visitor->VisitDialog(this); }

int YDialog::Draw(YDC* dc)
{
    if (!m_offsetX && !m_offsetY) return YWindow::Draw(dc);
    RECT moved = m_rect;
    OffsetRect(&moved, m_offsetX, m_offsetY);
    MoveTo(&moved);
    const int result = YWindow::Draw(dc);
    OffsetRect(&moved, -m_offsetX, -m_offsetY);
    MoveTo(&moved);
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
    YWindow* parent = m_parent;
    const uint8_t parentModal = parent ? parent->m_modal : 0;
    if (parent) parent->m_modal = 1;
    while (!m_ended) {
        MSG msg;
        while (!m_ended && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The program is closing: leave it to the loop outside.
                PostQuitMessage(static_cast<int>(msg.wParam));
                EndDialog(0);
                break;
            }
            TranslateMessage(&msg);
            if (Routed(msg.message)) HandleMessage(msg.message, msg.wParam, msg.lParam);
            else DispatchMessageA(&msg);
        }
        if (m_ended) break;
        if (m_drawOwner && m_parent) m_parent->Draw(target);
        Draw(target);
        ModalPass();
    }
    m_lastDC = nullptr;
    s_focus = nullptr;
    if (parent) parent->m_modal = parentModal;
    m_running = 0;
    return m_result;
}
