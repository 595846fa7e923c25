#pragma once

#include <QDialog>

class TTextItem;

// The information form: the program's logo, name and version on white.
// Escape or a click anywhere closes it.
class TInfoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TInfoForm(QWidget *AOwner = nullptr);

    QWidget *vgScene1;
    QWidget *Image1;
    TTextItem *txtProgram;
    TTextItem *txtLine1;
    TTextItem *txtLine2;

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;
};
