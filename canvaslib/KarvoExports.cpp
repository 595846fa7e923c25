// The C exports of libKARVOCanvas.so. Each one checks that it runs on the
// application's thread and lets no exception out.
#include "canvaslib/CanvasContext.h"
#include "canvaslib/CanvasFile.h"
#include "canvaslib/CanvasLog.h"
#include "canvaslib/CanvasPlayer.h"
#include "canvaslib/KARVOCanvas.h"
#include "canvaslib/RecordFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QThread>
#include <cmath>
#include <exception>

using karvo::CanvasContext;

namespace {

bool onApplicationThread(const char *AName)
{
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        qCWarning(lcCanvasLib, "%s: no application object; call ignored", AName);
        return false;
    }
    if (QThread::currentThread() != app->thread()) {
        qCWarning(lcCanvasLib, "%s: called off the application's thread; call ignored", AName);
        return false;
    }
    return true;
}

template <typename R, typename F>
R guarded(const char *AName, R ADefault, F &&AFunction)
{
    if (!onApplicationThread(AName))
        return ADefault;
    try {
        return AFunction();
    } catch (const std::exception &e) {
        qCCritical(lcCanvasLib, "%s failed: %s", AName, e.what());
    } catch (...) {
        qCCritical(lcCanvasLib, "%s failed", AName);
    }
    return ADefault;
}

template <typename F>
void guarded(const char *AName, F &&AFunction)
{
    guarded(AName, 0, [&] {
        AFunction();
        return 0;
    });
}

QString fromUtf16(const char16_t *AText)
{
    return AText ? QString::fromUtf16(AText) : QString();
}

const char16_t *keep(std::u16string &ABuffer, const QString &AText)
{
    ABuffer = AText.toStdU16String();
    return ABuffer.c_str();
}

QImage readImage(const QString &AFilename)
{
    QImageReader reader(AFilename);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        qCWarning(lcCanvasLib) << "cannot read the picture" << AFilename << reader.errorString();
    return image;
}

// The drawing written as an image; the format follows the file's extension.
bool writeSnapshot(const QImage &AImage, const QString &AFilename)
{
    const QByteArray suffix = QFileInfo(AFilename).suffix().toLower().toLatin1();
    if (suffix.isEmpty() || !QImageWriter::supportedImageFormats().contains(suffix)) {
        qCWarning(lcCanvasLib) << "no image format for" << AFilename;
        return false;
    }
    QSaveFile file(AFilename);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcCanvasLib) << "cannot write" << AFilename << file.errorString();
        return false;
    }
    QImageWriter writer(&file, suffix);
    if (suffix == "jpg" || suffix == "jpeg")
        writer.setQuality(92);
    if (!writer.write(AImage) || !file.commit()) {
        qCWarning(lcCanvasLib) << "cannot write" << AFilename << writer.errorString()
                               << file.errorString();
        return false;
    }
    return true;
}

CanvasContext &ctx()
{
    return CanvasContext::instance();
}

// A change of the drawing: a stroke being drawn ends first.
template <typename F>
void edit(const char *AName, F &&AFunction)
{
    guarded(AName, [&] {
        ctx().finishGesture();
        AFunction(ctx().doc());
    });
}

} // namespace

KARVO_API void InitCanvas(const char16_t *ACertStr)
{
    guarded("InitCanvas", [&] {
        if (fromUtf16(ACertStr) != QString::fromUtf16(KARVO_CERT_TEXT))
            qCWarning(lcCanvasLib, "InitCanvas: unexpected text");
        ctx();
    });
}

KARVO_API void CreateCanvas(void *AHandle, void *AParent, bool AOutline)
{
    Q_UNUSED(AHandle);
    guarded("CreateCanvas", [&] {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
            qCWarning(lcCanvasLib, "CreateCanvas needs a QApplication");
            return;
        }
        if (!AParent) {
            qCWarning(lcCanvasLib, "CreateCanvas without a parent widget");
            return;
        }
        ctx().createView(static_cast<QWidget *>(AParent), AOutline);
    });
}

KARVO_API void RelaseCanvas(void)
{
    guarded("RelaseCanvas", [] { CanvasContext::release(); });
}

KARVO_API const char16_t *GetVersion(void)
{
    return guarded("GetVersion", static_cast<const char16_t *>(u""),
                   [] { return keep(ctx().versionText(), QStringLiteral(KARVO_VERSION)); });
}

KARVO_API void SetCavaseSize(KARVOSize ASize)
{
    edit("SetCavaseSize", [&](karvo::CanvasDocument &doc) { doc.resize({ASize.cx, ASize.cy}); });
}

KARVO_API void SetParentSize(KARVOSize ASize)
{
    guarded("SetParentSize", [&] {
        if (ASize.cx < 0 || ASize.cy < 0) {
            qCWarning(lcCanvasLib, "SetParentSize: %dx%d ignored", ASize.cx, ASize.cy);
            return;
        }
        ctx().setViewportSize({ASize.cx, ASize.cy});
    });
}

KARVO_API void Position(int32_t ALeft, int32_t ATop)
{
    guarded("Position", [&] { ctx().setPosition({ALeft, ATop}); });
}

KARVO_API void Centre(void)
{
    guarded("Centre", [] {
        if (ctx().view())
            ctx().view()->centre();
    });
}

KARVO_API int32_t Width(void)
{
    return guarded("Width", int32_t(0), [] {
        return int32_t(std::lround(ctx().doc().size().width() * double(ctx().zoom())));
    });
}

KARVO_API int32_t Height(void)
{
    return guarded("Height", int32_t(0), [] {
        return int32_t(std::lround(ctx().doc().size().height() * double(ctx().zoom())));
    });
}

KARVO_API void SetZoom(float AZoom)
{
    guarded("SetZoom", [&] { ctx().setZoom(AZoom); });
}

KARVO_API float GetZoom(void)
{
    return guarded("GetZoom", 0.0f, [] { return ctx().zoom(); });
}

KARVO_API void SetShow(bool AShow)
{
    guarded("SetShow", [&] { ctx().setShown(AShow); });
}

KARVO_API bool GetShow(void)
{
    return guarded("GetShow", false, [] { return ctx().shown(); });
}

KARVO_API void ShowLoading(bool AShow)
{
    guarded("ShowLoading", [&] {
        if (ctx().view())
            ctx().view()->setLoading(AShow);
    });
}

KARVO_API void SetPenTool(int32_t ATool)
{
    guarded("SetPenTool", [&] { ctx().setTool(ATool); });
}

KARVO_API int32_t GetPenTool(void)
{
    return guarded("GetPenTool", int32_t(0), [] { return int32_t(ctx().tool()); });
}

KARVO_API void SetPenColor(uint32_t AColor)
{
    guarded("SetPenColor", [&] { ctx().setPenColor(AColor); });
}

KARVO_API uint32_t GetPenColor(void)
{
    return guarded("GetPenColor", uint32_t(KARVO_NO_COLOR), [] { return ctx().penColor(); });
}

KARVO_API void SetPenThickness(float AThickness)
{
    guarded("SetPenThickness", [&] { ctx().setPenThickness(AThickness); });
}

KARVO_API float GetPenThickness(void)
{
    return guarded("GetPenThickness", -1.0f, [] { return ctx().penThickness(); });
}

KARVO_API void SetImage(const char16_t *AFilename)
{
    edit("SetImage", [&](karvo::CanvasDocument &doc) {
        const QImage image = readImage(fromUtf16(AFilename));
        if (!image.isNull())
            doc.openPicture(image);
    });
}

KARVO_API void SetBackgroundFile(const char16_t *AFilename)
{
    edit("SetBackgroundFile", [&](karvo::CanvasDocument &doc) {
        const QImage image = readImage(fromUtf16(AFilename));
        if (!image.isNull())
            doc.setPicture(image);
    });
}

KARVO_API void SetBackgroundImage(const QImage *ABitmap)
{
    edit("SetBackgroundImage", [&](karvo::CanvasDocument &doc) {
        if (!ABitmap || ABitmap->isNull()) {
            qCWarning(lcCanvasLib, "SetBackgroundImage without a picture");
            return;
        }
        doc.setPicture(*ABitmap);
    });
}

KARVO_API void SetBackgroundColor(uint32_t AColor)
{
    edit("SetBackgroundColor", [&](karvo::CanvasDocument &doc) { doc.setBackgroundColor(AColor); });
}

KARVO_API uint32_t GetBackgroundColor(void)
{
    return guarded("GetBackgroundColor", uint32_t(0), [] { return ctx().doc().backgroundColor(); });
}

KARVO_API void New(void)
{
    edit("New", [](karvo::CanvasDocument &doc) { doc.newDrawing(); });
}

KARVO_API void Clear(void)
{
    edit("Clear", [](karvo::CanvasDocument &doc) { doc.clear(); });
}

KARVO_API void EraserAll(void)
{
    edit("EraserAll", [](karvo::CanvasDocument &doc) { doc.eraseAll(); });
}

KARVO_API void Undo(void)
{
    edit("Undo", [](karvo::CanvasDocument &doc) { doc.undo(); });
}

KARVO_API void Redo(void)
{
    edit("Redo", [](karvo::CanvasDocument &doc) { doc.redo(); });
}

KARVO_API void SetUndoCount(int32_t ACount)
{
    edit("SetUndoCount", [&](karvo::CanvasDocument &doc) { doc.setUndoLimit(ACount); });
}

KARVO_API void InvertColor(void)
{
    edit("InvertColor", [](karvo::CanvasDocument &doc) { doc.invert(); });
}

KARVO_API void Grayscale(void)
{
    edit("Grayscale", [](karvo::CanvasDocument &doc) { doc.grayscale(); });
}

KARVO_API void FlipHorz(void)
{
    edit("FlipHorz", [](karvo::CanvasDocument &doc) { doc.flip(true); });
}

KARVO_API void FlipVert(void)
{
    edit("FlipVert", [](karvo::CanvasDocument &doc) { doc.flip(false); });
}

KARVO_API bool LoadFromFile(const char16_t *AFilename)
{
    return guarded("LoadFromFile", false, [&] {
        auto state = karvo::CanvasFile::load(fromUtf16(AFilename));
        if (!state)
            return false;
        ctx().finishGesture();
        ctx().doc().restore(std::move(*state));
        return true;
    });
}

KARVO_API bool SaveToFile(const char16_t *AFilename)
{
    // Saving changes nothing: a stroke in progress stays in progress.
    return guarded("SaveToFile", false, [&] {
        return karvo::CanvasFile::save(ctx().doc().state(), fromUtf16(AFilename));
    });
}

KARVO_API bool SaveToSnapshot(const char16_t *AFilename)
{
    return guarded("SaveToSnapshot", false, [&] {
        const QImage image = ctx().doc().snapshot();
        return !image.isNull() && writeSnapshot(image, fromUtf16(AFilename));
    });
}

KARVO_API void SetRecordFilename(const char16_t *AFilename)
{
    guarded("SetRecordFilename", [&] { ctx().setRecordFilename(fromUtf16(AFilename)); });
}

KARVO_API const char16_t *GetRecordFilename(void)
{
    return guarded("GetRecordFilename", static_cast<const char16_t *>(u""),
                   [] { return keep(ctx().recordFilenameText(), ctx().recordFilename()); });
}

KARVO_API void SetRecording(bool ARecording)
{
    guarded("SetRecording", [&] { ctx().setRecording(ARecording); });
}

KARVO_API bool IsRecording(void)
{
    return guarded("IsRecording", false, [] { return ctx().recording(); });
}

KARVO_API void CanvasPlayer(void *AHandle, void *AParent, const char16_t *AFilename)
{
    guarded("CanvasPlayer", [&] {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        auto *host = static_cast<QWidget *>(AParent ? AParent : AHandle);
        if (!host) {
            qCWarning(lcCanvasLib, "CanvasPlayer without a panel");
            return;
        }
        auto recording = karvo::RecordFile::Recording::open(fromUtf16(AFilename));
        if (!recording)
            return;
        new karvo::CanvasPlayer(host, std::move(*recording));
        auto *window = static_cast<QWidget *>(AHandle);
        if (window && window->isWindow() && !window->isVisible())
            window->show();
    });
}
