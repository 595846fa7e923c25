#include "support/IniFile.h"

#include "support/Common.h"
#include "support/IniFileText.h"
#include "support/Logging.h"

#include <QFile>
#include <QSaveFile>

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

// The value as it goes into the file: quoted when reading it back (trimming,
// removing enclosing quotes) would give another value.
QString Quoted(const QString &AValue)
{
    if (Unquote(AValue.trimmed()) == AValue)
        return AValue;
    return u'"' + AValue + u'"';
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

bool SameName(const QString &AFirst, const QString &ASecond)
{
    return AFirst.compare(ASecond, Qt::CaseInsensitive) == 0;
}

} // namespace

QString TIniFile::DecodeText(const QByteArray &ABytes)
{
    QStringList lines;
    for (const TIniLine &line : TIniFileText(ABytes).Lines)
        lines.append(line.Text);
    return lines.join(u'\n');
}

TIniFile::TIniFile(QString AFileName)
    : FFileName(std::move(AFileName))
{
    QFile file(FFileName);
    if (!file.exists())
        return;
    // A file that is there but cannot be read must never be replaced by one
    // holding only what this object writes.
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        FReadFailed = true;
        qCWarning(lcSupport) << "cannot read" << FFileName << file.errorString();
        return;
    }
    FText = TIniFileText(bytes);
}

TIniFile::TLocation TIniFile::Find(const QString &ASection, const QString &AKey) const
{
    TLocation at;
    QString name, key, value;
    const std::vector<TIniLine> &lines = FText.Lines;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QString &line = lines[i].Text;
        if (SectionName(line, name)) {
            if (at.Section >= 0) {
                at.End = i;
                return at;
            }
            if (SameName(name, ASection))
                at.Section = i;
            continue;
        }
        if (at.Section >= 0 && at.Key < 0 && KeyValue(line, key, value) && SameName(key, AKey))
            at.Key = i;
    }
    if (at.Section >= 0)
        at.End = qsizetype(lines.size());
    return at;
}

bool TIniFile::ValueExists(const QString &ASection, const QString &AKey) const
{
    return Find(ASection, AKey).Key >= 0;
}

QString TIniFile::ReadString(const QString &ASection, const QString &AKey,
                             const QString &ADefault) const
{
    const TLocation at = Find(ASection, AKey);
    if (at.Key < 0)
        return Truncate(ADefault, MaxValueLength);
    QString key, value;
    KeyValue(FText.Lines[at.Key].Text, key, value);
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
    value = Quoted(value);

    std::vector<TIniLine> &lines = FText.Lines;
    const QString lineBreak = FText.LineBreak();
    const TLocation at = Find(ASection, AKey);
    if (at.Key >= 0) {
        QString key, old;
        KeyValue(lines[at.Key].Text, key, old);
        if (old != value)
            lines[at.Key] = {key + u'=' + value, lines[at.Key].LineBreak, {}};
        return;
    }
    auto insert = [&](qsizetype APos, const QString &AText) {
        if (APos > 0 && lines[APos - 1].LineBreak.isEmpty())
            lines[APos - 1].LineBreak = lineBreak;
        lines.insert(lines.begin() + APos, TIniLine{AText, lineBreak, {}});
    };
    if (at.Section >= 0) {
        // After the section's last non-blank line.
        qsizetype pos = at.End;
        while (pos - 1 > at.Section && lines[pos - 1].Text.trimmed().isEmpty())
            --pos;
        insert(pos, AKey + u'=' + value);
        return;
    }
    if (!lines.empty() && !lines.back().Text.trimmed().isEmpty())
        insert(qsizetype(lines.size()), QString());
    insert(qsizetype(lines.size()), u'[' + ASection + u']');
    insert(qsizetype(lines.size()), AKey + u'=' + value);
}

void TIniFile::WriteInteger(const QString &ASection, const QString &AKey, int AValue)
{
    WriteString(ASection, AKey, QString::number(AValue));
}

QString TIniFile::Text() const
{
    QString text;
    for (const TIniLine &line : FText.Lines)
        text += line.Text + line.LineBreak;
    return text;
}

bool TIniFile::UpdateFile() const
{
    if (FReadFailed) {
        qCWarning(lcSupport) << "not written:" << FFileName
                             << "could not be read, so its other entries would be lost";
        return false;
    }
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcSupport) << "cannot write" << FFileName << file.errorString();
        return false;
    }
    const QByteArray bytes = FText.Encode();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcSupport) << "cannot write" << FFileName << file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
