#pragma once

// How GoogleTest prints the Qt values a test compares: text as text, sizes
// and rectangles by their numbers (without these, a QString prints as a list
// of 2-byte objects). GoogleTest finds a PrintTo by argument-dependent
// lookup, so for Qt's types they are declared in the global namespace;
// every test program has this header included ahead of its sources (see
// CMakeLists.txt).

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <iosfwd>

// "text" in UTF-8.
void PrintTo(const QString &AText, std::ostream *AOut);
// As GoogleTest prints a std::string: quoted, other bytes escaped.
void PrintTo(const QByteArray &ABytes, std::ostream *AOut);
// 1280x720
void PrintTo(const QSize &ASize, std::ostream *AOut);
// (10, 20)
void PrintTo(const QPoint &APoint, std::ostream *AOut);
// 300x200 at (10, 20)
void PrintTo(const QRect &ARect, std::ostream *AOut);
