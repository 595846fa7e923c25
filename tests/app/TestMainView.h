#pragma once

// A main window reduced to what the preview commands see of it: every call
// is recorded as state the tests read, and the dialogs answer as the test
// sets them up.

#include "app/MainView.h"
#include "app/MenuTable.h"

#include <QStringList>
#include <map>
#include <string>

// A control's name in a test's message.
inline std::string NameOf(TControlId AControl)
{
    const QLatin1String name = ControlName(AControl);
    return name.isEmpty() ? std::string("(no control)") : std::string(name.data(), name.size());
}

class TTestMainView : public IMainView
{
public:
    void SetButtonEnabled(TControlId AControl, bool AEnabled) override
    {
        Enabled[AControl] = AEnabled;
    }
    void SetButtonPressed(TMenuButtonId AButton, bool APressed) override
    {
        Pressed[AButton] = APressed;
    }
    void SetButtonImages(TMenuButtonId AButton, const QString &ABaseName) override
    {
        Images[AButton] = ABaseName;
    }
    void ShowWaiting(bool AValue) override { Waiting = AValue; }
    void ShowCapturing(bool AValue) override
    {
        Capturing = AValue;
        CapturingShown += AValue ? 1 : 0;
    }
    void SetZoomText(const QString &AText) override { ZoomText = AText; }
    void SetResolutionText(const QString &AText) override { ResolutionText = AText; }
    void SetRecordTime(const QString &AText, bool AVisible) override
    {
        RecordTime = AText;
        RecordTimeVisible = AVisible;
    }
    void SetPreviewLayout(TCustomPreviewType AType) override { Layout = AType; }
    void ShowImage(const QImage &AImage) override { Image = AImage; }
    double ImageScale() const override { return Scale; }
    void SetImageScale(double AScale) override { Scale = AScale; }
    bool FullScreen() const override { return FullScreenOn; }
    void SetFullScreen(bool AValue) override { FullScreenOn = AValue; }
    void SetMenuVisible(bool AValue) override { MenuVisible = AValue; }
    void ShowSettingDialog() override { ++SettingDialogs; }
    bool ChooseCamera() override
    {
        ++CameraChoices;
        return CameraChosen;
    }
    void PostOpenCamera() override { ++OpenCameraPosts; }
    bool BindCamera() override
    {
        ++CameraBinds;
        return CameraBound;
    }
    void ShowInformation(const QString &AText) override { Messages << AText; }
    QString OpenFileDialog(const QString &AFilter) override
    {
        LastFilter = AFilter;
        return FileToOpen;
    }
    void ShowResolutionPopup(const std::vector<TResolutionItem> &AItems,
                             std::function<void(const QString &)> AOnChoose) override
    {
        PopupItems = AItems;
        ChooseResolution = std::move(AOnChoose);
        ++PopupsShown;
    }

    bool IsEnabled(TControlId AControl) const
    {
        const auto it = Enabled.find(AControl);
        return it == Enabled.end() || it->second; // a control starts enabled
    }
    bool IsPressed(TMenuButtonId AButton) const
    {
        const auto it = Pressed.find(AButton);
        return it != Pressed.end() && it->second;
    }

    std::map<TControlId, bool> Enabled;
    std::map<TMenuButtonId, bool> Pressed;
    std::map<TMenuButtonId, QString> Images;
    bool Waiting = false, Capturing = false, RecordTimeVisible = false;
    int CapturingShown = 0;
    QString ZoomText = QStringLiteral("100%"), ResolutionText, RecordTime;
    TCustomPreviewType Layout = cptNone;
    QImage Image;
    double Scale = 1.0;
    bool FullScreenOn = false, MenuVisible = true;
    int SettingDialogs = 0, CameraChoices = 0, OpenCameraPosts = 0, PopupsShown = 0;
    int CameraBinds = 0;
    bool CameraChosen = false, CameraBound = true;
    QStringList Messages;
    QString FileToOpen, LastFilter;
    std::vector<TResolutionItem> PopupItems;
    std::function<void(const QString &)> ChooseResolution;
};
