#include "bank/FileKindWords.h"

namespace {

using FileSystem::Kind;

struct KindRow
{
    Kind kind;
    FileKindWords words;
};

constexpr KindRow KindRows[] = {
    {Kind::Fifo, {u"a FIFO (named pipe)", u"命名管道"}},
    {Kind::CharacterDevice, {u"a character device", u"字符设备"}},
    {Kind::BlockDevice, {u"a block device", u"块设备"}},
    {Kind::Socket, {u"a socket", u"套接字"}},
};

} // namespace

FileKindWords fileKindWords(Kind kind)
{
    for (const KindRow &row : KindRows) {
        if (row.kind == kind)
            return row.words;
    }
    return {u"a special file", u"特殊文件"};
}
