// The configuration chain: resolves a setting through every settings object
// and writes "config.cfg".
#pragma once

#include "foundation/YConfigObject.h"

class YGraphicsData;
class YInputObjSettings;
class YSoundData;

class YConfigData : public YConfigObject {
public:
    YConfigData();
    ~YConfigData() override;
    YConfigData(const YConfigData&) = delete;
    YConfigData& operator=(const YConfigData&) = delete;

    void Save(CStdioFile& file) override;
    int Set(const YString& key, const YString& value, int flag) override;
    int Get(const YString& key, YString& value, int flag) override;
    int ListKeys(CArray<YString>& names, int flag) override;
    void SetProfile(int level) override;
    void Export(int kind, void* record) override;
    // Called just before "config.cfg" runs.
    virtual void OnBeforeLoad();

    YInputObjSettings* m_input;  // attached
    YGraphicsData* m_graphics;   // owned
    YSoundData* m_sound;         // owned
    YConfigObject* m_game;       // attached
    int m_sysProfile;
};
