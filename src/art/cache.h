// Painted pictures kept between runs, so that a start shows them without painting
// them again. Entries lie in the user's cache folder ($XDG_CACHE_HOME, else
// ~/.cache, under mirvo-vorla/pictures), keyed by the picture's name, its logical
// size, the pixel ratio and the build of the painting code. An entry that is
// missing, stale or damaged, or is no regular file, is painted again and put in
// its place, never shown.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>

namespace art {

// The picture `name` of `logical` pixels at `dpr`: from the cache when it holds
// it whole for this build, else made by `paint` and stored.
QPixmap Cached(const QString& name, QSize logical, qreal dpr, const std::function<QPixmap()>& paint);

}  // namespace art
