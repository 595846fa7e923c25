// The drawing commands on the real canvas library: what each tag does to the
// drawing, the files and the window, with real mouse events on the canvas.
#include "DrawingTestSupport.h"
#include "app/FileNames.h"
#include "scene/ImageButton.h"
#include "scene/OptionFrame.h"
#include "support/CustomResource.h"

#include <QFile>
#include <csignal>
#include <sys/resource.h>

namespace {

constexpr QRgb Red = 0xFFDB214C;

// Files of this process may grow no larger than ABytes while it lives; a
// write beyond fails (EFBIG) instead of raising SIGXFSZ.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t ABytes)
    {
        getrlimit(RLIMIT_FSIZE, &FSaved);
        FHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FSaved;
        limit.rlim_cur = ABytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FHandler);
    }

private:
    rlimit FSaved{};
    void (*FHandler)(int) = nullptr;
};

using DrawingCommands = DrawingFixture;

TEST_F(DrawingCommands, TagsWithoutCommandDoNothing)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Drag({50, 75}, {350, 75});
    const QImage before = Snapshot();
    const auto enabled = View.Enabled;
    const auto pressed = View.Pressed;
    const auto images = View.Images;
    // A button's integer tag outside the table reaches no command.
    for (int tag : {0, 8, 15, 99, -1})
        Click(TDrawingTag(tag));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(View.Enabled, enabled);
    EXPECT_EQ(View.Pressed, pressed);
    EXPECT_EQ(View.Images, images);
    EXPECT_TRUE(View.Messages.isEmpty());
    EXPECT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_PEN);
    auto &popups = Commands->Popups();
    EXPECT_FALSE(popups.PenOption.isVisible() || popups.EraserTool.isVisible() ||
                 popups.ShapeTool.isVisible() || popups.BoardTool.isVisible());
}

TEST_F(DrawingCommands, PictureIsSizedCentredAndMoveFollowsItsSize)
{
    struct Case
    {
        QSize Picture;
        QRect Viewport; // the canvas's surface in its 800 × 600 host
        bool Move;
    };
    const Case cases[] = {{{400, 300}, {200, 150, 400, 300}, false},
                          {{800, 600}, {0, 0, 800, 600}, false},
                          {{1600, 1200}, {0, 0, 800, 600}, true},
                          {{900, 300}, {0, 150, 800, 300}, true}};
    for (const Case &c : cases) {
        Commands->SetCanvasPicture(Quadrants(c.Picture.width(), c.Picture.height()));
        EXPECT_EQ(Canvas->Width(), c.Picture.width());
        EXPECT_EQ(Canvas->Height(), c.Picture.height());
        EXPECT_EQ(Surface()->geometry(), c.Viewport) << c.Picture.width();
        EXPECT_EQ(View.IsEnabled(TDrawingTag::Move), c.Move) << c.Picture.width();
        EXPECT_FALSE(View.IsPressed(TDrawingTag::Rotate));
        EXPECT_EQ(Canvas->BackgroundColor() & 0xFFFFFF, 0u);
    }
}

TEST_F(DrawingCommands, RedStrokeIsSavedWhereItWasDrawnAndUndoTakesItBack)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Commands->SelectPenColor(QStringLiteral("#FFDB214C"));
    Drag({50, 75}, {350, 75});
    Click(TDrawingTag::Save);
    QStringList files = FilesIn(Config->PathImage);
    ASSERT_EQ(files.size(), 1);
    const QString saved = Config->PathImage + u'/' + files.first();
    ASSERT_EQ(View.Messages.size(), 1);
    EXPECT_EQ(View.Messages.first(), u'"' + saved + QStringLiteral("\" 저장 되었습니다."));
    QImage jpeg(saved);
    ASSERT_EQ(jpeg.size(), QSize(400, 300));
    EXPECT_TRUE(Near(jpeg.pixel(100, 75), Red));
    EXPECT_TRUE(Near(jpeg.pixel(300, 75), Red));
    EXPECT_TRUE(Near(jpeg.pixel(100, 40), QuadrantColours[0]));
    EXPECT_TRUE(Near(jpeg.pixel(300, 110), QuadrantColours[1]));
    EXPECT_TRUE(Near(jpeg.pixel(100, 250), QuadrantColours[2]));

    Click(TDrawingTag::Undo);
    Click(TDrawingTag::Save);
    files = FilesIn(Config->PathImage);
    ASSERT_EQ(files.size(), 2);
    jpeg = QImage(Config->PathImage + u'/' + files.last());
    EXPECT_TRUE(Near(jpeg.pixel(100, 75), QuadrantColours[0]));
    EXPECT_TRUE(Near(jpeg.pixel(300, 75), QuadrantColours[1]));

    Click(TDrawingTag::Redo);
    EXPECT_EQ(Snapshot().pixel(200, 75) & 0xFFFFFF, Red & 0xFFFFFF);
}

TEST_F(DrawingCommands, FailedSaveSaysSoAndKeepsTheDrawing)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Commands->SelectPenColor(QStringLiteral("#FFDB214C"));
    Drag({50, 75}, {350, 75});
    // The image folder cannot be made: its parent is a plain file.
    writeFile(Home.file(QStringLiteral("blocker")), "not a folder");
    Config->PathImage = Home.file(QStringLiteral("blocker/Image"));
    Click(TDrawingTag::Save);
    ASSERT_EQ(View.Messages.size(), 1);
    EXPECT_EQ(View.Messages.first(), Language->Msg.m_SaveError);
    EXPECT_EQ(Snapshot().pixel(200, 75) & 0xFFFFFF, Red & 0xFFFFFF);
    Click(TDrawingTag::Undo);
    EXPECT_EQ(Snapshot().pixel(100, 75), QuadrantColours[0]) << "the stroke is still undoable";
}

TEST_F(DrawingCommands, RotatingFourTimesTurnsTheDrawingAndComesBack)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Commands->SelectPenColor(QStringLiteral("#FFDB214C"));
    Drag({20, 20}, {60, 20});
    struct Step
    {
        int Angle;
        bool Move;
        QSize Size;
        QPoint Stroke; // where the stroke's middle is now
        QRgb TopLeft;  // the picture's corner colour
    };
    const Step steps[] = {{90, true, {300, 400}, {279, 40}, QuadrantColours[2]},
                          {180, false, {400, 300}, {359, 279}, QuadrantColours[3]},
                          {270, true, {300, 400}, {20, 359}, QuadrantColours[1]},
                          {0, false, {400, 300}, {40, 20}, QuadrantColours[0]}};
    for (const Step &s : steps) {
        Click(TDrawingTag::Rotate);
        EXPECT_EQ(Commands->RotationAngle(), s.Angle);
        EXPECT_EQ(View.IsPressed(TDrawingTag::Rotate), s.Angle != 0);
        EXPECT_EQ(View.IsEnabled(TDrawingTag::Move), s.Move) << s.Angle;
        EXPECT_FALSE(View.Waiting);
        EXPECT_TRUE(Canvas->Visible());
        QImage now = Snapshot();
        ASSERT_EQ(now.size(), s.Size) << s.Angle;
        EXPECT_TRUE(Near(now.pixel(s.Stroke), Red)) << s.Angle;
        EXPECT_TRUE(Near(now.pixel(5, 5), s.TopLeft)) << s.Angle;
        // The turn is part of the picture: nothing to undo.
        Click(TDrawingTag::Undo);
        EXPECT_EQ(Snapshot(), now) << s.Angle;
    }
    EXPECT_EQ(QImage(GetRotateTempFileName()).size(), QSize(300, 400));
    EXPECT_TRUE(View.Messages.isEmpty());
}

TEST_F(DrawingCommands, RotateStopsWhenItsSnapshotCannotBeWritten)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Drag({20, 20}, {60, 20});
    Click(TDrawingTag::Rotate);
    ASSERT_EQ(Commands->RotationAngle(), 90);
    const QImage before = Snapshot();
    // A picture of an earlier rotation is still there, and the new snapshot
    // cannot be written: files may grow no larger than a few kilobytes.
    ASSERT_TRUE(Quadrants(50, 50).save(GetRotateTempFileName(), "BMP"));
    {
        TFileSizeLimit limit(4096);
        Click(TDrawingTag::Rotate);
    }
    EXPECT_EQ(Commands->RotationAngle(), 90);
    EXPECT_TRUE(View.IsPressed(TDrawingTag::Rotate));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(View.Waiting);
    ASSERT_EQ(View.Messages.size(), 1);
    EXPECT_EQ(View.Messages.first(), Language->Msg.m_SaveError);
    // Once files can be written again, the drawing turns on.
    Click(TDrawingTag::Rotate);
    EXPECT_EQ(Commands->RotationAngle(), 180);
    EXPECT_EQ(Snapshot().size(), QSize(400, 300));
}

TEST_F(DrawingCommands, PenColourAndTypeChooseTheButtonImagesAndChecks)
{
    auto &popup = Commands->Popups().PenOption;
    EXPECT_EQ(View.Images[TDrawingTag::PenOption], QStringLiteral("RES_DRAWING_MENU_PEN_White_"));
    EXPECT_TRUE(popup.PenFrame()->Outlined());
    EXPECT_FALSE(popup.MarkerFrame()->Outlined());
    EXPECT_TRUE(popup.WidthFrame(1)->Outlined());
    EXPECT_TRUE(popup.Swatch(0)->Checked());
    EXPECT_EQ(Commands->PenWidth(), 5);
    EXPECT_FLOAT_EQ(Canvas->PenThickness(), 5.0f);
    EXPECT_EQ(Canvas->PenColor() & 0xFFFFFF, 0xFFFFFFu);

    Click(TDrawingTag::PenOption);
    ASSERT_TRUE(popup.isVisible());
    QTest::mouseClick(popup.Swatch(2), Qt::LeftButton);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(popup.Swatch(k)->Checked(), k == 2) << k;
    EXPECT_EQ(Canvas->PenColor() & 0xFFFFFF, 0x4C21DBu);
    EXPECT_EQ(Commands->GetPenColorText(), QStringLiteral("#FFDB214C"));
    EXPECT_EQ(View.Images[TDrawingTag::PenOption], QStringLiteral("RES_DRAWING_MENU_PEN_Red_"));

    QTest::mouseClick(popup.MarkerFrame(), Qt::LeftButton);
    EXPECT_EQ(Commands->PenType(), cptMarker);
    EXPECT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_MARKER);
    EXPECT_FALSE(popup.PenFrame()->Outlined());
    EXPECT_TRUE(popup.MarkerFrame()->Outlined());
    EXPECT_EQ(View.Images[TDrawingTag::PenOption], QStringLiteral("RES_DRAWING_MENU_MARKER_Red_"));

    // The move tool keeps the images and the outlines.
    Click(TDrawingTag::Move);
    EXPECT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_MOVE);
    EXPECT_TRUE(popup.MarkerFrame()->Outlined());
    EXPECT_EQ(View.Images[TDrawingTag::PenOption], QStringLiteral("RES_DRAWING_MENU_MARKER_Red_"));
}

TEST_F(DrawingCommands, WidthFramesSetTheThickness)
{
    auto &popup = Commands->Popups().PenOption;
    Click(TDrawingTag::PenOption);
    const int widths[] = {3, 5, 8, 10, 15};
    for (int k = 0; k < 5; ++k) {
        QTest::mouseClick(popup.WidthFrame(k), Qt::LeftButton);
        EXPECT_EQ(Commands->PenWidth(), widths[k]);
        EXPECT_FLOAT_EQ(Canvas->PenThickness(), float(widths[k]));
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(popup.WidthFrame(j)->Outlined(), j == k);
    }
    // A thickness of no frame outlines none.
    Commands->SelectPenWidth(4);
    for (int j = 0; j < 5; ++j)
        EXPECT_FALSE(popup.WidthFrame(j)->Outlined());
    EXPECT_FLOAT_EQ(Canvas->PenThickness(), 4.0f);
}

TEST_F(DrawingCommands, PenOptionsAfterTheMoveToolDrawAgain)
{
    struct Case
    {
        TCustomPenType Family;
        uint8_t Tool;
    };
    for (const Case c : {Case{cptPen, KARVO_TOOL_PEN}, Case{cptMarker, KARVO_TOOL_MARKER}}) {
        Commands->SelectPenType(c.Family);
        Click(TDrawingTag::Move);
        ASSERT_EQ(Commands->PenType(), cptMove);
        Click(TDrawingTag::PenOption);
        EXPECT_EQ(Commands->PenType(), c.Family);
        EXPECT_EQ(Canvas->StoredPenTool(), c.Tool);
        EXPECT_TRUE(Commands->Popups().PenOption.isVisible());
        Commands->Popups().PenOption.close();
    }
    // A shape or the eraser gives way to the pen type as well.
    Click(TDrawingTag::ShapeTool);
    QTest::mouseClick(Commands->Popups().ShapeTool.Button(1), Qt::LeftButton);
    ASSERT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_RECTANGLE);
    Click(TDrawingTag::PenOption);
    EXPECT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_MARKER);
}

TEST_F(DrawingCommands, EraserAndShapePopupsChooseTools)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    auto &popups = Commands->Popups();
    struct Case
    {
        TDrawingTag Tag;
        TToolPopup *Popup;
        int Button;
        uint8_t Tool;
    };
    const Case cases[] = {{TDrawingTag::EraserTool, &popups.EraserTool, 0, KARVO_TOOL_ERASER},
                          {TDrawingTag::ShapeTool, &popups.ShapeTool, 0, KARVO_TOOL_LINE},
                          {TDrawingTag::ShapeTool, &popups.ShapeTool, 1, KARVO_TOOL_RECTANGLE},
                          {TDrawingTag::ShapeTool, &popups.ShapeTool, 2, KARVO_TOOL_ELLIPSE}};
    for (const Case &c : cases) {
        Click(c.Tag);
        ASSERT_TRUE(c.Popup->isVisible());
        // Below its button, centred on it.
        const QWidget *button = DrawingView.Buttons.at(c.Tag);
        EXPECT_EQ(c.Popup->x() + c.Popup->width() / 2,
                  button->mapToGlobal(QPoint(button->width() / 2, 0)).x());
        EXPECT_EQ(c.Popup->y(), button->mapToGlobal(QPoint(0, button->height())).y());
        QTest::mouseClick(c.Popup->Button(c.Button), Qt::LeftButton);
        EXPECT_FALSE(c.Popup->isVisible());
        EXPECT_EQ(Canvas->StoredPenTool(), c.Tool);
    }

    // The eraser's "all" takes every annotation away, undoably.
    Commands->SelectPenType(cptPen);
    Drag({50, 75}, {350, 75});
    Drag({50, 225}, {350, 225});
    Click(TDrawingTag::EraserTool);
    QTest::mouseClick(popups.EraserTool.Button(1), Qt::LeftButton);
    EXPECT_EQ(Snapshot(), Quadrants(400, 300));
    Click(TDrawingTag::Undo);
    EXPECT_EQ(Snapshot().pixel(200, 225) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(DrawingCommands, FlipsAndInvertTurnTheDrawing)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Click(TDrawingTag::FlipHorz);
    EXPECT_EQ(Snapshot().pixel(5, 5), QuadrantColours[1]);
    Click(TDrawingTag::FlipVert);
    EXPECT_EQ(Snapshot().pixel(5, 5), QuadrantColours[3]);
    Click(TDrawingTag::InvertColor);
    EXPECT_EQ(Snapshot().pixel(5, 5) & 0xFFFFFF, ~QuadrantColours[3] & 0xFFFFFF);
}

TEST_F(DrawingCommands, BoardPopupOpensOnARightClickAndGivesAnEmptyBoard)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Drag({50, 75}, {350, 75});
    auto &board = Commands->Popups().BoardTool;
    const QPoint at(120, 90);
    QTest::mouseClick(Surface(), Qt::RightButton, {}, at);
    ASSERT_TRUE(WaitUntil([&] { return board.isVisible(); }, 2000));
    EXPECT_EQ(board.x() + board.width() / 2, Surface()->mapToGlobal(at).x());
    EXPECT_EQ(board.y(), Surface()->mapToGlobal(at).y());
    EXPECT_EQ(Snapshot().pixel(200, 75) & 0xFFFFFF, 0xFFFFFFu) << "a right-click draws nothing";

    struct Case
    {
        int Button;
        QRgb Colour;
    };
    for (const Case c : {Case{2, 0xFF225550}, Case{1, 0xFFFFFFFF}, Case{0, 0xFF000000}}) {
        Commands->ShowBoardPopup(Surface()->mapToGlobal(at));
        QTest::mouseClick(board.Button(c.Button), Qt::LeftButton);
        EXPECT_FALSE(board.isVisible());
        const QImage now = Snapshot();
        EXPECT_EQ(now.size(), QSize(400, 300));
        for (const QPoint p : {QPoint(5, 5), QPoint(200, 75), QPoint(395, 295)})
            EXPECT_EQ(now.pixel(p), c.Colour) << c.Button;
    }
    // A board is drawn on like a picture.
    Commands->SelectPenColor(QStringLiteral("#FFDB214C"));
    Drag({50, 150}, {350, 150});
    EXPECT_EQ(Snapshot().pixel(200, 150) & 0xFFFFFF, Red & 0xFFFFFF);
}

TEST_F(DrawingCommands, LoadFitsThePictureAndRefusesWhatItCannotRead)
{
    const QString big = Home.file(QStringLiteral("big.png"));
    ASSERT_TRUE(Quadrants(1600, 1000).save(big));
    View.FileToOpen = big;
    Click(TDrawingTag::Load);
    EXPECT_EQ(View.LastFilter, QStringLiteral("Images|*.PNG;*.JPG;*.JPEG;*.BMP;*.GIF"));
    EXPECT_EQ(Canvas->Width(), 800);
    EXPECT_EQ(Canvas->Height(), 500);
    EXPECT_FALSE(View.IsEnabled(TDrawingTag::Move));
    EXPECT_TRUE(Near(Snapshot().pixel(600, 400), QuadrantColours[3], 4));

    const QString small = Home.file(QStringLiteral("small.jpg"));
    ASSERT_TRUE(Quadrants(200, 100).save(small));
    View.FileToOpen = small;
    Click(TDrawingTag::Load);
    EXPECT_EQ(Canvas->Width(), 200) << "a smaller picture keeps its size";

    const QImage before = Snapshot();
    const QString junk = Home.file(QStringLiteral("junk.png"));
    writeFile(junk, "not a picture");
    View.FileToOpen = junk;
    Click(TDrawingTag::Load);
    ASSERT_EQ(View.Messages.size(), 1);
    EXPECT_EQ(View.Messages.first(), Language->Msg.m_LoadError);
    EXPECT_EQ(Snapshot(), before);

    View.FileToOpen = Home.file(QStringLiteral("gone.png"));
    Click(TDrawingTag::Load);
    View.FileToOpen.clear();
    Click(TDrawingTag::Load);
    EXPECT_EQ(View.Messages.size(), 1);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(DrawingCommands, EntryDrawsOnThePreviewPictureAndKeepsItForBack)
{
    // A picture kept by an earlier entry is replaced.
    ASSERT_TRUE(Quadrants(300, 200).save(GetCaptureTempFileName(), "BMP"));
    DrawingView.Picture = Quadrants(640, 360).mirrored(true, false);
    Commands->CaptureForDrawing();
    EXPECT_EQ(DrawingView.PicturesTaken, 1);
    EXPECT_EQ(DrawingView.Maximized, 1);
    const QImage kept(GetCaptureTempFileName());
    EXPECT_EQ(kept.convertToFormat(QImage::Format_RGB32), DrawingView.Picture);
    const QImage entered = Snapshot();
    EXPECT_EQ(entered, DrawingView.Picture);

    Drag({100, 100}, {300, 100});
    ASSERT_NE(Snapshot(), entered);
    Click(TDrawingTag::Rotate);
    Click(TDrawingTag::Back);
    EXPECT_EQ(Snapshot(), entered);
    EXPECT_EQ(Commands->RotationAngle(), 0);

    // In full screen the window state is left alone.
    View.FullScreenOn = true;
    Commands->CaptureForDrawing();
    EXPECT_EQ(DrawingView.Maximized, 1);
}

TEST_F(DrawingCommands, EntryWithoutAPictureLeavesTheCanvasAndTheKeptPicture)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    ASSERT_TRUE(Quadrants(300, 200).save(GetCaptureTempFileName(), "BMP"));
    const QImage before = Snapshot();
    DrawingView.Picture = QImage();
    Commands->CaptureForDrawing();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(QImage(GetCaptureTempFileName()).size(), QSize(300, 200));
    EXPECT_EQ(DrawingView.Maximized, 0);
}

TEST_F(DrawingCommands, BackWithoutAKeptPictureDoesNothing)
{
    QFile::remove(GetCaptureTempFileName());
    Commands->SetCanvasPicture(Quadrants(400, 300));
    Drag({50, 75}, {350, 75});
    const QImage before = Snapshot();
    Click(TDrawingTag::Back);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(View.Messages.isEmpty());
}

} // namespace

namespace {

// The popups take every image from the skin beside the program.
TEST(DrawingPopupSkin, EveryImageComesFromTheSkin)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open());
    QWidget window;
    TDrawingPopups popups(&window);
    const QImage bare = popups.PenOption.grab().toImage();
    popups.LoadSkin(skin);
    EXPECT_NE(popups.PenOption.grab().toImage(), bare);
    EXPECT_EQ(popups.PenOption.parentWidget(), &window);
    EXPECT_EQ(popups.BoardTool.accessibleName(), QStringLiteral("PopupBoardTool"));
    for (TToolPopup *popup : {&popups.EraserTool, &popups.ShapeTool, &popups.BoardTool})
        for (int k = 0; k < popup->Count(); ++k) {
            const TImageButton *button = popup->Button(k);
            EXPECT_EQ(button->NormalImage().size(), QSize(55, 55))
                << button->objectName().toStdString();
            EXPECT_NE(button->NormalImage(), button->PressedImage());
            EXPECT_NE(button->NormalImage(), button->HotImage());
        }
    // Each board shows its own face.
    EXPECT_NE(popups.BoardTool.Button(0)->NormalImage(), popups.BoardTool.Button(2)->NormalImage());
}

} // namespace
