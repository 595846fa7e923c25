#include "support/Common.h"

#include <QDir>
#include <QStandardPaths>
#include <limits>

QString PathData;
QString PathTemp;

QString GetSpecialFolder(int AFolder)
{
    if (AFolder != CSIDL_PERSONAL)
        return {};
    const QStringList paths = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
    return paths.isEmpty() ? QString() : QDir::cleanPath(paths.first());
}

QString GetDocumentsFolder()
{
    return GetSpecialFolder(CSIDL_PERSONAL);
}

void InitFolders()
{
    QString documents = GetDocumentsFolder();
    if (documents.isEmpty())
        documents = QDir::homePath();
    PathData = documents + QStringLiteral("/Ovilen");
    PathTemp = PathData + QStringLiteral("/Temp");
    QDir().mkpath(PathData);
    QDir().mkpath(PathTemp);
}

int StrToIntDef(const QString &AText, int ADefault)
{
    auto digitOf = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if (u >= u'a' && u <= u'f')
            return u - u'a' + 10;
        if (u >= u'A' && u <= u'F')
            return u - u'A' + 10;
        return 99;
    };
    qsizetype i = 0;
    while (i < AText.size() && AText.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < AText.size() && (AText.at(i) == u'-' || AText.at(i) == u'+')) {
        negative = AText.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < AText.size() && AText.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < AText.size() && AText.at(i) == u'0' &&
               (AText.at(i + 1) == u'x' || AText.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= AText.size())
        return ADefault;
    // Decimal texts must fit a signed 32-bit value; hexadecimal texts may use
    // all 32 bits ("$FFFFFFFF" is -1).
    const quint64 limit =
        base == 16 ? 0xFFFFFFFFULL : quint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    quint64 value = 0;
    for (; i < AText.size(); ++i) {
        const int digit = digitOf(AText.at(i));
        if (digit >= base)
            return ADefault;
        value = value * base + digit;
        if (value > limit)
            return ADefault;
    }
    const auto bits = static_cast<quint32>(value);
    return static_cast<int>(negative ? 0u - bits : bits);
}

QString SizeToText(int AWidth, int AHeight)
{
    return QString::asprintf("%dx%d", AWidth, AHeight);
}

void SplitText(const QString &AText, QChar ASeparator, QStringList &AList)
{
    AList.clear();
    QString piece;
    QChar quote;
    bool started = false;
    auto finish = [&] {
        if (!piece.isEmpty())
            AList.append(piece);
        piece.clear();
        started = false;
    };
    for (const QChar c : AText) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                piece += c;
            continue;
        }
        if (c == ASeparator || c == u'\r' || c == u'\n') {
            finish();
            continue;
        }
        if (!started && c == u' ')
            continue;
        started = true;
        if (c == u'"' || c == u'\'')
            quote = c;
        else
            piece += c;
    }
    finish();
}

namespace {

QStringList ResolutionPieces(const QString &AText)
{
    QString text = AText.toUpper();
    text.replace(u'X', u' ');
    QStringList pieces;
    SplitText(text, u' ', pieces);
    return pieces;
}

} // namespace

void ParseSize(const QString &AText, int &AWidth, int &AHeight)
{
    AWidth = 0;
    AHeight = 0;
    const QStringList pieces = ResolutionPieces(AText);
    if (pieces.size() >= 2) {
        AWidth = StrToIntDef(pieces.at(0), 0);
        AHeight = StrToIntDef(pieces.at(1), 0);
    }
}

TResolutionInfo ParseResolution(const QString &AText)
{
    TResolutionInfo info;
    const QStringList pieces = ResolutionPieces(AText);
    if (pieces.size() != 3)
        return info;
    info.Width = StrToIntDef(pieces.at(0), 0);
    info.Height = StrToIntDef(pieces.at(1), 0);
    const QString &code = pieces.at(2);
    if (code.contains(QStringLiteral("MJPG")))
        info.Codec = QStringLiteral("MJPG");
    else if (code.contains(QStringLiteral("YUY2")))
        info.Codec = QStringLiteral("YUY2");
    else
        info.Codec = code;
    return info;
}

int CompareResolution(const QStringList &AList, int AIndex1, int AIndex2)
{
    int w1, h1, w2, h2;
    ParseSize(AList.at(AIndex1), w1, h1);
    ParseSize(AList.at(AIndex2), w2, h2);
    const qint64 s1 = qint64(w1) + h1;
    const qint64 s2 = qint64(w2) + h2;
    if (s2 < s1)
        return -1;
    if (s1 < s2)
        return 1;
    return 0;
}
