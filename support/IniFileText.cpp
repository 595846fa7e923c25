#include "support/IniFileText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// A line that is not UTF-8: a Korean Windows editor writes the Korean code page.
QString DecodeLegacy(const QByteArray &ABytes)
{
    QStringDecoder korean("CP949");
    if (!korean.isValid())
        korean = QStringDecoder("EUC-KR");
    if (korean.isValid()) {
        QString text = korean(ABytes);
        if (!korean.hasError())
            return text;
    }
    return QString::fromLatin1(ABytes);
}

QString DecodeLine(const QByteArray &ABytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(ABytes);
    return utf8.hasError() ? DecodeLegacy(ABytes) : text;
}

// Splits at "\r\n", "\n" or a lone "\r"; the break goes with its line.
template <typename Text, typename Char>
std::vector<std::pair<Text, Text>> SplitLines(const Text &AText, Char ACr, Char ALf)
{
    std::vector<std::pair<Text, Text>> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < AText.size(); ++i) {
        const auto c = AText.at(i);
        if (c != ACr && c != ALf)
            continue;
        const qsizetype breakLength =
            (c == ACr && i + 1 < AText.size() && AText.at(i + 1) == ALf) ? 2 : 1;
        lines.emplace_back(AText.mid(start, i - start), AText.mid(i, breakLength));
        i += breakLength - 1;
        start = i + 1;
    }
    if (start < AText.size())
        lines.emplace_back(AText.mid(start), Text());
    return lines;
}

} // namespace

TIniFileText::TIniFileText(const QByteArray &ABytes)
{
    if (ABytes.startsWith("\xFF\xFE") || ABytes.startsWith("\xFE\xFF")) {
        const bool little = ABytes.startsWith("\xFF\xFE");
        FEncoding = little ? TEncoding::Utf16LE : TEncoding::Utf16BE;
        auto decoder = QStringDecoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QString text = decoder(ABytes.mid(2));
        for (auto &[line, lineBreak] : SplitLines(text, QChar(u'\r'), QChar(u'\n')))
            Lines.push_back({line, lineBreak, {}});
        return;
    }
    QByteArray body = ABytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        FEncoding = TEncoding::Utf8Bom;
        body.remove(0, 3);
    }
    for (auto &[line, lineBreak] : SplitLines(body, '\r', '\n')) {
        // A null array marks a changed line, so an empty original line is kept as "".
        QByteArray bytes = line.isNull() ? QByteArray("") : line;
        Lines.push_back({DecodeLine(line), QString::fromLatin1(lineBreak), std::move(bytes)});
    }
}

QString TIniFileText::LineBreak() const
{
    for (const TIniLine &line : Lines)
        if (!line.LineBreak.isEmpty())
            return line.LineBreak;
    return QStringLiteral("\n");
}

QByteArray TIniFileText::Encode() const
{
    if (FEncoding == TEncoding::Utf16LE || FEncoding == TEncoding::Utf16BE) {
        const bool little = FEncoding == TEncoding::Utf16LE;
        QString text;
        for (const TIniLine &line : Lines)
            text += line.Text + line.LineBreak;
        auto encoder = QStringEncoder(little ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
        return QByteArray(little ? "\xFF\xFE" : "\xFE\xFF", 2) + QByteArray(encoder(text));
    }
    QByteArray bytes = FEncoding == TEncoding::Utf8Bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const TIniLine &line : Lines) {
        bytes += line.Bytes.isNull() ? line.Text.toUtf8() : line.Bytes;
        bytes += line.LineBreak.toLatin1();
    }
    return bytes;
}
