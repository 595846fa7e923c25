// The main window on a screen of device pixel ratio 2: the skin's images for
// dense screens are the ones painted.
#include "MainWindowFixture.h"
#include "app/MenuTable.h"
#include "scene/ImageButton.h"
#include "scene/TabButton.h"

#include <QScreen>

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

} // namespace
