#include "gui/YButton.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YButton, YWindow, 1)

int YButton::Accept(YResourceVisitor* visitor) { return visitor->VisitButton(this); }

void YButton::SetCheck(bool on)
{
    if (on) m_state |= 0x4;
    else m_state &= ~0x4;
}

bool YButton::IsChecked() { return (m_state & 0x4) != 0; }
