#pragma once

#include "platform/FileSystem.h"

#include <QString>

// Why a bank (or another input of the bank tool) could not be read, or a bank
// not written: a value, which each program puts in its own words.
struct BankFailure
{
    enum class Kind {
        None,
        NoCodePage,   // this Qt has no GBK converter
        Missing,      // nothing at the path, or a link to nothing
        Folder,
        CannotOpen,   // errorNumber, or systemText, says why
        TooLarge,     // size: the file's, beyond MaxBytes
        ReadFailed,   // systemText says why
        Empty,
        NotRegular,   // fileKind says what it is instead
        OutOfMemory,  // size: the file's
        BankTooLarge, // size: the bank the writer was given, beyond MaxBytes
        // Writing an output (OutputFile):
        OutputExists,         // fileKind: what stands there instead of a regular file, left as it is
        OutputBrokenLink,     // a symbolic link to nothing
        CannotCreateIn,       // folder: where no file could be made; errorNumber says why
        CannotWrite,          // errorNumber says why
        StandardOutputFailed, // "-": errorNumber says why
    };

    Kind kind = Kind::None;
    QString path;
    int errorNumber = 0; // the C library's error number, 0 when the system gave only words
    QString systemText;  // the system's words, where it gave no number
    FileSystem::Kind fileKind = FileSystem::Kind::Special;
    qint64 size = 0;
    QString folder;

    explicit operator bool() const { return kind != Kind::None; }
};
