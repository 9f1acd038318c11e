#include "bank/SystemError.h"

#include <cstring>
#include <sys/stat.h>

namespace SystemError {
namespace {

struct KindRow
{
    unsigned type; // the S_IFMT bits
    SpecialKind kind;
};

constexpr KindRow KindRows[] = {
    {S_IFIFO, {u"a FIFO (named pipe)", u"命名管道"}},
    {S_IFCHR, {u"a character device", u"字符设备"}},
    {S_IFBLK, {u"a block device", u"块设备"}},
    {S_IFSOCK, {u"a socket", u"套接字"}},
};

} // namespace

QString text(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

SpecialKind specialFileKind(unsigned mode)
{
    for (const KindRow &row : KindRows) {
        if ((mode & S_IFMT) == row.type)
            return row.kind;
    }
    return {u"a special file", u"特殊文件"};
}

} // namespace SystemError
