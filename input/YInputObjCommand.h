// One binding: a key, a mouse button and a joystick button tied to a command.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

class YInputObjCommand : public CObject {
public:
    enum { Momentary = 1, OneShot = 2 };

    YInputObjCommand();
    YInputObjCommand(const YInputObjCommand& other);
    YInputObjCommand& operator=(const YInputObjCommand& other);

    // The alias parts joined with ";".
    YString GetAliasText() const;
    int GetAliasPartCount() const { return m_aliasParts.GetCount(); }
    void AddAliasPart(const YString& part) { m_aliasParts.AddTail(part); }
    void ClearAlias() { m_aliasParts.RemoveAll(); }

    YString m_name;
    YString m_description;
    int32_t m_key;
    int32_t m_mouseButton;
    int32_t m_joyButton;
    int32_t m_type;
    int32_t m_reserved;
    CList<YString> m_aliasParts;
    int32_t m_state;
    int32_t m_prevState;
};
