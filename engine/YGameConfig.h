// The game's own settings: system selections, flight assists, high scores
// and the three detail presets.
#pragma once

#include "engine/YHighScore.h"
#include "foundation/YConfigObject.h"

class YConfigData;
class YDataCollection;
class YObjectDefList;

class YGameConfig : public YConfigObject {
public:
    enum { GameTypes = 4, ScoreRows = 5, Presets = 3, PresetValues = 24 };
    enum { DetailLow = 0, DetailMedium = 1, DetailHigh = 2, DetailNone = -1 };
    // The graphics keys of a detail preset, in order.
    static const char* const PresetKeys[PresetValues];

    YGameConfig();

    void Save(CStdioFile& file) override;
    int Set(const YString& key, const YString& value, int flag) override;
    int Get(const YString& key, YString& value, int flag) override;
    int ListKeys(CArray<YString>& names, int flag) override;

    void GetHighScore(int type, int row, YHighScore& out) const;
    void SetHighScore(int type, int row, const YHighScore& in);
    void ApplyPreset(int preset, YConfigData* config);
    int GetDetailSetting() const { return m_detailSetting; }
    void ChooseDetailSetting();
    // The preset a timing result picks: high below 1000 ms, medium below 3000.
    static int PresetForElapsed(DWORD elapsed);
    void LoadDefaults(YConfigData* config);
    void DefaultHighScores();
    void DefaultPresets();

    // Fills the engine's control verbs and session settings, then copies
    // the "ClientPhysics" definition into the settings.
    void RegisterSessionSettings();
    static void RegisterControlVerbs(YDataCollection* verbs);
    static void RegisterSessionKeys(YDataCollection* settings, const YObjectDefList* definitions);

    uint8_t m_practice;
    int m_autoLevel;
    int m_autoPitch;
    int m_gameLevel;
    int m_planeSkin;
    int m_ui;
    int m_physicsScaler;
    int m_3dIndicator;
    YString m_dataDir;
    YString m_exec;
    YString m_map;
    YString m_plane;
    YString m_gameType;
    YString m_opponent;
    int m_levelIndex;
    YHighScore m_highScores[GameTypes][ScoreRows];
    int m_presets[Presets][PresetValues];
    int m_detailSetting;

private:
    struct SysKey {
        const char* name;
        YString YGameConfig::*text;
        int YGameConfig::*number;
    };
    static const SysKey SysKeys[];
    // The score field a "hs_" key names, or null.
    YString* FindScoreField(const YString& key);
    int* FindPresetField(const YString& key);
};
