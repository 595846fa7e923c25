#pragma once

#include <QLabel>

// The text of the message box. Like a word-wrapped label, it breaks lines
// between words; a word wider than the box (a deep path without blanks) is
// broken anywhere rather than cut off at the edge. text() is the message as
// given.
class TMessageText : public QLabel
{
public:
    TMessageText(const QString &AText, QWidget *AParent);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int AWidth) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *AEvent) override;

private:
    // Lays the text out in AWidth and returns its height; draws it when
    // APainter is given.
    int Layout(int AWidth, QPainter *APainter) const;
};
