// A renderer that writes down the model and texture loads asked of it.
#pragma once

#include <string>
#include <vector>

#include "renderer/YD3D6Parser.h"

// A renderer that writes down the model and texture loads asked of it.
class LoadLog : public YD3D6Parser {
public:
    YSMHandle* CreateModelHandle(const char* path) override
    {
        m_calls.push_back(std::string("file ") + path);
        return nullptr;
    }
    YSMHandle* CreateModelHandleFromCatalog(const char* model, const char* group, const char* finder) override
    {
        m_calls.push_back(std::string("catalog ") + group + "/" + model + "/" + finder);
        return nullptr;
    }
    YSMHandle* CreateModelHandleByName(const char* model, const char* group) override
    {
        m_calls.push_back(std::string("named ") + group + "/" + model);
        return nullptr;
    }
    int LoadCatalogTextures(const char* name, DWORD, int) override
    {
        m_calls.push_back(std::string("index ") + name);
        return static_cast<int>(m_calls.size()) + 40;
    }
    std::vector<std::string> m_calls;
};
