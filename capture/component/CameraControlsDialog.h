#pragma once

// The camera's controls as a dialog, built from what the camera reports:
// a slider with its value for each number, a check box for each switch, a
// list for each menu, each with a "Default" button. Every change is written
// to the camera at once (fitted to the control's step), so the running
// picture follows; a control the camera marks inactive (manual focus while
// it focuses by itself) is shown greyed.

#include "capture/devices/CameraControls.h"

#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QWidget;

class TCameraControlsDialog : public QDialog
{
    Q_OBJECT
public:
    TCameraControlsDialog(TCameraControlsPtr AControls, const QString &ACameraName,
                          QWidget *AParent = nullptr);

    // The editing widget of a control ("control_<id>"), null when the camera
    // does not offer it.
    QWidget *Editor(std::uint32_t AId) const;
    // Its "Default" button ("default_<id>").
    QWidget *DefaultButton(std::uint32_t AId) const;

private:
    struct TRow
    {
        TCameraControlInfo Info;
        QWidget *Editor = nullptr;
        QLabel *Value = nullptr; // numbers only
        QWidget *Default = nullptr;
        std::function<void(int)> Show; // puts a value on the editor, silently
    };
    void AddRow(const TCameraControlInfo &AInfo, class QGridLayout *AGrid, int ARow);
    void Write(TRow &ARow, int AValue);
    // Values and active states as the camera reports them now.
    void Refresh();

    TCameraControlsPtr FControls;
    std::vector<TRow> FRows;
};
