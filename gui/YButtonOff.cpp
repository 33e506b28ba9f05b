#include "gui/YButtonOff.h"

#include "gui/YButton.h"

LONG YButtonOff::VisitButton(YButton* button)
{
    if (button->GetGroup() == m_group) button->SetCheck(false);
    return 0;
}
