#pragma once

// A main window reduced to what the preview commands see of it: every call
// is recorded as state the tests read, and the dialogs answer as the test
// sets them up.

#include "app/MainView.h"

#include <QStringList>
#include <map>

class TTestMainView : public IMainView
{
public:
    void SetButtonEnabled(const QString &AName, bool AEnabled) override
    {
        Enabled[AName] = AEnabled;
    }
    void SetButtonPressed(const QString &AName, bool APressed) override
    {
        Pressed[AName] = APressed;
    }
    void SetButtonImages(const QString &AName, const QString &ABaseName) override
    {
        Images[AName] = ABaseName;
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

    bool IsEnabled(const char *name) const
    {
        const auto it = Enabled.find(QLatin1String(name));
        return it == Enabled.end() || it->second; // a control starts enabled
    }
    bool IsPressed(const char *name) const
    {
        const auto it = Pressed.find(QLatin1String(name));
        return it != Pressed.end() && it->second;
    }

    std::map<QString, bool> Enabled, Pressed;
    std::map<QString, QString> Images;
    bool Waiting = false, Capturing = false, RecordTimeVisible = false;
    int CapturingShown = 0;
    QString ZoomText = QStringLiteral("100%"), ResolutionText, RecordTime;
    TCustomPreviewType Layout = cptNone;
    QImage Image;
    double Scale = 1.0;
    bool FullScreenOn = false, MenuVisible = true;
    int SettingDialogs = 0, CameraChoices = 0, OpenCameraPosts = 0, PopupsShown = 0;
    bool CameraChosen = false;
    QStringList Messages;
    QString FileToOpen, LastFilter;
    std::vector<TResolutionItem> PopupItems;
    std::function<void(const QString &)> ChooseResolution;
};
