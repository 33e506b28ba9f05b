#include "foundation/YConfigData.h"

#include "foundation/YGraphicsData.h"
#include "input/YInputObjSettings.h"
#include "sound/YSoundData.h"

YConfigData::YConfigData() : m_input(nullptr), m_graphics(nullptr), m_sound(nullptr), m_game(nullptr), m_sysProfile(-1)
{
    m_graphics = new YGraphicsData;
    m_sound = new YSoundData;
    SetProfile(1);
}

YConfigData::~YConfigData()
{
    delete m_graphics;
    delete m_sound;
}

void YConfigData::OnBeforeLoad() {}

int YConfigData::Set(const YString& key, const YString& value, int flag)
{
    if (SetIntIf(key, "cfg_sysprofile", value, m_sysProfile)) return 1;
    if (m_graphics && m_graphics->Set(key, value, flag)) return 1;
    if (m_sound && m_sound->SetValue(key, value, flag)) return 1;
    if (m_input && m_input->SetVar(key, value, flag != 0)) return 1;
    if (m_game && m_game->Set(key, value, flag)) return 1;
    return 0;
}

int YConfigData::Get(const YString& key, YString& value, int flag)
{
    if (GetIntIf(key, "cfg_sysprofile", value, m_sysProfile)) return 1;
    if (m_graphics && m_graphics->Get(key, value, flag)) return 1;
    if (m_sound && m_sound->GetValue(key, value, flag)) return 1;
    if (m_input && m_input->GetVar(key, value, flag != 0)) return 1;
    if (m_game && m_game->Get(key, value, flag)) return 1;
    return 0;
}

int YConfigData::ListKeys(CArray<YString>& names, int flag)
{
    names.Add(YString("cfg_sysprofile"));
    if (m_graphics) m_graphics->ListKeys(names, flag);
    if (m_sound) m_sound->ListKeys(names, flag);
    if (m_input) m_input->ListVars(names, flag != 0);
    if (m_game) m_game->ListKeys(names, flag);
    return 1;
}

void YConfigData::SetProfile(int level)
{
    m_sysProfile = level;
    if (m_graphics) m_graphics->SetProfile(level);
    if (m_sound) m_sound->ApplyDetailLevel(level);
    if (m_game) m_game->SetProfile(level);
}

void YConfigData::Export(int kind, void* record)
{
    if (m_graphics) m_graphics->Export(kind, record);
    if (m_game) m_game->Export(kind, record);
}

void YConfigData::Save(CStdioFile& file)
{
    if (m_input) m_input->WriteScript(file);
    if (m_game) m_game->Save(file);
    if (m_graphics) m_graphics->Save(file);
    if (m_sound) m_sound->WriteSettings(file);
    file.WriteString("\n--\n\n");
    WriteInt(file, "cfg_sysprofile", m_sysProfile);
}
