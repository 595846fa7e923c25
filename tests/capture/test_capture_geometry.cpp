// Placement of the picture through the component, end to end: the picture
// window where the placement puts it, zoom limits and the two fitting modes
// with the component's zoom limit, centring, fitting, panning and selecting
// with real mouse events through the window system, the wheel, and the
// background around the picture, checked in what the window really shows.
// The arithmetic itself, case by case, is in test_picture_geometry.cpp.
#include "CaptureTestSupport.h"
#include "capture/component/VideoWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <cmath>
#include <limits>

namespace {

const QString GeoCam = QStringLiteral("usb#VID_0000&PID_2003#geometry");
const QColor Background(10, 200, 30);

// A 1600x1200 camera in a 1000x600 component, shown (the offscreen platform
// delivers the window system's mouse events) and placing the picture with
// its proportions, as the main window sets it up.
class Geometry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TCustomVideoCap::MinZoom = 0.1f;
        TSimulatedCameras::Clear();
        TSimulatedCameras::Add(
            SimCamera(QStringLiteral("Geometry Cam"), GeoCam, {{1600, 1200, true, 5}}));
        Cap.SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        Cap.resize(1000, 600);
        Cap.SetAspectRatio(true);
        Cap.SetBackgroundColor(Background);
        Cap.OnChangeZoom = [this](TCustomVideoCap *) {
            ++ChangeZoomCount;
        };
        Cap.OnChangeFilter = [this](TCustomVideoCap *) {
            ++ChangeFilterCount;
        };
        Cap.OnStartPreview = [this](TCustomVideoCap *) {
            ++StartCount;
        };
        Cap.OnSelectionRect = [this](TCustomVideoCap *, const TRect &r) {
            Selections.push_back(r);
        };
        Cap.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Cap));
        ASSERT_TRUE(Cap.Init());
        Cap.SetVideoDeviceIndex(0);
        ASSERT_EQ(Cap.VideoWidth(), 1600);
        ASSERT_EQ(Cap.VideoHeight(), 1200);
    }
    void TearDown() override
    {
        Cap.StopPreview();
        TSimulatedCameras::Clear();
        TCustomVideoCap::MinZoom = 0.1f;
    }

    // Starts the preview and waits for its first frame, which fits the zoom.
    bool Start()
    {
        const int starts = StartCount;
        return Cap.StartPreview() && WaitUntil([&] { return StartCount > starts; });
    }

    QRect PictureWindow() const
    {
        return Cap.VideoWindow() ? Cap.VideoWindow()->geometry() : QRect();
    }
    // Places the picture at `p` for the zoom it has (the main window's way:
    // Location, then a placement).
    void PlaceAt(TPoint p)
    {
        Cap.SetLocation(p);
        Cap.ResizeWindow();
    }

    // Real input through the window system: the press lands on whichever
    // widget is under it and what the picture window leaves goes on to the
    // component.
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(Cap.windowHandle(), b, {}, p);
    }
    void MoveTo(QPoint p) { QTest::mouseMove(Cap.windowHandle(), p); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(Cap.windowHandle(), b, {}, p);
    }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        MoveTo((from + to) / 2);
        MoveTo(to);
        Release(to);
    }
    // Wheel events go to the widget under the point and travel up from it,
    // as those of the window system do.
    void Wheel(int delta, QPoint at = {500, 300})
    {
        QWidget *target = Cap.childAt(at) ? Cap.childAt(at) : &Cap;
        const QPoint local = target->mapFrom(&Cap, at);
        QWheelEvent ev(local, target->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&ev);
        QApplication::instance()->notify(target, &ev);
    }

    // What the window really shows (its backing store), after pending paints.
    QImage Shown()
    {
        Spin(50);
        return QGuiApplication::primaryScreen()
            ->grabWindow(Cap.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // Pixels of the shown image outside `picture` that are not the background.
    static int StalePixels(const QImage &shown, const QRect &picture)
    {
        int stale = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (!picture.contains(x, y) && shown.pixelColor(x, y) != Background)
                    ++stale;
        return stale;
    }

    TCustomVideoCap Cap;
    int ChangeZoomCount = 0, ChangeFilterCount = 0, StartCount = 0;
    std::vector<TRect> Selections;
};

TEST_F(Geometry, ZoomWritesAreLimited)
{
    struct Case
    {
        float MinZoom, Written, Expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // The lower limit is the component's MinZoom; every write is announced.
    const Case cases[] = {
        {0.1f, 0.05f, 0.1f}, {0.1f, 12.0f, 10.0f}, {0.5f, 0.25f, 0.5f},
        {0.1f, nan, 0.1f},   {0.1f, 2.5f, 2.5f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "MinZoom " << c.MinZoom << ", written " << c.Written);
        TCustomVideoCap::MinZoom = c.MinZoom;
        const int raised = ChangeZoomCount;
        Cap.SetZoom(c.Written);
        EXPECT_EQ(Cap.Zoom(), c.Expected);
        EXPECT_EQ(ChangeZoomCount, raised + 1);
    }
}

TEST_F(Geometry, TheTwoFittingModes)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        bool Wide;
        float MinZoom;
        QRect Window; // after the fit
        TPoint Centred;
        QRect CentredWindow;
    };
    const Case cases[] = {
        // 600 / 1200: the whole picture, centred across.
        {false, 0.5f, {100, 0, 800, 600}, {100, 0}, {100, 0, 800, 600}},
        // 1000 / 1600: it overflows vertically. Centring works from the
        // unscaled height (300 - 600 = -300), but a picture at -300 would end
        // 150 pixels above the control's bottom edge: it moves down to -150.
        {true, 0.625f, {0, -75, 1000, 750}, {0, -150}, {0, -150, 1000, 750}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Wide ? "wide" : "4:3");
        Cap.SetWideMOde(c.Wide);
        EXPECT_EQ(Cap.WideMOde(), c.Wide);
        EXPECT_EQ(TCustomVideoCap::MinZoom, c.MinZoom);
        EXPECT_EQ(Cap.Zoom(), c.MinZoom);
        EXPECT_EQ(PictureWindow(), c.Window);
        Cap.Centre();
        EXPECT_EQ(Cap.Location(), c.Centred);
        EXPECT_EQ(PictureWindow(), c.CentredWindow);
        // The fit is the lower limit now.
        Cap.SetZoom(c.MinZoom - 0.01f);
        EXPECT_EQ(Cap.Zoom(), c.MinZoom);
    }
}

// A control not laid out yet (no height, or no width in wide mode) when the
// first frame fits the picture keeps the limit it had; a zoom of 0 would make
// every selection a division by zero.
TEST_F(Geometry, AnEmptyControlKeepsTheZoomLimit)
{
    struct Case
    {
        bool Wide;
        QSize Empty;
    };
    for (const Case &c : {Case{false, {1000, 0}}, Case{true, {0, 600}}}) {
        SCOPED_TRACE(c.Wide ? "wide" : "4:3");
        Cap.StopPreview();
        TCustomVideoCap::MinZoom = 0.3f;
        Cap.resize(c.Empty);
        ASSERT_EQ(Cap.size(), c.Empty);
        Cap.SetWideMOde(c.Wide);
        ASSERT_TRUE(Start()); // the first frame fits the picture again
        EXPECT_EQ(TCustomVideoCap::MinZoom, 0.3f);
        EXPECT_EQ(Cap.Zoom(), 0.3f);

        // Laid out: the 480x360 picture sits centred at (260, 120), and a
        // selection is measured at k = 1 / 0.3.
        Cap.resize(1000, 600);
        Spin(20);
        Cap.SetSelectionMode(true);
        const size_t before = Selections.size();
        Drag({300, 200}, {400, 300});
        ASSERT_TRUE(WaitUntil([&] { return Selections.size() == before + 1; }, 2000));
        EXPECT_EQ(Selections.back(), (TRect{133, 267, 466, 600}));
        Cap.SetSelectionMode(false);
    }
}

TEST_F(Geometry, FittingAndCentring)
{
    ASSERT_TRUE(Start());
    Cap.SetSelectionMode(true);
    const int filters = ChangeFilterCount;
    struct Case
    {
        const char *Name;
        void (TCustomVideoCap::*Fit)();
        float Zoom;
        QRect Window;
    };
    const Case cases[] = {
        {"height", &TCustomVideoCap::FitHeight, 0.5f, {100, 0, 800, 600}},
        {"width", &TCustomVideoCap::FitWidth, 0.625f, {0, -75, 1000, 750}},
        {"screen", &TCustomVideoCap::FitScreen, 0.5f, {100, 0, 800, 600}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        Cap.SetZoom(2.0f);
        const int raised = ChangeZoomCount;
        (Cap.*c.Fit)();
        EXPECT_EQ(Cap.Zoom(), c.Zoom);
        EXPECT_EQ(ChangeZoomCount, raised + 1);
        EXPECT_EQ(PictureWindow(), c.Window);
    }
    // FitScreen alone leaves selection mode (the flag, with OnChangeFilter).
    EXPECT_FALSE(Cap.SelectionMode());
    EXPECT_EQ(ChangeFilterCount, filters + 1);

    // Centring works from the unscaled size: at zoom 1 the picture is
    // centred; at zoom 2 the same position shows the picture's upper left.
    Cap.SetZoom(1.0f);
    PlaceAt({0, 0});
    Cap.Centre();
    EXPECT_EQ(Cap.Location(), (TPoint{-300, -300}));
    EXPECT_EQ(PictureWindow(), QRect(-300, -300, 1600, 1200));
    Cap.SetZoom(2.0f);
    PlaceAt({0, 0});
    Cap.Centre();
    EXPECT_EQ(PictureWindow(), QRect(-300, -300, 3200, 2400));
}

TEST_F(Geometry, ZoomKeepsThePicturesCentre)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        float From;
        TPoint At;
        float To;
        QRect Window;
    };
    const Case cases[] = {
        // 1600 -> 1760 wide: X = -300 - 80; 1200 -> 1320 high: Y = -300 - 60.
        {1.0f, {-300, -300}, 1.1f, {-380, -360, 1760, 1320}},
        // A picture that fits is centred.
        {1.0f, {-300, -300}, 0.5f, {100, 0, 800, 600}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.From << " -> " << c.To);
        Cap.SetZoom(c.From);
        PlaceAt(c.At);
        Cap.SetZoom(c.To);
        EXPECT_EQ(PictureWindow(), c.Window);
        EXPECT_EQ(Cap.Location(), (TPoint{c.Window.x(), c.Window.y()}));
    }
}

TEST_F(Geometry, TheWheelZoomsByFourHundredthsANotch)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        float From;
        int Delta;
        float Expected;
    };
    const Case cases[] = {
        {1.0f, 120, 1.04f}, {1.0f, -120, 0.96f}, {0.52f, -120, 0.5f}, // not below the fit
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.From << " by " << c.Delta);
        Cap.SetZoom(c.From);
        const int raised = ChangeZoomCount;
        Wheel(c.Delta);
        EXPECT_EQ(Cap.Zoom(), c.Expected);
        EXPECT_EQ(ChangeZoomCount, raised + 1);
    }
}

TEST_F(Geometry, PanningStopsAtTheEdges)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        float Zoom;
        TPoint At;
        QPoint From, To;
        TPoint Expected;
    };
    const Case cases[] = {
        // At zoom 2 the picture is 3200 x 2400: it follows the mouse.
        {2.0f, {-100, -50}, {500, 300}, {450, 280}, {-150, -70}},
        // Its left and top edges never come right of or below the control's.
        {2.0f, {-100, -50}, {200, 200}, {900, 500}, {0, 0}},
        // At the 4:3 fit the picture is as high as the control and narrower:
        // centred across whatever the drag, and it cannot move up or down.
        {0.5f, {100, 0}, {500, 300}, {800, 550}, {100, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.Zoom << " drag " << c.From.x() << ","
                                        << c.From.y() << " -> " << c.To.x() << "," << c.To.y());
        Cap.SetZoom(c.Zoom);
        PlaceAt(c.At);
        Drag(c.From, c.To);
        EXPECT_EQ(Cap.Location(), c.Expected);
        EXPECT_EQ(PictureWindow().topLeft(), QPoint(c.Expected.X, c.Expected.Y));
    }
    EXPECT_TRUE(Selections.empty());
}

TEST_F(Geometry, EachMovePansByItsOwnStep)
{
    ASSERT_TRUE(Start());
    Cap.SetZoom(2.0f);
    PlaceAt({-1000, -1000});
    Press({500, 300});
    for (int i = 1; i <= 5; ++i) {
        MoveTo({500 + 10 * i, 300 - 5 * i});
        EXPECT_EQ(Cap.Location(), (TPoint{-1000 + 10 * i, -1000 - 5 * i})) << i;
    }
    Release({550, 275});
    // Moves without a button do nothing.
    MoveTo({100, 100});
    EXPECT_EQ(Cap.Location(), (TPoint{-950, -1025}));
    // A drag with the right button does not pan either.
    Press({500, 300}, Qt::RightButton);
    MoveTo({600, 400});
    Release({600, 400}, Qt::RightButton);
    EXPECT_EQ(Cap.Location(), (TPoint{-950, -1025}));
}

TEST_F(Geometry, SelectionDragReportsPicturePixels)
{
    ASSERT_TRUE(Start());
    Cap.SetZoom(2.0f);
    PlaceAt({-100, -50});
    Cap.SetSelectionMode(true);

    // From (300, 200) up and left to (100, 100): the rectangle is normalised
    // and converted at k = 1 / 2.
    Press({300, 200});
    EXPECT_TRUE(Cap.GrabberCB().SelectionMode());
    EXPECT_EQ(Cap.GrabberCB().SelectionRect(), TRect{});
    MoveTo({200, 150});
    EXPECT_EQ(Cap.GrabberCB().SelectionRect(), (TRect{150, 100, 200, 125}));
    MoveTo({100, 100});
    EXPECT_EQ(Cap.GrabberCB().SelectionRect(), (TRect{100, 75, 200, 125}));
    Release({100, 100});
    EXPECT_FALSE(Cap.GrabberCB().SelectionMode()); // the tint is off
    ASSERT_TRUE(WaitUntil([&] { return !Selections.empty(); }, 2000));
    ASSERT_EQ(Selections.size(), 1u);
    EXPECT_EQ(Selections[0], (TRect{100, 75, 200, 125}));
    // Selecting does not pan.
    EXPECT_EQ(Cap.Location(), (TPoint{-100, -50}));

    // A drag that starts beside the picture is measured from the picture's
    // corner all the same (at the fit the picture starts at x = 100).
    Cap.SetZoom(0.5f);
    Drag({50, 100}, {300, 400});
    ASSERT_TRUE(WaitUntil([&] { return Selections.size() == 2; }, 2000));
    EXPECT_EQ(Selections[1], (TRect{-100, 200, 400, 800}));
}

TEST_F(Geometry, MouseEventsSwitchedOffChangeNothing)
{
    ASSERT_TRUE(Start());
    Cap.SetZoom(2.0f);
    PlaceAt({-100, -50});
    Cap.SetEnableMouseEvent(false);
    const int raised = ChangeZoomCount;
    Drag({500, 300}, {100, 100});
    Wheel(120);
    Cap.SetSelectionMode(true);
    Drag({300, 200}, {100, 100});
    Spin(100);
    EXPECT_EQ(Cap.Zoom(), 2.0f);
    EXPECT_EQ(Cap.Location(), (TPoint{-100, -50}));
    EXPECT_EQ(ChangeZoomCount, raised);
    EXPECT_TRUE(Selections.empty());
    EXPECT_EQ(Cap.GrabberCB().SelectionRect(), TRect{});

    // On again: the same drag selects.
    Cap.SetEnableMouseEvent(true);
    Drag({300, 200}, {100, 100});
    EXPECT_TRUE(WaitUntil([&] { return Selections.size() == 1; }, 2000));
}

TEST_F(Geometry, StretchedPictureCoversTheControlAtAnyZoom)
{
    ASSERT_TRUE(Start());
    Cap.SetAspectRatio(false); // restarts the preview
    ASSERT_TRUE(WaitUntil([&] { return StartCount == 2; }));
    for (const float zoom : {0.5f, 1.0f, 3.0f}) {
        Cap.SetZoom(zoom);
        EXPECT_EQ(PictureWindow(), QRect(0, 0, 1000, 600)) << zoom;
    }
    Cap.Centre();
    EXPECT_EQ(PictureWindow(), QRect(0, 0, 1000, 600));
}

TEST_F(Geometry, WithoutACameraNothingFails)
{
    TCustomVideoCap empty;
    empty.resize(1000, 600);
    int raised = 0;
    empty.OnChangeZoom = [&](TCustomVideoCap *) {
        ++raised;
    };
    empty.SetZoom(2.0f);
    ASSERT_EQ(raised, 1);
    // The fits leave the zoom alone; the wide mode leaves the minimum alone.
    empty.FitHeight();
    empty.FitWidth();
    empty.FitScreen();
    EXPECT_EQ(empty.Zoom(), 2.0f);
    EXPECT_EQ(raised, 1);
    empty.SetWideMOde(true);
    EXPECT_EQ(TCustomVideoCap::MinZoom, 0.1f);
    EXPECT_EQ(empty.Zoom(), 0.1f);
    // The empty picture sits at the control's centre.
    empty.Centre();
    EXPECT_EQ(empty.Location(), (TPoint{500, 300}));
    EXPECT_EQ(empty.VideoWindow(), nullptr);
}

TEST_F(Geometry, NoStalePictureAroundThePicture)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitUntil([&] { return Cap.VideoWindow()->FramesPresented() >= 2; }));
    const QString folder = qEnvironmentVariable("OVILEN_GEOMETRY_PNG");
    struct Step
    {
        const char *Name;
        std::function<void()> Do;
    };
    const Step steps[] = {
        {"zoom-2",
         [&] {
             Cap.SetZoom(2.0f);
         }},
        {"zoom-out-to-fit",
         [&] {
             Cap.SetZoom(0.5f);
         }},
        {"zoom-1-then-0.6",
         [&] {
             Cap.SetZoom(1.0f);
             Shown();
             Cap.SetZoom(0.6f);
         }},
        {"wide-centred",
         [&] {
             Cap.SetWideMOde(true);
             Cap.Centre();
         }},
        {"panned-down",
         [&] {
             Drag({500, 100}, {500, 500});
         }},
        {"back-to-4:3",
         [&] {
             Cap.SetWideMOde(false);
         }},
        {"invalidated",
         [&] {
             Cap.CustomInvalidate();
         }},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.Name);
        step.Do();
        const QImage shown = Shown();
        if (!folder.isEmpty())
            shown.save(folder + "/" + step.Name + ".png");
        ASSERT_EQ(shown.size(), QSize(1000, 600));
        EXPECT_EQ(StalePixels(shown, PictureWindow()), 0);
        // The picture itself is shown where its window is.
        const QRect inside = PictureWindow().intersected(Cap.rect());
        EXPECT_NE(shown.pixelColor(inside.center()), Background);
    }
    // Stopped: the background everywhere.
    Cap.StopPreview();
    EXPECT_EQ(StalePixels(Shown(), QRect()), 0);
}

} // namespace
