#include "foundation/YObjectParser.h"

#include "foundation/YFileSystem.h"
#include "foundation/YObjectDef.h"

namespace {
int g_includeDepth = 0;
// Files read under the current outermost include, and whether a limit was shown.
int g_includedFiles = 0;
bool g_limitShown = false;

// No message box service exists yet: the text goes to standard error, as
// a headless message box would show it.
void ShowOnStandardError(const char* text) { fprintf(stderr, "%s\n", text); }
YObjectParser::MessageBoxHandler g_messageBox = ShowOnStandardError;

// Depth and size of a definition's tree, measured no deeper than limit + 1.
void Measure(const YObjectDef* definition, int level, int limit, int& depth, long long& size)
{
    if (level > depth) depth = level;
    ++size;
    if (level > limit) return;
    const YObjectDefList& children = definition->GetChildren();
    for (POSITION pos = children.GetHeadPosition(); pos;) Measure(children.GetNext(pos), level + 1, limit, depth, size);
}

YObjectDef* NewLike(YObjectDef* base)
{
    CObject* object = base->GetRuntimeClass()->CreateObject();
    if (object && object->IsKindOf(RUNTIME_CLASS(YObjectDef))) return static_cast<YObjectDef*>(object);
    delete object;
    return new YObjectDef;
}
}  // namespace

int YObjectParser::GetIncludeDepth() { return g_includeDepth; }

int YObjectParser::GetIncludedFileCount() { return g_includedFiles; }

YObjectParser::MessageBoxHandler YObjectParser::SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = g_messageBox;
    g_messageBox = handler ? handler : ShowOnStandardError;
    return previous;
}

YObjectParser::YObjectParser()
    : m_current(nullptr), m_stack(10), m_open(0), m_definitions(nullptr), m_state(0), m_refused(false)
{
}

YObjectParser::~YObjectParser() { DiscardOpen(); }

void YObjectParser::DiscardOpen()
{
    if (m_current && !m_current->IsRegistered()) delete m_current;
    m_current = nullptr;
    while (!m_stack.IsEmpty()) {
        YObjectDef* definition = m_stack.RemoveHead();
        if (definition && !definition->IsRegistered()) delete definition;
    }
}

YObjectDefList* YObjectParser::SetDefinitionList(YObjectDefList* list)
{
    YObjectDefList* previous = m_definitions;
    m_definitions = list;
    return previous;
}

int YObjectParser::SyntaxError(const char* token)
{
    CString text;
    text.Format("Syntax Error: Invalid token '%s'", token);
    g_messageBox(text);
    return 0;
}

int YObjectParser::ParseLine(LPCTSTR line)
{
    CString text = line ? line : "";
    text.TrimLeft();
    text.TrimRight();
    if (text.IsEmpty() || text.Left(2) == "//") return m_open;

    m_words.SetText(text);
    int kind = 0;
    CString word = m_words.GetNextWord(&kind);
    if (word.Left(2) == "//") return m_open;

    if (word.CompareNoCase("#include") == 0) {
        CString fileName = m_words.GetNextWord(&kind);
        if (!fileName.IsEmpty()) Include(fileName);
    } else if (word == "{") {
        if (m_state != 1) return SyntaxError("{");
        m_state = 2;
    } else if (word == "}") {
        if (m_state != 2) return SyntaxError("}");
        EndObject();
    } else if (word.CompareNoCase("OBJECT") == 0) {
        if (m_state != 0 && m_state != 2) return SyntaxError("OBJECT");
        if (OpenCount() >= kMaxNesting) {
            g_messageBox("Syntax Error: Definitions nested too deeply");
            return 0;
        }
        m_refused = false;
        BeginObject();
        if (m_refused) return 0;
        m_state = 1;
    } else if (word.CompareNoCase("SET") == 0) {
        if (m_state != 0 && m_state != 2) return SyntaxError("SET");
        Set();
    } else {
        SetPair(word);
    }

    if (!m_current) {
        m_open = 0;
        m_state = 0;
    }
    return m_open;
}

void YObjectParser::Push(YObjectDef* definition)
{
    if (definition) m_stack.AddHead(definition);
}

void YObjectParser::Reopen(YObjectDef* definition)
{
    definition->SetRegistered(1);
    m_open = 1;
    Push(m_current);
    m_current = definition;
}

void YObjectParser::BeginObject()
{
    int kind = 0;
    CString name = m_words.GetNextWord(&kind);
    if (name.IsEmpty()) return;

    CString baseName;
    int colon = name.Find(':');
    if (colon > 0) {
        baseName = name.Mid(colon + 1);
        baseName.TrimLeft();
        name = name.Left(colon);
        name.TrimRight();
    }

    YObjectDef* existing = m_current ? m_current->GetChildren().Find(name)
                                     : (m_definitions ? m_definitions->Find(name) : nullptr);
    if (existing) {
        Reopen(existing);
        return;
    }

    YObjectDef* base = nullptr;
    if (!baseName.IsEmpty() && m_definitions) {
        base = m_definitions->Find(baseName);
        if (!base) {
            base = new YObjectDef;
            base->SetName(baseName);
            m_definitions->AddTail(base);
        }
    }
    if (base && base->GetName().CompareNoCase(name) == 0) {
        Reopen(base);
        return;
    }

    if (base && !CanDerive(base)) {
        g_messageBox("Syntax Error: Definition too large to derive");
        m_refused = true;
        return;
    }

    YObjectDef* definition = nullptr;
    if (base) {
        definition = NewLike(base);
        definition->InheritFrom(base);
    } else {
        definition = new YObjectDef;
    }
    definition->SetParent(m_current);
    definition->SetName(name);
    definition->SetRegistered(0);
    Push(m_current);
    m_current = definition;
    m_open = 1;
}

bool YObjectParser::CanDerive(const YObjectDef* base) const
{
    const int room = kMaxNesting - OpenCount();
    int depth = 0;
    long long size = 0;
    Measure(base, 1, room, depth, size);
    return depth <= room && YObjectDef::GetLiveCount() + size <= kMaxLiveDefinitions;
}

void YObjectParser::Set()
{
    int kind = 0;
    CString key = m_words.GetNextWord(&kind);
    CString value = m_words.GetNextWord(&kind);
    if (m_current && !key.IsEmpty() && !value.IsEmpty()) m_current->YDataCollection::Set(key, value, 0);
}

void YObjectParser::SetPair(const CString& key)
{
    int kind = 0;
    CString value = m_words.GetNextWord(&kind);
    if (m_current && !key.IsEmpty() && !value.IsEmpty()) m_current->YDataCollection::Set(key, value, 0);
}

void YObjectParser::EndObject()
{
    YObjectDef* closed = m_current;
    m_current = m_stack.IsEmpty() ? nullptr : m_stack.RemoveHead();
    if (!closed || closed->IsRegistered()) return;

    if (m_current) {
        m_current->GetChildren().AddTail(closed);
    } else if (m_definitions && !m_definitions->Find(closed->GetName())) {
        m_definitions->AddTail(closed);
    } else {
        delete closed;
    }
}

void YObjectParser::IncludeLimit(LPCTSTR fileName, const char* reason)
{
    if (g_limitShown) return;
    g_limitShown = true;
    CString text;
    text.Format("Script Error: %s\n%s\n", fileName, reason);
    g_messageBox(text);
}

void YObjectParser::Include(LPCTSTR fileName)
{
    if (!fileName || !*fileName) return;
    if (g_includeDepth == 0) {
        g_includedFiles = 0;
        g_limitShown = false;
    }
    // A file that includes itself, directly or not, is cut off here.
    if (g_includeDepth >= kMaxIncludeDepth) {
        IncludeLimit(fileName, "Includes nested too deeply");
        return;
    }
    if (g_includedFiles >= kMaxIncludedFiles) {
        IncludeLimit(fileName, "Too many included files");
        return;
    }
    ++g_includedFiles;

    CString path = fileName;
    if (m_topLevelPath.IsEmpty()) {
        m_topLevelPath = fileName;
    } else {
        YFileSystem files;
        path = files.GetDirectory(CString((const char*)m_topLevelPath), TRUE) + fileName;
    }

    ++g_includeDepth;
    try {
        CStdioFile file(path, CFile::modeRead | CFile::typeText);
        char line[kMaxLineLength + 1];
        while (file.GetPosition() < file.GetLength()) {
            if (!file.ReadString(line, sizeof(line))) break;
            size_t length = strlen(line);
            if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
            ParseLine(line);
        }
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
    if (--g_includeDepth == 0) m_topLevelPath.Empty();
}

void YObjectParser::Save(LPCTSTR fileName)
{
    try {
        CStdioFile file(fileName, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString(ToScript());
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
}

CString YObjectParser::ToScript() { return m_definitions ? m_definitions->ToScript() : CString(); }

YObjectDef* YObjectParser::ParseFileInto(LPCTSTR fileName, YObjectDef* definition, LPCTSTR baseName)
{
    YObjectDef* target = definition;
    if (!target) {
        CString base = baseName ? baseName : "";
        if (base.IsEmpty()) {
            target = new YObjectDef;
        } else {
            YObjectDef* found = m_definitions ? m_definitions->Find(base) : nullptr;
            if (!found) {
                CString text;
                text.Format("Script Error: %s\nBase class not found: %s\n", fileName ? fileName : "",
                            (LPCTSTR)base);
                g_messageBox(text);
                return nullptr;
            }
            target = NewLike(found);
            target->InheritFrom(found);
            target->SetParent(nullptr);
        }
    }
    target->SetRegistered(1);

    // The file fills the target alone: what was open before waits aside,
    // and what the file leaves open is discarded, not left on the stack.
    YObjectDef* outerCurrent = m_current;
    YObjectDefList outerStack(10);
    outerStack.AddTail(&m_stack);
    m_stack.RemoveAll();
    const int outerOpen = m_open;
    const int outerState = m_state;

    m_current = target;
    m_open = 0;
    m_state = 0;
    Include(fileName);
    DiscardOpen();

    m_current = outerCurrent;
    m_stack.AddTail(&outerStack);
    m_open = outerOpen;
    m_state = outerState;
    return target;
}
