#include "widgets/modAutoShap.h"

#include "platform/forms/twips.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// The device pixels that a pixel of the picture covers, wholly or in part.
std::pair<int, int> DeviceSpan(int logical, qreal ratio, int limit)
{
    const int first = static_cast<int>(std::floor(logical * ratio));
    const int end = static_cast<int>(std::ceil((logical + 1) * ratio));
    return {std::min(first, limit - 1), std::min(std::max(end, first + 1), limit)};
}

// A pixel of the picture is kept only when none of its device pixels is the key,
// so no key colour shows at a density above 1.
bool Kept(const QImage& image, int x, int y, qreal ratio, QRgb key)
{
    const auto [top, bottom] = DeviceSpan(y, ratio, image.height());
    const auto [left, right] = DeviceSpan(x, ratio, image.width());
    for (int dy = top; dy < bottom; ++dy) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(dy));
        for (int dx = left; dx < right; ++dx)
            if (row[dx] == key)
                return false;
    }
    return true;
}

void SetShape(QWidget& control, const QRegion& region)
{
    // An empty mask would mean "no mask" to the toolkit; a region outside the
    // control shows nothing instead.
    control.setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
}

} // namespace

QRegion RegionWithoutKey(const QPixmap& picture, QRgb keyColor)
{
    const QImage image = picture.toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = picture.devicePixelRatio();
    const int width = static_cast<int>(std::lround(image.width() / ratio));
    const int height = static_cast<int>(std::lround(image.height() / ratio));
    const QRgb key = keyColor | 0xFF000000u;

    // Rows are gathered into runs of kept pixels; the result is the same as
    // cutting the key pixels one by one out of the whole rectangle.
    QRegion region;
    for (int y = 0; y < height; ++y) {
        int runStart = -1;
        for (int x = 0; x <= width; ++x) {
            const bool kept = x < width && Kept(image, x, y, ratio, key);
            if (kept && runStart < 0)
                runStart = x;
            if (!kept && runStart >= 0) {
                region += QRect(runStart, y, x - runStart, 1);
                runStart = -1;
            }
        }
    }
    return region;
}

QRegion AutoShapeFromPicture(vb::PictureBox& control, QRgb keyColor)
{
    control.BorderStyle = 0;
    const vb::Picture picture = control.Picture;
    if (!picture)
        return {};
    const QSize size = picture->deviceIndependentSize().toSize();
    control.Width = vb::ToTwips(size.width());
    control.Height = vb::ToTwips(size.height());
    const QRegion region = RegionWithoutKey(*picture, keyColor);
    SetShape(control, region);
    return region;
}

void KeepShapedToPicture(vb::PictureBox& control, std::initializer_list<QRgb> keys)
{
    const auto shape = [&control, keys = std::vector<QRgb>(keys)] {
        const vb::Picture picture = control.Picture;
        if (!picture) {
            control.clearMask();
            return;
        }
        QRegion region(QRect(QPoint(), picture->deviceIndependentSize().toSize()));
        for (QRgb key : keys)
            region &= RegionWithoutKey(*picture, key);
        SetShape(control, region);
    };
    QObject::connect(&control, &vb::PictureControl::PictureChanged, &control, shape);
    shape();
}
