#pragma once

#include <QTimer>
#include <QWidget>

namespace karvo {

// A busy indicator over the canvas: a dark veil with a turning arc. While it
// shows, the canvas takes no input. Only the arc is repainted as it turns.
class LoadingOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingOverlay(QWidget *ACanvas);
    void setActive(bool AActive);

protected:
    void paintEvent(QPaintEvent *AEvent) override;
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    QRect spinnerRect() const;

    QTimer FTimer;
    int FAngle = 0;
};

} // namespace karvo
