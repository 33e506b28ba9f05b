// The sound manager: started once the catalog is open, stepped once per pass.
#pragma once

#include "platform/win32.h"
#include "sound/YDXSound.h"

class YCatalog;
class YSoundData;

class YSound : public YDXSound {
public:
    YSound();
    ~YSound() override;

    // Takes the catalog and a copy of the settings; failures stay inside.
    int Initialize(YCatalog* catalog, const YSoundData* settings);
    // Commits listener changes at most every (500 - 5 x resolution) ms.
    void Update();
    // Milliseconds between two commits for a "snd_3dresolution" value.
    static DWORD CommitInterval(int resolution);

    YCatalog* m_catalog;  // reference
    int m_started;
    int m_resolution;
    DWORD m_lastCommit;
    unsigned long m_commits;
};
