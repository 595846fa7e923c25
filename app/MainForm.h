#pragma once

// The main window: a borderless window with the skinned menu bar at the top
// and the preview or drawing work area below it. It owns the capture
// component, the drawing canvas, the USB notifier and the menu-slide timer,
// and wires the small pieces that draw the menu bar (scene/) and the two
// menus' command objects (PreviewCommands.h, DrawingCommands.h), which see
// it through IMainView and IDrawingView. Each section of the class below
// names the file that implements it.
//
// Everything here runs on the UI thread; nothing waits for a worker.

#include "app/DrawingView.h"
#include "app/MainTypes.h"
#include "app/MainView.h"
#include "app/MenuTable.h"
#include "support/Common.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QEvent;
class TPreviewCommands;
class TDrawingCommands;
class TComponentUSB;
class TCustomVideoCap;
class TKARVOCanvas;
class TVclPanel;
class TImageButton;
class TGlyphButton;
class TTabButton;
class TGradientPanel;
class TTextItem;
class TPathIcon;
class TNoticePanel;
class TImageViewer;
class TCalloutPopup;
class TResolutionPopup;

// The open-camera message, posted to the main window.
constexpr int WM_OPENCAMERA = 1025;

// The height of the menu bar (LayoutMenu + LayoutSubMenu), set by FormCreate.
extern int MenuHeight;

// Ends the program's own process at once: nothing is saved and no window is
// asked. A recording that runs is finished first, so its file stays playable.
void TerminateSelf();
// What TerminateSelf finally does; std::_Exit(1) unless a test replaces it.
extern std::function<void()> TerminateProc;

class TMainForm : public QWidget, public IMainView, public IDrawingView
{
    Q_OBJECT

    // ---- life: creation, the open-camera message, closing (MainForm.cpp) ----
public:
    // Runs FormCreate. When it ended the program (no camera, no skin) with a
    // TerminateProc that returns, Created() is false.
    explicit TMainForm(QWidget *AParent = nullptr);
    ~TMainForm() override; // FormDestroy
    bool Created() const { return FCreated; }

    // The skin package LoadSkin opens; empty: "Resource.rcc" beside the
    // executable.
    static inline QString SkinFile;

    void InitVariables();
    // The open-camera message: the camera command's enabling and the
    // program's end when no camera can be bound; the preview commands open
    // the camera and start the picture.
    void WMOpenCamera();
    void PostOpenCamera() override;

    // Ends the program as a normal close does, without the exit question: a
    // recording is finished, the settings are saved by the caller of the
    // event loop. Used for SIGTERM and SIGINT.
    void CloseWithoutQuestion();
    // Runs ANext at once, or, while a recording runs or its file is still
    // being finished, stops it and runs ANext once the file is complete. The
    // event loop keeps running meanwhile.
    void FinishRecordingThen(std::function<void()> ANext);

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;   // FormShow
    void closeEvent(QCloseEvent *e) override; // FormCloseQuery
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    bool FormCreate();
    void FormShow();
    void FormDestroy();

    // ---- the cameras: choosing, binding, following (MainFormCamera.cpp) ----
public:
    void UsbChanged();
    bool BindCamera() override;
    bool ChooseCamera() override;

private:
    bool BindSelectableCamera();
    int CameraCount() const;

    // ---- controls, skin, menus and their clicks (MainFormControls.cpp) ----
public:
    bool LoadSkin();
    void InitControls();
    void SetMenuType(TCustomMenuType Value);
    void SetMenuAlign(TCustomMenuAlign Value);
    // Loads a button's three images from ABase + "N", "D", "O".
    void LoadButtonImages(TImageButton *AButton, const QString &ABase);
    // The menu button of that object name ("btnPreview_Capture"), or null.
    TImageButton *MenuButton(const QString &AName) const;
    // The menu button of a tag, or null for a value of no button.
    TImageButton *MenuButton(TMenuButtonId AButton) const;
    std::vector<TImageButton *> MenuButtons() const { return FMenuButtons; }

    // Handlers. A button's integer tag is mapped through the menu table; a
    // tag of no command does nothing.
    void TabClick(TTabTag ATag);
    void PreviewMenuClick(TImageButton *AButton);
    void DrawingMenuClick(TImageButton *AButton);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void CreateControls();
    void CreateMenuButtons();
    qreal SkinRatioOfScreen() const;
    void SkinRatioCheck();
    void LoadTabFills(TCustomMenuType AType);

    // ---- the chrome: window states, full screen, drag and resize
    // (MainFormChrome.cpp) ----
public:
    void SetCustomWindowState(TCustomWindowState Value);
    void SetFullScreen(bool Value) override;
    void SlideMenu(bool Hide);
    void SystemButtonClick(TSystemTag ATag);
    void TimerMenuTimer();
    void ApplicationEvents1Idle();

protected:
    void mousePressEvent(QMouseEvent *e) override; // EdgeMouseDown
    void mouseMoveEvent(QMouseEvent *e) override;  // EdgeMouseMove

private:
    void LayoutMenuMouseDown(const QPointF &AGlobalPos);
    Qt::Edges EdgeAt(const QPoint &APos) const;
    void SetWindowBounds(const QRect &ABounds);
    void SetWindowGlyphs();

    // ---- placement of the controls (MainFormLayout.cpp) ----
protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void PlaceControls();
    void PlaceMenuBar();
    // The preview area is laid out for the preview commands' type.
    void PlaceWorkAreas();

    // ---- the view the preview commands use (MainFormView.cpp) ----
public:
    // What the preview area shows: the preview commands own it.
    void SetPreviewType(TCustomPreviewType Value);
    TCustomPreviewType PreviewType() const;
    void InitWaitTexts();
    // Enables or disables a menu control (opacity, hit-testing, enabled).
    void SetButtonEnabled(QWidget *AControl, bool AEnabled);
    void SetButtonEnabled(TControlId AControl, bool AEnabled) override;
    void SetButtonPressed(TMenuButtonId AButton, bool APressed) override;
    void SetButtonImages(TMenuButtonId AButton, const QString &ABaseName) override;
    void ShowWaiting(bool Value) override;
    void ShowCapturing(bool Value) override;
    void SetZoomText(const QString &AText) override;
    void SetResolutionText(const QString &AText) override;
    void SetRecordTime(const QString &AText, bool AVisible) override;
    void SetPreviewLayout(TCustomPreviewType AType) override;
    void ShowImage(const QImage &AImage) override;
    double ImageScale() const override;
    void SetImageScale(double AScale) override;
    bool FullScreen() const override { return FFullScreen; }
    void SetMenuVisible(bool AValue) override;
    void ShowSettingDialog() override;
    void ShowInformation(const QString &AText) override;
    QString OpenFileDialog(const QString &AFilter) override;
    void ShowResolutionPopup(const std::vector<TResolutionItem> &AItems,
                             std::function<void(const QString &ATagText)> AOnChoose) override;
    void imgIconClick();

private:
    // A menu button or a tab; null for a value of no control.
    QWidget *Control(TControlId AControl) const;

    // ---- the view the drawing commands use (MainFormDrawing.cpp) ----
public:
    QImage PreviewPicture() override;
    QSize DrawingAreaSize() const override;
    QSize CanvasPanelSize() const override;
    void MaximizeWindow() override;
    QWidget *DrawingButton(TDrawingTag ATag) override;
    QWidget *CanvasHost() override;
    QWidget *PopupParent() override { return this; }

    // ---- hooks, state and parts (read by command objects and tests) ----
public:
    // The command handlers of the two menus, called with the clicked
    // button's tag. Unassigned, a click does nothing.
    std::function<void(TPreviewTag ATag)> OnPreviewCommand;
    std::function<void(TDrawingTag ATag)> OnDrawingCommand;
    // Entering the drawing menu: the current picture becomes the canvas
    // background (before the drawing area is shown).
    std::function<void()> OnCaptureForDrawing;
    // The settings dialog's camera button: opens the camera's controls
    // dialog over AOwner.
    std::function<void(QWidget *AOwner)> OnVideoSetting;

    TCustomMenuType MenuType() const { return FMenuType; }
    TCustomMenuAlign MenuAlign() const { return FMenuAlign; }
    TCustomWindowState CustomWindowState() const { return FCustomWindowState; }
    bool MenuSliding() const { return FTimerMenu.isActive(); }
    int TimerMenuStep() const { return FTimerMenuStep; }
    QRect OldBound() const { return FOldBound; }
    QRect OldBound2() const { return FOldBound2; }
    TPreviewCommands *PreviewCommands() const { return FPreviewCommands.get(); }
    TDrawingCommands *DrawingCommands() const { return FDrawingCommands.get(); }
    TCustomVideoCap *VideoCap() const { return FVideoCap; }
    TComponentUSB *ComponentUSB() const { return FComponentUSB.get(); }
    TKARVOCanvas *Canvas() const { return FKARVOCanvas.get(); }

    // Controls; each one's object name is its field name.
    QWidget *vgSceneMenu = nullptr;
    QWidget *LayoutMenu = nullptr;
    QWidget *Layout29 = nullptr;
    QWidget *LayoutSystem = nullptr;
    QWidget *LayoutSubMenu = nullptr;
    TGradientPanel *rectSubMenu = nullptr;
    QWidget *layoutMenuPreview = nullptr;
    QWidget *LayoutMenuDrawing = nullptr;
    QWidget *LayoutZoom = nullptr;
    QWidget *LayoutResInfo = nullptr;
    QWidget *LayoutZoomInfo = nullptr;
    TImageButton *imgIcon = nullptr;
    TTabButton *tabPreview = nullptr;
    TTabButton *tabDrawing = nullptr;
    TGlyphButton *btnSystemMin = nullptr;
    TGlyphButton *btnSystemMax = nullptr;
    TGlyphButton *btnSystemClose = nullptr;
    QWidget *winpopupResolution = nullptr;
    TTextItem *txtRecordTime = nullptr;
    TTextItem *txtResolution = nullptr;
    TTextItem *txtZoom = nullptr;
    TPathIcon *imgResolution = nullptr;
    TPathIcon *imgZoom = nullptr;
    QWidget *pnlPreview = nullptr;
    QWidget *pnlVideo = nullptr;
    QWidget *Splitter = nullptr;
    QWidget *pnlImage = nullptr;
    TImageViewer *imgViewer = nullptr;
    TNoticePanel *pnlPreviewLoading = nullptr;
    QWidget *pnlDrawing = nullptr;
    QWidget *pnlCanvas = nullptr;
    TNoticePanel *pnlDrawingLoading = nullptr;
    TResolutionPopup *PopupResolution = nullptr;
    TCalloutPopup *PopupPenOption = nullptr;
    TCalloutPopup *PopupEraserTool = nullptr;
    TCalloutPopup *PopupBoardTool = nullptr;
    TCalloutPopup *PopupShapeTool = nullptr;

private:
    // ---- the window's state ----
    TCustomVideoCap *FVideoCap = nullptr;
    std::unique_ptr<TKARVOCanvas> FKARVOCanvas;
    TCustomMenuType FMenuType = cmtNone;
    TCustomMenuAlign FMenuAlign = cmaNone;
    QTimer FTimerMenu;
    QTimer FIdleCheck; // polls the cursor while full screen is on
    int FTimerMenuStep = 0;
    bool FFullScreen = false;
    QRect FOldBound;
    QRect FOldBound2;
    bool FFirst = true;
    TCustomWindowState FCustomWindowState = cwsNormal;
    std::unique_ptr<TComponentUSB> FComponentUSB;
    TVclPanel *FVclPanel = nullptr;

    // ---- our own ----
    std::unique_ptr<TPreviewCommands> FPreviewCommands;
    std::unique_ptr<TDrawingCommands> FDrawingCommands;
    bool FCreated = false;
    bool FCloseAsked = false; // a close without the exit question is under way
    bool FClosing = false;
    bool FFirstFrameLogged = false;
    std::vector<TImageButton *> FMenuButtons;
    qreal FSkinRatio = 1.0; // device pixel ratio the images were loaded for
};
