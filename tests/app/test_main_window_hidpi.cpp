// The main window on a screen of device pixel ratio 2 beside a projector of
// ratio 1: the skin's images for dense screens are the ones painted, and the
// ordinary ones once the window is on the projector.
#include "MainWindowFixture.h"
#include "app/MenuTable.h"
#include "scene/ImageButton.h"
#include "scene/TabButton.h"
#include "scene/ToolPopup.h"
#include "support/CustomResource.h"

#include <QScreen>
#include <QWindow>

namespace {

TEST_F(MainWindowTest, ADenseScreenGetsTheTwiceDenseImages)
{
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    ASSERT_EQ(Form->devicePixelRatioF(), 2.0);
    for (const TMenuButtonEntry &entry : MenuButtons()) {
        const QImage &image = Form->MenuButton(QLatin1String(entry.Name))->NormalImage();
        EXPECT_EQ(image.devicePixelRatio(), 2.0) << entry.Name;
        EXPECT_EQ(image.size(), QSize(110, 110)) << entry.Name;
    }
    EXPECT_EQ(Form->tabPreview->Fill().size(), QSize(160, 40));
}

QScreen *ScreenNamed(const QString &AName)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->name() == AName)
            return screen;
    return nullptr;
}

// Every image the window loads from the skin: the menu buttons, the tabs and
// the drawing popups' buttons, each with the ratio it was loaded for.
std::vector<std::pair<QString, QImage>> SkinImages(TMainForm &AForm)
{
    std::vector<std::pair<QString, QImage>> images;
    for (const TMenuButtonEntry &entry : MenuButtons())
        images.emplace_back(QLatin1String(entry.Name),
                            AForm.MenuButton(QLatin1String(entry.Name))->NormalImage());
    images.emplace_back(QStringLiteral("tabPreview"), AForm.tabPreview->Fill());
    images.emplace_back(QStringLiteral("tabDrawing"), AForm.tabDrawing->Fill());
    for (TCalloutPopup *popup :
         {AForm.PopupEraserTool, AForm.PopupShapeTool, AForm.PopupBoardTool}) {
        auto *tools = static_cast<TToolPopup *>(popup);
        for (int k = 0; k < tools->Count(); ++k)
            images.emplace_back(popup->objectName() + QString::number(k),
                                tools->Button(k)->NormalImage());
    }
    return images;
}

// A teacher drags the window from the laptop to the projector and back: the
// images follow the screen, and a button keeps the picture it shows now (the
// record button in its recording state), not the one it started with.
TEST_F(MainWindowTest, TheImagesFollowTheScreenTheWindowIsOn)
{
    QScreen *dense = ScreenNamed(QStringLiteral("HiDPI"));
    QScreen *projector = ScreenNamed(QStringLiteral("Projector"));
    ASSERT_TRUE(dense && projector);
    Start();
    ASSERT_TRUE(Form->Created());
    Form->show();
    ASSERT_EQ(Form->devicePixelRatioF(), 2.0);
    // The record button as it is during a recording: its stop picture.
    TImageButton *record = Form->MenuButton(QStringLiteral("btnPreview_Record"));
    const QString stop = QStringLiteral("RES_PREVIEW_MENU_STOP_");
    Form->SetButtonImages(TPreviewTag::Record, stop);
    const auto skinImage = [](const QString &AName, qreal ARatio) {
        QImage image(55, 55, QImage::Format_ARGB32_Premultiplied);
        SkinResource->LoadFromResource(&image, AName, ARatio);
        return image;
    };
    ASSERT_EQ(record->NormalImage(), skinImage(stop + u'N', 2.0));

    const auto expectRatio = [&](qreal ARatio) {
        for (const auto &[name, image] : SkinImages(*Form)) {
            EXPECT_EQ(image.devicePixelRatio(), ARatio) << name.toStdString();
            EXPECT_FALSE(image.isNull()) << name.toStdString();
        }
    };
    expectRatio(2.0);

    Form->windowHandle()->setScreen(projector);
    ASSERT_TRUE(QTest::qWaitFor([&] { return record->NormalImage().devicePixelRatio() == 1.0; }));
    EXPECT_EQ(Form->devicePixelRatioF(), 1.0);
    expectRatio(1.0);
    EXPECT_EQ(record->NormalImage(), skinImage(stop + u'N', 1.0));
    EXPECT_NE(skinImage(stop + u'N', 1.0),
              skinImage(QStringLiteral("RES_PREVIEW_MENU_RECORDING_N"), 1.0));

    Form->windowHandle()->setScreen(dense);
    ASSERT_TRUE(QTest::qWaitFor([&] { return record->NormalImage().devicePixelRatio() == 2.0; }));
    expectRatio(2.0);
    EXPECT_EQ(record->NormalImage(), skinImage(stop + u'N', 2.0));
}

} // namespace
