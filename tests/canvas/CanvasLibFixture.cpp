#include "CanvasLibFixture.h"

#include <QDir>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdlib>

const char16_t *u16(const QString &AText)
{
    return reinterpret_cast<const char16_t *>(AText.utf16());
}

void CanvasLib::SetUp()
{
    ASSERT_TRUE(FDir.isValid());
    FHost = std::make_unique<QWidget>();
    FHost->resize(400, 300);
    FHost->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FHost.get()));
    InitCanvas(KARVO_CERT_TEXT);
    CreateCanvas(FHost.get(), FHost.get(), false);
    SetCavaseSize({W, H});
    New();
    SetBackgroundColor(0);
    SetParentSize({W, H});
    const QImage pic = picture();
    SetBackgroundImage(&pic);
    Position(0, 0);
    Centre();
    SetUndoCount(10);
    SetPenTool(KARVO_TOOL_PEN);
    SetPenColor(KRed);
    SetPenThickness(5);
    ASSERT_NE(canvas(), nullptr);
}

void CanvasLib::TearDown()
{
    SetRecording(false);
    RelaseCanvas();
    FHost.reset();
}

QImage CanvasLib::picture()
{
    QImage image(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            image.setPixel(x, y, qRgb(30 + x, 40 + y, 200 - (x + 2 * y) / 4));
    return image;
}

QWidget *CanvasLib::canvas() const
{
    return FHost->findChild<QWidget *>(QStringLiteral("KARVOCanvas"));
}

QImage CanvasLib::onScreen() const
{
    QCoreApplication::processEvents();
    const QRect r = canvas()->geometry();
    return FHost->screen()
        ->grabWindow(FHost->winId(), r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage CanvasLib::snapshot()
{
    const QString path = file(QStringLiteral("snapshot.png"));
    QFile::remove(path);
    EXPECT_TRUE(SaveToSnapshot(u16(path)));
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

void CanvasLib::drag(const std::vector<QPoint> &APoints, int AWaitMs)
{
    QWidget *target = canvas();
    QTest::mousePress(target, Qt::LeftButton, {}, APoints.front());
    for (size_t i = 1; i < APoints.size(); ++i) {
        if (AWaitMs > 0)
            QTest::qWait(AWaitMs);
        QTest::mouseMove(target, APoints[i]);
    }
    QTest::mouseRelease(target, Qt::LeftButton, {}, APoints.back());
}

void CanvasLib::keep(const QImage &AImage, const QString &AName)
{
    const QString folder = qEnvironmentVariable("OVILEN_CANVAS_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    AImage.save(folder + u'/' + AName + QStringLiteral(".png"));
}

int channelDiff(QRgb AFirst, QRgb ASecond)
{
    return std::max({std::abs(qRed(AFirst) - qRed(ASecond)),
                     std::abs(qGreen(AFirst) - qGreen(ASecond)),
                     std::abs(qBlue(AFirst) - qBlue(ASecond))});
}

int countDiff(const QImage &AFirst, const QImage &ASecond, int ATolerance)
{
    if (AFirst.size() != ASecond.size())
        return -1;
    int count = 0;
    for (int y = 0; y < AFirst.height(); ++y)
        for (int x = 0; x < AFirst.width(); ++x)
            if (channelDiff(AFirst.pixel(x, y), ASecond.pixel(x, y)) > ATolerance)
                ++count;
    return count;
}

std::unique_ptr<QWidget> CanvasLib::shownPanel()
{
    auto panel = std::make_unique<QWidget>();
    panel->resize(W, H);
    panel->show();
    if (!QTest::qWaitForWindowExposed(panel.get()))
        return nullptr;
    return panel;
}
