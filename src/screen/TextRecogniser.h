#pragma once

#include "screen/RecogniserEngine.h"

#include <QImage>
#include <QString>

#include <memory>
#include <optional>

namespace tesseract {
class TessBaseAPI;
}

// Reads the text of a picture of a question with Tesseract's Simplified
// Chinese model: the picture grey and doubled, read as one block of text
// (a question wrapped over two lines is read whole). The model is loaded at
// the first read, so that nobody who never reads the screen pays for it; a
// model file that would end the program is found in a child process first.
// One thread at a time.
class TextRecogniser : public TextReader
{
public:
    static constexpr const char *ModelName = RecogniserModelName;

    TextRecogniser();
    ~TextRecogniser() override;
    TextRecogniser(const TextRecogniser &) = delete;
    TextRecogniser &operator=(const TextRecogniser &) = delete;

    // The text read, its lines joined and blanks between Chinese characters
    // dropped; none when the model cannot be loaded.
    std::optional<QString> read(const QImage &image) override;
    bool modelLoaded() const override { return m_engine != nullptr; }
    // Lets go of the model (some 45 MB, most of it tables of the engine's
    // older classifier, which Tesseract 5.3 builds even for its LSTM alone);
    // the next read loads it again.
    void unloadModel() override;

private:
    bool loadModel();

    std::unique_ptr<tesseract::TessBaseAPI> m_engine;
    bool m_modelFailed = false;
    // Tried once in a child process before the first load (see ModelTrial.h).
    bool m_modelTried = false;
};

// What the engine gives, as a player would write it: lines joined, and a
// blank kept only between two Latin letters or digits.
QString tidyReading(const QString &engineText);
