#include "browser/PassQueue.h"

#include <algorithm>

PassQueue::PassId PassQueue::start(Receiver receiver)
{
    m_waiting.push_back(Pass{m_nextId, std::move(receiver)});
    return m_nextId++;
}

void PassQueue::finish(PassId pass, const QList<PageLink> &links)
{
    const auto answered = std::find_if(m_waiting.begin(), m_waiting.end(),
                                       [pass](const Pass &waiting) { return waiting.id == pass; });
    if (answered == m_waiting.end())
        return;
    // The receiver may start another pass, so the queue is settled first.
    const Receiver deliver = std::move(answered->deliver);
    m_waiting.erase(m_waiting.begin(), answered + 1);
    deliver(links);
}
