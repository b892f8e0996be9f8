#include "app/WindowMetrics.h"

#include <QScreen>
#include <QWidget>
#include <QtMath>

double logicalDpi(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : nullptr;
    return screen && screen->logicalDotsPerInch() > 0 ? screen->logicalDotsPerInch() : 96.0;
}

int twipsToPixels(int twips, double dpi)
{
    return qRound(twips * dpi / 1440.0);
}

QFont dialogFont(const QFont& base)
{
    QFont font = base;
    // Wider fonts (DejaVu Sans, the usual Linux default) cut off "eLohnausweis SSK" and
    // "Nach Erstellung anzeigen" in their fixed-width controls.
    font.setFamilies({QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"),
                      QStringLiteral("Helvetica"),
                      QStringLiteral("Nimbus Sans"),
                      base.family()});
    font.setPointSizeF(8.0);
    return font;
}
