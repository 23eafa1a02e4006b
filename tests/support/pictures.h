// Pixel helpers for the tests of painted pictures.
#pragma once

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

inline QImage Pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

inline QRgb Opaque(QRgb px) { return px | 0xFF000000u; }

// The pixels of the rectangle whose opaque colour satisfies `pred`.
inline int CountIn(const QImage& image, int x0, int y0, int w, int h, const std::function<bool(QRgb)>& pred)
{
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            n += pred(Opaque(image.pixel(x, y)));
    return n;
}

// Mean difference per channel of two images of one size.
inline double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// At a ratio of 2 the same design is painted with twice the detail, not blown up.
inline void ExpectPaintedAtRatio(const std::function<QPixmap(qreal)>& paint)
{
    const QImage single = Pixels(paint(1)), dense = Pixels(paint(2));
    EXPECT_NE(dense, single.scaled(dense.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    const QImage reduced = dense.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(MeanDifference(reduced, single), 8.0);
}
