#include "shell/modReg.h"

#include "platform/ansi.h"

#include <cmath>

QString RegGetString(registry::Hive hive, const QString& key, const QString& value,
                     const QString& defaultText)
{
    const auto bytes = registry::QueryValue(hive, key, value);
    if (!bytes)
        return defaultText;
    const qsizetype nul = bytes->indexOf('\0');
    return ansi::ToUnicode(nul < 0 ? *bytes : bytes->left(nul));
}

void RegSaveString(registry::Hive hive, const QString& key, const QString& value,
                   const QString& text)
{
    registry::SetValue(hive, key, value, ansi::FromUnicode(text));
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> TextToBool(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = word.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number != 0;
}

namespace {

// The number at the start of the text, blanks anywhere ignored; 0 when the
// text does not start with one.
double LeadingNumber(const QString& text)
{
    QString s = text;
    s.remove(u' ').remove(u'\t').remove(u'\n').remove(u'\r');
    qsizetype end = 0;
    const auto digitsFrom = [&](qsizetype i) {
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 0x80)
            ++i;
        return i;
    };
    if (end < s.size() && (s[end] == u'+' || s[end] == u'-'))
        ++end;
    end = digitsFrom(end);
    if (end < s.size() && s[end] == u'.')
        end = digitsFrom(end + 1);
    // An exponent counts only when digits follow it.
    if (end < s.size() && QStringLiteral("eEdD").contains(s[end])) {
        qsizetype exp = end + 1;
        if (exp < s.size() && (s[exp] == u'+' || s[exp] == u'-'))
            ++exp;
        if (digitsFrom(exp) > exp)
            end = digitsFrom(exp);
    }
    QString number = s.left(end);
    number.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok || std::isinf(value)) // too large a number is still a number, out of range
        return value;
    return 0;
}

} // namespace

std::optional<std::uint8_t> TextToByte(const QString& text)
{
    const double rounded = std::nearbyint(LeadingNumber(text)); // halves go to even
    if (!(rounded >= 0 && rounded <= 255))
        return std::nullopt;
    return static_cast<std::uint8_t>(rounded);
}
