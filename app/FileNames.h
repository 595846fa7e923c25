#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// Names of the files the program writes.

// "yyyy_mm_dd_ss_nn": year, month, day, seconds, minutes (no hour).
QString FileNameStamp(const QDateTime &ATime);

// A new name "<folder>/<stamp><extension>" for ATime. When that file exists
// already, "_2", "_3", ... is added before the extension, so an earlier still
// or recording is never overwritten. The folder is created if missing.
QString UniqueStampedFileName(const QString &AFolder, const QDateTime &ATime,
                              const QString &AExtension);

// Full path of a new recording in Config->PathMovie ("….mp4").
QString GetMovieFileName();
// Full path of a new still image in Config->PathImage ("….jpg").
QString GetImageFileName();
// PathTemp + "/Capture.Bmp": hands the current picture to the canvas.
QString GetCaptureTempFileName();
// PathTemp + "/Rotate.Bmp": turns the canvas picture.
QString GetRotateTempFileName();

// "#AARRGGBB" -> blue * 65536 + green * 256 + red. Throws
// std::invalid_argument for a text that is not of that nine-character form.
uint32_t HexToColor(const QString &AText);
