#include "frontend/YAppLayout.h"

#include <cstdlib>

#include "engine/YGameObjects.h"
#include "input/YInputObj.h"
#include "renderer/YGraphics.h"

IMPLEMENT_DYNAMIC(YAppLayout, YLayout)

YAppLayout::YAppLayout() = default;

YAppLayout::~YAppLayout()
{
    KeyboardOn(true);
    MarkResources(false);
    PurgeResources();
}

YCatalog* YAppLayout::GetCatalog()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_catalog : nullptr;
}

YGraphics* YAppLayout::GetGraphics()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_graphics : nullptr;
}

int YAppLayout::ResolveValue(const char* text, YDC*, YLayoutGroup*) { return text ? atoi(text) : 0; }

float YAppLayout::ResolveFloat(const char* text, YDC*) { return text ? static_cast<float>(atof(text)) : 0.0f; }

CString YAppLayout::ResolveText(const char* text, YDC*)
{
    CString value = text ? text : "";
    value.TrimLeft();
    value.TrimRight();
    const int length = value.GetLength();
    if (length >= 2 && value[0] == '"' && value[length - 1] == '"') return value.Mid(1, length - 2);
    return value;
}

YLayoutItem* YAppLayout::CreateAppItem(const char*) { return nullptr; }

void YAppLayout::ExecuteCommand(const char* text)
{
    if (YGameObjects* engine = YGameObjects::Existing()) engine->ExecuteCommand(text);
}

void YAppLayout::ExecuteCommandWithText(const char* command, const char* text)
{
    if (YGameObjects* engine = YGameObjects::Existing()) engine->ExecuteCommandWithText(command, text);
}

void YAppLayout::KeyboardOn(bool on)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_input) engine->m_input->m_keyboard.SetActive(on);
}

void YAppLayout::OnIdle() {}
