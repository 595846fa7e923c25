// The settings dialog and the information form, driven offscreen.
#include "TempHome.h"
#include "app/dialogs/InfoForm.h"
#include "app/dialogs/SettingForm.h"
#include "scene/TextItem.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SettingDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Config = std::make_unique<TConfig>(Home.file(QStringLiteral("data")));
        Language = std::make_unique<TLanguage>(Home.file(QStringLiteral("none.ini")));
        Config->PathImage = Folder(QStringLiteral("old-image"));
        Config->PathMovie = Folder(QStringLiteral("old-movie"));
    }
    void TearDown() override
    {
        Language.reset();
        Config.reset();
    }
    QString Folder(const QString &AName) const
    {
        const QString path = Home.file(AName);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    // A folder nobody may write into. Permissions do not stop root, so there
    // a folder of the kernel's process tree stands in.
    QString UnwritableFolder() const
    {
        const QString path = Folder(QStringLiteral("read-only"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        return QFileInfo(path).isWritable() ? QStringLiteral("/proc/self") : path;
    }
    // Types both folders and presses Apply.
    void Apply(const QString &AImage, const QString &AMovie)
    {
        TSettingForm form;
        form.edtSavePathImage->Edit()->clear();
        QTest::keyClicks(form.edtSavePathImage->Edit(), AImage);
        form.edtSavePathMovie->SetText(AMovie);
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }

    TempHome Home;
};

TEST_F(SettingDialog, ShowsTheFoldersAndTheLanguageTexts)
{
    TSettingForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("환경설정"));
    EXPECT_EQ(form.txtSavePath_Image->text(), QStringLiteral("이미지 저장 경로"));
    EXPECT_EQ(form.btnCamSetting->text(), QStringLiteral("카메라설정"));
    EXPECT_EQ(form.edtSavePathImage->Text(), Config->PathImage);
    EXPECT_EQ(form.edtSavePathMovie->Text(), Config->PathMovie);
    EXPECT_EQ(form.size(), QSize(279, 195));
}

TEST_F(SettingDialog, ApplyTakesOnlyAbsoluteWritableExistingFolders)
{
    const QString oldImage = Config->PathImage;
    const QString good = Folder(QStringLiteral("new-movie"));
    struct
    {
        const char *Why;
        QString Typed;
    } refused[] = {
        {"missing", Home.file(QStringLiteral("no/such/folder"))},
        {"relative", QStringLiteral("old-image")},
        {"empty", QString()},
        {"a file", Home.file(QStringLiteral("file.txt"))},
        {"unwritable", UnwritableFolder()},
    };
    writeFile(Home.file(QStringLiteral("file.txt")), "x");
    // The relative name names a folder that exists from the current folder.
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Home.path()));
    ASSERT_TRUE(QFileInfo(QStringLiteral("old-image")).isDir());
    for (const auto &r : refused) {
        SCOPED_TRACE(r.Why);
        Config->PathMovie = Folder(QStringLiteral("old-movie"));
        Apply(r.Typed, good);
        EXPECT_EQ(Config->PathImage, oldImage);
        EXPECT_EQ(Config->PathMovie, good); // judged on its own
    }
    QDir::setCurrent(current);
    // A trailing separator is tidied away.
    Apply(good + u'/', good);
    EXPECT_EQ(Config->PathImage, good);
}

TEST_F(SettingDialog, CancelKeepsBothFolders)
{
    const QString image = Config->PathImage, movie = Config->PathMovie;
    TSettingForm form;
    form.edtSavePathImage->SetText(Folder(QStringLiteral("a")));
    form.edtSavePathMovie->SetText(Folder(QStringLiteral("b")));
    QTest::mouseClick(form.btnCancel, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(Config->PathImage, image);
    EXPECT_EQ(Config->PathMovie, movie);
}

TEST_F(SettingDialog, TheCameraButtonCallsItsHandlerWithTheDialog)
{
    TSettingForm form;
    QTest::mouseClick(form.btnCamSetting, Qt::LeftButton); // nothing set: nothing happens
    QWidget *owner = nullptr;
    form.OnVideoSetting = [&](QWidget *AOwner) {
        owner = AOwner;
    };
    QTest::mouseClick(form.btnCamSetting, Qt::LeftButton);
    EXPECT_EQ(owner, &form);
}

TEST(InfoForm, ShowsTheProgramLineAndClosesOnEscapeOrAClick)
{
    {
        TInfoForm form;
        EXPECT_EQ(form.txtProgram->Text(), QStringLiteral("오빌렌 v1.3"));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("오빌렌"));
        EXPECT_EQ(form.size(), QSize(334, 193));
        // The logo is drawn: its area is not plain white.
        const QImage shot = form.Image1->grab().toImage();
        EXPECT_NE(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::white));
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
    }
    for (const bool onLogo : {false, true}) {
        TInfoForm form;
        form.show();
        QWidget *target = onLogo ? form.Image1 : form.vgScene1;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(20, 20));
        EXPECT_FALSE(form.isVisible()) << (onLogo ? "logo" : "background");
    }
}

} // namespace
