#include "foundation/YConfigObject.h"

#include <cstdlib>

void YConfigObject::SetProfile(int) {}

void YConfigObject::Export(int, void*) {}

YString YConfigObject::CleanValue(const char* value, int limit)
{
    YString out;
    if (!value) return out;
    for (const char* p = value; *p && (limit < 0 || out.GetLength() < limit); ++p) {
        if (*p == '"' || *p == '\r' || *p == '\n') continue;
        out += *p;
    }
    return out;
}

int YConfigObject::SetCStringIf(const CString& key, const char* name, const char* value, CString& field)
{
    if (_stricmp(key, name) != 0) return 0;
    field = (const char*)CleanValue(value);
    return 1;
}

int YConfigObject::SetStringIf(const YString& key, const char* name, const YString& value, YString& field)
{
    if (lstrcmpiA(key, name) != 0) return 0;
    field = CleanValue(value);
    return 1;
}

int YConfigObject::SetIntIf(const YString& key, const char* name, const YString& value, int& field)
{
    if (lstrcmpiA(key, name) != 0) return 0;
    field = rcv_atoi(value);
    return 1;
}

int YConfigObject::GetCStringIf(const CString& key, const char* name, CString& value, const CString& field)
{
    if (_stricmp(key, name) != 0) return 0;
    value = field;
    return 1;
}

int YConfigObject::GetStringIf(const YString& key, const char* name, YString& value, const YString& field)
{
    if (lstrcmpiA(key, name) != 0) return 0;
    value = field;
    return 1;
}

int YConfigObject::GetIntIf(const YString& key, const char* name, YString& value, const int& field)
{
    if (lstrcmpiA(key, name) != 0) return 0;
    value.Format("%d", field);
    return 1;
}

void YConfigObject::WriteInt(CStdioFile& file, YString name, int value)
{
    YString line;
    line.Format("set %s \"%d\" \n", (const char*)name, value);
    file.WriteString(line);
}
