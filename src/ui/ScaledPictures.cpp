#include "ui/ScaledPictures.h"

#include <QFileInfo>

namespace ScaledPictures {
namespace {

constexpr qreal Doubled = 2;

// background.jpg → background@2x.jpg, in the same folder.
QString doubledFile(const QString &path)
{
    const QFileInfo file(path);
    const QString name = file.completeBaseName() + QStringLiteral("@2x.") + file.suffix();
    return path.left(path.size() - file.fileName().size()) + name;
}

} // namespace

QPixmap load(const QString &path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        QPixmap doubled(doubledFile(path));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(Doubled);
            return doubled;
        }
    }
    return QPixmap(path);
}

} // namespace ScaledPictures
