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
    // The same into memory of the caller's with room for piece.size() + 1
    // units at `out`, where the table is usable (GbkTable); returns the
    // units written.
    qsizetype decodeInto(QByteArrayView piece, char16_t *out);
    // Appends whatever the end of the stream still holds.
    void finish(QString &text);

    // Where a second decoder may take up the stream in `bytes`, giving what
    // one decoder from before `bytes` gives, with no CR LF cut there: just
    // past the first byte that ends every character (GbkTable) and is no
    // CR. -1 where there is no such place, or the table is not used.
    static qsizetype freshStart(QByteArrayView bytes);

private:
    int m_pendingLead = -1;
    // Bytes handed to Qt's converter at the end; only ever the stream's tail.
    QByteArray m_forConverter;
};

} // namespace CodePage
