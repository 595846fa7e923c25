#include "app/CameraSelect.h"

#include "app/dialogs/SelectForm.h"
#include "support/CameraDiscovery.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

void SelectCamera(QWidget *AParent)
{
    if (CameraList.isEmpty())
        return;
    if (CameraList.size() == 1) {
        SetSelectedCamera(CameraList.front());
        return;
    }
    TSelectForm form;
    form.setCameraList(CameraList);
    // Centred over the main window once it is shown, else on the screen.
    const QScreen *screen = AParent ? AParent->screen() : QGuiApplication::primaryScreen();
    const QRect area = AParent && AParent->isVisible() ? AParent->frameGeometry()
                       : screen                        ? screen->availableGeometry()
                                                       : QRect();
    if (!area.isEmpty())
        form.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, form.size(), area));
    form.exec();
    SetSelectedCamera(form.Camera());
}
