#pragma once

#include <QWidget>

// What every button of the scene shares: a tag, the mouse being over it or
// pressing it, and Clicked on a left-button release inside it. A press is
// taken by the button, so it never reaches the bar beneath.
class TSceneButton : public QWidget
{
    Q_OBJECT
public:
    explicit TSceneButton(QWidget *AParent = nullptr);

    int Tag() const { return FTag; }
    void SetTag(int AValue) { FTag = AValue; }
    bool Hover() const { return FHover; }
    bool Down() const { return FDown; }

signals:
    void Clicked(TSceneButton *Sender);

protected:
    // A left-button release inside the button; emits Clicked.
    virtual void Click();
    // Forgets hover and press (a button that stops taking the mouse).
    void ResetMouse();

    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    int FTag = 0;
    bool FHover = false;
    bool FDown = false;
};
