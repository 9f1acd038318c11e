#include "screen/TextRecogniser.h"

#include "screen/GreyUpscale.h"
#include "screen/ModelTrial.h"

#include <QDebug>

#include <omp.h>
#include <tesseract/baseapi.h>

namespace {

bool isLatinWordUnit(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

} // namespace

TextRecogniser::TextRecogniser() = default;
TextRecogniser::~TextRecogniser()
{
    unloadModel();
}

void TextRecogniser::unloadModel()
{
    if (m_engine)
        m_engine->End();
    m_engine.reset();
}

bool TextRecogniser::loadModel()
{
    if (m_engine)
        return true;
    if (m_modelFailed)
        return false;
    // One core: the engine's OpenMP threads only wait for each other on a
    // busy machine (measured: 290 ms a reading with them, 57 ms without).
    // No parallel level is active, whatever thread counts the engine asks for.
    omp_set_max_active_levels(0);
    if (!m_modelTried) {
        if (const std::optional<QString> failure = modelTrialFailure(ModelName)) {
            qWarning().noquote() << *failure;
            m_modelFailed = true;
            return false;
        }
        m_modelTried = true;
    }
    auto engine = std::make_unique<tesseract::TessBaseAPI>();
    if (engine->Init(nullptr, ModelName, tesseract::OEM_LSTM_ONLY) != 0) {
        m_modelFailed = true;
        return false;
    }
    // Page mode 6, one block: mode 7 (one line) reads nothing of a wrapped question.
    engine->SetPageSegMode(tesseract::PSM_SINGLE_BLOCK);
    engine->SetVariable("debug_file", "/dev/null");
    m_engine = std::move(engine);
    return true;
}

std::optional<QString> TextRecogniser::read(const QImage &image)
{
    if (!loadModel())
        return std::nullopt;
    const QImage grey = greyDoubled(image);
    if (grey.isNull() || grey.width() < 4 || grey.height() < 4)
        return QString();
    m_engine->SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
    // Screen pixels at 96 dots per inch, doubled.
    m_engine->SetSourceResolution(192);
    const std::unique_ptr<char[]> text(m_engine->GetUTF8Text());
    m_engine->Clear();
    return tidyReading(text ? QString::fromUtf8(text.get()) : QString());
}

QString tidyReading(const QString &engineText)
{
    QString tidy;
    bool blankPending = false;
    for (const QChar c : engineText) {
        if (c.isSpace()) {
            blankPending = !tidy.isEmpty();
            continue;
        }
        if (blankPending && isLatinWordUnit(tidy.back()) && isLatinWordUnit(c))
            tidy.append(u' ');
        blankPending = false;
        tidy.append(c);
    }
    return tidy;
}
