// Base of the settings objects: each reads and writes named "set" values.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

class YConfigObject {
public:
    YConfigObject() = default;
    virtual ~YConfigObject() = default;

    // Writes this object's "set" lines.
    virtual void Save(CStdioFile& file) = 0;
    // Stores the value when the key is this object's: 1 taken, 0 not ours.
    virtual int Set(const YString& key, const YString& value, int flag) = 0;
    // Puts the current value as text: 1 when the key is ours, else 0.
    virtual int Get(const YString& key, YString& value, int flag) = 0;
    // Appends a heading and the key names; returns 1.
    virtual int ListKeys(CArray<YString>& names, int flag) = 0;
    virtual void SetProfile(int level);
    virtual void Export(int kind, void* record);

    int SetCStringIf(const CString& key, const char* name, const char* value, CString& field);
    int SetStringIf(const YString& key, const char* name, const YString& value, YString& field);
    int SetIntIf(const YString& key, const char* name, const YString& value, int& field);
    int GetCStringIf(const CString& key, const char* name, CString& value, const CString& field);
    int GetStringIf(const YString& key, const char* name, YString& value, const YString& field);
    int GetIntIf(const YString& key, const char* name, YString& value, const int& field);
    void WriteInt(CStdioFile& file, YString name, int value);

    // Longest text value kept, so that a written "set" line stays one line
    // for the 255-character reader of command files.
    enum { MaxTextValue = 200 };
    // Text values reach "config.cfg" inside double quotes: a quote or a line
    // break in them would end the line early, so they are stripped, and the
    // text is cut at limit characters (none for a negative limit).
    static YString CleanValue(const char* value, int limit = MaxTextValue);
};
