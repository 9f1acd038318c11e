#include "FileKindWords.h"

namespace {

using FileSystem::Kind;

struct KindRow
{
    Kind kind;
    const char16_t *words;
};

constexpr KindRow KindRows[] = {
    {Kind::Fifo, u"a FIFO (named pipe)"},
    {Kind::CharacterDevice, u"a character device"},
    {Kind::BlockDevice, u"a block device"},
    {Kind::Socket, u"a socket"},
};

} // namespace

QString fileKindWords(Kind kind)
{
    for (const KindRow &row : KindRows) {
        if (row.kind == kind)
            return QString::fromUtf16(row.words);
    }
    return QStringLiteral("a special file");
}
