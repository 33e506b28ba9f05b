#include "sound/YSound.h"

#include "sound/YSoundData.h"

YSound::YSound() : m_catalog(nullptr), m_started(0), m_resolution(0), m_lastCommit(0), m_commits(0) {}

YSound::~YSound() = default;

int YSound::Initialize(YCatalog* catalog, const YSoundData* settings)
{
    m_catalog = catalog;
    m_resolution = settings ? settings->m_3dResolution : 0;
    m_lastCommit = GetTickCount();
    m_started = 1;
    return 1;
}

DWORD YSound::CommitInterval(int resolution)
{
    int interval = 500 - 5 * resolution;
    return interval > 0 ? static_cast<DWORD>(interval) : 0;
}

void YSound::Update()
{
    if (!m_started) return;
    DWORD now = GetTickCount();
    if (now - m_lastCommit < CommitInterval(m_resolution)) return;
    m_lastCommit = now;
    ++m_commits;
}
