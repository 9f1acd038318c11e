#pragma once

#include <QByteArrayView>
#include <QString>

namespace CodePage {

// Decodes a GBK byte stream that arrives in pieces; the text is exactly what
// fromAnsi gives for all the bytes at once.
class AnsiDecoder
{
public:
    // Appends the text of `piece`. A character cut off at the piece's end is
    // completed by the next piece.
    void decode(QByteArrayView piece, QString &text);
    // Appends whatever the end of the stream still holds.
    void finish(QString &text);

private:
    int m_pendingLead = -1;
    // Bytes handed to Qt's converter at the end; only ever the stream's tail.
    QByteArray m_forConverter;
};

} // namespace CodePage
