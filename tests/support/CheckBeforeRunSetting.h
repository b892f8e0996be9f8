#pragma once

#include "platform/clsRegistryHandler.h"

// Tests of the runs themselves switch the check before a run off: their rows are made for what the
// run does, not to pass the plausibility rules. The check before a run has tests of its own.
inline void setCheckBeforeRun(bool on)
{
    clsRegistryHandler().SaveSettingLong(QStringLiteral("CheckBeforeRun"), on ? 1 : 0);
}
