#include "screen/RecognitionWorker.h"

#include "screen/RecogniserPlugin.h"

#include <malloc.h>

RecognitionWorker::RecognitionWorker(const QuestionLines &lines, std::chrono::milliseconds modelIdle)
    : m_lines(lines), m_modelIdle(this)
{
    m_modelIdle.setSingleShot(true);
    m_modelIdle.setInterval(modelIdle);
    connect(&m_modelIdle, &QTimer::timeout, this, &RecognitionWorker::unloadModel);
}

void RecognitionWorker::read(const QImage &picture, quint64 ticket)
{
    ScreenReadingOutcome outcome;
    outcome.ticket = ticket;
    if (!makeReader()) {
        outcome.recogniserMissing = RecogniserPlugin::problem();
        emit finished(outcome);
        return;
    }
    const std::optional<QString> text = m_reader->read(picture);
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
    m_modelIdle.start();
    emit finished(outcome);
}

bool RecognitionWorker::makeReader()
{
    if (m_reader)
        return true;
    if (RecogniserEngine *engine = RecogniserPlugin::engine())
        m_reader = engine->createReader();
    return m_reader != nullptr;
}

void RecognitionWorker::unloadModel()
{
    if (m_reader)
        m_reader->unloadModel();
    // Thousands of small blocks of the engine's: without a trim the
    // allocator keeps their pages for the thread.
    malloc_trim(0);
}

void RecognitionWorker::forgetIndex()
{
    m_index.reset();
}
