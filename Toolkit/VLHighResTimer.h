#pragma once
// Measures elapsed time with the performance counter.

#include <windows.h>

class VLHighResTimer {
public:
    VLHighResTimer() noexcept { Restart(); }
    void Restart() noexcept { ::QueryPerformanceCounter(&m_start); }
    // Milliseconds since the last restart.
    double GetElapsedMilliseconds() const noexcept
    {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start{};
};
