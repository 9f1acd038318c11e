#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opens web pages outside the program, in the system's default web browser,
// by handing the address to the desktop (never through a shell command
// line). Tests put a recorder in its place.
class PageOpener
{
public:
    // Opens the address; true when the page could be handed on.
    using OpenFunction = std::function<bool(const QUrl &)>;

    PageOpener();

    // Returns at once; false when no browser could be started.
    bool open(const QUrl &address) const;

    void replace(OpenFunction open);

    // What the user is told when a page could not be opened.
    static QString failureMessage(const QUrl &address);

private:
    OpenFunction m_open;
};
