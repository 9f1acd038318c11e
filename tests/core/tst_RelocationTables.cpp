#include "platform/RelocationTables.h"

#include <QFile>
#include <QTest>

#include <link.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace {

struct Segment
{
    const char *address;
    std::size_t size;
};

// Qt Core's read-only segments, which hold its relocation table among
// other things.
std::vector<Segment> qtCoresReadOnlySegments()
{
    std::vector<Segment> segments;
    dl_iterate_phdr(
        [](dl_phdr_info *object, std::size_t, void *found) {
            if (!std::strstr(object->dlpi_name, "libQt6Core.so"))
                return 0;
            for (ElfW(Half) i = 0; i < object->dlpi_phnum; ++i) {
                const ElfW(Phdr) &segment = object->dlpi_phdr[i];
                if (segment.p_type == PT_LOAD && !(segment.p_flags & (PF_W | PF_X)))
                    static_cast<std::vector<Segment> *>(found)->push_back(
                        {reinterpret_cast<const char *>(object->dlpi_addr + segment.p_vaddr), segment.p_filesz});
            }
            return 1;
        },
        &segments);
    return segments;
}

// Pages of `segment` mapped in this process now.
std::size_t residentPages(const Segment &segment)
{
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = std::uintptr_t(segment.address) / page;
    const std::uintptr_t last = (std::uintptr_t(segment.address) + segment.size - 1) / page;
    std::vector<std::uint64_t> entries(last - first + 1);
    QFile pagemap(QStringLiteral("/proc/self/pagemap"));
    if (!pagemap.open(QIODevice::ReadOnly) || !pagemap.seek(qint64(first * 8)))
        return 0;
    pagemap.read(reinterpret_cast<char *>(entries.data()), qint64(entries.size() * 8));
    std::size_t present = 0;
    for (std::uint64_t entry : entries)
        present += entry >> 63;
    return present;
}

} // namespace

class TestRelocationTables : public QObject
{
    Q_OBJECT

private slots:
    // The pages let go are mapped no more, and what is read there afterwards
    // is what was there before.
    void tablesAreLetGoAndEveryByteStays()
    {
        const std::vector<Segment> segments = qtCoresReadOnlySegments();
        QVERIFY(!segments.empty());
        std::vector<QByteArray> before;
        std::size_t residentBefore = 0;
        for (const Segment &segment : segments) {
            before.emplace_back(segment.address, qsizetype(segment.size));
            residentBefore += residentPages(segment);
        }

        const std::size_t released = RelocationTables::release();
        std::size_t residentAfter = 0;
        for (const Segment &segment : segments)
            residentAfter += residentPages(segment);
        // Qt Core's table alone is over 100 KB, and each loaded object's goes too.
        const std::size_t letGo = (residentBefore - residentAfter) * std::size_t(sysconf(_SC_PAGESIZE));
        QVERIFY2(residentAfter < residentBefore && letGo > 100 * 1024, qPrintable(QString::number(released)));
        QVERIFY(released >= letGo);

        for (std::size_t i = 0; i < segments.size(); ++i)
            QVERIFY(std::memcmp(before[i].constData(), segments[i].address, segments[i].size) == 0);
    }
};

QTEST_GUILESS_MAIN(TestRelocationTables)
#include "tst_RelocationTables.moc"
