#pragma once

#include <QPixmap>
#include <QString>

// The window's pictures drawn for the screen: on a screen scaled by more
// than 1 the picture's @2x file, twice as many pixels for the same place in
// the layout, where it exists; the plain file elsewhere.
namespace ScaledPictures {

QPixmap load(const QString &path, qreal devicePixelRatio);

} // namespace ScaledPictures
