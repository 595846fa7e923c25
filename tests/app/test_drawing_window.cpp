// The drawing menu end to end: the real window on a simulated camera in a
// temporary home, driven through its buttons and the canvas with real mouse
// events sent to the window; saved JPEGs and the canvas read back.
#include "MainWindowFixture.h"
#include "app/DrawingCommands.h"
#include "app/FileNames.h"
#include "app/MessageDlg.h"
#include "canvas/TKARVOCanvas.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/OptionFrame.h"
#include "scene/TabButton.h"
#include "support/Config.h"
#include "support/CustomResource.h"
#include "support/Language.h"

#include <QDir>

namespace {

constexpr QRgb Red = 0xFFDB214C;

bool Near(QRgb A, QRgb B, int ATolerance = 28)
{
    return std::abs(qRed(A) - qRed(B)) <= ATolerance &&
           std::abs(qGreen(A) - qGreen(B)) <= ATolerance &&
           std::abs(qBlue(A) - qBlue(B)) <= ATolerance;
}

class DrawingWindow : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        StartLive();
    }

    QWidget *Button(const char *AName) const { return Form->MenuButton(QLatin1String(AName)); }
    // A left click on a control, sent to its window at the control's middle.
    static void Click(QWidget *AControl, Qt::MouseButton AButton = Qt::LeftButton,
                      QPoint AAt = {-1, -1})
    {
        QWidget *window = AControl->window();
        const QPoint at = AAt.x() < 0 ? AControl->rect().center() : AAt;
        QTest::mouseClick(window->windowHandle(), AButton, {}, AControl->mapTo(window, at));
    }
    void EnterDrawing()
    {
        Click(Form->tabDrawing, Qt::LeftButton, QPoint(60, 10));
        ASSERT_EQ(Form->MenuType(), cmtDrawing);
        ASSERT_TRUE(Form->pnlDrawing->isVisible());
    }
    // The canvas's surface in the drawing area.
    QWidget *Surface() const { return Form->CanvasHost()->findChild<QWidget *>(); }
    // A drawing point in the window's coordinates (the drawing is centred).
    QPoint InWindow(QPoint ADrawing) const
    {
        const QWidget *surface = Surface();
        const QPoint origin((surface->width() - Form->Canvas()->Width()) / 2,
                            (surface->height() - Form->Canvas()->Height()) / 2);
        return surface->mapTo(Form.get(), ADrawing + origin);
    }
    // A left-button drag through the window, in drawing coordinates.
    void Drag(QPoint AFrom, QPoint ATo, int ASteps = 16)
    {
        QWindow *window = Form->windowHandle();
        QTest::mousePress(window, Qt::LeftButton, {}, InWindow(AFrom));
        for (int i = 1; i <= ASteps; ++i)
            QTest::mouseMove(window, InWindow(AFrom + (ATo - AFrom) * i / ASteps));
        QTest::mouseRelease(window, Qt::LeftButton, {}, InWindow(ATo));
    }
    QImage Snapshot()
    {
        const QString name = Home.file(QStringLiteral("snapshot.png"));
        EXPECT_TRUE(Form->Canvas()->SaveToSnapshot(name));
        return QImage(name).convertToFormat(QImage::Format_RGB32);
    }
    // Clicks the save button, answers the message and returns it and the
    // newest file of the image folder.
    std::pair<QString, QString> Save()
    {
        const QStringList before = QDir(Config->PathImage).entryList(QDir::Files);
        TDialogAnswer answer(mrOk);
        Click(Button("btnDrawing_Save"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.Answered() == 1; }, 5000));
        QStringList after = QDir(Config->PathImage).entryList(QDir::Files, QDir::Name);
        for (const QString &name : before)
            after.removeAll(name);
        return {answer.Text(),
                after.isEmpty() ? QString() : Config->PathImage + u'/' + after.first()};
    }
    QImage Skin(const QString &AName)
    {
        QImage image;
        SkinResource->LoadFromResource(&image, AName);
        return image;
    }
    bool Pressed(const char *AName) const
    {
        return static_cast<TImageButton *>(Button(AName))->IsPressed();
    }
};

TEST_F(DrawingWindow, RedStrokeIsSavedUndoneTurnedAndTheEntryPictureComesBack)
{
    EnterDrawing();
    const QImage entered = Snapshot();
    ASSERT_EQ(entered.size(), Form->VideoCap()->size()) << "the component's whole window";
    EXPECT_EQ(entered, QImage(GetCaptureTempFileName()).convertToFormat(QImage::Format_RGB32));

    // Red from the pen options.
    Click(Button("btnDrawing_PenOption"));
    TPenOptionPopup &popup = Form->DrawingCommands()->Popups().PenOption;
    ASSERT_TRUE(popup.isVisible());
    Click(popup.Swatch(2));
    popup.close();

    const QPoint from(200, 150), to(600, 150);
    Drag(from, to);
    const auto [message, saved] = Save();
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_EQ(message, u'"' + saved + QStringLiteral("\" ") + Language->Msg.m_Saved);
    QImage jpeg(saved);
    ASSERT_EQ(jpeg.size(), entered.size());
    for (const int x : {220, 400, 580})
        EXPECT_TRUE(Near(jpeg.pixel(x, 150), Red)) << x;
    for (const QPoint p : {QPoint(400, 120), QPoint(100, 150), QPoint(700, 300)})
        EXPECT_TRUE(Near(jpeg.pixel(p), entered.pixel(p))) << p.x() << "," << p.y();

    Click(Button("btnDrawing_Undo"));
    jpeg = QImage(Save().second);
    for (const int x : {220, 400, 580})
        EXPECT_TRUE(Near(jpeg.pixel(x, 150), entered.pixel(x, 150))) << x;

    Click(Button("btnDrawing_Redo"));
    const int move[] = {true, false, true, false};
    for (int i = 0; i < 4; ++i) {
        Click(Button("btnDrawing_Rotate"));
        EXPECT_EQ(Form->DrawingCommands()->RotationAngle(), (i + 1) % 4 * 90);
        EXPECT_EQ(Pressed("btnDrawing_Rotate"), i < 3);
        EXPECT_EQ(Button("btnDrawing_Move")->isEnabled(), bool(move[i])) << i;
        const QImage turned = Snapshot();
        Click(Button("btnDrawing_Undo"));
        EXPECT_EQ(Snapshot(), turned) << "nothing to undo after a rotation";
    }
    EXPECT_EQ(Snapshot().size(), entered.size());
    EXPECT_TRUE(Near(Snapshot().pixel(400, 150), Red));

    Click(Button("btnDrawing_Back"));
    EXPECT_EQ(Snapshot(), entered);
}

TEST_F(DrawingWindow, EntryFromTheImageViewDrawsOnTheViewersPicture)
{
    // A page shown in the image view, as the load command shows it.
    QImage page(320, 240, QImage::Format_RGB32);
    page.fill(QColor(30, 160, 90));
    Form->ShowImage(page);
    Form->SetPreviewType(cptImage);
    ASSERT_FALSE(Form->pnlVideo->isVisible());
    EnterDrawing();
    const QImage entered = Snapshot();
    ASSERT_EQ(entered.size(), Form->imgViewer->size()) << "the viewer as it is drawn";
    EXPECT_EQ(entered.pixel(entered.width() / 2, entered.height() / 2), page.pixel(0, 0));
    EXPECT_EQ(entered.pixel(2, 2), qRgb(0, 0, 0)) << "the viewer's background around the page";
}

TEST_F(DrawingWindow, MarkerWithAColourShowsTheMarkerImages)
{
    EnterDrawing();
    auto *penOption = static_cast<TImageButton *>(Button("btnDrawing_PenOption"));
    EXPECT_EQ(penOption->NormalImage(), Skin(QStringLiteral("RES_DRAWING_MENU_PEN_White_N")));
    Click(penOption);
    TPenOptionPopup &popup = Form->DrawingCommands()->Popups().PenOption;
    ASSERT_TRUE(popup.isVisible());
    Click(popup.Swatch(2));
    EXPECT_EQ(penOption->NormalImage(), Skin(QStringLiteral("RES_DRAWING_MENU_PEN_Red_N")));
    Click(popup.MarkerFrame());
    EXPECT_TRUE(popup.MarkerFrame()->Outlined());
    EXPECT_EQ(penOption->NormalImage(), Skin(QStringLiteral("RES_DRAWING_MENU_MARKER_Red_N")));
    EXPECT_EQ(penOption->PressedImage(), Skin(QStringLiteral("RES_DRAWING_MENU_MARKER_Red_D")));
    EXPECT_EQ(penOption->HotImage(), Skin(QStringLiteral("RES_DRAWING_MENU_MARKER_Red_O")));
    popup.close();

    // The marker draws translucent red over the picture.
    const QImage before = Snapshot();
    Drag({200, 300}, {600, 300});
    const QRgb after = Snapshot().pixel(400, 300);
    EXPECT_NE(after, before.pixel(400, 300));
    EXPECT_GT(qRed(after), qBlue(after));
}

TEST_F(DrawingWindow, BoardPopupGivesAnEmptyBoardOfItsColour)
{
    EnterDrawing();
    Drag({200, 150}, {600, 150});
    Click(Surface(), Qt::RightButton, QPoint(300, 200));
    TToolPopup &board = Form->DrawingCommands()->Popups().BoardTool;
    ASSERT_TRUE(QTest::qWaitFor([&] { return board.isVisible(); }, 2000));
    Click(board.Button(2)); // green
    EXPECT_FALSE(board.isVisible());
    const QImage green = Snapshot();
    ASSERT_EQ(green.size(), Form->VideoCap()->size());
    for (const QPoint p :
         {QPoint(0, 0), QPoint(400, 150), QPoint(green.width() - 1, green.height() - 1)})
        EXPECT_EQ(green.pixel(p), 0xFF225550u) << p.x() << "," << p.y();

    // Written on in white and saved.
    Click(Button("btnDrawing_PenOption"));
    Click(Form->DrawingCommands()->Popups().PenOption.Swatch(0));
    Form->DrawingCommands()->Popups().PenOption.close();
    Drag({100, 400}, {500, 400});
    const QImage jpeg(Save().second);
    EXPECT_TRUE(Near(jpeg.pixel(300, 400), 0xFFFFFFFF));
    EXPECT_TRUE(Near(jpeg.pixel(300, 200), 0xFF225550));
}

} // namespace
