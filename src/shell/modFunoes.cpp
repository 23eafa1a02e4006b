#include "shell/modFunoes.h"

bool StopAnimation = false;
QString PopupMessage;

QString GetField(QString& text, int n, const QString& separator)
{
    if (!text.startsWith(separator))
        text.prepend(separator);
    if (!text.endsWith(separator))
        text.append(separator);
    if (n < 1)
        return {};
    qsizetype position = 0;
    for (int i = 1; i <= n; ++i) {
        const qsizetype found = text.indexOf(separator, position);
        if (found < 0)
            return {}; // past the last field
        position = found + separator.size();
    }
    const qsizetype end = text.indexOf(separator, position);
    return end < 0 ? QString() : text.mid(position, end - position);
}
