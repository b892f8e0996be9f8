#pragma once

#include <functional>

// Restores the window after a run however the run ends: `set(true)` now, `set(false)` when it goes.
class RunningGuard
{
public:
    explicit RunningGuard(std::function<void(bool)> set);
    ~RunningGuard();
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    std::function<void(bool)> m_set;
};
