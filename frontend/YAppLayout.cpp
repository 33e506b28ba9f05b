#include "frontend/YAppLayout.h"

#include "engine/YGameObjects.h"

void YAppLayout::ExecuteCommand(const char* text)
{
    YGameObjects::Instance()->ExecuteCommand(text);
}
