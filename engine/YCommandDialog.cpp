#include "engine/YCommandDialog.h"

#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "graphics2d/YFont.h"
#include "gui/YEditBox.h"
#include "renderer/YGraphics.h"

namespace {

YFont* InterfaceFont()
{
    YGraphics* graphics = YGameObjects::Instance()->m_graphics;
    return graphics ? dynamic_cast<YFont*>(graphics->m_font) : nullptr;
}

}  // namespace

YCommandDialog::YCommandDialog(const char* background)
{
    SetBackground(background);
}

void YCommandDialog::Submit(const char* text)
{
    if (!text || !*text) return;
    YString output;
    if (YCommandInterpreter* interpreter = YGameObjects::Instance()->m_interpreter)
        interpreter->ExecuteCommand(text, &output);
    YFont* font = InterfaceFont();
    AddText(GetEditBox() ? GetEditBox()->GetLabel() + text : CString(text), font);
    if (!output.IsEmpty()) AddText(output, font);
}

void YCommandDialog::OnKeyDown(int key, int repeat, int keyFlags)
{
    if (key == VK_F2) Close();
    YEditDialog::OnKeyDown(key, repeat, keyFlags);
}

void YCommandDialog::Close()
{
    EndDialog(1);
}
