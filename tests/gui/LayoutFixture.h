// A layout whose hooks read numbers, record commands and make probe items:
// "probe" records its draws and hides, "probebutton(l, t, r, b, command)"
// puts a button control on the layout.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "gui/YButton.h"
#include "gui/YLayout.h"
#include "gui/YLayoutItem.h"
#include "gui/YLayoutRes.h"

class ProbeItem : public YLayoutItem {
public:
    explicit ProbeItem(std::vector<std::string>* log) : m_log(log) {}
    int Draw(YDC* dc) override
    {
        YLayoutItem::Draw(dc);
        m_log->push_back("draw " + Name());
        return 0;
    }
    void Hide() override { m_log->push_back("hide " + Name()); }
    std::string Name() const { return GetArgCount() ? std::string((const char*)GetArg(0)) : std::string("?"); }
    std::vector<std::string>* m_log;
};

class ProbeButtonItem : public YLayoutItem {
public:
    void Load(YDC*) override
    {
        YLayoutResSet* set = m_layout->GetResourceSet();
        YButton* button = new YButton;
        RECT r = {atoi(GetArg(0)), atoi(GetArg(1)), atoi(GetArg(2)), atoi(GetArg(3))};
        button->Create(0, "", 0, &r, m_layout->GetControlParent(), m_context + set->m_baseNumber, 0);
        const CString command = GetArgCount() > 4 ? GetArg(4) : CString();
        YLayoutRes* record = set->Add(set->m_controls[YLayoutResSet::Buttons], command, button, this);
        record->m_command = command;
        m_loaded = 1;
    }
};

class TestLayout : public YLayout {
public:
    YCatalog* GetCatalog() override { return nullptr; }
    YGraphics* GetGraphics() override { return nullptr; }
    // Numbers as written, names from the table, anything else 0.
    int ResolveValue(const char* text, YDC*, YLayoutGroup*) override
    {
        auto named = m_values.find(text);
        return named != m_values.end() ? named->second : atoi(text);
    }
    float ResolveFloat(const char* text, YDC*, YLayoutGroup*) override { return static_cast<float>(atof(text)); }
    CString ResolveText(const char* text, YDC*) override
    {
        auto named = m_texts.find(text);
        return named != m_texts.end() ? CString(named->second.c_str()) : CString(text);
    }
    YLayoutItem* CreateAppItem(const char* token) override
    {
        m_appTokens.push_back(token);
        if (_stricmp(token, "probe") == 0) return new ProbeItem(&m_log);
        if (_stricmp(token, "probebutton") == 0) return new ProbeButtonItem;
        return nullptr;
    }
    void ExecuteCommand(const char* text) override { m_commands.push_back(text); }
    // The text argument in angle brackets: one argument, whatever it holds.
    void ExecuteCommandWithText(const char* command, const char* text) override
    {
        m_commands.push_back(std::string(command) + " <" + text + ">");
    }
    void KeyboardOn(bool on) override { m_keyboard.push_back(on); }
    void OnIdle() override { ++m_idles; }
    void SetRefresh() override
    {
        ++m_refreshes;
        YLayout::SetRefresh();
    }

    std::map<std::string, int> m_values;
    std::map<std::string, std::string> m_texts;
    std::vector<std::string> m_appTokens, m_commands, m_log;
    std::vector<bool> m_keyboard;
    int m_idles = 0;
    int m_refreshes = 0;
};
