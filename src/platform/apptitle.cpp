#include "platform/apptitle.h"

namespace {
QString& title()
{
    static QString current = QStringLiteral("Mirvo Vorla");
    return current;
}
} // namespace

QString AppTitle()
{
    return title();
}

void SetAppTitle(const QString& next)
{
    title() = next;
}
