#include "gui/Sounder.h"

#include "gui/YDialog.h"

LONG Sounder::VisitDialog(YDialog* dialog)
{
    dialog->PlaySecondSound();
    return 1;
}

LONG Sounder::VisitScreen(YScreen* screen)
{
    screen->PlaySecondSound();
    return 1;
}
