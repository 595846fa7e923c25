#pragma once

#include "scene/TextItem.h"

// A line of text that can be clicked (an item of a popup list).
class TTextButton : public TTextItem
{
    Q_OBJECT
public:
    explicit TTextButton(QWidget *AParent = nullptr);

    void SetTagText(const QString &AValue) { FTagText = AValue; }
    const QString &TagText() const { return FTagText; }

signals:
    void Clicked(TTextButton *Sender);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString FTagText;
};
