#pragma once

#include "bank/QuestionLines.h"
#include "browser/LinkRows.h"
#include "browser/PageOpener.h"
#include "search/TypedNarrowing.h"
#include "ui/ControlFactory.h"
#include "ui/PlayerBank.h"
#include "ui/QueryBox.h"

#include <QWidget>

#include <vector>

class ClickableLabel;
class QLabel;
class QListWidget;
class QTabWidget;
class ScreenReading;
class ScreenReadingPanel;
struct SearchResult;
class WebPane;

// The one window: a tab panel filling the client area, the controls of the
// layout on its pages, and the search as the user types.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // With the engine chosen, the browser pane comes from the browser's
    // plugin (BrowserPlugin); where it cannot be loaded the tab says so.
    explicit Form1(QWidget *parent = nullptr, BrowserChoice browser = BrowserChoice::Engine);

    QTabWidget *SSTab1() const { return m_SSTab1; }
    QLineEdit *tQ() const { return m_tQ; }
    QLabel *labtip() const { return m_labtip; }
    QListWidget *lQ() const { return m_lQ; }
    QListWidget *lA() const { return m_lA; }
    // Null when the window runs without the browser engine.
    WebPane *WebBrowser1() const { return m_WebBrowser1; }
    ScreenReading *screenReading() const { return m_screenReading; }
    ScreenReadingPanel *screenPanel() const { return m_screenPanel; }

    // The link harvest's rows, kept for the window's life and never shown.
    const LinkRows &harvest() const { return m_harvest; }
    // Opens the shortcut labels' pages; tests put a recorder in its place.
    PageOpener &opener() { return m_opener; }

    // The bank's lines, filled once at start-up; searches before then find nothing.
    void setQuestionLines(QuestionLines lines);
    const QuestionLines &questionLines() const { return m_questionLines; }
    // The instructions tab says which bank is in use: file, pairs, date.
    void showBankInUse(const QString &path, const QDateTime &modified);
    // Switches to another bank while the window runs; the tip line says so.
    void useBank(PlayerBank::LoadedBank bank, const QString &tip);
    // Installs `path` as the player's own bank and switches to it; a bank
    // that does not load is refused with the reader's message, and the
    // bank in use stays. False, with `error`, when it was refused.
    bool installBank(const QString &path, QString &error);

    // Start-up steps, run in this order by StartUp::run.
    void startBrowserNavigation();
    void showCentred();
    void makeTopmost();
    void setFocusOrder();
    void showStartTip();

protected:
    // Follows the panel's page area, which reports its geometry by events alone.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A bank file dropped on the window is installed.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setUpWindow();
    void createTabPanel();
    void createControls(BrowserChoice browser);
    void placeControls();
    void connectBehaviours();
    void createScreenReading();

    void searchQuery(const QString &query);
    void showResult(const SearchResult &result);
    void emptyQueryBox();
    void selectMatchingAnswer();
    void selectMatchingQuestion();

    void ListLinks(const QString &pattern);
    void WebBrowser1_DownloadComplete();
    void Label5_Click(int index);
    void Label8_Click();
    void openPage(const QUrl &address);

    QuestionLines m_questionLines;
    // Narrows each search from the query typed before it; made after the
    // lines it reads, and so stopped before they go.
    TypedNarrowing m_narrowing{m_questionLines};
    std::vector<ControlFactory::MadeControl> m_controls;
    QTabWidget *m_SSTab1 = nullptr;
    QWidget *m_pageArea = nullptr;
    QueryBox *m_tQ = nullptr;
    QLabel *m_labtip = nullptr;
    QLabel *m_labBank = nullptr;
    QListWidget *m_lQ = nullptr;
    QListWidget *m_lA = nullptr;
    WebPane *m_WebBrowser1 = nullptr;
    ClickableLabel *m_Label5 = nullptr;
    ClickableLabel *m_Label8 = nullptr;
    ScreenReading *m_screenReading = nullptr;
    ScreenReadingPanel *m_screenPanel = nullptr;
    LinkRows m_harvest;
    PageOpener m_opener;
};
