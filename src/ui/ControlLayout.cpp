#include "ui/ControlLayout.h"

namespace ControlLayout {
namespace {

using enum Kind;
using enum FontChoice;

constexpr TextColour SystemDefaultColour{};
constexpr TextColour WindowBackgroundColour{ColourSource::SystemWindowBackground};
constexpr TextColour rgb(QRgb value) { return {ColourSource::Fixed, value}; }

constexpr QStringView InstructionsPicture = u":/instructions.jpg";
constexpr QStringView BackgroundPicture = u":/background.jpg";

// The texts of the bottom row, the same on tabs 0 and 1.
constexpr QStringView MembershipAd = u"开通会员尊享特权";
constexpr QStringView Price = u"6元/月，";
constexpr QStringView AvatarAd = u"专属头像装扮";
constexpr QStringView ChatGroup = u"Tavlin群：40917263";
constexpr QStringView Credit = u"制作：Orvendel";

constexpr auto Controls = std::to_array<ControlSpec>({
    // name         kind      tab  left, top, width, height   text                     font        underline  colour                   hand
    //   accessible name, accessible description (for screen readers)
    {u"Image2",     Picture,  0, {  0,  24, 483, 289}, InstructionsPicture,            WindowFont, false, SystemDefaultColour,    false,
     u"使用说明", u"查询的三种方法：按汉字、按拼音首字母、数字与拼音首字母混合"},
    {u"Label5_5",   Label,    0, {360, 240,  97,  25}, u"下载最新版本",                 YaHei105,   true,  rgb(0xB4EE02),          true,
     u"下载最新版本", u"在浏览器中打开最新版本的下载页"},
    {u"Label2_0",   Label,    0, {  0, 288, 129,  25}, MembershipAd,                   YaHei105,   false, rgb(0xFFFFFF),          false,
     MembershipAd, u"广告"},
    {u"Label3_0",   Label,    0, {128, 288,  73,  25}, Price,                          YaHei105,   false, rgb(0xFFFFFF),          false,
     Price, u"广告"},
    {u"Label4_0",   Label,    0, {184, 288, 113,  25}, AvatarAd,                       YaHei105,   false, rgb(0xFFFFFF),          false,
     AvatarAd, u"广告"},
    {u"Label9_1",   Label,    0, {280, 288, 113,  17}, ChatGroup,                      YaHei105,   false, rgb(0xFF8000),          false,
     ChatGroup, u"制作者的聊天群号"},
    {u"Label6_1",   Label,    0, {400, 288,  97,  25}, Credit,                         WindowFont, false, WindowBackgroundColour, false,
     Credit, u"制作者"},
    {u"labBank",    Label,    0, {112,  30, 325,  24}, {},                             WindowFont, false, rgb(0xC8DCFF),          false,
     u"题库", u"正在使用的题库：文件、题数和日期"},
    {u"Image1",     Picture,  1, {  0,  24, 483, 289}, BackgroundPicture,              WindowFont, false, SystemDefaultColour,    false,
     u"背景图", u"答题器页的背景"},
    {u"tQ",         TextBox,  1, {  8,  32, 238,  25}, u"请输入您要搜索的内容",         WindowFont, false, SystemDefaultColour,    false,
     u"查询框", u"输入2个汉字或4个字母以上，下面随即列出匹配的题目和答案；单击或按 Esc 清空"},
    {u"labtip",     Label,    1, {  8,  58, 276,  24}, u"Label1",                      WindowFont, false, rgb(0x00FFFF),          false,
     u"提示", u"查询的提示和结果"},
    {u"lQ",         ListBox,  1, {  8,  80, 315, 164}, {},                             YaHei105,   false, SystemDefaultColour,    false,
     u"题目", u"匹配的题目，与右边的答案一行对一行"},
    {u"lA",         ListBox,  1, {320,  80, 151, 164}, {},                             YaHei105,   false, rgb(0xFF0000),          false,
     u"答案", u"左边题目的答案，一行对一行"},
    {u"Label7",     Label,    1, {280, 256, 129,  17}, u"错题、复题、漏题：",           YaHei105,   false, rgb(0xFFFF00),          false,
     u"错题、复题、漏题：", u"报告错题、复题、漏题"},
    {u"Label8",     Label,    1, {408, 256,  57,  25}, u"点击提交",                     YaHei105,   false, rgb(0x00FF00),          true,
     u"点击提交", u"在浏览器中打开报告错题、复题、漏题的论坛帖子"},
    {u"Label2_2",   Label,    1, {  0, 288, 129,  25}, MembershipAd,                   YaHei105,   false, rgb(0xFFFFFF),          false,
     MembershipAd, u"广告"},
    {u"Label3_2",   Label,    1, {128, 288,  73,  25}, Price,                          YaHei105,   false, rgb(0xFFFFFF),          false,
     Price, u"广告"},
    {u"Label4_2",   Label,    1, {184, 288, 113,  25}, AvatarAd,                       YaHei105,   false, rgb(0xFFFFFF),          false,
     AvatarAd, u"广告"},
    {u"Label9_0",   Label,    1, {280, 288, 113,  17}, ChatGroup,                      YaHei105,   false, rgb(0xFF8000),          false,
     ChatGroup, u"制作者的聊天群号"},
    {u"Label6_2",   Label,    1, {400, 288,  97,  25}, Credit,                         WindowFont, false, WindowBackgroundColour, false,
     Credit, u"制作者"},
    {u"Image3",     Picture,  2, {  0,  24, 483, 289}, BackgroundPicture,              WindowFont, false, SystemDefaultColour,    false,
     u"背景图", u"资料站页的背景"},
    {u"WebBrowser1", Browser, 2, {  8,  32, 465, 273}, {},                             WindowFont, false, SystemDefaultColour,    false,
     u"Harlune资料站", u"游戏资料站的网页"},
});

QFont yaHeiAt(qreal pointSize)
{
    QFont font;
    font.setFamilies(fontFamilies());
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

std::span<const ControlSpec> controls()
{
    return Controls;
}

Layer stackingLayer(Kind kind)
{
    switch (kind) {
    case Picture:
        return Layer::Pictures;
    case Label:
        return Layer::Labels;
    case TextBox:
    case ListBox:
    case Browser:
        break;
    }
    return Layer::Windows;
}

QStringList fontFamilies()
{
    return {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};
}

QFont windowFont()
{
    return yaHeiAt(9);
}

QFont fontFor(const ControlSpec &row)
{
    QFont font = row.font == YaHei105 ? yaHeiAt(10.5) : windowFont();
    font.setUnderline(row.underline);
    return font;
}

} // namespace ControlLayout
