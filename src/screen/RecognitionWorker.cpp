#include "screen/RecognitionWorker.h"

#include <malloc.h>

RecognitionWorker::RecognitionWorker(const QuestionLines &lines) : m_lines(lines) {}

void RecognitionWorker::read(const QImage &picture, quint64 ticket)
{
    ScreenReadingOutcome outcome;
    outcome.ticket = ticket;
    const std::optional<QString> text = m_recogniser.read(picture);
    if (!text) {
        outcome.modelMissing = true;
        emit finished(outcome);
        return;
    }
    if (!m_index) {
        m_index = BigramIndex::build(m_lines);
        // The build's scratch is freed, but the allocator keeps it for the
        // thread unless told to give it back.
        malloc_trim(0);
    }
    outcome.text = *text;
    outcome.result = RankQuestions(m_lines, *m_index, *text);
    emit finished(outcome);
}

void RecognitionWorker::forgetIndex()
{
    m_index.reset();
}
