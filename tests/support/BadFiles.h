#pragma once

#include <QList>
#include <QString>

// What can sit at a bank's path instead of a good bank, made for real on disk,
// with the words each reader's message gives as the cause. Linux only.
enum class BadFile { Missing, Empty, Folder, Unreadable, Fifo, DeviceLink, LinkLoop, Huge, OneByteTooLarge };

struct BadFileCase
{
    const char *name;
    BadFile kind;
    QString chineseCause;
    QString englishCause;
};

const QList<BadFileCase> &badFileCases();

// Puts a bad file of the kind at `path`, whose folder exists. Unreadable is a
// file of mode 000, which only a process without the override of file
// permissions is refused (see the two helpers below).
void makeBadFile(BadFile kind, const QString &path);

// Run in a child before it starts: it loses root's override of file
// permissions, so an unreadable file or a read-only folder stops it as it
// stops any user. Does nothing for other users.
void dropFileAccessOverride();

// Within its lifetime, this process reads files as nobody when it runs as root.
class AsUnprivilegedUser
{
public:
    AsUnprivilegedUser();
    ~AsUnprivilegedUser();
    AsUnprivilegedUser(const AsUnprivilegedUser &) = delete;
    AsUnprivilegedUser &operator=(const AsUnprivilegedUser &) = delete;

private:
    bool m_switched = false;
};
