#pragma once

#include "support/IniFileText.h"

#include <QString>

// An INI file with profile-string semantics:
//  - "[section]" lines and "key=value" lines; section and key names match
//    without regard to letter case; the first match wins;
//  - an absent key gives the caller's default, a present empty value is the
//    empty text; values are trimmed, one pair of enclosing quotes is removed,
//    and at most MaxValueLength characters are returned;
//  - writing changes only the entry written: every other line (comments,
//    unknown sections and keys, the spelling of names, line breaks) is
//    written back byte for byte; a value that reading would change (blanks
//    at either end, enclosing quotes) is written in double quotes;
//  - UpdateFile replaces the file atomically.
// Files are read as UTF-8 (with or without byte-order mark) line by line,
// a line that is not UTF-8 in the Korean Windows code page, or as UTF-16
// with a byte-order mark (see TIniFileText).
class TIniFile
{
public:
    static constexpr int MaxValueLength = 2047;

    // Reads the file if it exists; a missing or unreadable file acts as
    // empty, and an unreadable one is never written (UpdateFile fails).
    explicit TIniFile(QString AFileName);

    const QString &FileName() const { return FFileName; }

    bool ValueExists(const QString &ASection, const QString &AKey) const;
    QString ReadString(const QString &ASection, const QString &AKey, const QString &ADefault) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives ADefault.
    int ReadInteger(const QString &ASection, const QString &AKey, int ADefault) const;

    // Changes the text held in memory; UpdateFile writes it.
    void WriteString(const QString &ASection, const QString &AKey, const QString &AValue);
    void WriteInteger(const QString &ASection, const QString &AKey, int AValue);

    // Writes the whole text to a temporary file beside the target and renames
    // it over the target. False when any step fails, or when the file existed
    // but could not be read; the old file is then left as it was.
    bool UpdateFile() const;

    // The text as it would be written, with its line breaks.
    QString Text() const;

    // The lines of a file's bytes, each decoded on its own, joined by "\n".
    static QString DecodeText(const QByteArray &ABytes);

private:
    struct TLocation
    {
        qsizetype Section = -1; // line of the "[section]" header
        qsizetype Key = -1;     // line of the key, -1 when absent
        qsizetype End = -1;     // one past the section's last line
    };
    TLocation Find(const QString &ASection, const QString &AKey) const;

    QString FFileName;
    TIniFileText FText;
    bool FReadFailed = false;
};
