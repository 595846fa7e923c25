// The main window driven offscreen on a simulated camera in a temporary home,
// on a 1920 × 1080 screen: the menu bar's layout against the menu table at
// the largest and the smallest size, the tabs, the dispatch by tag, the
// window's own maximised state, full screen and the sliding menu.
#include "MainWindowFixture.h"
#include "app/MenuTable.h"
#include "scene/CalloutPopup.h"
#include "scene/GlyphButton.h"
#include "scene/ImageButton.h"
#include "scene/TabButton.h"
#include "scene/TextItem.h"
#include "support/CustomResource.h"
#include "support/Language.h"

#include <QScreen>

namespace {

using namespace MenuGeometry;

QRectF InWindow(const QWidget *AWidget, const QWidget *AWindow)
{
    return QRectF(QRect(AWidget->mapTo(AWindow, QPoint(0, 0)), AWidget->size()));
}

bool HasOpaquePixel(const QImage &AImage)
{
    for (int y = 0; y < AImage.height(); ++y)
        for (int x = 0; x < AImage.width(); ++x)
            if (qAlpha(AImage.pixel(x, y)) > 0)
                return true;
    return false;
}

void ClickInWindow(QWidget *AWindow, QWidget *AControl, QPoint AAt = {-1, -1})
{
    const QPoint local = AAt.x() < 0 ? AControl->rect().center() : AAt;
    QTest::mouseClick(AWindow->windowHandle(), Qt::LeftButton, {}, AControl->mapTo(AWindow, local));
}

class MenuLayout : public MainWindowTest, public ::testing::WithParamInterface<QSize>
{};

TEST_P(MenuLayout, ControlsSitWhereTheMenuTablePutsThem)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    Form->SetCustomWindowState(cwsNormal);
    const QSize size = GetParam();
    Form->setGeometry(QRect(QPoint(0, 0), size));
    QCoreApplication::processEvents();
    ASSERT_EQ(Form->size(), size);
    const int W = size.width(), H = size.height();
    QWidget *window = Form.get();

    for (const TMenuButtonEntry &entry : MenuButtons()) {
        SCOPED_TRACE(entry.Name);
        TImageButton *button = Form->MenuButton(QLatin1String(entry.Name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Tag(), entry.Tag());
        // The typed tag names this button, and the button's integer tag maps back to it.
        EXPECT_EQ(Form->MenuButton(entry.Command), button);
        if (entry.Menu() == TMenuKind::Preview)
            EXPECT_EQ(TMenuButtonId(*PreviewTagOf(button->Tag())), entry.Command);
        else
            EXPECT_EQ(TMenuButtonId(*DrawingTagOf(button->Tag())), entry.Command);
        EXPECT_FALSE(button->accessibleName().isEmpty());
        EXPECT_TRUE(HasOpaquePixel(button->NormalImage())) << "not skinned";
        EXPECT_TRUE(HasOpaquePixel(button->HotImage()));
        EXPECT_TRUE(HasOpaquePixel(button->PressedImage()));
        const QRectF r = InWindow(button, window);
        EXPECT_EQ(r.size(), QSizeF(Button, Button));
        switch (entry.Place) {
        case TMenuPlace::Hidden:
            EXPECT_FALSE(button->isVisibleTo(button->parentWidget()));
            break;
        case TMenuPlace::Row:
            EXPECT_DOUBLE_EQ(r.center().x(), 47.5 + 65 * entry.Slot);
            EXPECT_EQ(r.top(), 46);
            break;
        case TMenuPlace::Zoom:
            EXPECT_DOUBLE_EQ(r.center().x(), entry.Slot == 0 ? W - 102.5 : W - 47.5);
            EXPECT_EQ(r.top(), 46);
            break;
        }
    }

    EXPECT_EQ(InWindow(Form->vgSceneMenu, window), QRectF(5, 5, W - 10, 107));
    EXPECT_EQ(InWindow(Form->imgIcon, window), QRectF(10, 10, 21, 21));
    EXPECT_EQ(InWindow(Form->tabPreview, window), QRectF(37, 16, 80, 20));
    EXPECT_EQ(InWindow(Form->tabDrawing, window), QRectF(111, 16, 80, 20));
    EXPECT_EQ(InWindow(Form->btnSystemClose, window), QRectF(W - 36, 7, 31, 27));
    EXPECT_EQ(InWindow(Form->btnSystemMax, window), QRectF(W - 67, 7, 31, 27));
    EXPECT_EQ(InWindow(Form->btnSystemMin, window), QRectF(W - 98, 7, 31, 27));
    EXPECT_EQ(InWindow(Form->pnlPreview, window), QRectF(5, 112, W - 10, H - 117));

    // The status texts never cover a button, also in the narrowest window.
    for (QWidget *status :
         {static_cast<QWidget *>(Form->txtRecordTime), Form->LayoutResInfo, Form->LayoutZoomInfo})
        for (const TMenuButtonEntry &entry : MenuButtons()) {
            if (entry.Menu() != TMenuKind::Preview || entry.Place == TMenuPlace::Hidden)
                continue;
            EXPECT_FALSE(
                InWindow(status, window).intersects(InWindow(Form->MenuButton(entry.Name), window)))
                << entry.Name << " under " << qPrintable(status->objectName());
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MenuLayout,
                         ::testing::Values(QSize(1920, 1080), QSize(MinWidth, MinHeight)),
                         [](const auto &info) {
                             return "W" + std::to_string(info.param.width()) + "xH" +
                                    std::to_string(info.param.height());
                         });

TEST_F(MainWindowTest, EveryControlHasItsDesignNameAndAnAccessibleName)
{
    Start();
    ASSERT_TRUE(Form->Created());
    for (const char *name :
         {"vgSceneMenu",       "LayoutMenu",        "imgIcon",           "Layout29",
          "tabPreview",        "tabDrawing",        "LayoutSystem",      "btnSystemMin",
          "btnSystemMax",      "btnSystemClose",    "LayoutSubMenu",     "rectSubMenu",
          "layoutMenuPreview", "LayoutMenuDrawing", "LayoutZoom",        "LayoutResInfo",
          "LayoutZoomInfo",    "txtRecordTime",     "txtResolution",     "txtZoom",
          "pnlPreview",        "pnlVideo",          "Splitter",          "pnlImage",
          "imgViewer",         "pnlPreviewLoading", "txtPreviewLoading", "pnlDrawing",
          "pnlCanvas",         "pnlDrawingLoading", "txtDrawingLoading", "PopupResolution",
          "PopupPenOption",    "PopupEraserTool",   "PopupBoardTool",    "PopupShapeTool"}) {
        auto *control = Form->findChild<QWidget *>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
    }
    EXPECT_EQ(Form->tabPreview->accessibleName(), Language->MainMenu.Preview);
    EXPECT_EQ(Form->MenuButton(QStringLiteral("btnPreview_Capture"))->accessibleName(),
              Language->PreviewMenu.Capture);
}

TEST_F(MainWindowTest, TabsSwitchMenuAndWorkAreaWithTheActiveTabInFront)
{
    StartLive();
    QWidget *window = Form.get();
    const QPoint overlap(77, 10); // in tabPreview: its last 6 columns lie under tabDrawing
    auto fill = [](const char *name) {
        QImage image(80, 20, QImage::Format_ARGB32_Premultiplied);
        SkinResource->LoadFromResource(&image, QLatin1String(name));
        return image;
    };
    ASSERT_EQ(Form->MenuType(), cmtPreview);
    EXPECT_EQ(Form->Layout29->childAt(Form->tabPreview->geometry().topLeft() + overlap),
              Form->tabPreview);

    ClickInWindow(window, Form->tabDrawing, QPoint(60, 10));
    EXPECT_EQ(Form->MenuType(), cmtDrawing);
    EXPECT_TRUE(Form->LayoutMenuDrawing->isVisible());
    EXPECT_FALSE(Form->layoutMenuPreview->isVisible());
    EXPECT_FALSE(Form->LayoutSystem->isVisible());
    EXPECT_TRUE(Form->btnSystemClose->isVisible());
    EXPECT_TRUE(Form->pnlDrawing->isVisible());
    EXPECT_EQ(Form->Layout29->childAt(Form->tabPreview->geometry().topLeft() + overlap),
              Form->tabDrawing);
    EXPECT_EQ(Form->tabDrawing->Fill(), fill("RES_MENU_DRAWING_ON"));
    EXPECT_EQ(Form->tabPreview->Fill(), fill("RES_MENU_PREVIEW_OFF"));
    // The live picture goes on under the drawing area.
    EXPECT_TRUE(Form->VideoCap()->Previewing());

    ClickInWindow(window, Form->tabPreview, QPoint(20, 10));
    EXPECT_EQ(Form->MenuType(), cmtPreview);
    EXPECT_TRUE(Form->layoutMenuPreview->isVisible());
    EXPECT_TRUE(Form->LayoutSystem->isVisible());
    EXPECT_FALSE(Form->pnlDrawing->isVisible());
    EXPECT_EQ(Form->Layout29->childAt(Form->tabPreview->geometry().topLeft() + overlap),
              Form->tabPreview);
    EXPECT_EQ(Form->tabPreview->Fill(), fill("RES_MENU_PREVIEW_ON"));
}

TEST_F(MainWindowTest, ClicksReachTheCommandHandlerByTagAndDisabledButtonsTakeNone)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    std::vector<TMenuButtonId> preview, drawing;
    Form->OnPreviewCommand = [&](TPreviewTag ATag) {
        preview.push_back(ATag);
    };
    Form->OnDrawingCommand = [&](TDrawingTag ATag) {
        drawing.push_back(ATag);
    };
    QWidget *window = Form.get();

    // In the live picture, Back is disabled: half opacity, no hit-testing.
    TImageButton *back = Form->MenuButton(QStringLiteral("btnPreview_Back"));
    EXPECT_EQ(back->Opacity(), 0.5);
    EXPECT_FALSE(back->HitTest());
    for (const TMenuKind menu : {TMenuKind::Preview, TMenuKind::Drawing}) {
        Form->TabClick(menu == TMenuKind::Preview ? TTabTag::Preview : TTabTag::Drawing);
        std::vector<TMenuButtonId> expected;
        for (const TMenuButtonEntry &entry : MenuButtons()) {
            TImageButton *button = Form->MenuButton(QLatin1String(entry.Name));
            if (entry.Menu() != menu || !button->isVisible())
                continue;
            ClickInWindow(window, button);
            if (button->HitTest())
                expected.push_back(entry.Command);
        }
        EXPECT_EQ(menu == TMenuKind::Preview ? preview : drawing, expected);
    }
    const TMenuButtonId backTag = TPreviewTag::Back;
    EXPECT_EQ(std::count(preview.begin(), preview.end(), backTag), 0);

    // Enabled again, it is opaque and takes the click.
    Form->TabClick(TTabTag::Preview);
    Form->SetButtonEnabled(TPreviewTag::Back, true);
    EXPECT_EQ(back->Opacity(), 1.0);
    ClickInWindow(window, back);
    EXPECT_EQ(preview.back(), backTag);

    // A button whose integer tag is in no table (no button carries 11 or 8)
    // reaches no command.
    const std::size_t clicks = preview.size() + drawing.size();
    for (const auto &[menu, tag] :
         {std::pair{TTabTag::Preview, 11}, std::pair{TTabTag::Drawing, 8}}) {
        Form->TabClick(menu);
        TImageButton *button =
            Form->MenuButton(menu == TTabTag::Preview ? TMenuButtonId(TPreviewTag::Load)
                                                      : TMenuButtonId(TDrawingTag::Load));
        const int own = button->Tag();
        button->SetTag(tag);
        ClickInWindow(window, button);
        button->SetTag(own);
    }
    EXPECT_EQ(preview.size() + drawing.size(), clicks);
}

TEST_F(MainWindowTest, MaximiseTwiceReturnsToTheBoundsBefore)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    const QRect area = Form->screen()->availableGeometry();
    ASSERT_EQ(area.size(), QSize(1920, 1080));
    // The window opens over the work area; the first restore gives its own
    // size centred on the screen.
    EXPECT_EQ(Form->CustomWindowState(), cwsMax);
    EXPECT_EQ(Form->geometry(), area);
    ClickInWindow(Form.get(), Form->btnSystemMax);
    EXPECT_EQ(Form->CustomWindowState(), cwsNormal);
    EXPECT_EQ(Form->geometry(), QRect(960 - 619, 540 - 346, DesignWidth, DesignHeight));

    const QRect before(100, 50, 1100, 700);
    Form->setGeometry(before);
    for (int round = 0; round < 2; ++round) {
        ClickInWindow(Form.get(), Form->btnSystemMax);
        EXPECT_EQ(Form->CustomWindowState(), cwsMax);
        EXPECT_EQ(Form->geometry(), area);
        ClickInWindow(Form.get(), Form->btnSystemMax);
        EXPECT_EQ(Form->CustomWindowState(), cwsNormal);
        EXPECT_EQ(Form->geometry(), before);
    }
}

TEST_F(MainWindowTest, TheWindowDoesNotShrinkBelowItsMinimum)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    Form->SetCustomWindowState(cwsNormal);
    Form->resize(700, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(Form->size(), QSize(MinWidth, MinHeight));
}

TEST_F(MainWindowTest, FullScreenFloatsTheMenuFromTheLeftEdgeAndRestoresTheExactBounds)
{
    StartLive();
    Form->SetCustomWindowState(cwsNormal);
    const QRect before(130, 70, 1200, 760);
    Form->setGeometry(before);
    QCoreApplication::processEvents();

    Form->SetFullScreen(true);
    EXPECT_EQ(Form->geometry(), Form->screen()->geometry());
    EXPECT_EQ(Form->vgSceneMenu->x(), 0);
    EXPECT_EQ(Form->vgSceneMenu->width(), Form->width());
    EXPECT_FALSE(Form->LayoutSystem->isVisible());
    EXPECT_EQ(Form->pnlPreview->geometry(), Form->rect());
    QImage off(55, 55, QImage::Format_ARGB32_Premultiplied);
    SkinResource->LoadFromResource(&off, QStringLiteral("RES_PREVIEW_MENU_FULLSCREENOFF_N"));
    EXPECT_EQ(Form->MenuButton(QStringLiteral("btnPreview_FullScreen"))->NormalImage(), off);

    Form->SetFullScreen(false);
    EXPECT_EQ(Form->geometry(), before);
    EXPECT_EQ(Form->vgSceneMenu->geometry(), QRect(5, 5, before.width() - 10, 107));
    EXPECT_TRUE(Form->LayoutSystem->isVisible());
    EXPECT_FALSE(Form->MenuSliding());
}

// The menu's top after each tick until the slide ends.
std::vector<int> Slide(TMainForm &AForm)
{
    std::vector<int> tops;
    while (AForm.MenuSliding() && tops.size() < 20) {
        AForm.TimerMenuTimer();
        tops.push_back(AForm.vgSceneMenu->y());
    }
    return tops;
}

TEST_F(MainWindowTest, TheFullScreenMenuSlidesInSixTicksAndReverses)
{
    StartLive();
    Form->SetFullScreen(true);
    ASSERT_TRUE(Form->MenuSliding());
    EXPECT_EQ(Slide(*Form), (std::vector<int>{-20, -40, -60, -80, -100, -107}));
    Form->SlideMenu(false);
    EXPECT_EQ(Slide(*Form), (std::vector<int>{-87, -67, -47, -27, -7, 0}));

    // A slide under way changes direction at once.
    Form->SlideMenu(true);
    Form->TimerMenuTimer();
    Form->TimerMenuTimer();
    Form->SlideMenu(false);
    EXPECT_EQ(Slide(*Form), (std::vector<int>{-20, 0}));

    // Left alone, the timer finishes the slide.
    Form->SlideMenu(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Form->MenuSliding(); }, 5000));
    EXPECT_EQ(Form->vgSceneMenu->y(), -MenuBarHeight);
}

} // namespace

namespace {

TEST_F(MainWindowTest, PressingTheTitleBarWhileMaximisedRestoresTheWindowUnderTheMouse)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    ASSERT_EQ(Form->CustomWindowState(), cwsMax);
    // In the drawing menu the title bar does nothing.
    Form->TabClick(TTabTag::Drawing);
    const QPoint free(900, 15); // on LayoutMenu, clear of the tabs and buttons
    ASSERT_EQ(Form->childAt(free), Form->LayoutMenu);
    QTest::mousePress(Form->windowHandle(), Qt::LeftButton, {}, free);
    QTest::mouseRelease(Form->windowHandle(), Qt::LeftButton, {}, free);
    EXPECT_EQ(Form->CustomWindowState(), cwsMax);

    Form->TabClick(TTabTag::Preview);
    QTest::mousePress(Form->windowHandle(), Qt::LeftButton, {}, free);
    QTest::mouseRelease(Form->windowHandle(), Qt::LeftButton, {}, free);
    EXPECT_EQ(Form->CustomWindowState(), cwsNormal);
    EXPECT_EQ(Form->geometry(), QRect(900 - DesignWidth / 2, 0, DesignWidth, DesignHeight));
}

struct TEdgeCase
{
    const char *Name;
    QPoint At; // negative: from the right or bottom edge
    Qt::CursorShape Cursor;
};

void PrintTo(const TEdgeCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.Name;
}

class WindowEdges : public MainWindowTest, public ::testing::WithParamInterface<TEdgeCase>
{};

TEST_P(WindowEdges, ShowTheirResizeCursorOnlyInThePreviewMenuOutsideFullScreen)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    Form->SetCustomWindowState(cwsNormal);
    const QPoint raw = GetParam().At;
    const QPoint at(raw.x() < 0 ? Form->width() + raw.x() : raw.x(),
                    raw.y() < 0 ? Form->height() + raw.y() : raw.y());
    QTest::mouseMove(Form->windowHandle(), at);
    EXPECT_EQ(Form->cursor().shape(), GetParam().Cursor);

    Form->TabClick(TTabTag::Drawing);
    Form->setCursor(Qt::ArrowCursor);
    QTest::mouseMove(Form->windowHandle(), at + QPoint(0, 0));
    EXPECT_EQ(Form->cursor().shape(), Qt::ArrowCursor);
}

INSTANTIATE_TEST_SUITE_P(Edges, WindowEdges,
                         ::testing::Values(TEdgeCase{"BottomLeft", {2, -2}, Qt::SizeBDiagCursor},
                                           TEdgeCase{"BottomRight", {-2, -2}, Qt::SizeFDiagCursor},
                                           TEdgeCase{"Right", {-2, 300}, Qt::SizeHorCursor},
                                           TEdgeCase{"Left", {2, 300}, Qt::SizeHorCursor},
                                           TEdgeCase{"Bottom", {500, -2}, Qt::SizeVerCursor},
                                           TEdgeCase{"TopIsNoEdge", {500, 2}, Qt::ArrowCursor}),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(MainWindowTest, InFullScreenTheCursorAtTheTopBringsTheMenuAndBelowItSendsItAway)
{
    StartLive();
    QCursor::setPos(960, 700);
    Form->SetFullScreen(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form->vgSceneMenu->y() == -MenuBarHeight; }, 5000));
    QCursor::setPos(960, 0);
    if (QCursor::pos() != QPoint(960, 0))
        GTEST_SKIP() << "this platform does not move the cursor";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Form->vgSceneMenu->y() == 0; }, 5000));
    QCursor::setPos(960, 60); // over the menu: it stays
    QTest::qWait(300);
    EXPECT_EQ(Form->vgSceneMenu->y(), 0);
    QCursor::setPos(960, 700);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Form->vgSceneMenu->y() == -MenuBarHeight; }, 5000));
}

TEST_F(MainWindowTest, TheProgramIconOpensTheInformationForm)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    QString shown;
    QTimer::singleShot(100, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            shown = dialog->objectName();
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    ClickInWindow(Form.get(), Form->imgIcon);
    EXPECT_EQ(shown, QStringLiteral("InfoForm"));
}

} // namespace
