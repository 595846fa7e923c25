#include "canvas/TKARVOCanvas.h"

#include "canvas/CanvasLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QVBoxLayout>
#include <QWidget>
#include <dlfcn.h>
#include <memory>

namespace {

// Zero-terminated UTF-16 of a text, valid while the text lives.
const char16_t *Utf16(const QString &AText)
{
    return reinterpret_cast<const char16_t *>(AText.utf16());
}

QString FromLibrary(const char16_t *AText)
{
    return AText ? QString::fromUtf16(AText) : QString();
}

} // namespace

TKARVOCanvas::TKARVOCanvas(QWidget *AParent)
    : TKARVOCanvas(AParent, DefaultSearchFolders())
{}

TKARVOCanvas::TKARVOCanvas(QWidget *AParent, const QStringList &ASearchFolders)
    : FParent(AParent)
{
    try {
        Bind(ASearchFolders);
        if (FInitCanvas)
            FInitCanvas(KARVO_CERT_TEXT);
        if (FCreateCanvas)
            FCreateCanvas(FParent ? FParent->window() : nullptr, FParent, false);
        // The start sequence sends the marker tool first; the stored pen
        // (the default one here) replaces it at once.
        if (FSetPenTool)
            FSetPenTool(KARVO_TOOL_MARKER);
        ApplyPenSettings();
    } catch (...) {
        qCWarning(lcCanvas, "the canvas library failed while starting");
    }
}

TKARVOCanvas::~TKARVOCanvas()
{
    // The library stays loaded until the program ends.
    if (FRelaseCanvas)
        FRelaseCanvas();
}

QStringList TKARVOCanvas::DefaultSearchFolders()
{
    return {QCoreApplication::applicationDirPath(), QDir::currentPath()};
}

QString TKARVOCanvas::FindLibrary(const QStringList &AFolders)
{
    for (const QString &folder : AFolders) {
        const QFileInfo file(QDir(folder), QString::fromLatin1(LibraryName));
        if (!folder.isEmpty() && file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

void TKARVOCanvas::Bind(const QStringList &ASearchFolders)
{
    const QString path = FindLibrary(ASearchFolders);
    if (path.isEmpty()) {
        qCInfo(lcCanvas) << "no canvas library in" << ASearchFolders;
        return;
    }
    FDLL = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!FDLL) {
        qCWarning(lcCanvas) << "cannot load" << path << dlerror();
        return;
    }
    const auto bind = [this](auto &AEntry, const char *AName) {
        AEntry = reinterpret_cast<std::remove_reference_t<decltype(AEntry)>>(dlsym(FDLL, AName));
        if (!AEntry)
            qCWarning(lcCanvas, "the canvas library lacks %s", AName);
    };
#define KARVO_BIND(AResult, AName, AParameters) bind(F##AName, #AName);
    KARVO_CANVAS_EXPORTS(KARVO_BIND)
#undef KARVO_BIND
}

void TKARVOCanvas::ApplyPenSettings()
{
    SetPenTool(FPenTool);
    setPenColor(FPenColor);
    setPenThickness(FPenWidth);
}

void TKARVOCanvas::setCanvasSize(int AWidth, int AHeight)
{
    if (FSetCavaseSize)
        FSetCavaseSize(KARVOSize{AWidth, AHeight});
}

void TKARVOCanvas::setParentSize(int AWidth, int AHeight)
{
    if (FSetParentSize)
        FSetParentSize(KARVOSize{AWidth, AHeight});
}

void TKARVOCanvas::New()
{
    if (FNew)
        FNew();
}

void TKARVOCanvas::Undo()
{
    if (FUndo)
        FUndo();
}

void TKARVOCanvas::Redo()
{
    if (FRedo)
        FRedo();
}

void TKARVOCanvas::Clear()
{
    if (FClear)
        FClear();
}

void TKARVOCanvas::LoadFromFile(const QString &AFilename)
{
    if (FLoadFromFile)
        FLoadFromFile(Utf16(AFilename));
    ApplyPenSettings();
}

void TKARVOCanvas::SaveToFile(const QString &AFilename)
{
    if (!FSaveToFile)
        return;
    try {
        FSaveToFile(Utf16(AFilename));
    } catch (...) {
        qCWarning(lcCanvas, "error");
    }
}

void TKARVOCanvas::LoadImage(const QString &AFilename)
{
    if (FSetImage)
        FSetImage(Utf16(AFilename));
}

void TKARVOCanvas::setBackground(const QString &AFilename)
{
    if (FSetBackgroundFile)
        FSetBackgroundFile(Utf16(AFilename));
    ApplyPenSettings();
}

void TKARVOCanvas::setBackground(const QImage &ABitmap)
{
    if (FSetBackgroundImage)
        FSetBackgroundImage(&ABitmap);
    ApplyPenSettings();
}

bool TKARVOCanvas::SaveToSnapshot(const QString &AFilename)
{
    return FSaveToSnapshot ? FSaveToSnapshot(Utf16(AFilename)) : false;
}

void TKARVOCanvas::CanvasPlayer(const QString &AFilename)
{
    if (!FCanvasPlayer)
        return;
    // A window of its own, freed when the user closes it. The library shows it
    // when playback starts; a recording it cannot play leaves it hidden, and
    // nobody could ever close it, so it goes at once.
    auto form = std::make_unique<QWidget>(nullptr, Qt::Window);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->resize(800, 600);
    auto *layout = new QVBoxLayout(form.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QWidget(form.get());
    layout->addWidget(panel);
    FCanvasPlayer(form.get(), panel, Utf16(AFilename));
    if (form->isVisible())
        form.release(); // owned by the window system now: WA_DeleteOnClose frees it
    else
        qCWarning(lcCanvas) << "no playback of" << AFilename;
}

void TKARVOCanvas::InvertColor()
{
    if (FInvertColor)
        FInvertColor();
}

void TKARVOCanvas::Grayscale()
{
    if (FGrayscale)
        FGrayscale();
}

void TKARVOCanvas::FlipHorz()
{
    if (FFlipHorz)
        FFlipHorz();
}

void TKARVOCanvas::FlipVert()
{
    if (FFlipVert)
        FFlipVert();
}

void TKARVOCanvas::ErraserAll()
{
    if (FEraserAll)
        FEraserAll();
}

void TKARVOCanvas::Rotate(const QString &ATempFile)
{
    // Turning the drawing is done by the main window through a snapshot.
    Q_UNUSED(ATempFile);
}

void TKARVOCanvas::SetUndoCount(int AValue)
{
    if (FSetUndoCount)
        FSetUndoCount(AValue);
}

void TKARVOCanvas::Position(int AX, int AY)
{
    if (FPosition)
        FPosition(AX, AY);
}

void TKARVOCanvas::Centre()
{
    if (FCentre)
        FCentre();
}

void TKARVOCanvas::SetPenTool(uint8_t Value)
{
    if (FSetPenTool)
        FSetPenTool(Value);
    FPenTool = Value;
}

uint32_t TKARVOCanvas::PenColor() const
{
    return FGetPenColor ? FGetPenColor() : KARVO_NO_COLOR;
}

void TKARVOCanvas::setPenColor(uint32_t AValue)
{
    if (FSetPenColor)
        FSetPenColor(AValue);
    FPenColor = AValue;
}

float TKARVOCanvas::PenThickness() const
{
    return FGetPenThickness ? FGetPenThickness() : -1.0f;
}

void TKARVOCanvas::setPenThickness(float AValue)
{
    if (FSetPenThickness)
        FSetPenThickness(AValue);
    FPenWidth = AValue;
}

bool TKARVOCanvas::Recording() const
{
    return FIsRecording ? FIsRecording() : false;
}

void TKARVOCanvas::setRecording(bool AValue)
{
    if (FSetRecording)
        FSetRecording(AValue);
}

QString TKARVOCanvas::RecordFilename() const
{
    return FGetRecordFilename ? FromLibrary(FGetRecordFilename()) : QString();
}

void TKARVOCanvas::setRecordFilename(const QString &AValue)
{
    if (FSetRecordFilename)
        FSetRecordFilename(Utf16(AValue));
}

void TKARVOCanvas::setShowLoading(bool AValue)
{
    if (FShowLoading)
        FShowLoading(AValue);
}

QString TKARVOCanvas::Version() const
{
    return FGetVersion ? FromLibrary(FGetVersion()) : QString();
}

bool TKARVOCanvas::Visible() const
{
    return FGetShow ? FGetShow() : false;
}

void TKARVOCanvas::setVisible(bool AValue)
{
    if (FSetShow)
        FSetShow(AValue);
}

int TKARVOCanvas::Width() const
{
    return FWidth ? FWidth() : 0;
}

int TKARVOCanvas::Height() const
{
    return FHeight ? FHeight() : 0;
}

float TKARVOCanvas::Zoom() const
{
    return FGetZoom ? FGetZoom() : 0.0f;
}

void TKARVOCanvas::setZoom(float AValue)
{
    if (FSetZoom)
        FSetZoom(AValue);
}

uint32_t TKARVOCanvas::BackgroundColor() const
{
    return FGetBackgroundColor ? FGetBackgroundColor() : KARVO_NO_COLOR;
}

void TKARVOCanvas::setBackgroundColor(uint32_t AValue)
{
    if (FSetBackgroundColor)
        FSetBackgroundColor(AValue);
}
