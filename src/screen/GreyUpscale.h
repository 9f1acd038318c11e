#pragma once

#include <QImage>

// The image as OCR reads it best: grey, twice as wide and as high, scaled
// bicubically (Keys' kernel, a = −0.5), so that small characters get strokes
// of several pixels. No thresholding: the OCR engine does its own.
QImage greyDoubled(const QImage &image);
