#pragma once

#include <QString>

// Fixed at build time: the title names the settings key and heads every error box.
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 9;
inline constexpr const char* kFileVersion = "1.09.0002";
inline constexpr const char* kAppTitleUtf8 = "LOVAR/400 Rariz Neuer Lohnausweis";

inline QString appTitle()
{
    return QString::fromUtf8(kAppTitleUtf8);
}
inline QString appVersionText()
{
    return QString::number(kVersionMajor) + u'.' + QString::number(kVersionMinor);
}
