// Camera discovery over the capture component's own device enumeration, on
// simulated cameras: which devices count, their device indexes, the chosen
// camera's identity.
#include "capture/devices/SimulatedCamera.h"
#include "capture/devices/V4l2Provider.h"
#include "support/CameraDiscovery.h"

#include <gtest/gtest.h>

namespace {

TSimulatedCamera Sim(const QString &name, const QString &path)
{
    TSimulatedCamera c;
    c.FriendlyName = name;
    c.DevicePath = path;
    c.Modes = {{640, 480, true, 30}};
    return c;
}

class Discovery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TSimulatedCameras::Clear();
        ClearSelectedCamera();
        CameraList.clear();
    }
    void TearDown() override
    {
        TSimulatedCameras::Clear();
        ClearSelectedCamera();
        CameraList.clear();
    }
    // Two document cameras with other devices before, between and after them.
    static void AddMixedDevices()
    {
        for (const TSimulatedCamera &c : {
                 Sim("Web Cam", "usb#VID_046D&PID_0825#a"),
                 Sim("Doc Cam A", "usb#VID_1234&PID_2003#b"),
                 Sim("Capture Card", "usb#VID_1B80&PID_E31D#c"),
                 Sim("", "usb#VID_1234&PID_2003#d"), // no name: skipped, still counted
                 Sim("Doc Cam B", "usb#vid_1234&pid_2003#e"),
                 Sim("Doc Cam C", "usb#VID_1234&PID_20031#f"), // contains the text too
                 Sim("Other", "usb#VID_1234&PID_2004#g"),
             })
            TSimulatedCameras::Add(c);
    }
    static std::vector<TDeviceProviderPtr> SimulatedOnly()
    {
        return {std::make_shared<TSimulatedProvider>()};
    }
};

TEST_F(Discovery, IndexesCountEveryDeviceAndTheFilterIgnoresCase)
{
    AddMixedDevices();
    TCameraList list;
    EnumCameraDevices("pid_2003", list, SimulatedOnly());
    ASSERT_EQ(list.size(), 3);
    const struct
    {
        const char *Name;
        int Index;
        const char *Path;
    } expected[] = {{"Doc Cam A", 1, "usb#VID_1234&PID_2003#b"},
                    {"Doc Cam B", 4, "usb#vid_1234&pid_2003#e"},
                    {"Doc Cam C", 5, "usb#VID_1234&PID_20031#f"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i].Name, expected[i].Name);
        EXPECT_EQ(list[i].DeviceIndex, expected[i].Index);
        EXPECT_EQ(list[i].DevicePath, expected[i].Path);
    }
}

TEST_F(Discovery, GetCameraListAppendsAndUsesTheComponentsProviders)
{
    AddMixedDevices();
    // The machine's V4L2 nodes come first in the default enumeration.
    const int v4l2 = int(TV4l2Provider().Enumerate().size());
    TCameraList list{{"kept", 7, "kept-path"}};
    GetCameraList(list);
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].Name, "kept");
    EXPECT_EQ(list[1].DeviceIndex, v4l2 + 1);
    EXPECT_EQ(list[2].DeviceIndex, v4l2 + 4);
    EXPECT_EQ(list[3].Name, "Doc Cam C");

    // An empty filter text is contained in every path.
    TCameraList all;
    EnumCameraDevices("", all, SimulatedOnly());
    EXPECT_EQ(all.size(), 6);
}

TEST_F(Discovery, StartUpClearsTheChoiceAndRefillsTheList)
{
    SetSelectedCamera({"old", 3, "old-path"});
    CameraList.append({"stale", 0, "stale-path"});
    TSimulatedCameras::Add(Sim("Doc Cam A", "usb#VID_1234&PID_2003#b"));
    InitCameraList();
    EXPECT_EQ(SelectedCameraIndex, -1);
    EXPECT_TRUE(SelectedCameraName.isEmpty());
    EXPECT_TRUE(SelectedCameraPath.isEmpty());
    ASSERT_EQ(CameraList.size(), 1);
    EXPECT_EQ(CameraList[0].DevicePath, "usb#VID_1234&PID_2003#b");

    // Without any document camera the list is empty and nothing is chosen.
    TSimulatedCameras::Clear();
    TSimulatedCameras::Add(Sim("Web Cam", "usb#VID_046D&PID_0825#a"));
    InitCameraList();
    EXPECT_TRUE(CameraList.isEmpty());
    EXPECT_EQ(SelectedCameraIndex, -1);
}

TEST_F(Discovery, TheChosenCameraIsFoundByPathWhateverItsIndex)
{
    const TCameraList before{{"Doc Cam", 0, "path-a"}, {"Doc Cam", 2, "path-b"}};
    SetSelectedCamera(before[1]);
    EXPECT_EQ(SelectedCameraName, "Doc Cam");
    EXPECT_EQ(SelectedCameraIndex, 2);

    // Another device came first: the indexes moved, the path still finds it.
    const TCameraList after{{"Doc Cam", 1, "path-a"}, {"Doc Cam", 3, "path-b"}};
    const TCameraEntry *found = FindSelectedCamera(after);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->DeviceIndex, 3);
    EXPECT_EQ(FindSelectedCamera({{"Doc Cam", 2, "path-c"}}), nullptr);
    ClearSelectedCamera();
    EXPECT_EQ(FindSelectedCamera(after), nullptr);
}

TEST_F(Discovery, SameCamerasComparesDevicePaths)
{
    const TCameraList ab{{"Doc Cam", 0, "a"}, {"Doc Cam", 1, "b"}};
    EXPECT_TRUE(SameCameras(ab, {{"renamed", 4, "a"}, {"x", 5, "b"}}));
    // One camera swapped for another: the count is equal, the cameras are not.
    EXPECT_FALSE(SameCameras(ab, {{"Doc Cam", 0, "a"}, {"Doc Cam", 1, "c"}}));
    EXPECT_FALSE(SameCameras(ab, {{"Doc Cam", 0, "a"}}));
    EXPECT_FALSE(SameCameras(ab, {{"Doc Cam", 1, "b"}, {"Doc Cam", 0, "a"}}));
    EXPECT_TRUE(SameCameras({}, {}));
}

} // namespace
