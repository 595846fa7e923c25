// Ovilen: document camera viewer.
//
// Start-up in the program's order: data folders, settings, language table,
// the document cameras found; then a window with the live picture of the
// chosen document camera in the configured mode and rotation.
#include "app/CameraSelect.h"
#include "app/CommandLine.h"
#include "app/MessageDlg.h"
#include "capture/CustomVideoCap.h"
#include "support/CameraDiscovery.h"
#include "support/Common.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QVBoxLayout>
#include <QWidget>
#include <iostream>

namespace {

Q_LOGGING_CATEGORY(lcApp, "ovilen.app")

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> exitCode = HandleCommandLine(argc, argv, std::cout))
        return *exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ovilen"));

    InitFolders();
    Config = std::make_unique<TConfig>(PathData);
    Language = std::make_unique<TLanguage>();
    InitCameraList();

    int result = 0;
    {
        QWidget window;
        window.setWindowTitle(MessageCaption());
        window.resize(1280, 800);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *cap = new TCustomVideoCap(&window);
        layout->addWidget(cap);

        // The document camera chosen among those found, bound by its path.
        SelectCamera();
        if (SelectedCameraIndex < 0 || !cap->SetVideoDevicePath(SelectedCameraPath)) {
            ShowMessageDlg(MessageCaption(), Language->Msg.m_DeviceNotFound, TMsgDlgType::mtCustom,
                           mbOK, mrOk);
            return 1;
        }
        const TResolutionInfo format = ParseResolution(Config->VideoDevice.Format);
        if (!cap->setVideoSize(format.Width, format.Height, format.Codec)) {
            // Fall back to the largest MJPEG mode the camera offers.
            for (const TVideoSizeItem &item : cap->GetVideoSize()) {
                const TResolutionInfo mode = ParseResolution(item.Text);
                if (mode.Codec == QLatin1String("MJPG") &&
                    cap->setVideoSize(mode.Width, mode.Height, mode.Codec))
                    break;
            }
        }
        cap->SetVideoRotate(static_cast<TVideoRotationType>(Config->VideoRotate));
        // The picture keeps its proportions; each preview start fits it to the
        // window's height and centres it.
        cap->SetAspectRatio(true);
        cap->OnStartPreview = [firstFrame = true](TCustomVideoCap *Sender) mutable {
            Sender->Centre();
            if (firstFrame)
                qCInfo(lcApp) << "first frame shown";
            firstFrame = false;
        };
        cap->OnError = [](TCustomVideoCap *) {
            ShowMessageDlg(MessageCaption(), Language->Msg.m_DeviceNotFound, TMsgDlgType::mtCustom,
                           mbOK, mrOk);
        };
        window.show();
        cap->StartPreview();
        result = QApplication::exec();
    }

    Config->Save();
    Language.reset();
    Config.reset();
    return result;
}
