#include "canvaslib/CanvasContext.h"

#include "canvaslib/CanvasLog.h"
#include "canvaslib/KARVOCanvas.h"

#include <QCoreApplication>
#include <cmath>

namespace karvo {

namespace {

std::unique_ptr<CanvasContext> TheContext;

bool isKnownTool(int ATool)
{
    switch (ATool) {
    case KARVO_TOOL_PEN:
    case KARVO_TOOL_MARKER:
    case KARVO_TOOL_ERASER:
    case KARVO_TOOL_MOVE:
    case KARVO_TOOL_RECTANGLE:
    case KARVO_TOOL_ELLIPSE:
    case KARVO_TOOL_LINE:
        return true;
    default:
        return false;
    }
}

} // namespace

CanvasContext &CanvasContext::instance()
{
    if (!TheContext)
        TheContext = std::make_unique<CanvasContext>();
    return *TheContext;
}

void CanvasContext::release()
{
    TheContext.reset();
}

CanvasContext::CanvasContext() = default;

CanvasContext::~CanvasContext()
{
    FDoc.setRecorder(nullptr);
    FRecorder.reset();
    // The surface belongs to its host; without an application (the process
    // is ending) it is left to go with it.
    if (FView && QCoreApplication::instance())
        delete FView.data();
}

void CanvasContext::createView(QWidget *AHost, bool AOutline)
{
    if (FView)
        delete FView.data();
    FView = new CanvasView(FDoc, AHost, AOutline);
    FView->setTool(FTool);
    FView->setPen(FPenColor, FPenThickness);
    FView->setZoom(FZoom);
    if (FViewportSize)
        FView->setViewportSize(*FViewportSize);
    if (FPosition)
        FView->setPosition(*FPosition);
    FView->centre();
    FView->setVisible(FShown);
}

void CanvasContext::finishGesture()
{
    if (FView)
        FView->finishGesture();
}

bool CanvasContext::setTool(int ATool)
{
    if (!isKnownTool(ATool)) {
        qCWarning(lcCanvasLib, "unknown pen tool %d ignored", ATool);
        return false;
    }
    FTool = ATool;
    if (FView)
        FView->setTool(ATool);
    return true;
}

void CanvasContext::setPenColor(uint32_t AColor)
{
    FPenColor = AColor;
    if (FView)
        FView->setPen(FPenColor, FPenThickness);
}

void CanvasContext::setPenThickness(float AThickness)
{
    if (!std::isfinite(AThickness) || AThickness <= 0) {
        qCWarning(lcCanvasLib) << "pen thickness" << AThickness << "ignored";
        return;
    }
    FPenThickness = std::clamp(AThickness, 0.5f, 200.0f);
    if (FView)
        FView->setPen(FPenColor, FPenThickness);
}

void CanvasContext::setZoom(float AZoom)
{
    if (!std::isfinite(AZoom) || AZoom <= 0) {
        qCWarning(lcCanvasLib) << "zoom" << AZoom << "ignored";
        return;
    }
    if (FView) {
        FView->setZoom(AZoom);
        FZoom = FView->zoom();
    } else {
        FZoom = std::clamp(AZoom, 0.05f, 32.0f);
    }
}

void CanvasContext::setShown(bool AShown)
{
    FShown = AShown;
    if (FView) {
        if (!AShown)
            FView->finishGesture();
        FView->setVisible(AShown);
    }
}

void CanvasContext::setViewportSize(QSize ASize)
{
    FViewportSize = ASize;
    if (FView)
        FView->setViewportSize(ASize);
}

void CanvasContext::setPosition(QPoint APos)
{
    FPosition = APos;
    if (FView)
        FView->setPosition(APos);
}

void CanvasContext::setRecording(bool ARecording)
{
    if (!ARecording) {
        FDoc.setRecorder(nullptr);
        FRecorder.reset();
        return;
    }
    if (recording())
        return;
    if (FRecordFilename.isEmpty()) {
        qCWarning(lcCanvasLib, "no file to record into");
        return;
    }
    finishGesture();
    FDoc.setRecorder(nullptr);
    auto recorder = std::make_unique<CanvasRecorder>(FDoc, FRecordFilename);
    if (!recorder->isOpen())
        return;
    FRecorder = std::move(recorder);
    FDoc.setRecorder(FRecorder.get());
}

} // namespace karvo
