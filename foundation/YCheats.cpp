#include "foundation/YCheats.h"

namespace {
YString ShiftBytes(const char* text, int direction)
{
    YString result(text);
    int length = result.GetLength();
    for (int i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(result[i]);
        result.SetAt(i, static_cast<char>((c + direction * length) & 0xFF));
    }
    return result;
}
}  // namespace

YCheat::YCheat() : m_type(0), m_value(0) {}

YCheat::YCheat(const YCheat& other) : CObject(), m_name(other.m_name), m_type(other.m_type), m_value(other.m_value) {}

YCheat& YCheat::operator=(const YCheat& other)
{
    m_name = other.m_name;
    m_type = other.m_type;
    m_value = other.m_value;
    return *this;
}

YCheats::YCheats() : m_changed(0), m_lastValue(0) {}

YString YCheats::Scramble(const char* plain)
{
    return ShiftBytes(plain, 1);
}

YString YCheats::Unscramble(const YString& stored)
{
    return ShiftBytes(stored, -1);
}

int32_t YCheats::Add(const char* storedName, int32_t type)
{
    int32_t index = IndexOf(storedName);
    if (index >= 0) {
        m_cheats[index].m_type = type;
        return index;
    }
    YCheat cheat;
    cheat.m_name = storedName;
    cheat.m_type = type;
    return static_cast<int32_t>(m_cheats.Add(cheat));
}

int32_t YCheats::IndexOf(const char* storedName) const
{
    for (int i = 0; i < m_cheats.GetSize(); ++i)
        if (m_cheats.GetData()[i].m_name.CompareNoCase(storedName) == 0) return i;
    return -1;
}

int YCheats::GetValue(int index)
{
    if (index < 0 || index >= m_cheats.GetSize()) return 0;
    YCheat& cheat = m_cheats[index];
    int value = cheat.m_value;
    if (cheat.m_type == YCheat::OneShot) cheat.m_value = 0;
    return value;
}

int YCheats::IsOn(const char* storedName)
{
    return GetValue(IndexOf(storedName));
}

void YCheats::Switch(YCheat& cheat)
{
    m_changed = 1;
    cheat.m_value = (cheat.m_type == YCheat::Toggle) ? !cheat.m_value : 1;
    m_lastValue = cheat.m_value;
}

void YCheats::Set(const char* storedName)
{
    for (int i = 0; i < m_cheats.GetSize(); ++i)
        if (m_cheats.GetData()[i].m_name.CompareNoCase(storedName) == 0) Switch(m_cheats[i]);
}

bool YCheats::Enter(const char* text)
{
    for (int i = 0; i < m_cheats.GetSize(); ++i) {
        if (Unscramble(m_cheats[i].m_name).CompareNoCase(text) == 0) {
            Switch(m_cheats[i]);
            return true;
        }
    }
    return false;
}

int YCheats::Reset()
{
    m_changed = 0;
    m_lastValue = 0;
    for (int i = 0; i < m_cheats.GetSize(); ++i) m_cheats[i].m_value = 0;
    return static_cast<int>(m_cheats.GetSize());
}

int YCheats::TakeLastValue()
{
    int value = m_lastValue;
    m_lastValue = 0;
    return value;
}

void YCheats::Serialize(CArchive& ar)
{
    // A record takes at least the name's length and two words.
    const ULONGLONG kLeastRecord = 12;
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD>(m_cheats.GetSize()));
        for (int i = 0; i < m_cheats.GetSize(); ++i) {
            const YCheat& cheat = m_cheats.GetData()[i];
            ar << cheat.m_name << LONG(cheat.m_type) << DWORD(cheat.m_value);
        }
        return;
    }
    const DWORD count = ar.ReadCount();
    ar.EnsureCanRead(count * kLeastRecord);
    CArray<YCheat, YCheat&> read;
    read.SetSize(static_cast<int>(count));
    for (DWORD i = 0; i < count; ++i) {
        YCheat& cheat = read[static_cast<int>(i)];
        LONG type;
        DWORD value;
        ar >> cheat.m_name >> type >> value;
        cheat.m_type = type;
        cheat.m_value = static_cast<uint8_t>(value);
    }
    m_cheats.Copy(read);
}
