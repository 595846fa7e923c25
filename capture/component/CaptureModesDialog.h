#pragma once

// The camera's capture modes as a dialog: one line per mode text, the
// current one selected; OK takes the selected line.

#include "capture/engine/CameraBinding.h"

#include <QDialog>

class QListWidget;

class TCaptureModesDialog : public QDialog
{
    Q_OBJECT
public:
    TCaptureModesDialog(const std::vector<TVideoSizeItem> &AModes, const QString &ACurrent,
                        QWidget *AParent = nullptr);
    // The mode index of the selected line; -1 without one.
    int ChosenIndex() const;

    QListWidget *lbModes = nullptr;
};
