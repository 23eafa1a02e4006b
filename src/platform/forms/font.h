#pragma once
// Fonts are named as the game's windows name them (Arial, Times New Roman, ...)
// and mapped to installed metric-compatible faces; the bitmap face MS Sans Serif,
// which has none, to a narrowed Liberation Sans of its width. Point sizes are
// taken at 96 dots per inch, the density the twips were laid out for.
#include <QColor>
#include <QFont>
#include <QString>

namespace vb {

struct Font {
    QString Name = "MS Sans Serif";
    double Size = 8.25;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};

// The installed family standing in for a font name.
QString MappedFamily(const QString& name);

QFont ToQFont(const Font& font);

// Colours the game names by their system index.
enum class SystemColor { ButtonText = 18, ButtonFace = 15, WindowText = 8 };
QColor GetSystemColor(SystemColor which);

} // namespace vb
