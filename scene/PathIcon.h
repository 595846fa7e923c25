#pragma once

#include <QColor>
#include <QPainterPath>
#include <QWidget>

// A small icon drawn from a vector path: the path's outline in one colour,
// scaled uniformly to fit the widget and centred. Takes no mouse input.
class TPathIcon : public QWidget
{
    Q_OBJECT
public:
    explicit TPathIcon(QWidget *AParent = nullptr);

    void SetPath(const QPainterPath &APath, const QColor &AColor, qreal AWidth);
    const QPainterPath &Path() const { return FPath; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPainterPath FPath;
    QColor FColor{Qt::white};
    qreal FWidth = 1.5;
};
