#pragma once

#include <QWidget>

// The panel that hosts the drawing canvas: it always fills with its own
// colour (black), whatever the style sheet says, so the area around the
// canvas stays black.
class TVclPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TVclPanel(QWidget *AParent = nullptr);

    QColor Color() const { return FColor; }
    void SetColor(const QColor &AColor);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QColor FColor{Qt::black};
};
