// Named on/off switches that the console can flip by typing their names.
// Names are kept scrambled: every byte plus the name's length, modulo 256.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

class YCheat : public CObject {
public:
    enum { Toggle = 1, OneShot = 2 };

    YCheat();
    YCheat(const YCheat& other);
    YCheat& operator=(const YCheat& other);

    YString m_name;  // stored form
    int32_t m_type;
    uint8_t m_value;
};

class YCheats : public CObject {
public:
    YCheats();

    static YString Scramble(const char* plain);
    static YString Unscramble(const YString& stored);

    int32_t Add(const char* storedName, int32_t type);
    int32_t IndexOf(const char* storedName) const;
    int GetValue(int index);
    int IsOn(const char* storedName);
    void Set(const char* storedName);
    bool Enter(const char* text);
    int Reset();
    int TakeLastValue();

    int GetCount() const { return static_cast<int>(m_cheats.GetSize()); }
    const YCheat& GetAt(int index) const { return m_cheats.GetData()[index]; }

    // The array: its count, then each record (name, type, value). Loading
    // replaces the list; a short archive throws end-of-file and keeps it.
    void Serialize(CArchive& ar) override;
    bool HasChanged() const { return m_changed != 0; }

private:
    void Switch(YCheat& cheat);

    CArray<YCheat, YCheat&> m_cheats;
    int32_t m_changed;
    int32_t m_lastValue;
};
