#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

void PrintTo(const QString &AText, std::ostream *AOut)
{
    *AOut << '"' << AText.toStdString() << '"';
}

void PrintTo(const QByteArray &ABytes, std::ostream *AOut)
{
    *AOut << ::testing::PrintToString(ABytes.toStdString());
}

void PrintTo(const QSize &ASize, std::ostream *AOut)
{
    *AOut << ASize.width() << 'x' << ASize.height();
}

void PrintTo(const QPoint &APoint, std::ostream *AOut)
{
    *AOut << '(' << APoint.x() << ", " << APoint.y() << ')';
}

void PrintTo(const QRect &ARect, std::ostream *AOut)
{
    PrintTo(ARect.size(), AOut);
    *AOut << " at ";
    PrintTo(ARect.topLeft(), AOut);
}
