// The camera-selection dialog driven offscreen, and the choice of the camera
// through it.
#include "Screenshot.h"
#include "TempHome.h"
#include "app/CameraSelect.h"
#include "app/dialogs/SelectForm.h"
#include "support/Language.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Two document cameras whose device indexes are not their line numbers.
const TCameraList TwoCameras{{"Doc Cam", 1, "usb#VID_1234&PID_2003#a"},
                             {"Doc Cam", 3, "usb#VID_1234&PID_2003#b"}};

class SelectDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Language = std::make_unique<TLanguage>(FHome.file("none.ini"));
        ClearSelectedCamera();
        CameraList.clear();
    }
    void TearDown() override
    {
        Language.reset();
        ClearSelectedCamera();
        CameraList.clear();
    }

    // Runs AAction on the camera dialog once it is shown inside
    // SelectCamera; true when the dialog was shown.
    static bool WithDialog(QWidget *AParent, const std::function<void(TSelectForm *)> &AAction)
    {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto *form = qobject_cast<TSelectForm *>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
            shown = true;
            AAction(form);
            // Whatever the action did, the dialog ends here.
            if (form->isVisible())
                form->btnApply->click();
        });
        SelectCamera(AParent);
        return shown;
    }

    static void ClickRow(TSelectForm *AForm, int ARow, Qt::KeyboardModifiers AModifiers = {})
    {
        QListWidget *list = AForm->lbCameraList;
        const QRect r = list->visualItemRect(list->item(ARow));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, AModifiers, r.center());
    }

    TempHome FHome;
};

TEST_F(SelectDialog, LayoutTextsAndFirstLineSelected)
{
    TSelectForm form;
    form.setCameraList(TwoCameras);
    EXPECT_EQ(form.size(), QSize(279, 137));
    EXPECT_EQ(form.lbCameraList->geometry(), QRect(8, 8, 262, 88));
    EXPECT_EQ(form.btnApply->geometry(), QRect(96, 104, 75, 25));
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("카메라 선택"));
    EXPECT_EQ(form.btnApply->text(), QString::fromUtf8("적용"));
    // No close control in the title bar.
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::CustomizeWindowHint));

    ASSERT_EQ(form.lbCameraList->count(), 2);
    EXPECT_EQ(form.lbCameraList->item(1)->text(), "Doc Cam");
    EXPECT_EQ(form.CameraIndex(), 1);
    EXPECT_EQ(form.CameraPath(), "usb#VID_1234&PID_2003#a");
}

TEST_F(SelectDialog, EveryWayOfClosingAppliesTheSelectedLine)
{
    const struct
    {
        const char *Name;
        std::function<void(TSelectForm *)> Close;
    } ways[] = {
        {"apply",
         [](TSelectForm *f) {
             f->btnApply->click();
         }},
        {"escape",
         [](TSelectForm *f) {
             QTest::keyClick(f, Qt::Key_Escape);
         }},
        {"window system",
         [](TSelectForm *f) {
             f->close();
         }},
        {"enter",
         [](TSelectForm *f) {
             QTest::keyClick(f->btnApply, Qt::Key_Return);
         }},
    };
    for (const auto &way : ways) {
        TSelectForm form;
        form.setCameraList(TwoCameras);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        ClickRow(&form, 1);
        if (way.Name == std::string("apply"))
            saveScreenshot(&form, "select-camera");
        way.Close(&form);
        EXPECT_FALSE(form.isVisible()) << way.Name;
        EXPECT_EQ(form.result(), QDialog::Accepted) << way.Name;
        EXPECT_EQ(form.CameraIndex(), 3) << way.Name;
        EXPECT_EQ(form.CameraPath(), "usb#VID_1234&PID_2003#b") << way.Name;
    }
}

TEST_F(SelectDialog, ALineStaysSelected)
{
    TSelectForm form;
    form.setCameraList(TwoCameras);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // Ctrl+click on the selected line would clear a single selection.
    ClickRow(&form, 0, Qt::ControlModifier);
    EXPECT_EQ(form.lbCameraList->selectedItems().size(), 1);
    EXPECT_EQ(form.CameraIndex(), 1);
    // A click below the lines leaves the selection as it is.
    QTest::mouseClick(form.lbCameraList->viewport(), Qt::LeftButton, {},
                      QPoint(10, form.lbCameraList->viewport()->height() - 3));
    EXPECT_EQ(form.CameraIndex(), 1);
    form.lbCameraList->clearSelection();
    EXPECT_EQ(form.CameraIndex(), 1);
}

TEST_F(SelectDialog, SelectCameraAsksOnlyWhenThereAreSeveral)
{
    SelectCamera();
    EXPECT_EQ(SelectedCameraIndex, -1);

    CameraList = {TwoCameras[1]};
    SelectCamera(); // no dialog: the test would hang in it
    EXPECT_EQ(SelectedCameraName, "Doc Cam");
    EXPECT_EQ(SelectedCameraIndex, 3);
    EXPECT_EQ(SelectedCameraPath, "usb#VID_1234&PID_2003#b");

    CameraList = TwoCameras;
    // Unchanged, the first line is the choice.
    EXPECT_TRUE(WithDialog(nullptr, [](TSelectForm *f) {
        EXPECT_EQ(f->lbCameraList->currentRow(), 0);
        f->btnApply->click();
    }));
    EXPECT_EQ(SelectedCameraIndex, 1);
    EXPECT_EQ(SelectedCameraPath, "usb#VID_1234&PID_2003#a");
}

TEST_F(SelectDialog, TheDialogIsCentredOverTheShownWindowOrTheScreen)
{
    CameraList = TwoCameras;
    QRect onScreen;
    EXPECT_TRUE(WithDialog(nullptr, [&](TSelectForm *f) {
        onScreen = f->geometry();
        ClickRow(f, 1);
        QTest::keyClick(f, Qt::Key_Escape);
    }));
    EXPECT_EQ(SelectedCameraIndex, 3);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((onScreen.center() - screen.center()).manhattanLength(), 2);

    QWidget window;
    window.setGeometry(40, 50, 800, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QRect overWindow;
    EXPECT_TRUE(WithDialog(&window, [&](TSelectForm *f) { overWindow = f->geometry(); }));
    EXPECT_LE((overWindow.center() - window.frameGeometry().center()).manhattanLength(), 2);
}

} // namespace
