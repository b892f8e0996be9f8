#include "app/RunningGuard.h"

#include <utility>

RunningGuard::RunningGuard(std::function<void(bool)> set)
    : m_set(std::move(set))
{
    m_set(true);
}

RunningGuard::~RunningGuard()
{
    m_set(false);
}
