#include "platform/Direct3DPixelPipeline.h"

#include "platform/Direct3DPixelPipelineWork.h"
#include "platform/backend/Environment.h"

namespace platform {
// The two builds of the pixel steps (Direct3DPixelSteps.cpp).
namespace sse2 {
bool Configure(Direct3DPixelPipeline::Work& w, const Direct3DPixelPipeline::Settings& settings, int& coordSets,
               bool& needSpecular);
void Draw(Direct3DPixelPipeline::Work& w, const Direct3DPixelPipeline::Run& run, bool needSpecular);
}  // namespace sse2
namespace avx2 {
bool Configure(Direct3DPixelPipeline::Work& w, const Direct3DPixelPipeline::Settings& settings, int& coordSets,
               bool& needSpecular);
void Draw(Direct3DPixelPipeline::Work& w, const Direct3DPixelPipeline::Run& run, bool needSpecular);
}  // namespace avx2

// RCV_FORCE=noavx2 keeps the baseline steps, so that both can be compared;
// read once per device, not on every draw.
Direct3DPixelPipeline::Direct3DPixelPipeline()
    : m_work(new Work), m_avx2(__builtin_cpu_supports("avx2") && !Environment::Forced("noavx2"))
{
}

Direct3DPixelPipeline::~Direct3DPixelPipeline()
{
    delete m_work;
}

bool Direct3DPixelPipeline::Configure(const Settings& settings)
{
    m_drawable = m_avx2 ? avx2::Configure(*m_work, settings, m_coordSets, m_needSpecular)
                        : sse2::Configure(*m_work, settings, m_coordSets, m_needSpecular);
    return m_drawable;
}

void Direct3DPixelPipeline::Draw(const Run& run)
{
    if (run.n <= 0 || !m_drawable) return;
    if (m_avx2) avx2::Draw(*m_work, run, m_needSpecular);
    else sse2::Draw(*m_work, run, m_needSpecular);
}
}  // namespace platform
