#pragma once

#include <QImage>
#include <QWidget>

// A tab of a menu bar: its image fills a shape with rounded top corners.
// Tabs may overlap; the one raised last is drawn in front.
class TTabButton : public QWidget
{
    Q_OBJECT
public:
    explicit TTabButton(QWidget *AParent = nullptr);

    void SetFill(const QImage &AImage);
    const QImage &Fill() const { return FFill; }
    // Outline colour; an invalid colour draws none.
    void SetOutline(const QColor &AColor);
    int Tag() const { return FTag; }
    void SetTag(int AValue) { FTag = AValue; }
    void SetCornerRadius(qreal AValue) { FRadius = AValue; }

signals:
    void Clicked(TTabButton *Sender);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage FFill;
    QColor FOutline;
    qreal FRadius = 5;
    int FTag = 0;
};
