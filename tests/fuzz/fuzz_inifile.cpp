// The INI store on any file: the settings file and the language file, in
// UTF-8, UTF-16 with a byte-order mark, or the Korean code page.
#include "FuzzSupport.h"
#include "support/IniFile.h"
#include "support/Language.h"

#include <QRegularExpression>
#include <cstdlib>

namespace {

void Check(bool ACondition)
{
    if (!ACondition)
        std::abort();
}

// Every name pair the text seems to hold, plus the names of the settings file.
QList<QPair<QString, QString>> NamesIn(const QString &AText)
{
    QList<QPair<QString, QString>> names{{QStringLiteral("COMMON"), QStringLiteral("PathImage")},
                                         {QStringLiteral("VIDEO"), QStringLiteral("VideoRotate")}};
    QString section;
    for (const QString &line : AText.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
            section = trimmed.mid(1, trimmed.size() - 2);
        else if (const qsizetype eq = trimmed.indexOf(QLatin1Char('=')); eq > 0)
            names.append({section, trimmed.left(eq)});
        if (names.size() > 64)
            break;
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    const QByteArray bytes = ovilen::fuzz::Bytes(AData, ASize);
    const QString path = ovilen::fuzz::WriteInput(QStringLiteral("input.ini"), bytes);

    TIniFile ini(path);
    for (const auto &[section, key] : NamesIn(ini.Text())) {
        const QString value = ini.ReadString(section, key, QStringLiteral("-"));
        Check(value.size() <= TIniFile::MaxValueLength);
        ini.ReadInteger(section, key, 7);
        Check(ini.ValueExists(section, key) || value == QStringLiteral("-"));
    }

    // Whatever the file held, a written entry reads back as written and a
    // line break in a value cannot add entries.
    const QString value = QStringLiteral("written value");
    ini.WriteString(QStringLiteral("FuzzSection"), QStringLiteral("FuzzKey"), value);
    Check(ini.ReadString(QStringLiteral("FuzzSection"), QStringLiteral("FuzzKey"), {}) == value);
    ini.WriteString(QStringLiteral("FuzzSection"), QStringLiteral("Other"),
                    QStringLiteral("a\n[Injected]\nKey=1"));
    Check(!ini.ValueExists(QStringLiteral("Injected"), QStringLiteral("Key")) ||
          TIniFile(path).ValueExists(QStringLiteral("Injected"), QStringLiteral("Key")));
    ini.WriteInteger(QStringLiteral("FuzzSection"), QStringLiteral("Number"), -5);
    Check(ini.ReadInteger(QStringLiteral("FuzzSection"), QStringLiteral("Number"), 0) == -5);

    // The language table reads the same bytes as "language.ini".
    const TLanguage language(path);
    Check(language.Common.Resolution.size() <= TIniFile::MaxValueLength);
    return 0;
}
