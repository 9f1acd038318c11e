#pragma once

#include <QWebEnginePage>

class QWebEngineProfile;

// The page the browser pane shows. Whatever a page does, it must never get
// between the user and the quiz: its script dialogs are answered at once and
// never shown (alert is dismissed, confirm says no, prompt is cancelled, and
// leaving a page is always allowed), and it can only lead the pane to web
// pages (http, https; frames inside a page may also hold about:, data: and
// blob: content the page makes itself). Any other scheme (mailto:, file:,
// made-up ones) is refused instead of being handed to the desktop.
class PanePage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit PanePage(QWebEngineProfile *profile, QObject *parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message, const QString &defaultValue,
                          QString *result) override;
};
