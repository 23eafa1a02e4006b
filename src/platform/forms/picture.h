#pragma once
// A picture is shared between controls and compared by identity: two controls
// show "the same picture" only when they hold the same object.
#include <QPixmap>
#include <memory>

namespace vb {

using Picture = std::shared_ptr<const QPixmap>;

inline Picture MakePicture(QPixmap pixmap)
{
    return std::make_shared<const QPixmap>(std::move(pixmap));
}

} // namespace vb
