// Camera controls: fitting values to a control, the V4L2 controls behind
// their seam, the component's properties on a simulated camera (whose
// picture follows brightness), and the controls and modes dialogs driven
// offscreen.
#include "CaptureTestSupport.h"
#include "Screenshot.h"
#include "capture/component/CameraControlsDialog.h"
#include "capture/component/CaptureModesDialog.h"
#include "capture/devices/V4l2Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <linux/videodev2.h>
#include <map>

namespace {

TEST(ControlValues, AreClampedAndPutOnTheStep)
{
    const struct
    {
        int Min, Max, Step;
        std::int64_t Value;
        int Expected;
    } cases[] = {
        {0, 255, 1, 128, 128}, {0, 255, 1, 300, 255},       {0, 255, 1, -1, 0},
        {-64, 64, 1, -1, -1},  {0, 250, 5, 123, 125},       {0, 250, 5, 122, 120},
        {0, 250, 5, 251, 250}, {1, 10, 4, 10, 9},           {1, 10, 4, 3, 5},
        {0, 100, 0, 37, 37},   {0, 255, 1, 1LL << 40, 255}, {72, 500, 10, 78, 82},
        {72, 500, 10, 76, 72}, {-180, 180, 1, -181, -180},
    };
    for (const auto &c : cases) {
        TCameraControlInfo info;
        info.Minimum = c.Min;
        info.Maximum = c.Max;
        info.Step = c.Step;
        EXPECT_EQ(FitControlValue(info, c.Value), c.Expected)
            << c.Min << ".." << c.Max << " step " << c.Step << " value " << c.Value;
    }
}

// A device node that answers control ioctls as a UVC camera does.
class TControlNode final : public TV4l2System
{
public:
    struct TControl
    {
        v4l2_queryctrl Query{};
        int Value = 0;
        std::map<int, const char *> Menu;
    };
    std::vector<TControl> Controls;
    std::vector<std::pair<std::uint32_t, int>> Writes;

    void Add(std::uint32_t id, std::uint32_t type, const char *name, int min, int max, int step,
             int def, std::uint32_t flags = 0)
    {
        TControl c;
        c.Query.id = id;
        c.Query.type = type;
        std::strncpy(reinterpret_cast<char *>(c.Query.name), name, sizeof c.Query.name - 1);
        c.Query.minimum = min;
        c.Query.maximum = max;
        c.Query.step = step;
        c.Query.default_value = def;
        c.Query.flags = flags;
        c.Value = def;
        Controls.push_back(c);
    }
    int Open(const QString &path, int) override { return path == "/dev/video0" ? 3 : Fail(ENOENT); }
    int Close(int) override { return 0; }
    QString SysfsRoot() const override { return "/nonexistent"; }
    int Ioctl(int, unsigned long request, void *arg) override
    {
        switch (request) {
        case VIDIOC_QUERYCTRL: {
            auto *q = static_cast<v4l2_queryctrl *>(arg);
            const bool next = q->id & V4L2_CTRL_FLAG_NEXT_CTRL;
            const std::uint32_t id = q->id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
            const TControl *found = nullptr;
            for (const TControl &c : Controls)
                if (next ? c.Query.id > id && (!found || c.Query.id < found->Query.id)
                         : c.Query.id == id)
                    found = &c;
            if (!found)
                return Fail(EINVAL);
            *q = found->Query;
            return 0;
        }
        case VIDIOC_QUERYMENU: {
            auto *m = static_cast<v4l2_querymenu *>(arg);
            TControl *c = Find(m->id);
            if (!c || !c->Menu.count(int(m->index)))
                return Fail(EINVAL);
            std::strncpy(reinterpret_cast<char *>(m->name), c->Menu[int(m->index)],
                         sizeof m->name - 1);
            return 0;
        }
        case VIDIOC_G_CTRL: {
            auto *v = static_cast<v4l2_control *>(arg);
            TControl *c = Find(v->id);
            if (!c)
                return Fail(EINVAL);
            v->value = c->Value;
            return 0;
        }
        case VIDIOC_S_CTRL: {
            auto *v = static_cast<v4l2_control *>(arg);
            TControl *c = Find(v->id);
            if (!c)
                return Fail(EINVAL);
            if (v->value < c->Query.minimum || v->value > c->Query.maximum)
                return Fail(ERANGE);
            c->Value = v->value;
            Writes.emplace_back(v->id, v->value);
            return 0;
        }
        default:
            return Fail(ENOTTY);
        }
    }

private:
    static int Fail(int e)
    {
        errno = e;
        return -1;
    }
    TControl *Find(std::uint32_t id)
    {
        for (TControl &c : Controls)
            if (c.Query.id == id)
                return &c;
        return nullptr;
    }
};

TEST(V4l2Controls, ListsWritesAndReadsWhatTheNodeOffers)
{
    auto node = std::make_shared<TControlNode>();
    node->Add(V4L2_CID_USER_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "User Controls", 0, 0, 0, 0,
              V4L2_CTRL_FLAG_READ_ONLY);
    node->Add(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", -64, 64, 1, 0);
    node->Add(V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 95, 8, 32);
    node->Add(V4L2_CID_HUE, V4L2_CTRL_TYPE_INTEGER, "Hue", 0, 10, 1, 5, V4L2_CTRL_FLAG_DISABLED);
    node->Add(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line", 0, 3, 1, 1);
    node->Controls.back().Menu = {{0, "Disabled"}, {1, "50 Hz"}, {3, "Auto"}};
    node->Add(V4L2_CID_FOCUS_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Focus", 0, 250, 5, 0,
              V4L2_CTRL_FLAG_INACTIVE);
    node->Add(V4L2_CID_FOCUS_AUTO, V4L2_CTRL_TYPE_BOOLEAN, "Autofocus", 0, 1, 1, 1);

    TV4l2Controls controls(node, "/dev/video0");
    ASSERT_TRUE(controls.IsOpen());
    const auto list = controls.Query();
    std::vector<std::uint32_t> ids;
    for (const auto &c : list)
        ids.push_back(c.Id);
    // The class heading and the disabled control are not controls to show.
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{V4L2_CID_BRIGHTNESS, V4L2_CID_CONTRAST,
                                               V4L2_CID_POWER_LINE_FREQUENCY,
                                               V4L2_CID_FOCUS_ABSOLUTE, V4L2_CID_FOCUS_AUTO}));
    EXPECT_EQ(list[0].Name, "Brightness");
    EXPECT_EQ(list[0].Minimum, -64);
    EXPECT_EQ(list[2].Type, cctMenu);
    EXPECT_EQ(list[2].Menu,
              (std::vector<TCameraMenuItem>{{0, "Disabled"}, {1, "50 Hz"}, {3, "Auto"}}));
    EXPECT_TRUE(list[3].Inactive);
    EXPECT_EQ(list[4].Type, cctBoolean);

    // -1 is a brightness like any other; absent is something else.
    EXPECT_EQ(WriteControl(controls, V4L2_CID_BRIGHTNESS, -1), -1);
    EXPECT_EQ(controls.Get(V4L2_CID_BRIGHTNESS), -1);
    EXPECT_EQ(WriteControl(controls, V4L2_CID_BRIGHTNESS, 255), 64);
    EXPECT_EQ(WriteControl(controls, V4L2_CID_CONTRAST, 45), 48);
    EXPECT_EQ(WriteControl(controls, V4L2_CID_CONTRAST, 95), 88);
    EXPECT_EQ(node->Writes, (std::vector<std::pair<std::uint32_t, int>>{{V4L2_CID_BRIGHTNESS, -1},
                                                                        {V4L2_CID_BRIGHTNESS, 64},
                                                                        {V4L2_CID_CONTRAST, 48},
                                                                        {V4L2_CID_CONTRAST, 88}}));
    EXPECT_EQ(controls.Get(V4L2_CID_SATURATION), std::nullopt);
    EXPECT_EQ(WriteControl(controls, V4L2_CID_SATURATION, 1), std::nullopt);
    EXPECT_EQ(WriteControl(controls, V4L2_CID_USER_CLASS, 1), std::nullopt);

    TV4l2Controls missing(node, "/dev/video9");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.Query().empty());
    EXPECT_EQ(missing.Get(V4L2_CID_BRIGHTNESS), std::nullopt);
}

const QString DocCam = QStringLiteral("usb#VID_0000&PID_2003#controls");

class Controls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TSimulatedCameras::Clear();
        TSimulatedCamera cam =
            SimCamera("Doc Cam", DocCam, {{320, 240, true, 30}, {160, 120, false, 30}});
        cam.Pattern = QStringLiteral("gray"); // mid grey: brightness shows both ways
        TSimulatedCameras::Add(cam);
        ASSERT_TRUE(Cap.SetVideoDevicePath(DocCam));
        ASSERT_TRUE(Cap.setVideoSize(320, 240, "MJPG"));
    }
    void TearDown() override
    {
        Cap.StopPreview();
        TSimulatedCameras::Clear();
    }
    // The mean of a grabbed frame's bytes.
    double MeanLevel()
    {
        TGrabbed frame;
        if (!Cap.Grab(frame))
            return -1;
        double sum = 0;
        for (std::uint8_t b : frame.Bytes)
            sum += b;
        return frame.Bytes.empty() ? -1 : sum / double(frame.Bytes.size());
    }

    TTestVideoCap Cap;
};

TEST_F(Controls, WithoutACameraEverythingIsAbsentAndWritesDoNothing)
{
    TTestVideoCap none;
    for (TCameraControl c : {ccBrightness, ccContrast, ccHue, ccSaturation, ccSharpness, ccGamma,
                             ccBacklight, ccRoll, ccFocus}) {
        EXPECT_EQ(none.ControlValue(c), std::nullopt);
        EXPECT_EQ(none.SetControlValue(c, 10), std::nullopt);
    }
    none.SetBrightness(10);
    none.Autofocus(5000);
    none.ManualFocus(10);
    EXPECT_EQ(none.Brightness(), -1);
    EXPECT_EQ(none.MFFocus(), -1);
    int lo = 7, hi = 8, value = 9;
    none.GetFocusRange(lo, hi, value);
    EXPECT_EQ(std::tie(lo, hi, value), std::make_tuple(7, 8, 9));
    none.ShowDialog_Filter(nullptr); // nothing to show: returns at once
    none.ShowDialog_Pin(nullptr);
    EXPECT_EQ(none.ErrorCount, 0);
}

TEST_F(Controls, ReadAndWrittenWithinTheirRanges)
{
    EXPECT_EQ(Cap.Brightness(), 128);
    Cap.SetBrightness(300);
    EXPECT_EQ(Cap.Brightness(), 255);
    Cap.SetBrightness(-20);
    EXPECT_EQ(Cap.Brightness(), 0);
    // -1 is a real hue here, and tells itself apart from a missing control.
    EXPECT_EQ(Cap.SetControlValue(ccHue, -1), -1);
    EXPECT_EQ(Cap.ControlValue(ccHue), -1);
    EXPECT_EQ(Cap.ControlValue(ccRoll), std::nullopt);
    Cap.SetRoll(3); // absent: nothing happens
    EXPECT_EQ(Cap.Roll(), -1);
    Cap.SetGamma(10);
    EXPECT_EQ(Cap.Gamma(), 72);
    Cap.SetBacklight(1);
    EXPECT_EQ(Cap.Backlight(), 1);
    Cap.SetSaturation(40);
    Cap.SetContrast(41);
    Cap.SetSharpness(42);
    EXPECT_EQ(std::make_tuple(Cap.Saturation(), Cap.Contrast(), Cap.Sharpness()),
              std::make_tuple(40, 41, 42));
}

TEST_F(Controls, FocusManualWithinTheRangeAndTheOneShotAutofocus)
{
    const auto controls = Cap.CameraControls();
    ASSERT_TRUE(controls);
    int lo = -1, hi = -1, value = -1;
    Cap.GetFocusRange(lo, hi, value);
    EXPECT_EQ(std::make_tuple(lo, hi, value), std::make_tuple(0, 250, 0));

    Cap.ManualFocus(251); // one above the maximum: nothing
    EXPECT_EQ(controls->Get(V4L2_CID_FOCUS_AUTO), 1);
    EXPECT_EQ(Cap.MFFocus(), 0);
    Cap.ManualFocus(250);
    EXPECT_EQ(controls->Get(V4L2_CID_FOCUS_AUTO), 0);
    EXPECT_EQ(Cap.MFFocus(), 250);
    Cap.SetMFFocus(123); // as ManualFocus, on the focus step of 5
    EXPECT_EQ(Cap.MFFocus(), 125);
    Cap.SetMFFocus(-1);
    EXPECT_EQ(Cap.MFFocus(), 125);

    Cap.Autofocus(5000);
    EXPECT_EQ(controls->Get(V4L2_CID_FOCUS_AUTO), 1);
    EXPECT_EQ(Cap.MFFocus(), 250);
    Cap.GetFocusRange(lo, hi, value);
    EXPECT_EQ(value, 250);

    // The camera goes: the controls go with it.
    TSimulatedCameras::DropOut(DocCam);
    EXPECT_EQ(Cap.Brightness(), -1);
    lo = hi = value = 7;
    Cap.GetFocusRange(lo, hi, value);
    EXPECT_EQ(std::make_tuple(lo, hi, value), std::make_tuple(7, 7, 7));
}

TEST_F(Controls, BrightnessChangesTheRunningPicture)
{
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 1; }));
    const double normal = MeanLevel();
    ASSERT_GT(normal, 40);
    Cap.SetBrightness(255);
    EXPECT_TRUE(WaitUntil([&] { return MeanLevel() > normal + 40; }));
    Cap.SetBrightness(0);
    EXPECT_TRUE(WaitUntil([&] { return MeanLevel() < normal - 40; }));
}

TEST_F(Controls, TheDialogChangesTheCameraLive)
{
    QWidget owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 1; }));
    const double normal = MeanLevel();

    bool shown = false;
    QPoint at;
    double brighter = -1;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TCameraControlsDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        at = dialog->pos();
        auto *brightness = qobject_cast<QSlider *>(dialog->Editor(V4L2_CID_BRIGHTNESS));
        ASSERT_NE(brightness, nullptr);
        EXPECT_EQ(brightness->value(), 128);
        QTest::keyClick(brightness, Qt::Key_End);
        EXPECT_EQ(Cap.Brightness(), 255);
        // The picture follows while the dialog is open.
        brighter = MeanLevel();
        WaitUntil([&] { return (brighter = MeanLevel()) > normal + 40; });

        // Manual focus is greyed while the camera focuses by itself.
        auto *focus = qobject_cast<QSlider *>(dialog->Editor(V4L2_CID_FOCUS_ABSOLUTE));
        auto *autofocus = qobject_cast<QCheckBox *>(dialog->Editor(V4L2_CID_FOCUS_AUTO));
        ASSERT_TRUE(focus && autofocus);
        EXPECT_FALSE(focus->isEnabled());
        autofocus->click();
        EXPECT_TRUE(focus->isEnabled());
        QTest::keyClick(focus, Qt::Key_PageUp); // a page is 25, on the step of 5
        QTest::keyClick(focus, Qt::Key_Right);
        EXPECT_EQ(Cap.MFFocus(), 30);
        EXPECT_EQ(focus->value(), 30);

        auto *power = qobject_cast<QComboBox *>(dialog->Editor(V4L2_CID_POWER_LINE_FREQUENCY));
        ASSERT_NE(power, nullptr);
        EXPECT_EQ(power->currentText(), "60 Hz");
        power->setFocus();
        QTest::keyClick(power, Qt::Key_Up);
        EXPECT_EQ(Cap.CameraControls()->Get(V4L2_CID_POWER_LINE_FREQUENCY), 1);
        saveScreenshot(dialog, "camera-controls");

        qobject_cast<QPushButton *>(dialog->DefaultButton(V4L2_CID_BRIGHTNESS))->click();
        EXPECT_EQ(Cap.Brightness(), 128);
        EXPECT_EQ(brightness->value(), 128);
        dialog->reject();
    });
    Cap.ShowDialog_Filter(&owner);
    EXPECT_TRUE(shown);
    EXPECT_EQ(at, owner.mapToGlobal(QPoint(30, 30)));
    EXPECT_GT(brighter, normal + 40);
    EXPECT_TRUE(Cap.Previewing());
}

TEST_F(Controls, TheModesDialogRestartsThePreviewInTheChosenMode)
{
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 1; }));
    const struct
    {
        const char *Line;
        bool Accept;
        int Width;
    } steps[] = {{"160x120 (YUY2)", false, 320}, {"160x120 (YUY2)", true, 160}};
    int starts = 1;
    for (const auto &step : steps) {
        bool previewingInside = true;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TCaptureModesDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            previewingInside = Cap.Previewing();
            EXPECT_EQ(dialog->lbModes->currentItem()->text(),
                      Cap.VideoWidth() == 320 ? "320x240 (MJPG)" : "160x120 (YUY2)");
            const auto items = dialog->lbModes->findItems(step.Line, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1);
            dialog->lbModes->setCurrentItem(items.front());
            step.Accept ? dialog->accept() : dialog->reject();
        });
        Cap.ShowDialog_Pin(nullptr);
        EXPECT_FALSE(previewingInside) << step.Line;
        EXPECT_TRUE(Cap.Previewing());
        EXPECT_EQ(Cap.VideoWidth(), step.Width);
        ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == starts + 1; }));
        ++starts;
    }
    EXPECT_EQ(Cap.VideoCodec(), "YUY2");
    TGrabbed frame;
    ASSERT_TRUE(Cap.Grab(frame));
    EXPECT_EQ(frame.Width, 160);
}

} // namespace
