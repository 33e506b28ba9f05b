// Reads object-definition scripts line by line into definitions, and
// writes the definition list back as script text.
#pragma once

#include "foundation/YObjectDefList.h"
#include "foundation/YString.h"
#include "foundation/YStringParser.h"

class YObjectDef;

class YObjectParser {
public:
    // Includes stop at this depth, and one outermost include reads at most
    // kMaxIncludedFiles files in all (a file including itself twice would
    // otherwise read 2^16 files within the depth).
    enum { kMaxLineLength = 255, kMaxIncludeDepth = 16, kMaxIncludedFiles = 256 };
    // Definitions open inside one another stop at this depth, so that
    // deleting, copying and writing them never runs out of stack.
    enum { kMaxNesting = 64 };
    // A definition is derived only while the copy keeps every tree within
    // kMaxNesting and the definitions alive within kMaxLiveDefinitions:
    // derivations from ever larger copies would otherwise grow as 2^lines.
    enum { kMaxLiveDefinitions = 1 << 18 };

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
    // Files read under the latest outermost include.
    static int GetIncludedFileCount();

    // Where syntax and script errors are shown (a plain OK message box).
    typedef void (*MessageBoxHandler)(const char* text);
    static MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

private:
    void Push(YObjectDef* definition);
    void Reopen(YObjectDef* definition);
    int SyntaxError(const char* token);
    // Shows the first include limit hit under one outermost include.
    void IncludeLimit(LPCTSTR fileName, const char* reason);
    // Deletes the definitions still open that nothing owns yet, innermost
    // first (a re-opened child belongs to its open parent), and empties the stack.
    void DiscardOpen();
    // The number of definitions open now: the new one goes one level below.
    int OpenCount() const { return m_current ? m_stack.GetCount() + 1 : 0; }
    bool CanDerive(const YObjectDef* base) const;

    YObjectDef* m_current;
    YObjectDefList m_stack;
    int m_open;
    YObjectDefList* m_definitions;
    int m_state;
    YStringParser m_words;
    YString m_topLevelPath;
    bool m_refused;
};
