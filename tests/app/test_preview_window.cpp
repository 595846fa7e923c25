// The preview menu end to end: the real window offscreen on a simulated
// camera in a temporary home, driven by clicks on its buttons, checked by the
// files, the settings file and what the window shows.
#include "MainWindowFixture.h"
#include "PreviewTestSupport.h"
#include "app/MainForm.h"
#include "app/ProgramModules.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/NoticePanel.h"
#include "scene/ResolutionPopup.h"
#include "scene/TabButton.h"
#include "scene/TextItem.h"
#include "support/IniFile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

namespace {

// Answers every modal dialog that opens while it lives: the file dialog
// with FileToChoose, a message box by pressing its button; the texts of
// the message boxes are kept.
class TModalAnswerer : public QObject
{
public:
    TModalAnswerer()
    {
        connect(&FTimer, &QTimer::timeout, this, &TModalAnswerer::Answer);
        FTimer.start(20);
    }
    QString FileToChoose;
    QStringList Messages;

private:
    void Answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            // Typed into the name field, as a user would.
            if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(FileToChoose);
            static_cast<QDialog *>(files)->accept();
            return;
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            QStringList texts;
            for (QLabel *label : dialog->findChildren<QLabel *>())
                if (!label->text().isEmpty())
                    texts << label->text();
            Messages << texts.join(u' ');
            dialog->accept();
        }
    }
    QTimer FTimer;
};

class PreviewWindow : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        UseNoSoundDevice(Home);
        Start({PreviewCamera()});
        ASSERT_TRUE(Form->Created());
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        ASSERT_TRUE(WaitForPicture());
    }
    void TearDown() override
    {
        if (Form && Form->VideoCap()) {
            if (Form->VideoCap()->Recording())
                Click("btnPreview_Record");
            EXPECT_TRUE(WaitUntil([&] { return !Form->VideoCap()->RecordFinishing(); }, 20000));
        }
        EXPECT_EQ(Terminated, 0);
        MainWindowTest::TearDown();
    }

    TCustomVideoCap &Cap() const { return *Form->VideoCap(); }
    TImageButton *Button(const char *name) const
    {
        TImageButton *button = Form->MenuButton(QLatin1String(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    void Click(const char *name) { ClickAt(Button(name), Button(name)->rect().center()); }
    static void ClickAt(QWidget *widget, QPoint pos)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    }
    // The live picture runs, has shown a frame, and no notice is up.
    bool WaitForPicture(int ms = 10000)
    {
        return WaitUntil(
            [&] {
                auto *window = Cap().VideoWindow();
                return Cap().Previewing() && window && window->FramesPresented() >= 1 &&
                       !Form->pnlPreviewLoading->isVisible();
            },
            ms);
    }
    bool Usable(const char *name) const
    {
        TImageButton *button = Button(name);
        return button->HitTest() && button->isEnabled() && button->Opacity() == 1.0;
    }
    QString Cfg() const { return PathData + QStringLiteral("/Ovilen.cfg"); }
};

const char *const LockedWhileRecording[] = {
    "btnPreview_Load",       "btnPreview_InvertColor", "btnPreview_GrayScale",  "btnPreview_Rotate",
    "btnPreview_Resolution", "btnPreview_AutoFocus",   "btnPreview_FullScreen", "btnPreview_Wide",
    "btnPreview_Capture",    "btnPreview_ZoomIn",      "btnPreview_ZoomOut"};

TEST_F(PreviewWindow, StillLandsAsJpegAtTheCameraSizeTurnedAndGrey)
{
    Click("btnPreview_Rotate");
    ASSERT_TRUE(WaitForPicture());
    Click("btnPreview_GrayScale");
    EXPECT_TRUE(Button("btnPreview_GrayScale")->IsPressed());
    Click("btnPreview_Capture");
    ASSERT_TRUE(WaitUntil([&] { return FilesIn(Config->PathImage).size() == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return !Form->pnlPreviewLoading->isVisible(); }));
    const QString file = Config->PathImage + u'/' + FilesIn(Config->PathImage)[0];
    EXPECT_TRUE(file.endsWith(QStringLiteral(".jpg")));
    QImageReader reader(file);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    const QImage still = reader.read();
    EXPECT_EQ(still.size(), QSize(1200, 1600));
    const QColor c = still.pixelColor(still.width() / 3, still.height() / 3);
    EXPECT_LE(std::abs(c.red() - c.green()) + std::abs(c.green() - c.blue()), 6);
}

TEST_F(PreviewWindow, RecordingIsAnMp4WithTheMenuLockedWhileItRuns)
{
    UseTestSoundDevice(Home);
    Click("btnPreview_Record");
    ASSERT_TRUE(Cap().Recording());
    ASSERT_TRUE(WaitUntil([&] { return Form->txtRecordTime->isVisible(); }));
    for (const char *name : LockedWhileRecording)
        EXPECT_FALSE(Usable(name)) << name;
    EXPECT_FALSE(Form->tabDrawing->isEnabled());
    EXPECT_TRUE(Usable("btnPreview_Record"));
    EXPECT_TRUE(Usable("btnPreview_Setting"));
    EXPECT_TRUE(Button("btnPreview_Record")->IsPressed());
    // A click on a locked button does nothing.
    const float zoom = Cap().Zoom();
    Click("btnPreview_ZoomIn");
    EXPECT_FLOAT_EQ(Cap().Zoom(), zoom);
    ASSERT_TRUE(WaitUntil([&] { return Form->txtRecordTime->Text() == "00:00:03"; }));

    Click("btnPreview_Record");
    EXPECT_FALSE(Cap().Recording());
    EXPECT_FALSE(Form->txtRecordTime->isVisible());
    for (const char *name : LockedWhileRecording)
        EXPECT_TRUE(Usable(name)) << name;
    EXPECT_TRUE(Form->tabDrawing->isEnabled());
    EXPECT_FALSE(Button("btnPreview_Record")->IsPressed());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap().VideoWidth(), 1600);
    EXPECT_EQ(Cap().VideoHeight(), 1200);
    EXPECT_EQ(Form->txtResolution->Text(), QStringLiteral("1600x1200"));

    ASSERT_TRUE(WaitUntil([&] { return !Cap().RecordFinishing(); }, 20000));
    ExpectRecording(Config->PathMovie, 2.5);
}

TEST_F(PreviewWindow, RotationIsKeptInTheSettingsFile)
{
    Click("btnPreview_Rotate");
    EXPECT_EQ(TIniFile(Cfg()).ReadString("VIDEO", "VideoRotate", {}), QStringLiteral("1"));
    EXPECT_TRUE(Button("btnPreview_Rotate")->IsPressed());
    for (int i = 0; i < 3; ++i)
        Click("btnPreview_Rotate");
    EXPECT_EQ(TIniFile(Cfg()).ReadString("VIDEO", "VideoRotate", {}), QStringLiteral("0"));
    EXPECT_FALSE(Button("btnPreview_Rotate")->IsPressed());
    EXPECT_TRUE(WaitForPicture());
}

TEST_F(PreviewWindow, ResolutionPopupChoosesAModeAndReportsARefusal)
{
    TImageButton *button = Button("btnPreview_Resolution");
    Click("btnPreview_Resolution");
    TResolutionPopup *popup = Form->PopupResolution;
    ASSERT_TRUE(WaitUntil([&] { return popup->isVisible(); }));
    std::vector<QString> lines;
    for (const TResolutionPopup::TItem &item : popup->Items())
        lines.push_back(item.Text + (item.Current ? QStringLiteral(" *") : QString()));
    EXPECT_EQ(lines, (std::vector<QString>{"1600x1200 *", "1280x720", "800x600", "640x480"}));
    EXPECT_EQ(popup->size(), QSize(123, 4 * 21 + 53));
    EXPECT_EQ(popup->geometry().top(), button->mapToGlobal(QPoint(0, button->height())).y());

    ClickAt(popup, popup->ItemRect(1).center());
    EXPECT_FALSE(popup->isVisible());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap().VideoWidth(), 1280);
    EXPECT_EQ(Cap().VideoHeight(), 720);
    EXPECT_EQ(Form->txtResolution->Text(), QStringLiteral("1280x720"));
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1280x720 MJPG"));

    // 800 x 600 is listed but refused.
    TModalAnswerer answerer;
    Click("btnPreview_Resolution");
    ASSERT_TRUE(WaitUntil([&] { return popup->isVisible(); }));
    ClickAt(popup, popup->ItemRect(2).center());
    EXPECT_EQ(answerer.Messages, QStringList{Language->Msg.m_NotSupportRes});
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap().VideoWidth(), 1280);
    EXPECT_EQ(Form->txtResolution->Text(), QStringLiteral("1280x720"));
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1280x720 MJPG"));
}

TEST_F(PreviewWindow, LoadedPictureIsZoomedAndLeftWithBack)
{
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 30));
    TModalAnswerer answerer;
    answerer.FileToChoose = Home.file(QStringLiteral("board.png"));
    ASSERT_TRUE(picture.save(answerer.FileToChoose));
    Click("btnPreview_Load");
    EXPECT_TRUE(answerer.Messages.isEmpty());
    EXPECT_EQ(Form->imgViewer->Image().size(), QSize(320, 240));
    EXPECT_TRUE(Form->pnlImage->isVisible());
    EXPECT_FALSE(Form->pnlVideo->isVisible());
    EXPECT_FALSE(Usable("btnPreview_Capture"));
    EXPECT_TRUE(Usable("btnPreview_Back"));
    Click("btnPreview_ZoomIn");
    Click("btnPreview_ZoomIn");
    EXPECT_DOUBLE_EQ(Form->imgViewer->Scale(), 1.4);
    Click("btnPreview_Back");
    EXPECT_TRUE(Form->pnlVideo->isVisible());
    EXPECT_FALSE(Form->pnlImage->isVisible());
    EXPECT_TRUE(WaitForPicture());
    EXPECT_TRUE(Usable("btnPreview_Capture"));
}

TEST_F(PreviewWindow, BrokenPictureIsReportedAndVideoGoesToThePlayer)
{
    TModalAnswerer answerer;
    answerer.FileToChoose = Home.file(QStringLiteral("broken.png"));
    writeFile(answerer.FileToChoose, "not a picture at all");
    Click("btnPreview_Load");
    EXPECT_EQ(answerer.Messages, QStringList{Language->Msg.m_LoadError});
    EXPECT_TRUE(Form->pnlVideo->isVisible());
    EXPECT_FALSE(Form->pnlImage->isVisible());
    EXPECT_TRUE(Cap().Previewing());

    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    answerer.FileToChoose = Home.file(QStringLiteral("lesson.mp4"));
    writeFile(answerer.FileToChoose, "a recording");
    Click("btnPreview_Load");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(catcher.Urls, QList<QUrl>{QUrl::fromLocalFile(answerer.FileToChoose)});
    EXPECT_TRUE(Form->pnlVideo->isVisible());
    EXPECT_EQ(answerer.Messages.size(), 1);
}

TEST_F(PreviewWindow, CameraLostDuringARecordingKeepsTheFileAndTheWindowRecovers)
{
    Click("btnPreview_Record");
    ASSERT_TRUE(WaitUntil([&] { return Form->txtRecordTime->Text() == "00:00:01"; }));
    ASSERT_TRUE(TSimulatedCameras::DropOut(PreviewCam));
    ASSERT_TRUE(WaitUntil([&] { return !Cap().Recording() && Usable("btnPreview_Load"); }));
    EXPECT_FALSE(Form->txtRecordTime->isVisible());
    EXPECT_FALSE(Button("btnPreview_Record")->IsPressed());
    ASSERT_TRUE(WaitUntil([&] { return !Cap().RecordFinishing(); }, 20000));
    EXPECT_GT(RecordedFrames(Config->PathMovie), 5u);

    // The camera comes back and is opened again: the picture and recording work.
    ASSERT_TRUE(TSimulatedCameras::PlugIn(PreviewCam));
    Form->PostOpenCamera();
    ASSERT_TRUE(WaitForPicture());
    Click("btnPreview_Record");
    EXPECT_TRUE(Cap().Recording());
}

} // namespace
