#pragma once

#include "scene/SceneButton.h"

#include <QColor>
#include <QPainterPath>

// A round button (an ellipse filling the widget) with a filled vector glyph.
// The glyph's path is stretched into its box, given in the button's own
// coordinates. The fill lightens while the mouse is over the button.
class TGlyphButton : public TSceneButton
{
    Q_OBJECT
public:
    explicit TGlyphButton(QWidget *AParent = nullptr);

    void SetGlyph(const QPainterPath &APath, const QRectF &ABox);
    const QPainterPath &Glyph() const { return FGlyph; }
    const QRectF &GlyphBox() const { return FGlyphBox; }

    void SetColors(const QColor &AFill, const QColor &AOutline, qreal AOutlineWidth,
                   const QColor &AGlyph);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPainterPath FGlyph;
    QRectF FGlyphBox;
    QColor FFill{0x57, 0x57, 0x57}, FOutline{0x93, 0x93, 0x93}, FGlyphColor{Qt::white};
    qreal FOutlineWidth = 2;
};
