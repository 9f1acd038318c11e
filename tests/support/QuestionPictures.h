#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Questions drawn as a game might show them, for the OCR tests and the
// benchmark: black on white, white with a shadow on a dark gradient, and
// coloured on a noisy background; in several fonts and sizes, some wrapped
// over two lines.
struct PictureStyle
{
    enum class Look { BlackOnWhite, ShadowOnGradient, ColourOnNoise };

    Look look = Look::BlackOnWhite;
    int pixelSize = 16;
    QString family = QStringLiteral("WenQuanYi Micro Hei");
    bool wrapped = false;

    bool isClean() const { return look != Look::ColourOnNoise; }
    // "black-on-white 16px WenQuanYi Micro Hei wrapped", for reports.
    QString name() const;
};

// The Chinese fonts the package depends on or suggests.
QStringList pictureFamilies();

// Every look at 14, 16 and 20 px in every family, wrapped and not.
QList<PictureStyle> pictureStyles();

// The question drawn in the style; `seed` varies the noise and colours.
QImage questionPicture(const QString &question, const PictureStyle &style, quint32 seed = 1);
