#pragma once

#include <QWidget>

class TTextItem;

// A small notice laid over a picture: one bold white line on a dark rounded
// panel that sizes itself to the text. TextItem() is the line.
class TNoticePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TNoticePanel(QWidget *AParent = nullptr);

    void SetText(const QString &AText);
    QString Text() const;
    TTextItem *TextItem() const { return FText; }
    // Places the panel in the middle of its parent and raises it.
    void CentreInParent();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    TTextItem *FText;
};
