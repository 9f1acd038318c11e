#include "SeveralReadings.h"

#include <algorithm>
#include <iterator>

namespace SeveralReadings {
namespace {

struct Entry
{
    char16_t character;
    const char *initials;
};

// Sorted by code point, for the binary search below.
constexpr Entry Entries[] = {
    {u'乐', "ly"}, {u'乘', "cs"}, {u'会', "hk"}, {u'传', "cz"}, {u'佛', "bf"}, {u'便', "bp"}, {u'卡', "kq"},
    {u'厦', "sx"}, {u'参', "cs"}, {u'叶', "xy"}, {u'吓', "hx"}, {u'否', "fp"}, {u'咳', "hk"}, {u'圈', "jq"},
    {u'堡', "bp"}, {u'壳', "kq"}, {u'夹', "gj"}, {u'奇', "jq"}, {u'宿', "sx"}, {u'属', "sz"}, {u'弹', "dt"},
    {u'强', "jq"}, {u'恶', "ew"}, {u'折', "sz"}, {u'提', "dt"}, {u'暴', "bp"}, {u'曾', "cz"}, {u'朝', "cz"},
    {u'术', "sz"}, {u'查', "cz"}, {u'校', "jx"}, {u'殖', "sz"}, {u'汤', "st"}, {u'泊', "bp"}, {u'澄', "cd"},
    {u'炮', "bp"}, {u'畜', "cx"}, {u'盛', "cs"}, {u'省', "sx"}, {u'秘', "bm"}, {u'粘', "nz"}, {u'系', "jx"},
    {u'纤', "qx"}, {u'给', "gj"}, {u'臭', "cx"}, {u'芥', "gj"}, {u'茄', "jq"}, {u'蔓', "mw"}, {u'藏', "cz"},
    {u'虹', "hj"}, {u'行', "hx"}, {u'解', "jx"}, {u'识', "sz"}, {u'说', "sy"}, {u'调', "dt"}, {u'辟', "bp"},
    {u'重', "cz"}, {u'铅', "qy"}, {u'长', "cz"}, {u'降', "jx"}, {u'颈', "gj"}, {u'颤', "cz"},
};

constexpr bool sorted()
{
    for (std::size_t index = 1; index < std::size(Entries); ++index) {
        if (Entries[index - 1].character >= Entries[index].character)
            return false;
    }
    return true;
}
static_assert(sorted(), "SeveralReadings entries must be sorted by code point");

} // namespace

QLatin1StringView initialsOf(char32_t character)
{
    const auto found = std::lower_bound(std::begin(Entries), std::end(Entries), character,
                                        [](const Entry &entry, char32_t wanted) { return entry.character < wanted; });
    if (found == std::end(Entries) || found->character != character)
        return {};
    return QLatin1StringView(found->initials);
}

} // namespace SeveralReadings
