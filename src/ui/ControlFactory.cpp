#include "ui/ControlFactory.h"

#include "browser/BrowserEngine.h"
#include "browser/WebPane.h"
#include "ui/ClickableLabel.h"
#include "ui/QueryBox.h"
#include "ui/ScaledPictures.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>

#include <algorithm>

using namespace ControlLayout;

namespace {

QLabel *createPicture(const ControlSpec &row, QWidget *page)
{
    auto *picture = new QLabel(page);
    picture->setPixmap(ScaledPictures::load(row.text.toString(), page->devicePixelRatioF()));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

// Every text label can report a click; the window listens to the shortcuts'.
ClickableLabel *createLabel(const ControlSpec &row, QWidget *page)
{
    // A QLabel paints no background of its own, so the picture beneath shows through.
    auto *label = new ClickableLabel(row.text.toString(), page);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    return label;
}

QueryBox *createTextBox(const ControlSpec &row, QWidget *page)
{
    return new QueryBox(row.text.toString(), page);
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

QLabel *createBrowserNote(const QString &text, QWidget *page)
{
    auto *note = new QLabel(text, page);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    note->setAutoFillBackground(true);
    return note;
}

QWidget *createBrowser(const BrowserTabContent &browser, QWidget *page, WebPane *&pane)
{
    if (!browser.engine)
        return createBrowserNote(browser.note, page);
    pane = browser.engine->createPane(page);
    return pane->widget();
}

QWidget *createWidget(const ControlSpec &row, QWidget *page, const BrowserTabContent &browser, WebPane *&pane)
{
    switch (row.kind) {
    case Kind::Picture:
        return createPicture(row, page);
    case Kind::Label:
        return createLabel(row, page);
    case Kind::TextBox:
        return createTextBox(row, page);
    case Kind::ListBox:
        return createListBox(page);
    case Kind::Browser:
        break;
    }
    return createBrowser(browser, page, pane);
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

// The glyphs of `text`, drawn from the top-left corner, stay inside `room`.
bool fitsInto(const QString &text, const QFont &font, const QWidget &widget, QSizeF room)
{
    const QFontMetricsF metrics(font, &widget);
    const QRectF ink = metrics.boundingRect(text).translated(0, metrics.ascent());
    return metrics.horizontalAdvance(text) <= room.width() && ink.top() >= 0 && ink.bottom() <= room.height();
}

// The Chinese fonts at hand are wider than the design's, and a screen of
// more dots per inch makes every text larger: a label whose text would be
// cut takes a smaller size, for that label alone, and keeps its place.
void fitLabelText(QLabel &label, const ControlSpec &row)
{
    constexpr qreal Step = 0.25;
    constexpr qreal SmallestPointSize = 6;
    QFont font = label.font();
    const QString text = row.text.toString();
    // What lies past the window's right edge is never seen.
    const QSize room(qMin(row.rect.width(), ClientSize.width() - row.rect.x()), row.rect.height());
    while (!fitsInto(text, font, label, room) && font.pointSizeF() - Step >= SmallestPointSize)
        font.setPointSizeF(font.pointSizeF() - Step);
    if (font != label.font())
        label.setFont(font);
}

QWidget *createControl(const ControlSpec &row, QWidget *page, const BrowserTabContent &browser, WebPane *&pane)
{
    QWidget *control = createWidget(row, page, browser, pane);
    control->setObjectName(row.name.toString());
    control->setAccessibleName(row.accessibleName.toString());
    control->setAccessibleDescription(row.accessibleDescription.toString());
    if (row.font != FontChoice::WindowFont || row.underline)
        control->setFont(fontFor(row));
    if (row.kind == Kind::Label)
        fitLabelText(*static_cast<QLabel *>(control), row);
    applyTextColour(control, row.colour);
    if (row.handCursor)
        control->setCursor(handCursor());
    return control;
}

void stack(const ControlFactory::MadeControl &made)
{
    const Layer layer = stackingLayer(made.row->kind);
    if (layer == Layer::Pictures)
        made.widget->lower();
    else if (layer == Layer::Windows)
        made.widget->raise();
}

} // namespace

ControlFactory::ControlFactory(QTabWidget &panel, const BrowserTabContent &browser)
{
    for (const ControlSpec &row : ControlLayout::controls())
        m_made.push_back({&row, createControl(row, panel.widget(row.tab), browser, m_pane)});
    // A control can only be raised above the others of its page once they all exist.
    for (const MadeControl &made : m_made)
        stack(made);
}

QWidget *ControlFactory::made(QStringView name) const
{
    const auto found = std::ranges::find(m_made, name, [](const MadeControl &made) { return made.row->name; });
    return found == m_made.end() ? nullptr : found->widget;
}

void ControlFactory::reportMissing(QStringView name)
{
    qFatal("The window's layout has no control %s of the class the window expects", qPrintable(name.toString()));
}
