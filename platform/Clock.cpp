// The one clock of the program, and the Windows run-time's rand/srand.
#include "platform/win32.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "platform/backend/Environment.h"

namespace {
bool g_manual = false;
DWORD g_manualNow = 0;
const auto g_start = std::chrono::steady_clock::now();

DWORD RealNow()
{
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return static_cast<DWORD>(static_cast<uint64_t>(ms));
}

uint32_t g_holdrand = 1;
bool g_seedFixed = false;
unsigned int g_fixedSeed = 0;
}  // namespace

namespace platform {
DWORD Clock::Now()
{
    return g_manual ? g_manualNow : RealNow();
}

void Clock::SetManual(bool manual)
{
    if (manual && !g_manual) g_manualNow = RealNow();
    g_manual = manual;
}

bool Clock::IsManual()
{
    return g_manual;
}

void Clock::Advance(DWORD milliseconds)
{
    g_manualNow += milliseconds;  // wraps like the system's tick count
}

void Clock::Set(DWORD milliseconds)
{
    g_manualNow = milliseconds;
}
}  // namespace platform

namespace platform {
unsigned int Seed::Next()
{
    if (g_seedFixed) return g_fixedSeed;
    unsigned int seed = 0;
    if (Environment::Seed(seed)) return seed;
    return static_cast<unsigned int>(std::time(nullptr));
}

void Seed::Fix(unsigned int seed)
{
    g_seedFixed = true;
    g_fixedSeed = seed;
}

void Seed::Release()
{
    g_seedFixed = false;
}
}  // namespace platform

DWORD GetTickCount()
{
    return platform::Clock::Now();
}

void Sleep(DWORD milliseconds)
{
    if (platform::Clock::IsManual()) {
        platform::Clock::Advance(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

extern "C" {
void srand(unsigned int seed) noexcept
{
    g_holdrand = seed;
}

int rand(void) noexcept
{
    g_holdrand = g_holdrand * 214013u + 2531011u;
    return static_cast<int>((g_holdrand >> 16) & 0x7fff);
}
}
