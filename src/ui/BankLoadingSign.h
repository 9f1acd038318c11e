#pragma once

#include <QPointer>
#include <QString>

class QLabel;

// What the window shows while a large bank loads on its thread, which paints
// nothing meanwhile: a busy cursor, and the tip line saying the bank is
// loading. Both are up, and the tip painted, once the sign is made; the
// cursor and the tip's earlier text come back when it goes.
class BankLoadingSign
{
public:
    // Banks from this size on take long enough to load that the wait shows;
    // smaller ones load before anyone could notice, so nothing flickers.
    static constexpr qint64 LargeBankBytes = 8 * 1024 * 1024;

    static const QString LoadingTip;

    explicit BankLoadingSign(QLabel &tip);
    ~BankLoadingSign();

    BankLoadingSign(const BankLoadingSign &) = delete;
    BankLoadingSign &operator=(const BankLoadingSign &) = delete;

private:
    QPointer<QLabel> m_tip;
    QString m_earlierTip;
};
