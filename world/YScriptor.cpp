#include "world/YScriptor.h"

#include "engine/YGameObjects.h"
#include "platform/FilePath.h"

YScriptor::~YScriptor()
{
    if (m_file) fclose(m_file);
}

bool YScriptor::Open(const char* name, int mode)
{
    m_mode = mode;
    if (m_file) fclose(m_file);
    m_file = nullptr;
    if (name && *name) {
        const std::string path = platform::ResolvePath(name);
        m_file = fopen(path.c_str(), mode == ModeWrite ? "w" : "r");
        if (m_file && mode == ModeWrite) fputs("120\n", m_file);
    }
    m_open = m_file ? 1 : 0;
    return m_open != 0;
}

void YScriptor::ReadAndSpawn()
{
    if (!m_open || m_mode != ModeRead) return;
    int seconds = 0;
    if (fscanf(m_file, "%d", &seconds) != 1) return;
    if (YGameObjects* engine = YGameObjects::Existing()) engine->m_roundSeconds = seconds;
}
