// TKARVOCanvas with the real library, with none, and with a stand-in that
// lacks some exports.
#include "canvas/TKARVOCanvas.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

// Messages of the canvas binding's log category while an object lives.
class LogCapture
{
public:
    LogCapture() { Previous = qInstallMessageHandler(&LogCapture::handler); }
    ~LogCapture() { qInstallMessageHandler(Previous); }
    static inline QStringList Messages;

private:
    static void handler(QtMsgType, const QMessageLogContext &AContext, const QString &AText)
    {
        if (AContext.category && QByteArray(AContext.category) == "ovilen.canvas")
            Messages << AText;
    }
    static inline QtMessageHandler Previous = nullptr;
};

// The stand-in library's log of calls, read through its own handle.
class StandIn
{
public:
    StandIn()
    {
        FHandle = dlopen(STANDIN_DIR "/libKARVOCanvas.so", RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(FHandle, nullptr) << dlerror();
    }
    ~StandIn()
    {
        if (FHandle)
            dlclose(FHandle);
    }
    QStringList calls() const
    {
        auto fn = reinterpret_cast<const char *(*)()>(dlsym(FHandle, "standInCalls"));
        return QString::fromUtf8(fn()).split(u'\n', Qt::SkipEmptyParts);
    }
    void reset() const { reinterpret_cast<void (*)()>(dlsym(FHandle, "standInReset"))(); }

private:
    void *FHandle = nullptr;
};

// The application's top-level widgets, in a stable order.
QWidgetList topLevels()
{
    QWidgetList widgets = QApplication::topLevelWidgets();
    std::sort(widgets.begin(), widgets.end());
    return widgets;
}

class CanvasBinding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FEmpty.isValid());
        FHost.resize(320, 240);
        FHost.show();
    }
    QTemporaryDir FEmpty;
    QWidget FHost;
};

} // namespace

TEST_F(CanvasBinding, WithTheLibraryBesideTheExecutable)
{
    TKARVOCanvas canvas(&FHost);
    ASSERT_TRUE(canvas.isLoaded());
    EXPECT_EQ(canvas.Version(), QStringLiteral("1.0.0"));
    // Creation leaves the wrapper's pen in the library: pen, white, 4.
    EXPECT_EQ(canvas.PenColor(), 0x00FFFFFFu);
    EXPECT_FLOAT_EQ(canvas.PenThickness(), 4.0f);
    EXPECT_TRUE(canvas.Visible());
    EXPECT_FLOAT_EQ(canvas.Zoom(), 1.0f);

    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(qRgb(12, 34, 56));
    canvas.setCanvasSize(120, 90);
    canvas.New();
    canvas.setBackgroundColor(0);
    canvas.setParentSize(120, 90);
    canvas.setBackground(picture);
    canvas.Position(160 - canvas.Width() / 2, 120 - canvas.Height() / 2);
    canvas.Centre();
    EXPECT_EQ(canvas.Width(), 120);
    EXPECT_EQ(canvas.Height(), 90);
    auto *surface = FHost.findChild<QWidget *>(QStringLiteral("KARVOCanvas"));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->geometry(), QRect(100, 75, 120, 90));

    canvas.setPenColor(0x000000FF);
    canvas.SetPenTool(3);
    QTest::mousePress(surface, Qt::LeftButton, {}, {10, 45});
    QTest::mouseMove(surface, {110, 45});
    QTest::mouseRelease(surface, Qt::LeftButton, {}, {110, 45});

    const QString shot = FEmpty.filePath(QStringLiteral("shot.png"));
    ASSERT_TRUE(canvas.SaveToSnapshot(shot));
    const QImage saved(shot);
    EXPECT_EQ(saved.size(), QSize(120, 90));
    EXPECT_EQ(saved.pixel(60, 45), qRgb(255, 0, 0));
    EXPECT_EQ(saved.pixel(60, 10), qRgb(12, 34, 56));
    canvas.Undo();
    ASSERT_TRUE(canvas.SaveToSnapshot(shot));
    EXPECT_EQ(QImage(shot).pixel(60, 45), qRgb(12, 34, 56));

    canvas.setRecordFilename(FEmpty.filePath(QStringLiteral("r.krec")));
    EXPECT_EQ(canvas.RecordFilename(), FEmpty.filePath(QStringLiteral("r.krec")));
    canvas.setRecording(true);
    EXPECT_TRUE(canvas.Recording());
    canvas.setRecording(false);
    const QWidgetList before = topLevels();
    canvas.CanvasPlayer(FEmpty.filePath(QStringLiteral("r.krec")));
    // The player shows in a window of its own, which closes and frees itself.
    QWidgetList players;
    for (QWidget *w : topLevels())
        if (!before.contains(w))
            players << w;
    ASSERT_EQ(players.size(), 1);
    EXPECT_TRUE(players.front()->isVisible());
    EXPECT_NE(players.front()->findChild<QWidget *>(QStringLiteral("KARVOCanvasPlayer")), nullptr);
    players.front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(topLevels(), before);
}

TEST_F(CanvasBinding, PlayingAMissingOrDamagedRecordingLeavesNoWindow)
{
    TKARVOCanvas canvas(&FHost);
    ASSERT_TRUE(canvas.isLoaded());
    const QString damaged = FEmpty.filePath(QStringLiteral("damaged.krec"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("KARVOREC\0\0\0\1 cut off");
    file.close();
    const QWidgetList before = topLevels();
    for (const QString &name : {FEmpty.filePath(QStringLiteral("missing.krec")), damaged}) {
        canvas.CanvasPlayer(name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(topLevels(), before) << name.toStdString();
    }
}

TEST_F(CanvasBinding, TheExecutablesFolderComesBeforeTheCurrentFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(STANDIN_DIR)));
    const QString found = TKARVOCanvas::FindLibrary(TKARVOCanvas::DefaultSearchFolders());
    {
        TKARVOCanvas canvas(&FHost);
        EXPECT_EQ(canvas.Version(), QStringLiteral("1.0.0")); // the stand-in has no GetVersion
    }
    QDir::setCurrent(previous);
    EXPECT_EQ(QFileInfo(found).absolutePath(), QCoreApplication::applicationDirPath());
    // With nothing beside the executable, the current folder is used.
    EXPECT_EQ(TKARVOCanvas::FindLibrary({FEmpty.path(), QStringLiteral(STANDIN_DIR)}),
              QStringLiteral(STANDIN_DIR "/libKARVOCanvas.so"));
    EXPECT_TRUE(TKARVOCanvas::FindLibrary({FEmpty.path()}).isEmpty());
}

TEST_F(CanvasBinding, WithoutTheLibraryEverythingIsANoOp)
{
    TKARVOCanvas canvas(&FHost, {FEmpty.path()});
    EXPECT_FALSE(canvas.isLoaded());
    EXPECT_EQ(canvas.PenColor(), 0x1FFFFFFFu);
    EXPECT_FLOAT_EQ(canvas.PenThickness(), -1.0f);
    EXPECT_FLOAT_EQ(canvas.Zoom(), 0.0f);
    EXPECT_FALSE(canvas.Recording());
    EXPECT_FALSE(canvas.Visible());
    EXPECT_TRUE(canvas.Version().isEmpty());
    EXPECT_TRUE(canvas.RecordFilename().isEmpty());
    EXPECT_EQ(canvas.Width(), 0);
    EXPECT_EQ(canvas.Height(), 0);
    EXPECT_EQ(canvas.BackgroundColor(), 0x1FFFFFFFu);
    const QString shot = FEmpty.filePath(QStringLiteral("shot.jpg"));
    EXPECT_FALSE(canvas.SaveToSnapshot(shot));
    EXPECT_FALSE(QFile::exists(shot));

    // The wrapper still keeps the pen settings written to it.
    EXPECT_EQ(canvas.StoredPenTool(), 3);
    EXPECT_EQ(canvas.StoredPenColor(), 0x00FFFFFFu);
    EXPECT_FLOAT_EQ(canvas.StoredPenWidth(), 4.0f);
    canvas.SetPenTool(5);
    canvas.setPenColor(0x004C21DB);
    canvas.setPenThickness(10);
    EXPECT_EQ(canvas.StoredPenTool(), 5);
    EXPECT_EQ(canvas.StoredPenColor(), 0x004C21DBu);
    EXPECT_FLOAT_EQ(canvas.StoredPenWidth(), 10.0f);

    // Every other operation does nothing, quietly.
    QImage picture(10, 10, QImage::Format_RGB32);
    canvas.setCanvasSize(10, 10);
    canvas.setParentSize(10, 10);
    canvas.New();
    canvas.Undo();
    canvas.Redo();
    canvas.Clear();
    canvas.LoadFromFile(shot);
    canvas.SaveToFile(FEmpty.filePath(QStringLiteral("d.kvc")));
    canvas.LoadImage(shot);
    canvas.setBackground(shot);
    canvas.setBackground(picture);
    canvas.CanvasPlayer(shot);
    canvas.InvertColor();
    canvas.Grayscale();
    canvas.FlipHorz();
    canvas.FlipVert();
    canvas.ErraserAll();
    canvas.Rotate(shot);
    canvas.SetUndoCount(10);
    canvas.Position(1, 2);
    canvas.Centre();
    canvas.setRecording(true);
    canvas.setRecordFilename(shot);
    canvas.setShowLoading(true);
    canvas.setVisible(true);
    canvas.setZoom(2);
    canvas.setBackgroundColor(0);
    EXPECT_TRUE(QDir(FEmpty.path()).isEmpty());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 1);
}

TEST_F(CanvasBinding, AStandInWithMissingExports)
{
    StandIn standIn;
    standIn.reset();
    LogCapture log;
    LogCapture::Messages.clear();
    {
        TKARVOCanvas canvas(&FHost, {FEmpty.path(), QStringLiteral(STANDIN_DIR)});
        ASSERT_TRUE(canvas.isLoaded());
        // The start-up calls, in order.
        EXPECT_EQ(standIn.calls(),
                  QStringList({"InitCanvas(Ovilen-KARVOCanvas-2018)",
                               "CreateCanvas(window,parent,0)", "SetPenTool(5)", "SetPenTool(3)",
                               "SetPenColor(ffffff)", "SetPenThickness(4)"}));
        // Each missing export affects only itself.
        EXPECT_EQ(canvas.PenColor(), 0x1FFFFFFFu);
        EXPECT_FLOAT_EQ(canvas.PenThickness(), 4.0f);
        EXPECT_TRUE(canvas.Version().isEmpty());
        EXPECT_FALSE(canvas.SaveToSnapshot(FEmpty.filePath(QStringLiteral("s.png"))));
        EXPECT_EQ(canvas.Width(), 0);
        canvas.Undo();
        canvas.Redo();

        canvas.SetPenTool(13);
        canvas.setPenColor(0x00EE940C);
        canvas.setPenThickness(15);
        canvas.setCanvasSize(64, 48);
        standIn.reset();
        // A new picture gets the pen settings again, in this order.
        QImage picture(64, 48, QImage::Format_RGB32);
        canvas.setBackground(picture);
        canvas.setBackground(QStringLiteral("page.png"));
        canvas.LoadFromFile(QStringLiteral("lesson.kvc"));
        const QStringList again = {"SetPenTool(13)", "SetPenColor(ee940c)", "SetPenThickness(15)"};
        EXPECT_EQ(standIn.calls(), QStringList({"SetBackgroundImage(image)"}) + again +
                                       QStringList({"SetBackgroundFile(page.png)"}) + again +
                                       QStringList({"LoadFromFile(lesson.kvc)"}) + again);
        // Opening a picture as the drawing does not.
        standIn.reset();
        canvas.LoadImage(QStringLiteral("photo.jpg"));
        canvas.Rotate(QStringLiteral("Rotate.Bmp"));
        EXPECT_EQ(standIn.calls(), QStringList({"SetImage(photo.jpg)"}));

        // An exception out of SaveToFile is caught and logged as "error".
        standIn.reset();
        canvas.SaveToFile(QStringLiteral("d.kvc"));
        EXPECT_EQ(standIn.calls(), QStringList({"SaveToFile(d.kvc)"}));
        EXPECT_TRUE(LogCapture::Messages.contains(QStringLiteral("error")));
        standIn.reset();
    }
    EXPECT_EQ(standIn.calls(), QStringList({"RelaseCanvas"}));
}
