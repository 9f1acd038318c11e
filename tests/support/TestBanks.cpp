#include "TestBanks.h"

#include "TestFiles.h"

#include "bank/BankFile.h"
#include "text/CodePage.h"

QByteArray enciphered(QByteArray plain)
{
    BankFile::cipherInMemory(plain);
    return plain;
}

void writeBankText(const QString &path, const QString &plainText)
{
    writeFile(path, enciphered(CodePage::toAnsi(plainText)));
}

void writeBankFile(const QString &path, const QStringList &lines)
{
    writeBankText(path, lines.join(QStringLiteral("\r\n")));
}

QStringList linesOf(const QuestionLines &lines)
{
    QStringList list;
    for (qsizetype index = 0; index < lines.size(); ++index)
        list.append(lines.at(index).toString());
    return list;
}
