#pragma once

#include "bank/QuestionLines.h"
#include "screen/RecogniserEngine.h"
#include "search/BigramIndex.h"
#include "search/TolerantSearch.h"

#include <QImage>
#include <QMetaType>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

// What one reading of the screen gave.
struct ScreenReadingOutcome
{
    quint64 ticket = 0;
    QString text;          // what was read
    TolerantResult result; // the bank's questions closest to it
    bool modelMissing = false;
    // The tip line's words when the text recogniser's plugin cannot be loaded.
    QString recogniserMissing;
};
Q_DECLARE_METATYPE(ScreenReadingOutcome)

// Reads pictures and ranks the bank's questions, on a thread of its own: the
// text recogniser's plugin, the OCR model and the bank's bigram index are
// loaded and made there at the first reading, so the window never waits for
// them and a player who never reads the screen never pays for them. The model, the larger of the two (some 48 MB)
// and the quicker to make again (some 0.1–0.2 s against the index's second),
// is let go once no reading came for `modelIdle`.
class RecognitionWorker : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds DefaultModelIdle{std::chrono::seconds(60)};

    // `lines` outlive the worker and change only through forgetIndex().
    explicit RecognitionWorker(const QuestionLines &lines, std::chrono::milliseconds modelIdle = DefaultModelIdle);

    void read(const QImage &picture, quint64 ticket);
    // The bank changed: the next reading builds the index again.
    void forgetIndex();

    bool modelLoaded() const { return m_reader && m_reader->modelLoaded(); }

signals:
    void finished(const ScreenReadingOutcome &outcome);

private:
    // The reader from the plugin, made at the first reading; false when the
    // plugin cannot be loaded.
    bool makeReader();
    void unloadModel();

    const QuestionLines &m_lines;
    std::optional<BigramIndex> m_index;
    std::unique_ptr<TextReader> m_reader;
    QTimer m_modelIdle;
};
