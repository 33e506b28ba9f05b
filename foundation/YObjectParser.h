// Reads object-definition scripts line by line into definitions, and
// writes the definition list back as script text.
#pragma once

#include "foundation/YObjectDefList.h"
#include "foundation/YString.h"
#include "foundation/YStringParser.h"

class YObjectDef;

class YObjectParser {
public:
    enum { kMaxLineLength = 255, kMaxIncludeDepth = 16 };

    YObjectParser();
    virtual ~YObjectParser();

    virtual void Include(LPCTSTR fileName);
    virtual void Save(LPCTSTR fileName);
    virtual CString ToScript();
    virtual void BeginObject();
    virtual void SetPair(const CString& key);
    virtual void Set();
    virtual void EndObject();

    YObjectDefList* SetDefinitionList(YObjectDefList* list);
    YObjectDefList* GetDefinitionList() const { return m_definitions; }
    // The open flag after the line, or 0 after a syntax error.
    int ParseLine(LPCTSTR line);
    // Fills the definition (or a new one, derived from baseName when given)
    // from the file's lines.  Null when the base does not exist.
    YObjectDef* ParseFileInto(LPCTSTR fileName, YObjectDef* definition, LPCTSTR baseName = "");

    YObjectDef* GetCurrent() const { return m_current; }
    int GetState() const { return m_state; }
    static int GetIncludeDepth();

    // Where syntax and script errors are shown (a plain OK message box).
    typedef void (*MessageBoxHandler)(const char* text);
    static MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

private:
    void Push(YObjectDef* definition);
    void Reopen(YObjectDef* definition);
    int SyntaxError(const char* token);

    YObjectDef* m_current;
    YObjectDefList m_stack;
    int m_open;
    YObjectDefList* m_definitions;
    int m_state;
    YStringParser m_words;
    YString m_topLevelPath;
};
