#include "sound/YSoundData.h"

#include <cstdlib>

#include "foundation/YConfigObject.h"

// Numeric keys with their ranges, in the order of the written block.
const YSoundData::IntKey YSoundData::IntKeys[] = {
    {"snd_enabled", &YSoundData::m_enabled, 0, 1},
    {"snd_3denabled", &YSoundData::m_3dEnabled, 0, 1},
    {"snd_music", &YSoundData::m_music, 0, 1},
    {"snd_voice", &YSoundData::m_voice, 0, 1},
    {"snd_3dsoftware", &YSoundData::m_3dSoftware, 0, 1},
    {"snd_8bitquality", &YSoundData::m_8bitQuality, 0, 1},
    {"snd_3dresolution", &YSoundData::m_3dResolution, 0, 100},
    {"snd_maxsamebuffers", &YSoundData::m_maxSameBuffers, 1, 16},
    {"snd_idleremovetime", &YSoundData::m_idleRemoveTime, 0, 600},
    {nullptr, nullptr, 0, 0},
};

const char* const YSoundData::ListedKeys[] = {
    "snd_enabled", "snd_3denabled", "snd_3dsoftware", "snd_8bitquality", "snd_3dresolution",
    "snd_driver", "snd_maxsamebuffers", "snd_idleremovetime", "snd_music", "snd_voice", nullptr,
};

// The voice switch has no value of its own until a settings line sets it;
// it starts on, like music.
YSoundData::YSoundData()
    : m_enabled(1), m_3dEnabled(1), m_music(1), m_voice(1), m_3dSoftware(1), m_8bitQuality(1),
      m_scale(1.0f), m_3dResolution(100), m_maxSameBuffers(4), m_idleRemoveTime(0)
{
}

int YSoundData::SetValue(const YString& key, const YString& value, int)
{
    for (const IntKey* k = IntKeys; k->name; ++k) {
        if (lstrcmpiA(key, k->name) != 0) continue;
        int n = rcv_atoi(value);
        if (n < k->low) n = k->low;
        if (n > k->high) n = k->high;
        this->*(k->field) = n;
        return 1;
    }
    if (lstrcmpiA(key, "snd_driver") == 0) {
        m_driver = YConfigObject::CleanValue(value);
        return 1;
    }
    return 0;
}

int YSoundData::GetValue(const YString& key, YString& value, int)
{
    for (const IntKey* k = IntKeys; k->name; ++k) {
        if (lstrcmpiA(key, k->name) != 0) continue;
        value.Format("%d", this->*(k->field));
        return 1;
    }
    if (lstrcmpiA(key, "snd_driver") == 0) {
        value = m_driver;
        return 1;
    }
    return 0;
}

void YSoundData::ListKeys(CArray<YString>& names, int)
{
    names.Add(YString("\n-- Sound settings\n"));
    for (const char* const* name = ListedKeys; *name; ++name) names.Add(YString(*name));
}

void YSoundData::WriteSettings(CStdioFile& file)
{
    file.WriteString("\n-- Sound settings\n\n");
    YString line;
    for (const IntKey* k = IntKeys; k->name; ++k) {
        line.Format("set %s \"%d\" \n", k->name, this->*(k->field));
        file.WriteString(line);
    }
    line.Format("set %s \"%s\"", "snd_driver", (const char*)m_driver);
    file.WriteString(line);
    file.WriteString("\n");
}

void YSoundData::ApplyDetailLevel(int level)
{
    m_8bitQuality = 1;
    m_3dEnabled = 1;
    m_3dResolution = level == 4 ? 75 : (level == 5 ? 100 : 50);
}

void YSoundData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << (LONG)m_enabled << (LONG)m_3dEnabled << (LONG)m_3dSoftware << (LONG)m_8bitQuality;
        ar << m_driver;
        ar << (LONG)m_3dResolution << (LONG)m_maxSameBuffers << (LONG)m_idleRemoveTime;
    } else {
        LONG v[4];
        ar >> v[0] >> v[1] >> v[2] >> v[3];
        m_enabled = v[0];
        m_3dEnabled = v[1];
        m_3dSoftware = v[2];
        m_8bitQuality = v[3];
        YString driver;  // an empty stored string would leave the old one
        ar >> driver;
        m_driver = driver;
        ar >> v[0] >> v[1] >> v[2];
        m_3dResolution = v[0];
        m_maxSameBuffers = v[1];
        m_idleRemoveTime = v[2];
    }
}
