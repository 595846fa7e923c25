#pragma once

#include "scene/SceneButton.h"

#include <QImage>

// A tab of a menu bar: its image fills a shape with rounded top corners.
// Tabs may overlap; the one raised last is drawn in front.
class TTabButton : public TSceneButton
{
    Q_OBJECT
public:
    explicit TTabButton(QWidget *AParent = nullptr);

    void SetFill(const QImage &AImage);
    const QImage &Fill() const { return FFill; }
    // Outline colour; an invalid colour draws none.
    void SetOutline(const QColor &AColor);
    void SetCornerRadius(qreal AValue) { FRadius = AValue; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QImage FFill;
    QColor FOutline;
    qreal FRadius = 5;
};
