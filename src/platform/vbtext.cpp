#include "platform/vbtext.h"

namespace vb {

QString ProperCase(const QString& text)
{
    QString out = text.toLower();
    bool wordStart = true;
    for (QChar& c : out) {
        if (wordStart)
            c = c.toUpper();
        wordStart = c.isSpace();
    }
    return out;
}

} // namespace vb
