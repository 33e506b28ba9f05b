// Sound settings: the "snd_" keys of the configuration chain.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

class YSoundData : public CObject {
public:
    YSoundData();

    // 1 when the key is a sound key (the value is stored, clamped), else 0.
    int SetValue(const YString& key, const YString& value, int flag);
    // 1 when the key is a sound key (value gets its text), else 0.
    int GetValue(const YString& key, YString& value, int flag);
    void ListKeys(CArray<YString>& names, int flag);
    void WriteSettings(CStdioFile& file);
    void ApplyDetailLevel(int level);
    void Serialize(CArchive& ar) override;

    int32_t m_enabled;
    int32_t m_3dEnabled;
    int32_t m_music;
    int32_t m_voice;
    YString m_driver;
    int32_t m_3dSoftware;
    int32_t m_8bitQuality;
    float m_scale;  // read by nothing
    int32_t m_3dResolution;
    int32_t m_maxSameBuffers;
    int32_t m_idleRemoveTime;

private:
    struct IntKey {
        const char* name;
        int32_t YSoundData::*field;
        int low;
        int high;
    };
    static const IntKey IntKeys[];
    static const char* const ListedKeys[];
};
