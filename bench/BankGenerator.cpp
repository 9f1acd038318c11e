#include "BankGenerator.h"

#include "bank/BankFile.h"
#include "text/CodePage.h"

#include <array>
#include <random>
#include <span>
#include <stdexcept>
#include <vector>

namespace BankGenerator {
namespace {

struct Hanzi
{
    char16_t character;
    char initial; // first letter of its pinyin
};

// Common characters, commonest first.
constexpr Hanzi Characters[] = {
    {u'的', 'd'}, {u'一', 'y'}, {u'是', 's'}, {u'不', 'b'}, {u'了', 'l'}, {u'在', 'z'}, {u'人', 'r'}, {u'有', 'y'}, {u'我', 'w'}, {u'他', 't'},
    {u'这', 'z'}, {u'中', 'z'}, {u'大', 'd'}, {u'来', 'l'}, {u'上', 's'}, {u'国', 'g'}, {u'个', 'g'}, {u'到', 'd'}, {u'说', 's'}, {u'们', 'm'},
    {u'为', 'w'}, {u'子', 'z'}, {u'和', 'h'}, {u'你', 'n'}, {u'地', 'd'}, {u'出', 'c'}, {u'道', 'd'}, {u'也', 'y'}, {u'时', 's'}, {u'年', 'n'},
    {u'得', 'd'}, {u'就', 'j'}, {u'那', 'n'}, {u'要', 'y'}, {u'下', 'x'}, {u'以', 'y'}, {u'生', 's'}, {u'会', 'h'}, {u'自', 'z'}, {u'着', 'z'},
    {u'去', 'q'}, {u'之', 'z'}, {u'过', 'g'}, {u'家', 'j'}, {u'学', 'x'}, {u'对', 'd'}, {u'可', 'k'}, {u'她', 't'}, {u'里', 'l'}, {u'后', 'h'},
    {u'小', 'x'}, {u'么', 'm'}, {u'心', 'x'}, {u'多', 'd'}, {u'天', 't'}, {u'而', 'e'}, {u'能', 'n'}, {u'好', 'h'}, {u'都', 'd'}, {u'然', 'r'},
    {u'没', 'm'}, {u'日', 'r'}, {u'于', 'y'}, {u'起', 'q'}, {u'还', 'h'}, {u'发', 'f'}, {u'成', 'c'}, {u'事', 's'}, {u'只', 'z'}, {u'作', 'z'},
    {u'当', 'd'}, {u'想', 'x'}, {u'看', 'k'}, {u'文', 'w'}, {u'无', 'w'}, {u'开', 'k'}, {u'手', 's'}, {u'十', 's'}, {u'用', 'y'}, {u'主', 'z'},
    {u'行', 'x'}, {u'方', 'f'}, {u'又', 'y'}, {u'如', 'r'}, {u'前', 'q'}, {u'所', 's'}, {u'本', 'b'}, {u'见', 'j'}, {u'经', 'j'}, {u'头', 't'},
    {u'面', 'm'}, {u'公', 'g'}, {u'同', 't'}, {u'三', 's'}, {u'已', 'y'}, {u'老', 'l'}, {u'从', 'c'}, {u'动', 'd'}, {u'两', 'l'}, {u'长', 'c'},
    {u'知', 'z'}, {u'民', 'm'}, {u'样', 'y'}, {u'现', 'x'}, {u'分', 'f'}, {u'将', 'j'}, {u'外', 'w'}, {u'但', 'd'}, {u'身', 's'}, {u'些', 'x'},
    {u'与', 'y'}, {u'高', 'g'}, {u'意', 'y'}, {u'进', 'j'}, {u'把', 'b'}, {u'法', 'f'}, {u'此', 'c'}, {u'实', 's'}, {u'回', 'h'}, {u'二', 'e'},
    {u'理', 'l'}, {u'美', 'm'}, {u'点', 'd'}, {u'月', 'y'}, {u'明', 'm'}, {u'其', 'q'}, {u'种', 'z'}, {u'声', 's'}, {u'全', 'q'}, {u'工', 'g'},
    {u'己', 'j'}, {u'话', 'h'}, {u'儿', 'e'}, {u'者', 'z'}, {u'向', 'x'}, {u'情', 'q'}, {u'部', 'b'}, {u'正', 'z'}, {u'名', 'm'}, {u'定', 'd'},
    {u'女', 'n'}, {u'问', 'w'}, {u'力', 'l'}, {u'机', 'j'}, {u'给', 'g'}, {u'等', 'd'}, {u'几', 'j'}, {u'很', 'h'}, {u'业', 'y'}, {u'最', 'z'},
    {u'间', 'j'}, {u'新', 'x'}, {u'什', 's'}, {u'打', 'd'}, {u'便', 'b'}, {u'位', 'w'}, {u'因', 'y'}, {u'重', 'z'}, {u'被', 'b'}, {u'走', 'z'},
    {u'电', 'd'}, {u'四', 's'}, {u'第', 'd'}, {u'门', 'm'}, {u'相', 'x'}, {u'次', 'c'}, {u'东', 'd'}, {u'政', 'z'}, {u'海', 'h'}, {u'口', 'k'},
    {u'使', 's'}, {u'教', 'j'}, {u'西', 'x'}, {u'再', 'z'}, {u'平', 'p'}, {u'真', 'z'}, {u'听', 't'}, {u'世', 's'}, {u'气', 'q'}, {u'信', 'x'},
    {u'北', 'b'}, {u'少', 's'}, {u'关', 'g'}, {u'并', 'b'}, {u'内', 'n'}, {u'加', 'j'}, {u'化', 'h'}, {u'由', 'y'}, {u'却', 'q'}, {u'代', 'd'},
    {u'军', 'j'}, {u'产', 'c'}, {u'入', 'r'}, {u'先', 'x'}, {u'山', 's'}, {u'五', 'w'}, {u'太', 't'}, {u'水', 's'}, {u'万', 'w'}, {u'市', 's'},
    {u'眼', 'y'}, {u'体', 't'}, {u'别', 'b'}, {u'处', 'c'}, {u'总', 'z'}, {u'才', 'c'}, {u'场', 'c'}, {u'师', 's'}, {u'书', 's'}, {u'南', 'n'},
    {u'通', 't'}, {u'车', 'c'}, {u'色', 's'}, {u'花', 'h'}, {u'白', 'b'}, {u'路', 'l'}, {u'金', 'j'}, {u'光', 'g'}, {u'风', 'f'}, {u'火', 'h'},
    {u'王', 'w'}, {u'石', 's'}, {u'云', 'y'}, {u'雨', 'y'}, {u'鱼', 'y'}, {u'鸟', 'n'}, {u'马', 'm'}, {u'牛', 'n'}, {u'羊', 'y'}, {u'龙', 'l'},
    {u'虎', 'h'}, {u'猫', 'm'}, {u'狗', 'g'}, {u'春', 'c'}, {u'夏', 'x'}, {u'秋', 'q'}, {u'冬', 'd'}, {u'江', 'j'}, {u'河', 'h'}, {u'湖', 'h'},
    {u'岛', 'd'}, {u'城', 'c'}, {u'村', 'c'}, {u'街', 'j'}, {u'楼', 'l'}, {u'桥', 'q'}, {u'塔', 't'}, {u'宫', 'g'}, {u'庙', 'm'}, {u'草', 'c'},
    {u'树', 's'}, {u'林', 'l'}, {u'竹', 'z'}, {u'米', 'm'}, {u'茶', 'c'}, {u'酒', 'j'}, {u'饭', 'f'}, {u'肉', 'r'}, {u'糖', 't'}, {u'药', 'y'},
    {u'红', 'h'}, {u'黄', 'h'}, {u'蓝', 'l'}, {u'绿', 'l'}, {u'黑', 'h'}, {u'星', 'x'}, {u'阳', 'y'}, {u'夜', 'y'}, {u'影', 'y'}, {u'梦', 'm'},
    {u'歌', 'g'}, {u'舞', 'w'}, {u'画', 'h'}, {u'剑', 'j'}, {u'刀', 'd'}, {u'弓', 'g'}, {u'箭', 'j'}, {u'兵', 'b'}, {u'帝', 'd'}, {u'皇', 'h'},
    {u'朝', 'c'}, {u'宋', 's'}, {u'唐', 't'}, {u'汉', 'h'}, {u'秦', 'q'}, {u'清', 'q'}, {u'元', 'y'}, {u'周', 'z'}, {u'州', 'z'}, {u'京', 'j'},
    {u'港', 'g'}, {u'洋', 'y'}, {u'球', 'q'}, {u'票', 'p'}, {u'钱', 'q'}, {u'银', 'y'}, {u'铁', 't'}, {u'船', 'c'}, {u'飞', 'f'}, {u'跑', 'p'},
    {u'读', 'd'}, {u'写', 'x'}, {u'笑', 'x'}, {u'哭', 'k'}, {u'吃', 'c'}, {u'喝', 'h'}, {u'买', 'm'}, {u'卖', 'm'}, {u'送', 's'}, {u'找', 'z'},
    {u'住', 'z'}, {u'站', 'z'}, {u'坐', 'z'}, {u'装', 'z'}, {u'照', 'z'}, {u'指', 'z'}, {u'纸', 'z'}, {u'组', 'z'}, {u'族', 'z'}, {u'左', 'z'},
    {u'右', 'y'}, {u'远', 'y'}, {u'近', 'j'}, {u'早', 'z'}, {u'晚', 'w'}, {u'快', 'k'}, {u'慢', 'm'}, {u'冷', 'l'}, {u'热', 'r'}, {u'深', 's'},
    {u'浅', 'q'}, {u'古', 'g'}, {u'今', 'j'}, {u'原', 'y'}, {u'院', 'y'}, {u'园', 'y'}, {u'语', 'y'}, {u'音', 'y'}, {u'英', 'y'}, {u'颜', 'y'},
    {u'岩', 'y'}, {u'叶', 'y'}, {u'友', 'y'}, {u'游', 'y'}, {u'欧', 'o'}, {u'偶', 'o'}, {u'饿', 'e'}, {u'耳', 'e'}, {u'佛', 'f'}, {u'粉', 'f'},
    {u'封', 'f'}, {u'皮', 'p'}, {u'片', 'p'}, {u'铺', 'p'}, {u'普', 'p'}, {u'配', 'p'}, {u'品', 'p'}, {u'旗', 'q'}, {u'墙', 'q'}, {u'强', 'q'},
    {u'骑', 'q'}, {u'区', 'q'}, {u'群', 'q'}, {u'容', 'r'}, {u'荣', 'r'}, {u'任', 'r'}, {u'孙', 's'}, {u'岁', 's'}, {u'商', 's'}, {u'史', 's'},
    {u'食', 's'}, {u'死', 's'}, {u'双', 's'}, {u'台', 't'}, {u'庭', 't'}, {u'拖', 't'}, {u'团', 't'}, {u'图', 't'}, {u'土', 't'}, {u'武', 'w'},
    {u'屋', 'w'}, {u'网', 'w'}, {u'味', 'w'}, {u'温', 'w'}, {u'熊', 'x'}, {u'雪', 'x'}, {u'血', 'x'}, {u'习', 'x'}, {u'喜', 'x'}, {u'香', 'x'},
    {u'象', 'x'}, {u'姓', 'x'}, {u'怒', 'n'}, {u'农', 'n'}, {u'宁', 'n'}, {u'魔', 'm'}, {u'秘', 'm'}, {u'毛', 'm'}, {u'满', 'm'}, {u'矿', 'k'},
    {u'库', 'k'}, {u'控', 'k'}, {u'课', 'k'}, {u'科', 'k'}, {u'客', 'k'}, {u'块', 'k'}, {u'雷', 'l'}, {u'旅', 'l'}, {u'落', 'l'}, {u'轮', 'l'},
    {u'领', 'l'}, {u'连', 'l'}, {u'立', 'l'},
};
constexpr int CharacterCount = int(std::size(Characters));

constexpr int MinQuestionLength = 8;
constexpr int MaxQuestionLength = 28;
constexpr int MinAnswerLength = 2;
constexpr int MaxAnswerLength = 6;
// What the last question lines hold after their initials, and no other line:
// initials never hold a "v", while "dd" stands in them all through the bank.
constexpr char LateTail[] = "ddvz";
constexpr int LateTailBytes = int(sizeof LateTail) - 1;
// Room for the longest pair: question, "-", initials, the late tail, answer, two CR LF.
constexpr int MaxPairBytes = MaxQuestionLength * 3 + 1 + LateTailBytes + MaxAnswerLength * 2 + 4;

// Maps a uniform 16-bit number to a character index, rank r drawn with a
// weight of 1 / (r + 1).
class CharacterDraw
{
public:
    CharacterDraw()
    {
        double total = 0;
        for (int rank = 0; rank < CharacterCount; ++rank)
            total += 1.0 / (rank + 1);
        double cumulative = 0;
        int rank = 0;
        for (int slot = 0; slot < SlotCount; ++slot) {
            const double point = (slot + 0.5) / SlotCount * total;
            while (rank + 1 < CharacterCount && cumulative + 1.0 / (rank + 1) <= point) {
                cumulative += 1.0 / (rank + 1);
                ++rank;
            }
            m_indexOfSlot[size_t(slot)] = std::uint16_t(rank);
        }
    }

    int operator()(std::uint16_t uniform) const { return m_indexOfSlot[uniform]; }

private:
    static constexpr int SlotCount = 1 << 16;
    std::array<std::uint16_t, SlotCount> m_indexOfSlot{};
};

// The GBK code of every character, two bytes each, encoded in one go.
QByteArray gbkCodes()
{
    QString all;
    for (const Hanzi &hanzi : Characters)
        all.append(QChar(hanzi.character));
    QByteArray codes = CodePage::toAnsi(all);
    if (codes.size() != 2 * CharacterCount)
        throw std::logic_error("a benchmark character is not a double-byte GBK character");
    return codes;
}

// Hands out 16-bit numbers, four from each 64-bit draw.
class Random16
{
public:
    explicit Random16(std::uint64_t seed) : m_engine(seed) {}

    std::uint16_t next()
    {
        if (m_left == 0) {
            m_bits = m_engine();
            m_left = 4;
        }
        --m_left;
        const auto value = std::uint16_t(m_bits);
        m_bits >>= 16;
        return value;
    }

    int between(int low, int high) { return low + next() % (high - low + 1); }

private:
    std::mt19937_64 m_engine;
    std::uint64_t m_bits = 0;
    int m_left = 0;
};

class BankWriter
{
public:
    BankWriter(char *out, const QByteArray &codes) : m_out(out), m_codes(codes.constData()) {}

    void character(int index)
    {
        *m_out++ = m_codes[2 * index];
        *m_out++ = m_codes[2 * index + 1];
    }
    void byte(char value) { *m_out++ = value; }
    void lineEnd()
    {
        byte('\r');
        byte('\n');
    }
    char *position() const { return m_out; }

private:
    char *m_out;
    const char *m_codes;
};

void writePair(BankWriter &writer, Random16 &random, const CharacterDraw &draw, bool late)
{
    std::array<int, MaxQuestionLength> question{};
    const int length = random.between(MinQuestionLength, MaxQuestionLength);
    for (int k = 0; k < length; ++k) {
        question[size_t(k)] = draw(random.next());
        writer.character(question[size_t(k)]);
    }
    writer.byte('-');
    for (int k = 0; k < length; ++k)
        writer.byte(Characters[question[size_t(k)]].initial);
    if (late) {
        for (int k = 0; k < LateTailBytes; ++k)
            writer.byte(LateTail[k]);
    }
    writer.lineEnd();
    const int answerLength = random.between(MinAnswerLength, MaxAnswerLength);
    for (int k = 0; k < answerLength; ++k)
        writer.character(draw(random.next()));
    writer.lineEnd();
}

} // namespace

QByteArray plainBank(int pairs, std::uint64_t seed)
{
    static const CharacterDraw draw;
    const QByteArray codes = gbkCodes();
    Random16 random(seed);
    QByteArray bank(qsizetype(pairs) * MaxPairBytes, Qt::Uninitialized);
    BankWriter writer(bank.data(), codes);
    for (int pair = 0; pair < pairs; ++pair)
        writePair(writer, random, draw, pair >= pairs - LatePairs);
    bank.truncate(writer.position() - bank.constData());
    return bank;
}

QByteArray benchmarkBank(int pairs)
{
    constexpr std::uint64_t Seed = 5380;
    QByteArray bytes = plainBank(pairs, Seed + std::uint64_t(pairs));
    BankFile::cipherInMemory(bytes);
    return bytes;
}

QString lateQuery()
{
    return QString::fromLatin1(LateTail);
}

QString commonestPair()
{
    return QString(QChar(Characters[0].character)) + QChar(Characters[1].character);
}

} // namespace BankGenerator
