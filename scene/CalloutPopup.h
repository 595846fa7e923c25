#pragma once

#include <QFrame>
#include <QPainterPath>

// A popup panel with a callout: a small triangle on its top edge that points
// up at the control it belongs to. Its content goes into Content(), which
// starts below the callout. The popup closes when the user clicks outside it
// or presses Escape. Outside its outline the popup is cut away (a window
// mask), so no square corners show where the desktop draws translucent
// windows opaque.
class TCalloutPopup : public QFrame
{
    Q_OBJECT
public:
    explicit TCalloutPopup(QWidget *AParent = nullptr);

    // The callout's width along the edge and its length away from it.
    void SetCallout(int AWidth, int ALength);
    int CalloutWidth() const { return FCalloutWidth; }
    int CalloutLength() const { return FCalloutLength; }

    // The widget that holds the popup's items (placed below the callout).
    QWidget *Content() const { return FContent; }

    // Opens the popup, AWidth × AHeight, below AAnchor and centred on it,
    // kept on AAnchor's screen.
    void PopupBelow(QWidget *AAnchor, int AWidth, int AHeight);

signals:
    void Closed();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    // The outline: the rounded body and the callout on its top edge.
    QPainterPath Shape() const;
    void UpdateMask();

    QWidget *FContent;
    int FCalloutWidth = 23;
    int FCalloutLength = 11;
    int FCalloutX = 0; // centre of the callout, in the popup's coordinates
};
