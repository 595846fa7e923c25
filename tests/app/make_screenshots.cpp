// Takes the screenshots of docs/screenshots from the real window on the
// simulated camera: run it on an X server (scripts/screenshots.sh starts
// Xvfb at 1920 × 1080) with the output folder as its argument.
#include "DrawingScreenshots.h"
#include "app/AppStyle.h"
#include "app/MainForm.h"
#include "app/ProgramModules.h"
#include "app/dialogs/InfoForm.h"
#include "app/dialogs/SettingForm.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"
#include "scene/ImageButton.h"
#include "scene/ResolutionPopup.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QScreen>
#include <QTest>
#include <cstdio>

namespace {

bool WaitFor(const std::function<bool()> &ACondition, int AMs)
{
    QDeadlineTimer deadline(AMs);
    while (!ACondition() && !deadline.hasExpired())
        QTest::qWait(20);
    return ACondition();
}

// The whole screen, or the part around ADialog.
void Save(const QString &AFolder, const char *AName, const QWidget *ADialog = nullptr)
{
    QTest::qWait(300);
    QRect area = QGuiApplication::primaryScreen()->geometry();
    if (ADialog)
        area = ADialog->frameGeometry().adjusted(-60, -60, 60, 60);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                      area.width(), area.height());
    const QString path = AFolder + u'/' + QLatin1String(AName);
    if (!shot.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_screenshots <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    SetUpApplication(app);
    const TProgramModules modules;
    TMainForm form;
    if (!form.Created())
        return 1;
    form.show();
    QCursor::setPos(960, 700);
    if (!WaitFor(
            [&] {
                auto *w = form.VideoCap()->VideoWindow();
                return w && w->FramesPresented() > 5;
            },
            10000))
        std::fprintf(stderr, "no picture\n");
    Save(folder, "preview-menu.png");

    form.TabClick(TTabTag::Drawing);
    Save(folder, "drawing-menu.png");
    form.TabClick(TTabTag::Preview);
    TakeDrawingScreenshots(form, [&](const char *AName) { Save(folder, AName); });

    form.SetFullScreen(true);
    WaitFor([&] { return !form.MenuSliding(); }, 2000);
    QCursor::setPos(960, 0);
    WaitFor([&] { return form.vgSceneMenu->y() == 0 && !form.MenuSliding(); }, 2000);
    Save(folder, "fullscreen.png");
    QCursor::setPos(960, 700);
    form.SetFullScreen(false);

    // The resolution popup, opened by its button.
    form.PreviewMenuClick(form.MenuButton(QStringLiteral("btnPreview_Resolution")));
    WaitFor([&] { return form.PopupResolution->isVisible(); }, 2000);
    Save(folder, "resolution-popup.png");
    form.PopupResolution->hide();

    // A still of the picture beside the live picture.
    form.ShowImage(form.VideoCap()->VideoWindow()->CurrentImage());
    form.SetPreviewType(cptSplit);
    WaitFor(
        [&] {
            auto *w = form.VideoCap()->VideoWindow();
            return w && w->FramesPresented() > 5;
        },
        10000);
    Save(folder, "split-view.png");
    form.SetPreviewType(cptPreview);

    {
        TSettingForm settings(&form);
        settings.show();
        Save(folder, "settings-dialog.png", &settings);
    }
    {
        TInfoForm info(&form);
        info.show();
        Save(folder, "info-dialog.png", &info);
    }
    return 0;
}
