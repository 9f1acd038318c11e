#pragma once

#include "bank/QuestionLines.h"
#include "screen/TextRecogniser.h"
#include "search/BigramIndex.h"
#include "search/TolerantSearch.h"

#include <QImage>
#include <QMetaType>
#include <QObject>

#include <optional>

// What one reading of the screen gave.
struct ScreenReadingOutcome
{
    quint64 ticket = 0;
    QString text;          // what was read
    TolerantResult result; // the bank's questions closest to it
    bool modelMissing = false;
};
Q_DECLARE_METATYPE(ScreenReadingOutcome)

// Reads pictures and ranks the bank's questions, on a thread of its own: the
// OCR model and the bank's bigram index are made there at the first reading,
// so the window never waits for them and a player who never reads the
// screen never pays for them.
class RecognitionWorker : public QObject
{
    Q_OBJECT

public:
    // `lines` outlive the worker and change only through forgetIndex().
    explicit RecognitionWorker(const QuestionLines &lines);

    void read(const QImage &picture, quint64 ticket);
    // The bank changed: the next reading builds the index again.
    void forgetIndex();

signals:
    void finished(const ScreenReadingOutcome &outcome);

private:
    const QuestionLines &m_lines;
    std::optional<BigramIndex> m_index;
    TextRecogniser m_recogniser;
};
