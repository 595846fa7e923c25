#include "support/IniFile.h"

#include "support/Common.h"
#include "support/Logging.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// "[name] ; comment" -> name; empty optional when the line is no header.
bool SectionName(const QString &ALine, QString &AName)
{
    const QString t = ALine.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    AName = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return true;
}

// "key = value" -> key and raw value; false for comments and other lines.
bool KeyValue(const QString &ALine, QString &AKey, QString &AValue)
{
    const QString t = ALine.trimmed();
    if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'['))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return false;
    AKey = t.left(eq).trimmed();
    AValue = t.mid(eq + 1).trimmed();
    return !AKey.isEmpty();
}

QString Unquote(const QString &AValue)
{
    if (AValue.size() >= 2) {
        const QChar first = AValue.front();
        if ((first == u'"' || first == u'\'') && AValue.back() == first)
            return AValue.mid(1, AValue.size() - 2);
    }
    return AValue;
}

// Cuts a text to at most ALength UTF-16 units without splitting a pair.
QString Truncate(const QString &AText, int ALength)
{
    if (AText.size() <= ALength)
        return AText;
    qsizetype n = ALength;
    if (AText.at(n - 1).isHighSurrogate())
        --n;
    return AText.left(n);
}

bool SameName(const QString &A, const QString &B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

} // namespace

QString TIniFile::DecodeText(const QByteArray &ABytes)
{
    if (ABytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(ABytes.mid(3));
    if (ABytes.startsWith("\xFF\xFE") || ABytes.startsWith("\xFE\xFF")) {
        auto decoder = QStringDecoder(ABytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                                    : QStringDecoder::Utf16BE);
        return decoder(ABytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(ABytes);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: a file saved by a Korean Windows editor without a byte-order
    // mark is in the Korean code page.
    QStringDecoder korean("CP949");
    if (!korean.isValid())
        korean = QStringDecoder("EUC-KR");
    if (korean.isValid()) {
        text = korean(ABytes);
        if (!korean.hasError())
            return text;
    }
    return QString::fromLatin1(ABytes);
}

TIniFile::TIniFile(QString AFileName)
    : FFileName(std::move(AFileName))
{
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString text = DecodeText(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    FLines = text.split(u'\n');
    if (!FLines.isEmpty() && FLines.back().isEmpty())
        FLines.removeLast();
}

TIniFile::Location TIniFile::Find(const QString &ASection, const QString &AKey) const
{
    Location at;
    QString name, key, value;
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        const QString &line = FLines.at(i);
        if (SectionName(line, name)) {
            if (at.section >= 0) {
                at.end = i;
                return at;
            }
            if (SameName(name, ASection))
                at.section = i;
            continue;
        }
        if (at.section >= 0 && at.key < 0 && KeyValue(line, key, value) && SameName(key, AKey))
            at.key = i;
    }
    if (at.section >= 0)
        at.end = FLines.size();
    return at;
}

bool TIniFile::ValueExists(const QString &ASection, const QString &AKey) const
{
    return Find(ASection, AKey).key >= 0;
}

QString TIniFile::ReadString(const QString &ASection, const QString &AKey,
                             const QString &ADefault) const
{
    const Location at = Find(ASection, AKey);
    if (at.key < 0)
        return Truncate(ADefault, MaxValueLength);
    QString key, value;
    KeyValue(FLines.at(at.key), key, value);
    return Truncate(Unquote(value), MaxValueLength);
}

int TIniFile::ReadInteger(const QString &ASection, const QString &AKey, int ADefault) const
{
    if (!ValueExists(ASection, AKey))
        return ADefault;
    return StrToIntDef(ReadString(ASection, AKey, QString()), ADefault);
}

void TIniFile::WriteString(const QString &ASection, const QString &AKey, const QString &AValue)
{
    // A line break inside a value would start a new entry in the file.
    QString value = AValue;
    value.replace(u'\r', u' ').replace(u'\n', u' ');

    const Location at = Find(ASection, AKey);
    if (at.key >= 0) {
        QString key, old;
        KeyValue(FLines.at(at.key), key, old);
        FLines[at.key] = key + u'=' + value;
        return;
    }
    if (at.section >= 0) {
        // After the section's last non-blank line.
        qsizetype pos = at.end;
        while (pos - 1 > at.section && FLines.at(pos - 1).trimmed().isEmpty())
            --pos;
        FLines.insert(pos, AKey + u'=' + value);
        return;
    }
    if (!FLines.isEmpty() && !FLines.back().trimmed().isEmpty())
        FLines.append(QString());
    FLines.append(u'[' + ASection + u']');
    FLines.append(AKey + u'=' + value);
}

void TIniFile::WriteInteger(const QString &ASection, const QString &AKey, int AValue)
{
    WriteString(ASection, AKey, QString::number(AValue));
}

QString TIniFile::Text() const
{
    QString text = FLines.join(u'\n');
    if (!FLines.isEmpty())
        text += u'\n';
    return text;
}

bool TIniFile::UpdateFile() const
{
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcSupport) << "cannot write" << FFileName << file.errorString();
        return false;
    }
    const QByteArray bytes = Text().toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcSupport) << "cannot write" << FFileName << file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
