#pragma once

#include "browser/LinkMatching.h"

#include <QList>

#include <cstdint>
#include <deque>
#include <functional>

// The link-reading passes under way on one page. The engine answers them
// asynchronously, and a pass asked of a document that has since been
// replaced by one in another renderer process is never answered at all,
// while later passes are. So passes are not held back for earlier ones:
// when a pass is answered, every earlier pass still waiting is given up, and
// receivers are reached in the order their passes started, each with all
// its links at once.
class PassQueue
{
public:
    using Receiver = std::function<void(const QList<PageLink> &)>;
    using PassId = std::uint64_t;

    PassId start(Receiver receiver);

    // Delivers the answer of a pass, giving up the passes started before it
    // that are still waiting. The answer of a pass given up, or answered
    // already, is ignored.
    void finish(PassId pass, const QList<PageLink> &links);

    qsizetype waitingCount() const { return qsizetype(m_waiting.size()); }

private:
    struct Pass
    {
        PassId id;
        Receiver deliver;
    };

    std::deque<Pass> m_waiting; // in the order the passes started
    PassId m_nextId = 0;
};
