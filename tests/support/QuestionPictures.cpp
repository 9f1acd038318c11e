#include "QuestionPictures.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

namespace {

constexpr int Margin = 10;

QString lookName(PictureStyle::Look look)
{
    switch (look) {
    case PictureStyle::Look::BlackOnWhite:
        return QStringLiteral("black-on-white");
    case PictureStyle::Look::ShadowOnGradient:
        return QStringLiteral("shadow-on-gradient");
    case PictureStyle::Look::ColourOnNoise:
        return QStringLiteral("colour-on-noise");
    }
    return {};
}

void paintBackground(QImage &image, PictureStyle::Look look, QRandomGenerator &random)
{
    QPainter painter(&image);
    if (look == PictureStyle::Look::BlackOnWhite) {
        painter.fillRect(image.rect(), Qt::white);
    } else if (look == PictureStyle::Look::ShadowOnGradient) {
        QLinearGradient gradient(0, 0, image.width(), image.height());
        gradient.setColorAt(0, QColor(0x1C, 0x2A, 0x48));
        gradient.setColorAt(1, QColor(0x3A, 0x10, 0x18));
        painter.fillRect(image.rect(), gradient);
    } else {
        // Dark mottled ground, as behind a game's dialogue box.
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(20 + random.bounded(70), 30 + random.bounded(60), 40 + random.bounded(70));
        }
    }
}

QColor textColour(PictureStyle::Look look, QRandomGenerator &random)
{
    static const QColor Colours[] = {QColor(0xFF, 0xD2, 0x3C), QColor(0x7C, 0xF0, 0x8A), QColor(0x6E, 0xD4, 0xFF),
                                     QColor(0xFF, 0x9A, 0x50)};
    if (look == PictureStyle::Look::BlackOnWhite)
        return Qt::black;
    if (look == PictureStyle::Look::ShadowOnGradient)
        return Qt::white;
    return Colours[random.bounded(int(std::size(Colours)))];
}

} // namespace

QString PictureStyle::name() const
{
    return QStringLiteral("%1 %2px %3%4")
        .arg(lookName(look))
        .arg(pixelSize)
        .arg(family, wrapped ? QStringLiteral(" wrapped") : QString());
}

QStringList pictureFamilies()
{
    return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Noto Sans Mono CJK SC")};
}

QList<PictureStyle> pictureStyles()
{
    QList<PictureStyle> styles;
    for (const auto look : {PictureStyle::Look::BlackOnWhite, PictureStyle::Look::ShadowOnGradient,
                            PictureStyle::Look::ColourOnNoise})
        for (const int size : {14, 16, 20})
            for (const QString &family : pictureFamilies())
                for (const bool wrapped : {false, true})
                    styles.append({look, size, family, wrapped});
    return styles;
}

QImage questionPicture(const QString &question, const PictureStyle &style, quint32 seed)
{
    QFont font(style.family);
    font.setPixelSize(style.pixelSize);
    const QFontMetrics metrics(font);
    const int lineWidth = metrics.horizontalAdvance(question);
    const int textWidth = style.wrapped ? lineWidth / 2 + style.pixelSize : lineWidth;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, textWidth, 1000), Qt::TextWordWrap | Qt::TextWrapAnywhere, question);

    QImage image(bounds.width() + 2 * Margin, bounds.height() + 2 * Margin, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    paintBackground(image, style.look, random);
    QPainter painter(&image);
    painter.setFont(font);
    const QRect textRect(Margin, Margin, bounds.width() + 1, bounds.height());
    const int flags = Qt::TextWordWrap | Qt::TextWrapAnywhere;
    if (style.look == PictureStyle::Look::ShadowOnGradient) {
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(textRect.translated(1, 1), flags, question);
    }
    painter.setPen(textColour(style.look, random));
    painter.drawText(textRect, flags, question);
    return image;
}
