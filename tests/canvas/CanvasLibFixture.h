#pragma once

#include "canvaslib/KARVOCanvas.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Colours as the library takes them: red in the low byte.
constexpr uint32_t KRed = 0x000000FF;
constexpr uint32_t KYellow = 0x0000FFFF;
constexpr uint32_t KBlue = 0x00FF0000;

// UTF-16 of a text for the exports.
const char16_t *u16(const QString &AText);

// A host window with the canvas in it: a 200x150 drawing shown at 1:1 in a
// viewport of the same size at the host's top-left, so widget and drawing
// coordinates agree. The picture is a gradient in which every pixel differs
// from its mirror images.
class CanvasLib : public ::testing::Test
{
protected:
    static constexpr int W = 200;
    static constexpr int H = 150;

    void SetUp() override;
    void TearDown() override;

    // The fixture picture.
    static QImage picture();
    // The canvas surface inside the host.
    QWidget *canvas() const;
    // What the window shows of the canvas now, after pending repaints: the
    // pixels of the window's backing store, not a fresh rendering.
    QImage onScreen() const;
    // SaveToSnapshot into a PNG and read it back (RGB32).
    QImage snapshot();
    // A shown window of the drawing's size, for the player to fill; null when it
    // never appears.
    static std::unique_ptr<QWidget> shownPanel();
    // A file name in the test's temporary folder.
    QString file(const QString &AName) const { return FDir.filePath(AName); }
    // A left-button drag through the points with real mouse events.
    void drag(const std::vector<QPoint> &APoints, int AWaitMs = 0);
    // Writes an image for a person to look at when OVILEN_CANVAS_SHOTS names
    // a folder.
    static void keep(const QImage &AImage, const QString &AName);

    QTemporaryDir FDir;
    std::unique_ptr<QWidget> FHost;
};

// Largest difference of one colour channel between two pixels.
int channelDiff(QRgb AFirst, QRgb ASecond);
// Number of pixels of two images of the same size whose channels differ by
// more than ATolerance.
int countDiff(const QImage &AFirst, const QImage &ASecond, int ATolerance);
