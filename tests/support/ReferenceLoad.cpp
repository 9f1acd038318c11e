#include "ReferenceLoad.h"

#include "ReferenceRc4.h"

#include <QStringDecoder>

QString referenceGbkText(QByteArrayView bytes)
{
    QStringDecoder decoder("GBK");
    QString text = decoder.decode(bytes.toByteArray() + '\n');
    text.chop(1);
    return text;
}

QStringList referenceBankLines(const QByteArray &fileBytes)
{
    return referenceGbkText(referenceRc4("5380", fileBytes)).split(QStringLiteral("\r\n"));
}
