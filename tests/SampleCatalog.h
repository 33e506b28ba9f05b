// The sample data's catalog as the engine's catalog while it lives; the
// engine's own comes back after.
#pragma once

#include <memory>
#include <string>

#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "tools/YCatalogText.h"

class SampleCatalog {
public:
    explicit SampleCatalog(const std::string& dataFolder)
        : m_catalog(Open(dataFolder)), m_engine(YGameObjects::Instance())
    {
        m_catalog->GetSearchDirectories().Add(dataFolder.c_str());
        m_saved = m_engine->m_catalog;
        m_engine->m_catalog = m_catalog.get();
    }
    ~SampleCatalog() { m_engine->m_catalog = m_saved; }
    SampleCatalog(const SampleCatalog&) = delete;
    SampleCatalog& operator=(const SampleCatalog&) = delete;
    YCatalog* Get() const { return m_catalog.get(); }

private:
    // The catalog makes its resources by class name: registered first.
    static YCatalog* Open(const std::string& dataFolder)
    {
        YCatalogText::RegisterResourceClasses();
        return new YCatalog((dataFolder + "/RC Volaro.cat").c_str());
    }
    std::unique_ptr<YCatalog> m_catalog;
    YGameObjects* m_engine;
    YCatalog* m_saved = nullptr;
};
