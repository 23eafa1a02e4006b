#include "platform/forms/font.h"

#include <QApplication>
#include <QPalette>
#include <cmath>

namespace vb {
namespace {
constexpr int kBitmapFaceStretch = 92; // per cent
}

QString MappedFamily(const QString& name)
{
    const QString key = name.toLower();
    if (key == "arial narrow")
        return "Liberation Sans Narrow";
    if (key == "times new roman")
        return "Liberation Serif";
    if (key == "tahoma")
        return "DejaVu Sans";
    if (key == "courier new")
        return "Liberation Mono";
    return "Liberation Sans"; // Arial, MS Sans Serif and anything unknown
}

QFont ToQFont(const Font& font)
{
    QFont result(MappedFamily(font.Name));
    result.setPixelSize(static_cast<int>(std::lround(font.Size * 96.0 / 72.0)));
    // The bitmap face is as high as Arial but narrower: its boxes hold its texts
    // only in a narrowed stand-in.
    if (font.Name.compare("MS Sans Serif", Qt::CaseInsensitive) == 0)
        result.setStretch(kBitmapFaceStretch);
    result.setBold(font.Bold);
    result.setItalic(font.Italic);
    result.setUnderline(font.Underline);
    return result;
}

QColor GetSystemColor(SystemColor which)
{
    const QPalette palette = QApplication::palette();
    switch (which) {
    case SystemColor::ButtonText:
        return palette.color(QPalette::ButtonText);
    case SystemColor::ButtonFace:
        return palette.color(QPalette::Button);
    case SystemColor::WindowText:
        return palette.color(QPalette::WindowText);
    }
    return Qt::black;
}

} // namespace vb
