#pragma once

#include <QFont>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QStringList>
#include <QStringView>

#include <array>
#include <span>

// The window's controls as data: one row a control, in client-area pixels.
namespace ControlLayout {

// The window's client area, which the tab panel fills.
inline constexpr QSize ClientSize{481, 313};
inline constexpr int TabStripHeight = 20;
// The tab in front at start: the answer tool.
inline constexpr int StartTab = 1;

inline constexpr QStringView WindowTitle = u"Vellmar答题器 v1.2";
inline constexpr std::array<QStringView, 3> TabCaptions{u"说明", u"答题器", u"Harlune资料站"};

enum class Kind {
    Picture, // a JPEG shown at its own size
    Label,   // transparent background, text from the top-left, no wrap, no auto-size
    TextBox, // single line
    ListBox, // single selection, unsorted
    Browser, // the web-browser pane
};

enum class FontChoice {
    WindowFont, // inherited from the window
    YaHei105,   // the window's family at 10.5 pt
};

enum class ColourSource {
    SystemDefault,
    SystemWindowBackground, // the palette's base colour, the background of text areas
    Fixed,
};

struct TextColour
{
    ColourSource source = ColourSource::SystemDefault;
    QRgb rgb = 0;
};

struct ControlSpec
{
    QStringView name;  // the widget's object name; array element n of LabelK is "LabelK_n"
    Kind kind;
    int tab;
    QRect rect;        // relative to the client area's top-left, tab strip included
    QStringView text;  // caption or initial text; for a picture, its resource path
    FontChoice font;
    bool underline;
    TextColour colour;
    bool handCursor;
    QStringView accessibleName;        // what a screen reader calls the control
    QStringView accessibleDescription; // and what it says the control is for
};

// Every control of the window, tab by tab.
std::span<const ControlSpec> controls();

// Pictures lie beneath labels, labels beneath the text box, lists and browser
// pane, which are windows of their own.
enum class Layer { Pictures, Labels, Windows };
Layer stackingLayer(Kind kind);

// "微软雅黑" first, then CJK families that Linux machines have, so that
// Chinese text never shows as boxes.
QStringList fontFamilies();
QFont windowFont();
QFont fontFor(const ControlSpec &row);

} // namespace ControlLayout
