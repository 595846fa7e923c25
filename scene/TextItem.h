#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// One line of text in a colour and font, aligned in the widget; takes no
// mouse input. Text that does not fit is clipped at the widget's edges.
class TTextItem : public QWidget
{
    Q_OBJECT
public:
    explicit TTextItem(QWidget *AParent = nullptr);

    void SetText(const QString &AText);
    const QString &Text() const { return FText; }
    void SetColor(const QColor &AColor);
    const QColor &Color() const { return FColor; }
    void SetTextFont(const QFont &AFont);
    const QFont &TextFont() const { return FFont; }
    void SetAlignment(Qt::Alignment AValue);
    Qt::Alignment Alignment() const { return FAlignment; }
    // Text wider than the widget is drawn in a smaller font so that it fits.
    void SetShrinkToFit(bool AValue) { FShrinkToFit = AValue; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QString FText;
    QColor FColor{Qt::white};
    QFont FFont;
    Qt::Alignment FAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool FShrinkToFit = false;
};
