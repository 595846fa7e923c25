#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>

// Reads vector path data made of absolute "M x,y" (move), "L x,y" (line) and
// "Z" (close) commands; numbers may be separated by commas or blanks, and a
// command letter may follow a number directly. Anything else ends the path
// where it stands.
QPainterPath PathFromData(const QString &AData);

// APath stretched so that its bounding box fills ABox exactly.
QPainterPath StretchPath(const QPainterPath &APath, const QRectF &ABox);
