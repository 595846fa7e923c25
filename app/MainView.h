#pragma once

// What the preview commands need of the main window. TMainForm implements it;
// the commands hold only this interface, so each command runs and is tested
// without the whole window (tests give a small implementation of their own).
// Every method is called on the UI thread and returns without waiting for a
// worker; the dialog methods run a modal loop and return when it closes.

#include "app/MenuTags.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// What the preview work area shows: nothing yet, the live picture alone, the
// live picture beside a still image, a still image alone.
enum TCustomPreviewType : std::uint8_t
{
    cptNone,
    cptPreview,
    cptSplit,
    cptImage,
};

// One line of the resolution popup.
struct TResolutionItem
{
    QString TagText;      // the mode as the capture component lists it ("1600x1200 (MJPG)")
    QString Text;         // what the line shows ("1600x1200")
    bool Current = false; // the mode in use: drawn bold and dark
};

class IMainView
{
public:
    virtual ~IMainView() = default;

    // ---- menu buttons and tabs, by their tags (TPreviewTag::Record, TTabTag::Drawing) ----

    // Enabled: opaque and takes the mouse; disabled: half opacity, ignores
    // the mouse.
    virtual void SetButtonEnabled(TControlId AControl, bool AEnabled) = 0;
    // The pressed (down) look of a menu button.
    virtual void SetButtonPressed(TMenuButtonId AButton, bool APressed) = 0;
    // Loads the button's normal, pressed and hot images from the skin names
    // ABaseName + "N", + "D", + "O" ("RES_PREVIEW_MENU_STOP_").
    virtual void SetButtonImages(TMenuButtonId AButton, const QString &ABaseName) = 0;

    // ---- notices over the work area ----

    // The "please wait" notice of the current work area (none without a menu).
    virtual void ShowWaiting(bool AValue) = 0;
    // The "capturing" notice over the live picture.
    virtual void ShowCapturing(bool AValue) = 0;

    // ---- status texts ----

    // txtZoom.
    virtual void SetZoomText(const QString &AText) = 0;
    // txtResolution := AText, and LayoutResInfo shown.
    virtual void SetResolutionText(const QString &AText) = 0;
    // txtRecordTime's text and visibility.
    virtual void SetRecordTime(const QString &AText, bool AVisible) = 0;

    // ---- the preview work area ----

    // Shows and places pnlVideo, Splitter and pnlImage for AType, the
    // caller's new preview type: cptPreview the live picture alone; cptSplit
    // the image docked left at half the area's width, the splitter at its
    // right edge, the live picture beside it; cptImage the image filling the
    // area. Layout only: the live picture is paused and resumed by the
    // caller, which also owns the type (the window asks it again when it is
    // resized).
    virtual void SetPreviewLayout(TCustomPreviewType AType) = 0;
    // Replaces the picture of the image viewer (imgViewer); its scale stays.
    virtual void ShowImage(const QImage &AImage) = 0;
    // The image viewer's scale factor (1.0 at start).
    virtual double ImageScale() const = 0;
    virtual void SetImageScale(double AScale) = 0;

    // ---- full screen ----

    virtual bool FullScreen() const = 0;
    // Full screen on or off, with the sliding menu and the button's images.
    virtual void SetFullScreen(bool AValue) = 0;
    // Shows or hides the menu bar (vgSceneMenu) at once, without sliding.
    virtual void SetMenuVisible(bool AValue) = 0;

    // ---- the camera ----

    // Binds the chosen camera (by its device path) in the capture component,
    // whose live picture is stopped. False when the component lists no
    // camera or the chosen one cannot be bound: the program cannot go on.
    virtual bool BindCamera() = 0;

    // ---- dialogs and messages ----

    // The settings dialog, modal; its camera-settings button opens the
    // camera's controls dialog.
    virtual void ShowSettingDialog() = 0;
    // Reads the camera list again; with more than one camera lets the user
    // choose (camera-selection dialog) and returns true, the caller then
    // reopens the camera. False with one camera or none.
    virtual bool ChooseCamera() = 0;
    // Opens the chosen camera afresh, after the current handler has returned
    // (the posted open-camera message).
    virtual void PostOpenCamera() = 0;
    // An information message through ShowMessageDlg (caption "오빌렌", OK).
    virtual void ShowInformation(const QString &AText) = 0;
    // A modal file-open dialog with a filter such as "Image|*.PNG;*.JPG|Movie|*.MP4";
    // the chosen file, or an empty text when cancelled.
    virtual QString OpenFileDialog(const QString &AFilter) = 0;
    // Opens the resolution popup below btnPreview_Resolution with AItems
    // (empty: no lines and no label). A click on a line closes the popup and
    // then calls AOnChoose with that line's TagText.
    virtual void ShowResolutionPopup(const std::vector<TResolutionItem> &AItems,
                                     std::function<void(const QString &ATagText)> AOnChoose) = 0;
};
