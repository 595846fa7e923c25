#include "scene/SceneButton.h"

#include <QMouseEvent>

TSceneButton::TSceneButton(QWidget *AParent)
    : QWidget(AParent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TSceneButton::Click()
{
    emit Clicked(this);
}

void TSceneButton::ResetMouse()
{
    FHover = FDown = false;
    update();
}

void TSceneButton::enterEvent(QEnterEvent *)
{
    FHover = true;
    update();
}

void TSceneButton::leaveEvent(QEvent *)
{
    FHover = false;
    update();
}

void TSceneButton::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    FDown = FHover = true;
    update();
}

void TSceneButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !FDown)
        return;
    FDown = false;
    FHover = rect().contains(e->position().toPoint());
    update();
    if (FHover)
        Click();
}
