#pragma once

#include <QGradientStops>
#include <QWidget>

// A rounded rectangle filled with a vertical linear gradient from its top to
// its bottom; the space outside the rounded corners is left to the parent.
class TGradientPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TGradientPanel(QWidget *AParent = nullptr);

    void SetStops(const QGradientStops &AStops);
    const QGradientStops &Stops() const { return FStops; }
    void SetCornerRadius(qreal AValue);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QGradientStops FStops;
    qreal FRadius = 10;
};
