#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

// Helpers shared by the fuzz targets: each input is turned into a file in one
// private temporary folder, made once per process and removed at exit.
namespace ovilen::fuzz {

// The folder of this process ("$TMPDIR/ovilen-fuzz-<pid>").
const std::string &WorkDir();

// Replaces the file at APath (inside WorkDir) with AData and returns APath.
QString WriteInput(const QString &AName, const QByteArray &AData);

// Removes everything below AFolder, keeping AFolder itself.
void ClearFolder(const std::string &AFolder);

// The input as a byte array without copying.
inline QByteArray Bytes(const uint8_t *AData, size_t ASize)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(AData),
                                   static_cast<qsizetype>(ASize));
}

} // namespace ovilen::fuzz
