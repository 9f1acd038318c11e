#pragma once

#include <QImage>
#include <QString>
#include <QtPlugin>

#include <memory>
#include <optional>

// One reader of pictures of questions, the model loaded at its first read.
// One thread at a time.
class TextReader
{
public:
    virtual ~TextReader() = default;

    // The text read, its lines joined; none when the model cannot be loaded.
    virtual std::optional<QString> read(const QImage &image) = 0;
    virtual bool modelLoaded() const = 0;
    // Lets go of the model; the next read loads it again.
    virtual void unloadModel() = 0;
};

// What the text recogniser's plugin offers the window, which links none of
// the OCR engine and loads the plugin at the first reading of the screen.
class RecogniserEngine
{
public:
    virtual ~RecogniserEngine() = default;

    virtual std::unique_ptr<TextReader> createReader() = 0;
};

// The OCR engine's name for its model, a file Debian's tesseract-ocr-chi-sim installs.
inline constexpr char RecogniserModelName[] = "chi_sim";

#define VellmarRecogniserEngine_iid "example.vellmar.quiz.RecogniserEngine/1"
Q_DECLARE_INTERFACE(RecogniserEngine, VellmarRecogniserEngine_iid)
