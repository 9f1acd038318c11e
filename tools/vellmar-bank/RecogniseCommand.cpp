#include "Commands.h"

#include "CommandInputs.h"
#include "CommandOptions.h"
#include "CommandOutput.h"
#include "FailureText.h"

#include "bank/BankReader.h"
#include "screen/TextRecogniser.h"
#include "search/TolerantSearch.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>

namespace BankCommands {
namespace {

struct Picture
{
    QString path;
    QImage image;
};

QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonStrings(const QStringList &texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

QString score(double value)
{
    return QString::number(value, 'f', 3);
}

// The keys in the order a reader expects them, which QJsonObject would sort.
QString readingAsJson(const QString &text, const TolerantResult &result)
{
    QStringList scores;
    for (const double value : result.Scores)
        scores << score(value);
    return QStringLiteral("{\"text\": %1, \"questions\": %2, \"answers\": %3, \"scores\": [%4]}")
        .arg(jsonString(text), jsonStrings(result.Questions), jsonStrings(result.Answers), scores.join(QStringLiteral(", ")));
}

void printReading(const QString &path, const QString &text, const TolerantResult &result)
{
    printLine(QStringLiteral("%1: read \"%2\"").arg(path, text));
    if (!result.Sure)
        printLine(QStringLiteral("no sure match: the best scores under %1").arg(score(SureScore)));
    for (qsizetype row = 0; row < result.Questions.size(); ++row)
        printLine(score(result.Scores.at(row)) + QLatin1Char('\t') + result.Questions.at(row) + QLatin1Char('\t')
                  + result.Answers.at(row));
}

// Every picture is read before any is recognised, so a bad one stops the
// command before it prints anything.
bool readPictures(const QStringList &paths, QList<Picture> &pictures)
{
    for (const QString &path : paths) {
        BankReader reader;
        QByteArray bytes;
        if (!reader.readFileBytes(path, bytes)) {
            fail(failureText(reader.failure()));
            return false;
        }
        const QImage image = QImage::fromData(bytes);
        if (image.isNull()) {
            fail(QStringLiteral("%1: not a picture this tool can read (PNG, JPEG, BMP, GIF, PPM)").arg(path));
            return false;
        }
        pictures.append({path, image});
    }
    return true;
}

} // namespace

int recognise(const QCommandLineParser &parser, const QStringList &arguments)
{
    QuestionLines lines;
    if (!readBank(arguments.at(0), lines))
        return Failed;
    QList<Picture> pictures;
    if (!readPictures(arguments.mid(1), pictures))
        return Failed;

    const BigramIndex index = BigramIndex::build(lines);
    TextRecogniser recogniser;
    QStringList readings;
    for (const Picture &picture : pictures) {
        const std::optional<QString> text = recogniser.read(picture.image);
        if (!text)
            return fail(QStringLiteral("the OCR model \"%1\" cannot be loaded (Debian: tesseract-ocr-chi-sim)")
                            .arg(QLatin1String(TextRecogniser::ModelName)));
        const TolerantResult result = RankQuestions(lines, index, *text);
        if (parser.isSet(JsonOption))
            readings << readingAsJson(*text, result);
        else
            printReading(picture.path, *text, result);
    }
    if (parser.isSet(JsonOption))
        printLine(QLatin1Char('[') + readings.join(QStringLiteral(",\n ")) + QLatin1Char(']'));
    return Ok;
}

} // namespace BankCommands
