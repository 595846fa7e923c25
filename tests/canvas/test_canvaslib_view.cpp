// Placement, zoom and panning; what gets repainted; the exported names.
#include "CanvasLibFixture.h"

#include <QPaintEvent>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <thread>

namespace {

// Collects the areas a widget paints.
class PaintSpy : public QObject
{
public:
    explicit PaintSpy(QWidget *AWidget) { AWidget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *AEvent) override
    {
        if (AEvent->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(AEvent)->region();
        return false;
    }
};

} // namespace

TEST_F(CanvasLib, ViewportSizePositionAndZoom)
{
    SetCavaseSize({400, 300});
    SetParentSize({200, 150});
    Position(10, 20);
    EXPECT_EQ(canvas()->geometry(), QRect(10, 20, 200, 150));
    EXPECT_EQ(Width(), 400);
    EXPECT_EQ(Height(), 300);
    SetZoom(0.5f);
    EXPECT_FLOAT_EQ(GetZoom(), 0.5f);
    EXPECT_EQ(Width(), 200);
    EXPECT_EQ(Height(), 150);
    SetZoom(-1.0f);
    SetZoom(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(GetZoom(), 0.5f);
    // A viewport never starts left of or above the host: the main window
    // centres a larger drawing with negative coordinates.
    Position(-100, -75);
    EXPECT_EQ(canvas()->pos(), QPoint(0, 0));
}

TEST_F(CanvasLib, MoveToolPansALargerDrawing)
{
    SetCavaseSize({400, 300});
    const QImage big = picture().scaled(400, 300);
    SetBackgroundImage(&big);
    SetParentSize({200, 150});
    Centre();
    const QImage whole = snapshot();
    // What the window shows, repainted piece by piece as the view scrolls.
    const auto shown = [&] {
        return onScreen();
    };
    // Centred: the middle of the drawing shows.
    EXPECT_EQ(countDiff(shown(), whole.copy(100, 75, 200, 150), 0), 0);

    SetPenTool(KARVO_TOOL_MOVE);
    drag({{100, 100}, {130, 110}, {150, 130}});
    EXPECT_EQ(countDiff(shown(), whole.copy(50, 45, 200, 150), 0), 0);
    // Panning stops at the drawing's edge.
    drag({{20, 20}, {190, 140}});
    EXPECT_EQ(countDiff(shown(), whole.copy(0, 0, 200, 150), 0), 0);
    // Panning changes what is shown, never the drawing.
    EXPECT_EQ(countDiff(snapshot(), whole, 0), 0);

    // Drawing after panning lands under the pointer.
    SetPenTool(KARVO_TOOL_PEN);
    drag({{20, 75}, {180, 75}});
    EXPECT_EQ(snapshot().pixel(100, 75), qRgb(255, 0, 0));
    SetPenTool(KARVO_TOOL_MOVE);
    drag({{190, 140}, {100, 70}});
    EXPECT_EQ(countDiff(shown(), snapshot().copy(90, 70, 200, 150), 0), 0);
}

TEST_F(CanvasLib, APenSegmentRepaintsOnlyItsNeighbourhood)
{
    FHost->resize(1600, 1000);
    SetCavaseSize({1600, 1000});
    SetParentSize({1600, 1000});
    Centre();
    QTest::qWait(50);
    PaintSpy spy(canvas());
    QWidget *target = canvas();
    QTest::mousePress(target, Qt::LeftButton, {}, {800, 500});
    QTest::mouseMove(target, {812, 506});
    QCoreApplication::processEvents();
    spy.painted = QRegion();
    QTest::mouseMove(target, {824, 512});
    QCoreApplication::processEvents();
    const QRect area = spy.painted.boundingRect();
    QTest::mouseRelease(target, Qt::LeftButton, {}, {824, 512});
    EXPECT_FALSE(area.isEmpty());
    EXPECT_LT(area.width(), 60) << "painted " << area.width() << "x" << area.height();
    EXPECT_LT(area.height(), 60) << "painted " << area.width() << "x" << area.height();
}

TEST_F(CanvasLib, SettingsReadBackAndRefuseNonsense)
{
    SetPenColor(0x004C21DB);
    EXPECT_EQ(GetPenColor(), 0x004C21DBu);
    SetPenThickness(8);
    SetPenThickness(-3);
    SetPenThickness(std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(GetPenThickness(), 8.0f);
    SetPenTool(KARVO_TOOL_ELLIPSE);
    SetPenTool(4);
    EXPECT_EQ(GetPenTool(), KARVO_TOOL_ELLIPSE);
    EXPECT_EQ(QString::fromUtf16(GetVersion()), QStringLiteral("1.0.0"));
    SetBackgroundColor(0x00ABCDEF);
    EXPECT_EQ(GetBackgroundColor(), 0x00ABCDEFu);
    const QSize before(Width(), Height());
    SetCavaseSize({0, 10});
    SetCavaseSize({100000, 100000});
    EXPECT_EQ(QSize(Width(), Height()), before);
}

TEST_F(CanvasLib, ShowHideAndTheBusyIndicator)
{
    EXPECT_TRUE(GetShow());
    SetShow(false);
    EXPECT_FALSE(GetShow());
    EXPECT_FALSE(canvas()->isVisible());
    SetShow(true);
    EXPECT_TRUE(canvas()->isVisible());

    ShowLoading(true);
    auto *busy = canvas()->findChild<QWidget *>(QStringLiteral("KARVOCanvasLoading"));
    ASSERT_NE(busy, nullptr);
    EXPECT_TRUE(busy->isVisible());
    keep(FHost->grab().toImage(), QStringLiteral("loading"));
    // Input is held off while it shows.
    drag({{20, 75}, {180, 75}});
    EXPECT_EQ(snapshot().pixel(100, 75), picture().pixel(100, 75));
    ShowLoading(false);
    EXPECT_FALSE(busy->isVisible());
}

TEST_F(CanvasLib, AHostThatGoesAwayTakesTheSurfaceWithIt)
{
    FHost.reset();
    // The drawing itself is still there and can be saved.
    SetPenColor(KBlue);
    EXPECT_FALSE(GetShow());
    EXPECT_EQ(snapshot().size(), QSize(W, H));
    Centre();
    ShowLoading(true);
}

TEST_F(CanvasLib, CallsFromAnotherThreadAreIgnored)
{
    std::thread([] { SetPenColor(KBlue); }).join();
    EXPECT_EQ(GetPenColor(), KRed);
}

TEST(CanvasLibExports, ExactlyTheTableIsVisible)
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                    QStringLiteral(KARVO_LIBRARY_PATH)});
    ASSERT_TRUE(nm.waitForFinished(30000));
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    QSet<QString> exported;
    for (const QByteArray &line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            exported.insert(QString::fromLatin1(fields[2]));
    }
    // The table the header, the version script and the binding are made from;
    // its 44 names are what callers bind.
    const QSet<QString> expected = {
#define KARVO_EXPORT_NAME(AResult, AName, AParameters) QStringLiteral(#AName),
        KARVO_CANVAS_EXPORTS(KARVO_EXPORT_NAME)
#undef KARVO_EXPORT_NAME
    };
    EXPECT_EQ(expected.size(), 44);
    const auto names = [](QSet<QString> ASet) {
        QStringList list(ASet.begin(), ASet.end());
        list.sort();
        return list.join(u' ').toStdString();
    };
    EXPECT_EQ(names(QSet(expected).subtract(exported)), "") << "in the table, not exported";
    EXPECT_EQ(names(QSet(exported).subtract(expected)), "") << "exported, not in the table";
}
