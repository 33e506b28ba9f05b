#include "input/YInputObjCommand.h"

YInputObjCommand::YInputObjCommand()
    : m_key(-1), m_mouseButton(-1), m_joyButton(-1), m_type(Momentary), m_reserved(0), m_aliasParts(10),
      m_state(0), m_prevState(0)
{
}

YInputObjCommand::YInputObjCommand(const YInputObjCommand& other) : CObject(), m_aliasParts(10)
{
    *this = other;
}

YInputObjCommand& YInputObjCommand::operator=(const YInputObjCommand& other)
{
    if (this == &other) return *this;
    m_name = other.m_name;
    m_description = other.m_description;
    m_key = other.m_key;
    m_mouseButton = other.m_mouseButton;
    m_joyButton = other.m_joyButton;
    m_type = other.m_type;
    m_reserved = other.m_reserved;
    m_state = other.m_state;
    m_prevState = other.m_prevState;
    m_aliasParts.RemoveAll();
    for (POSITION pos = other.m_aliasParts.GetHeadPosition(); pos;) m_aliasParts.AddTail(other.m_aliasParts.GetNext(pos));
    return *this;
}

YString YInputObjCommand::GetAliasText() const
{
    YString text;
    for (POSITION pos = m_aliasParts.GetHeadPosition(); pos;) {
        if (pos != m_aliasParts.GetHeadPosition()) text += ";";
        text += m_aliasParts.GetNext(pos);
    }
    return text;
}
