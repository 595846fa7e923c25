#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// One line of an INI file as read: its text, its line break, and, until the
// line is changed, the exact bytes it was read from.
struct TIniLine
{
    QString Text;
    QString LineBreak; // "\r\n", "\n", "\r", or empty for a last line without one
    QByteArray Bytes;  // the original bytes without the break; null once changed
};

// The lines of an INI file and the encoding they are written back in.
// UTF-8 files (with or without a byte-order mark) are decoded line by line:
// a line that is valid UTF-8 is read as UTF-8, any other line in the Korean
// Windows code page. Unchanged lines are written back byte for byte, changed
// and new lines in UTF-8. A file with a UTF-16 byte-order mark stays UTF-16.
class TIniFileText
{
public:
    TIniFileText() = default;
    explicit TIniFileText(const QByteArray &ABytes);

    std::vector<TIniLine> Lines;

    QByteArray Encode() const;
    // The break to use for a new line: the file's own, or "\n".
    QString LineBreak() const;

private:
    enum class TEncoding
    {
        Utf8,
        Utf8Bom,
        Utf16LE,
        Utf16BE
    };
    TEncoding FEncoding = TEncoding::Utf8;
};
