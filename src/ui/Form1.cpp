#include "ui/Form1.h"

#include "screen/ScreenReading.h"
#include "ui/PlayerSettings.h"
#include "ui/ScreenReadingPanel.h"

#include "browser/HarvestLinks.h"
#include "browser/WebAddresses.h"
#include "browser/WebPane.h"
#include "ui/BrowserPlugin.h"
#include "ui/ClickableLabel.h"
#include "ui/ControlLayout.h"
#include "ui/CutRowTips.h"
#include "ui/ListsInStep.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QIcon>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>

using namespace ControlLayout;

namespace {

const QString StartTip = QStringLiteral("请输入2个汉字或4个字母以上");
// The browser pane's pages whose links are collected point here.
const QString HarvestPattern = QStringLiteral("Sorting.asp?sortid=");
// Label5 is the only element of its control array.
constexpr int Label5Index = 5;

BrowserTabContent browserTabContent(BrowserChoice browser)
{
    if (browser == BrowserChoice::None)
        return {nullptr, QStringLiteral("资料站的浏览器已关闭（--no-browser，或设置文件里的 browser=false）。\n"
                                        "要重新打开：启动时不加 --no-browser，并删掉 %1 里的 browser=false。")
                             .arg(PlayerSettings::settingsFile())};
    if (BrowserEngine *engine = BrowserPlugin::engine())
        return {engine, {}};
    return {nullptr, BrowserPlugin::problem()};
}

} // namespace

Form1::Form1(QWidget *parent, BrowserChoice browser)
    : QWidget(parent)
{
    setUpWindow();
    createTabPanel();
    createControls(browser);
    placeControls();
    // The query box already holds its prompt, so that prompt starts no search.
    connectBehaviours();
    createScreenReading();
    m_SSTab1->setCurrentIndex(StartTab);
}

// Reading the question off the screen, beside the typed search; it costs
// nothing until it is first used.
void Form1::createScreenReading()
{
    m_screenReading = new ScreenReading(m_questionLines, *this, ScreenReadingSettings(PlayerSettings::settingsFile()), this);
    m_screenPanel = new ScreenReadingPanel(*m_screenReading, {m_SSTab1->widget(StartTab), m_labtip, m_lQ, m_lA}, this);
}

void Form1::setQuestionLines(QuestionLines lines)
{
    m_narrowing.linesChanging();
    m_questionLines = std::move(lines);
    m_screenReading->bankChanged();
}

void Form1::showBankInUse(const QString &path, const QDateTime &modified)
{
    const QString whole = QStringLiteral("题库：%1（%2道题，%3）")
                              .arg(QDir::toNativeSeparators(path))
                              .arg(m_questionLines.pairCount())
                              .arg(modified.toString(QStringLiteral("yyyy-MM-dd")));
    // A long path gives way in its middle; the whole line is the tip.
    m_labBank->setText(m_labBank->fontMetrics().elidedText(whole, Qt::ElideMiddle, m_labBank->width()));
    m_labBank->setToolTip(whole);
    m_labBank->setAccessibleDescription(whole);
}

void Form1::useBank(PlayerBank::LoadedBank bank, const QString &tip)
{
    setQuestionLines(std::move(bank.lines));
    showBankInUse(bank.path, bank.modified);
    m_lQ->clear();
    m_lA->clear();
    m_labtip->setText(tip);
}

bool Form1::installBank(const QString &path, QString &error)
{
    PlayerBank::LoadedBank installed;
    if (!PlayerBank::install(path, installed, error)) {
        m_labtip->setText(QStringLiteral("新题库没有安装，仍用原来的题库"));
        return false;
    }
    const qsizetype pairs = installed.lines.pairCount();
    useBank(std::move(installed), QStringLiteral("已换用新题库：%1道题").arg(pairs));
    return true;
}

namespace {

// The one local file a drag carries, or nothing.
QString draggedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    const QString path = draggedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    QString error;
    if (installBank(path, error))
        return;
    auto *message = new QMessageBox(QMessageBox::Warning, windowTitle(), error, QMessageBox::Ok, this);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setObjectName(QStringLiteral("installFailedMessage"));
    message->setWindowModality(Qt::NonModal);
    message->show();
}

void Form1::setUpWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(WindowTitle.toString());
    setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));
    setFont(windowFont());
    setFixedSize(ClientSize);
    setAcceptDrops(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void Form1::createTabPanel()
{
    m_SSTab1 = new QTabWidget(this);
    m_SSTab1->setObjectName(QStringLiteral("SSTab1"));
    m_SSTab1->setGeometry(QRect(QPoint(0, 0), ClientSize));
    // No frame around the pages: they start right under the strip, and the
    // pictures reach the edges of the client area.
    m_SSTab1->setDocumentMode(true);
    // Three tabs sharing the strip's width, a third each.
    m_SSTab1->tabBar()->setExpanding(true);
    m_SSTab1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: %1px; }").arg(TabStripHeight));
    // The panel takes the focus through its strip alone, so that it holds a
    // single place in the focus order.
    m_SSTab1->setFocusProxy(nullptr);
    m_SSTab1->setFocusPolicy(Qt::NoFocus);
    for (QStringView caption : TabCaptions)
        m_SSTab1->addTab(new QWidget, caption.toString());
    // The panel lays its pages out only once it is shown; follow them.
    m_pageArea = m_SSTab1->widget(0)->parentWidget();
    m_pageArea->installEventFilter(this);
}

void Form1::createControls(BrowserChoice browser)
{
    const ControlFactory factory(*m_SSTab1, browserTabContent(browser));
    m_controls = factory.controls();
    m_tQ = factory.control<QueryBox>(u"tQ");
    m_labtip = factory.control<QLabel>(u"labtip");
    m_lQ = factory.control<QListWidget>(u"lQ");
    m_lA = factory.control<QListWidget>(u"lA");
    m_labBank = factory.control<QLabel>(u"labBank");
    m_WebBrowser1 = factory.pane();
    m_Label5 = factory.control<ClickableLabel>(u"Label5_5");
    m_Label8 = factory.control<ClickableLabel>(u"Label8");
    new ListsInStep(*m_lQ, *m_lA);
    new CutRowTips(*m_lQ);
    new CutRowTips(*m_lA);
}

// The layout's places are in client-area pixels; each control sits on its
// tab's page, so it is moved by the page's offset under the tab strip.
void Form1::placeControls()
{
    for (const ControlFactory::MadeControl &made : m_controls) {
        const QPoint pageOrigin = made.widget->parentWidget()->mapTo(this, QPoint(0, 0));
        made.widget->setGeometry(made.row->rect.translated(-pageOrigin));
    }
}

void Form1::connectBehaviours()
{
    connect(m_tQ, &QLineEdit::textChanged, this, &Form1::searchQuery);
    connect(m_tQ, &QueryBox::clicked, this, &Form1::emptyQueryBox);
    connect(m_tQ, &QueryBox::escapePressed, this, &Form1::emptyQueryBox);
    connect(m_lQ, &QListWidget::itemSelectionChanged, this, &Form1::selectMatchingAnswer);
    // A click on the question already selected picks its answer again, too.
    connect(m_lQ, &QListWidget::itemClicked, this, &Form1::selectMatchingAnswer);
    connect(m_lA, &QListWidget::itemSelectionChanged, this, &Form1::selectMatchingQuestion);
    connect(m_Label5, &ClickableLabel::clicked, this, [this] { Label5_Click(Label5Index); });
    connect(m_Label8, &ClickableLabel::clicked, this, &Form1::Label8_Click);
    if (m_WebBrowser1)
        m_WebBrowser1->whenDownloadComplete(this, [this] { WebBrowser1_DownloadComplete(); });
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pageArea && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeControls();
    return QWidget::eventFilter(watched, event);
}

// Start-up step 1: the page loads while the start-up goes on.
void Form1::startBrowserNavigation()
{
    if (m_WebBrowser1)
        m_WebBrowser1->Navigate(QUrl(QString::fromLatin1(WebAddresses::StartPage)));
}

void Form1::showCentred()
{
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));
    show();
}

// Only the native window is told: QWidget::setWindowFlags would re-create a
// shown window, and on Wayland the re-created one, browser pane inside, never
// comes back. Where the platform has no means to keep a window above others
// (Wayland), the hint is kept and changes nothing.
void Form1::makeTopmost()
{
    overrideWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    windowHandle()->setFlags(windowFlags());
}

// The query box comes first; the others keep their order behind it. The tab
// panel is ordered through its strip: ordering the panel itself would move
// its pages, and the other controls on them, along with it.
void Form1::setFocusOrder()
{
    QWidget *pane = m_WebBrowser1 ? m_WebBrowser1->widget() : findChild<QWidget *>(QStringLiteral("WebBrowser1"));
    const std::array<QWidget *, 5> order{m_tQ, m_SSTab1->tabBar(), m_lA, m_lQ, pane};
    for (size_t next = 1; next < order.size(); ++next)
        QWidget::setTabOrder(order[next - 1], order[next]);
    // Where the window was activated on show, the focus went to the old first
    // control; the user types into the query box from the start either way.
    // The prompt is selected, so the first key typed replaces it.
    m_tQ->setFocus(Qt::OtherFocusReason);
    m_tQ->selectAll();
}

void Form1::showStartTip()
{
    m_labtip->setText(StartTip);
}

void Form1::searchQuery(const QString &query)
{
    if (const std::optional<SearchResult> result = m_narrowing.search(query))
        showResult(*result);
    // Narrows the next search while the player types on; off this thread.
    m_narrowing.typed(query);
}

// Both lists are rebuilt from nothing, so no row stays selected.
void Form1::showResult(const SearchResult &result)
{
    m_lQ->clear();
    m_lA->clear();
    for (int row = 0; row < result.HitCount; ++row) {
        m_lQ->addItem(result.Questions.at(row));
        m_lA->addItem(result.Answers.at(row));
    }
    m_labtip->setText(result.StatusText);
}

// The change raises a search of the empty query, which leaves the lists as they are.
void Form1::emptyQueryBox()
{
    m_tQ->setText(QString());
}

void Form1::selectMatchingAnswer()
{
    const QList<QListWidgetItem *> picked = m_lQ->selectedItems();
    if (picked.isEmpty())
        return;
    QListWidgetItem *answer = m_lA->item(m_lQ->row(picked.first()));
    if (!answer)
        return;
    m_lA->setCurrentItem(answer, QItemSelectionModel::ClearAndSelect);
    m_lA->scrollToItem(answer);
}

// The selection is shared too: a pick in the answers marks its question, so
// the two marked rows are always one pair.
void Form1::selectMatchingQuestion()
{
    const QList<QListWidgetItem *> picked = m_lA->selectedItems();
    if (picked.isEmpty())
        return;
    if (QListWidgetItem *question = m_lQ->item(m_lA->row(picked.first())))
        m_lQ->setCurrentItem(question, QItemSelectionModel::ClearAndSelect);
}

void Form1::WebBrowser1_DownloadComplete()
{
    ListLinks(HarvestPattern);
}

// The pane answers asynchronously; each pass adds all its rows at once, in
// document order.
void Form1::ListLinks(const QString &pattern)
{
    harvestLinks(*m_WebBrowser1, pattern, m_harvest);
}

// The element's index does not change what opens.
void Form1::Label5_Click(int /*index*/)
{
    openPage(QUrl(QString::fromLatin1(WebAddresses::SectionHomePage)));
}

void Form1::Label8_Click()
{
    openPage(QUrl(QString::fromLatin1(WebAddresses::ForumThread)));
}

// The page opens outside the program; the window carries on at once, and a
// page that cannot be opened is reported without stopping anything.
void Form1::openPage(const QUrl &address)
{
    if (m_opener.open(address))
        return;
    auto *message = new QMessageBox(QMessageBox::Warning, windowTitle(), PageOpener::failureMessage(address),
                                    QMessageBox::Ok, this);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setObjectName(QStringLiteral("openFailedMessage"));
    // The user may copy the address while going on with the quiz.
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message->setWindowModality(Qt::NonModal);
    message->show();
}
