#pragma once

// The camera-selection dialog: the attached cameras, one line each, and an
// Apply button. One line is always selected, and however the dialog closes
// (Apply, the window system, Escape) the selected line is the choice.

#include "support/CameraDiscovery.h"

#include <QDialog>

class QListWidget;
class QPushButton;

class TSelectForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectForm(QWidget *AParent = nullptr);

    // One line per camera, in list order; the first line is selected.
    void setCameraList(const TCameraList &AList);

    // The selected line's camera (empty, -1 and empty without lines).
    QString CameraName() const;
    int CameraIndex() const;
    QString CameraPath() const;
    TCameraEntry Camera() const;

    // Every way of closing applies the selected line.
    void reject() override;

    QListWidget *lbCameraList = nullptr;
    QPushButton *btnApply = nullptr;

protected:
    void closeEvent(QCloseEvent *AEvent) override;

private:
    void FormCreate();
    void KeepOneSelected();

    TCameraList FCameras;
};
