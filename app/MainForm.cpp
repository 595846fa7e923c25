// The main window's life: creation, the first show, the open-camera
// message, closing and the forced end.
#include "app/MainForm.h"

#include "app/AppLog.h"
#include "app/DrawingCommands.h"
#include "app/MessageDlg.h"
#include "app/PreviewCommands.h"
#include "app/VclPanel.h"
#include "canvas/TKARVOCanvas.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"
#include "scene/ImageButton.h"
#include "scene/NoticePanel.h"
#include "support/ComponentUSB.h"
#include "support/Config.h"
#include "support/CustomResource.h"
#include "support/Language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <cstdlib>
#include <utility>

int MenuHeight = 0;

std::function<void()> TerminateProc = [] {
    std::_Exit(1);
};

namespace {

// The window that a forced end finishes a recording of.
QPointer<TMainForm> TheMainForm;

// How long a finishing recording may take before the program ends anyway.
constexpr int FinishRecordingLimitMs = 15000;
constexpr int FinishRecordingPollMs = 20;

} // namespace

void TerminateSelf()
{
    if (TheMainForm)
        TheMainForm->FinishRecordingThen([] { TerminateProc(); });
    else
        TerminateProc();
}

TMainForm::TMainForm(QWidget *AParent)
    : QWidget(AParent, Qt::Window | Qt::FramelessWindowHint)
{
    TheMainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    setAccessibleName(MessageCaption());
    FCreated = FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

bool TMainForm::FormCreate()
{
    if (!BindSelectableCamera()) {
        ShowInformation(Language->Msg.m_DeviceNotFound);
        TerminateSelf();
        return false;
    }
    MenuHeight = MenuGeometry::MenuBarHeight;
    QApplication::setApplicationDisplayName(MessageCaption());
    setWindowTitle(MessageCaption());
    resize(MenuGeometry::DesignWidth, MenuGeometry::DesignHeight);
    setMinimumSize(MenuGeometry::MinWidth, MenuGeometry::MinHeight);
    setMouseTracking(true);

    CreateControls();
    if (!LoadSkin()) {
        ShowInformation(Language->Msg.m_ResourceNotFound);
        TerminateSelf();
        return false;
    }
    InitVariables();
    InitControls();
    InitWaitTexts();
    SetMenuType(cmtPreview);
    SetMenuAlign(cmaTop);
    SetPreviewType(cptPreview);
    ShowWaiting(false);
    FDrawingCommands->SelectStartPen();

    // The window opens stretched over the work area; the first restore gives
    // the window's own size centred on the screen.
    const QSize initial = size();
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.topLeft());
        SetCustomWindowState(cwsMax);
        const QRect whole = screen->geometry();
        FOldBound2 = QRect(whole.left() + whole.width() / 2 - initial.width() / 2,
                           whole.top() + whole.height() / 2 - initial.height() / 2, initial.width(),
                           initial.height());
    }
    FVideoCap->Init();
    FVideoCap->SetAspectRatio(true);
    return true;
}

void TMainForm::InitVariables()
{
    FFullScreen = false;
    FFirst = true;
    FMenuType = cmtNone;
    FMenuAlign = cmaNone;

    FTimerMenu.setInterval(MenuGeometry::SlideIntervalMs);
    FTimerMenu.setTimerType(Qt::PreciseTimer);
    connect(&FTimerMenu, &QTimer::timeout, this, &TMainForm::TimerMenuTimer);
    // In full screen the cursor is looked at every 50 ms; no idle loop runs.
    FIdleCheck.setInterval(MenuGeometry::SlideIntervalMs);
    connect(&FIdleCheck, &QTimer::timeout, this, &TMainForm::ApplicationEvents1Idle);

    FVclPanel = new TVclPanel(pnlCanvas);
    FVclPanel->setObjectName(QStringLiteral("FVclPanel"));
    FKARVOCanvas = std::make_unique<TKARVOCanvas>(FVclPanel);
    FKARVOCanvas->SetUndoCount(10);
    FKARVOCanvas->setShowLoading(false);

    FVideoCap = new TCustomVideoCap(pnlVideo);
    FVideoCap->setObjectName(QStringLiteral("FVideoCap"));
    // The preview commands answer the component's events; the window only
    // watches for the picture window to log the first frame painted.
    FPreviewCommands = std::make_unique<TPreviewCommands>(*FVideoCap, *Config, *Language, *this);
    OnPreviewCommand = [this](TPreviewTag ATag) {
        FPreviewCommands->PreviewMenuClick(ATag);
    };
    // The settings dialog's camera button opens the camera's controls.
    OnVideoSetting = [this](QWidget *AOwner) {
        FVideoCap->ShowDialog_Filter(AOwner);
    };
    FVideoCap->installEventFilter(this);
    pnlPreviewLoading->raise();

    // The drawing commands drive the canvas and make the drawing popups.
    FDrawingCommands = std::make_unique<TDrawingCommands>(*FKARVOCanvas, *Language, *this, *this);
    OnDrawingCommand = [this](TDrawingTag ATag) {
        FDrawingCommands->DrawingMenuClick(ATag);
    };
    OnCaptureForDrawing = [this] {
        FDrawingCommands->CaptureForDrawing();
    };
    TDrawingPopups &popups = FDrawingCommands->Popups();
    popups.LoadSkin(*SkinResource, FSkinRatio);
    PopupPenOption = &popups.PenOption;
    PopupEraserTool = &popups.EraserTool;
    PopupBoardTool = &popups.BoardTool;
    PopupShapeTool = &popups.ShapeTool;
    FComponentUSB = std::make_unique<TComponentUSB>();
    FComponentUSB->OnUSBChanage = [this] {
        UsbChanged();
    };
}

void TMainForm::FormDestroy()
{
    TheMainForm = nullptr;
    FTimerMenu.stop();
    if (FVideoCap) {
        if (FVideoCap->Recording())
            FVideoCap->StopRecord();
        if (FVideoCap->Previewing())
            FVideoCap->StopPreview();
        // The command objects detach from the component's events and drop
        // their hold on it first; the window's event filter looks at
        // FVideoCap, so it is cleared before the component's destructor
        // sends its last events.
        FPreviewCommands.reset();
        FDrawingCommands.reset();
        TCustomVideoCap *cap = std::exchange(FVideoCap, nullptr);
        cap->removeEventFilter(this);
        delete cap;
    }
    FDrawingCommands.reset();
    FKARVOCanvas.reset();
    FComponentUSB.reset();
}

void TMainForm::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
}

void TMainForm::FormShow()
{
    if (!FFirst)
        return;
    FFirst = false;
    PostOpenCamera();
}

void TMainForm::PostOpenCamera()
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(WM_OPENCAMERA)));
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::Type(WM_OPENCAMERA)) {
        WMOpenCamera();
        return true;
    }
    // Sent once the window is on another screen (its ratio is then the new
    // screen's) and, on newer Qt, when a screen's scale changes.
    if (e->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        || e->type() == QEvent::DevicePixelRatioChange
#endif
    )
        QTimer::singleShot(0, this, &TMainForm::SkinRatioCheck);
    return QWidget::event(e);
}

void TMainForm::WMOpenCamera()
{
    if (FClosing)
        return;
    SetButtonEnabled(TPreviewTag::Camera, CameraCount() > 1);
    if (!FPreviewCommands->OpenCamera()) {
        ShowInformation(Language->Msg.m_DeviceNotFound);
        TerminateSelf();
    }
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    if (FCloseAsked) {
        e->accept();
        return;
    }
    e->ignore();
    if (FClosing)
        return;
    if (ShowMessageDlg(MessageCaption(), Language->Msg.q_Exit, TMsgDlgType::mtCustom, mbYes | mbNo,
                       mrNo) != mrYes)
        return;
    CloseWithoutQuestion();
}

void TMainForm::CloseWithoutQuestion()
{
    // The close runs from the event loop: a close asked inside closeEvent
    // would be ignored.
    FinishRecordingThen([this] {
        FCloseAsked = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
}

void TMainForm::FinishRecordingThen(std::function<void()> ANext)
{
    if (FClosing)
        return;
    if (!FVideoCap || (!FVideoCap->Recording() && !FVideoCap->RecordFinishing())) {
        ANext();
        return;
    }
    FClosing = true;
    if (FVideoCap->Recording())
        FVideoCap->StopRecord();
    // The encoder finishes the file on its own thread; the window keeps
    // painting meanwhile.
    auto *poll = new QTimer(this);
    poll->setInterval(FinishRecordingPollMs);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    connect(poll, &QTimer::timeout, this, [this, poll, started, next = std::move(ANext)] {
        if (FVideoCap->RecordFinishing() && started->elapsed() < FinishRecordingLimitMs)
            return;
        poll->deleteLater();
        FClosing = false;
        next();
    });
    poll->start();
}

bool TMainForm::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    if (AWatched == LayoutMenu && AEvent->type() == QEvent::MouseButtonPress) {
        LayoutMenuMouseDown(static_cast<QMouseEvent *>(AEvent)->globalPosition());
        return true;
    }
    // Each start of the pipeline makes a new picture window; the first one
    // that paints a frame is logged once.
    if (AWatched == FVideoCap && AEvent->type() == QEvent::ChildAdded && !FFirstFrameLogged)
        if (auto *child = static_cast<QChildEvent *>(AEvent)->child(); child->isWidgetType())
            child->installEventFilter(this);
    // (Only a paint event looks at the watched widget: other events, such as
    // those of its destruction, may come from a widget half gone.)
    if (AEvent->type() == QEvent::Paint && !FFirstFrameLogged)
        if (auto *window = qobject_cast<TVideoWindow *>(AWatched);
            window && window->FramesPresented() > 0) {
            FFirstFrameLogged = true;
            window->removeEventFilter(this);
            // Logged once the paint is done.
            QMetaObject::invokeMethod(
                this, [] { qCInfo(lcApp, "first frame shown"); }, Qt::QueuedConnection);
        }
    return QWidget::eventFilter(AWatched, AEvent);
}
