#include "ui/Form1.h"

#include "browser/BrowserPane.h"
#include "browser/HarvestPass.h"
#include "browser/WebAddresses.h"
#include "search/SearchQuestions.h"
#include "ui/ScaledPictures.h"

#include <QCursor>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
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

QLabel *createPicture(const ControlSpec &row, QWidget *page)
{
    auto *picture = new QLabel(page);
    picture->setPixmap(ScaledPictures::load(row.text.toString(), page->devicePixelRatioF()));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

QLabel *createLabel(const ControlSpec &row, QWidget *page)
{
    // A QLabel paints no background of its own, so the picture beneath shows through.
    auto *label = new QLabel(row.text.toString(), page);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    return label;
}

QLineEdit *createTextBox(const ControlSpec &row, QWidget *page)
{
    return new QLineEdit(row.text.toString(), page);
}

QListWidget *createListBox(QWidget *page)
{
    auto *list = new QListWidget(page);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    // Long rows are cut at the right edge rather than costing a row of height.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

void applyTextColour(QWidget *widget, TextColour colour)
{
    if (colour.source == ColourSource::SystemDefault)
        return;
    const QColor text = colour.source == ColourSource::Fixed ? QColor::fromRgb(colour.rgb)
                                                             : widget->palette().color(QPalette::Base);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    widget->setPalette(palette);
}

QCursor handCursor()
{
    // The cursor file's hot spot is not read by Qt: the fingertip is at (12, 4).
    return QCursor(QPixmap(QStringLiteral(":/hand.cur")), 12, 4);
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    setUpWindow();
    createTabPanel();
    createControls();
    findWorkingControls();
    placeControls();
    // The query box already holds its prompt, so that prompt starts no search.
    connectBehaviours();
    m_SSTab1->setCurrentIndex(StartTab);
}

void Form1::setQuestionLines(QuestionLines lines)
{
    m_questionLines = std::move(lines);
}

void Form1::setUpWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(WindowTitle.toString());
    setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));
    setFont(windowFont());
    setFixedSize(ClientSize);
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

void Form1::createControls()
{
    for (const ControlSpec &row : ControlLayout::controls()) {
        QWidget *control = createControl(row, m_SSTab1->widget(row.tab));
        m_controls.push_back({&row, control});
    }
    for (const PlacedControl &placed : m_controls) {
        const Layer layer = stackingLayer(placed.row->kind);
        if (layer == Layer::Pictures)
            placed.widget->lower();
        else if (layer == Layer::Windows)
            placed.widget->raise();
    }
}

QWidget *Form1::createControl(const ControlSpec &row, QWidget *page)
{
    QWidget *control = nullptr;
    switch (row.kind) {
    case Kind::Picture:
        control = createPicture(row, page);
        break;
    case Kind::Label:
        control = createLabel(row, page);
        break;
    case Kind::TextBox:
        control = createTextBox(row, page);
        break;
    case Kind::ListBox:
        control = createListBox(page);
        break;
    case Kind::Browser:
        control = createBrowserPane(page);
        break;
    }
    control->setObjectName(row.name.toString());
    if (row.font != FontChoice::WindowFont || row.underline)
        control->setFont(fontFor(row));
    applyTextColour(control, row.colour);
    if (row.handCursor)
        control->setCursor(handCursor());
    return control;
}

BrowserPane *Form1::createBrowserPane(QWidget *page)
{
    auto *pane = new BrowserPane(page);
    connect(pane, &BrowserPane::DownloadComplete, this, &Form1::WebBrowser1_DownloadComplete);
    return pane;
}

void Form1::findWorkingControls()
{
    m_tQ = findChild<QLineEdit *>(QStringLiteral("tQ"));
    m_labtip = findChild<QLabel *>(QStringLiteral("labtip"));
    m_lQ = findChild<QListWidget *>(QStringLiteral("lQ"));
    m_lA = findChild<QListWidget *>(QStringLiteral("lA"));
    m_WebBrowser1 = findChild<BrowserPane *>(QStringLiteral("WebBrowser1"));
    m_Label5 = findChild<QLabel *>(QStringLiteral("Label5_5"));
    m_Label8 = findChild<QLabel *>(QStringLiteral("Label8"));
}

// The layout's places are in client-area pixels; each control sits on its
// tab's page, so it is moved by the page's offset under the tab strip.
void Form1::placeControls()
{
    for (const PlacedControl &placed : m_controls) {
        const QPoint pageOrigin = placed.widget->parentWidget()->mapTo(this, QPoint(0, 0));
        placed.widget->setGeometry(placed.row->rect.translated(-pageOrigin));
    }
}

void Form1::connectBehaviours()
{
    connect(m_tQ, &QLineEdit::textChanged, this, &Form1::searchQuery);
    m_tQ->installEventFilter(this);
    connect(m_lQ, &QListWidget::itemSelectionChanged, this, &Form1::selectMatchingAnswer);
    // A click on the question already selected picks its answer again, too.
    connect(m_lQ, &QListWidget::itemClicked, this, &Form1::selectMatchingAnswer);
    m_Label5->installEventFilter(this);
    m_Label8->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tQ && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        emptyQueryBox();
    } else if ((watched == m_Label5 || watched == m_Label8) && event->type() == QEvent::MouseButtonRelease) {
        const auto *release = static_cast<QMouseEvent *>(event);
        // A click is a release of the left button over the label it was pressed on.
        if (release->button() == Qt::LeftButton
            && static_cast<QWidget *>(watched)->rect().contains(release->position().toPoint()))
            clickLabel(watched);
    } else if (watched == m_pageArea && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        placeControls();
    }
    return QWidget::eventFilter(watched, event);
}

// Start-up step 1: the page loads while the start-up goes on.
void Form1::startBrowserNavigation()
{
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
    const std::array<QWidget *, 5> order{m_tQ, m_SSTab1->tabBar(), m_lA, m_lQ, m_WebBrowser1};
    for (size_t next = 1; next < order.size(); ++next)
        QWidget::setTabOrder(order[next - 1], order[next]);
    // Where the window was activated on show, the focus went to the old first
    // control; the user types into the query box from the start either way.
    m_tQ->setFocus(Qt::OtherFocusReason);
}

void Form1::showStartTip()
{
    m_labtip->setText(StartTip);
}

void Form1::searchQuery(const QString &query)
{
    if (const std::optional<SearchResult> result = SearchQuestions(m_questionLines, query))
        showResult(*result);
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

void Form1::WebBrowser1_DownloadComplete()
{
    ListLinks(HarvestPattern);
}

// The pane answers asynchronously; each pass adds all its rows at once, in
// document order.
void Form1::ListLinks(const QString &pattern)
{
    HarvestLinks(*m_WebBrowser1, pattern, m_harvest);
}

void Form1::clickLabel(QObject *label)
{
    if (label == m_Label5)
        Label5_Click(Label5Index);
    else
        Label8_Click();
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
    auto *message = new QMessageBox(QMessageBox::Warning, windowTitle(), PageOpener::FailureMessage(address),
                                    QMessageBox::Ok, this);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setObjectName(QStringLiteral("openFailedMessage"));
    // The user may copy the address while going on with the quiz.
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message->setWindowModality(Qt::NonModal);
    message->show();
}
