#pragma once

#include "SkinStyle.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

// Every image of the skin: its resource name, its size in pixels at the
// normal density, and how it is drawn.
struct TSkinImage
{
    // The full resource name of a single image, or the base name (ending in
    // "_") of a three-state button, to which "N", "D" or "O" is appended.
    QString Name;
    QSize Size;
    bool ThreeState = false;
    // Draws the image in logical pixels; the state is Normal for single images.
    std::function<void(QPainter &, TButtonState)> Paint;

    // The resource names this entry stands for.
    QStringList ResourceNames() const;
};

// The whole skin, in the order of the contact sheet: preview buttons, drawing
// buttons, pen and marker faces, then the single images.
QList<TSkinImage> SkinCatalogue();

// The nine pen colours with their words, in the order of the swatches.
struct TPenColour
{
    const char *Word;
    QRgb Value;
};
extern const TPenColour PenColours[9];
