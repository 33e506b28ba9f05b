#include "gui/Sounder.h"

#include "gui/YDialog.h"

namespace {
Sounder::Player g_player = nullptr;
}

Sounder::Player Sounder::SetPlayer(Player player)
{
    Player previous = g_player;
    g_player = player;
    return previous;
}

Sounder::Player Sounder::GetPlayer() { return g_player; }

LONG Sounder::VisitDialog(YDialog* dialog)
{
    if (g_player) g_player(dialog);
    return 1;
}

LONG Sounder::VisitScreen(YScreen* screen)
{
    if (g_player) g_player(screen);
    return 1;
}
