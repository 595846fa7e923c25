#include "app/dialogs/SettingForm.h"

#include "support/Config.h"
#include "support/Language.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFolderEdit::TFolderEdit(QWidget *AParent)
    : QWidget(AParent)
    , FEdit(new QLineEdit(this))
    , FBrowse(new QPushButton(QStringLiteral("…"), this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(FEdit, 1);
    row->addWidget(FBrowse);
    FBrowse->setFixedWidth(26);
    FBrowse->setObjectName(QStringLiteral("btnBrowse"));
    FBrowse->setAccessibleName(QStringLiteral("폴더 찾기"));
    connect(FBrowse, &QPushButton::clicked, this, &TFolderEdit::Browse);
}

QString TFolderEdit::Text() const
{
    return FEdit->text();
}

void TFolderEdit::SetText(const QString &AText)
{
    FEdit->setText(AText);
}

void TFolderEdit::Browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), FEdit->text());
    if (!folder.isEmpty())
        FEdit->setText(QDir::toNativeSeparators(folder));
}

TSettingForm::TSettingForm(QWidget *AOwner)
    : QDialog(AOwner)
    , txtSavePath_Image(new QLabel(this))
    , txtSavePath_Movie(new QLabel(this))
    , btnApply(new QPushButton(this))
    , btnCancel(new QPushButton(this))
    , edtSavePathImage(new TFolderEdit(this))
    , edtSavePathMovie(new TFolderEdit(this))
    , btnCamSetting(new QPushButton(this))
{
    setObjectName(QStringLiteral("SettingForm"));
    const struct
    {
        QWidget *Control;
        const char *Name;
        QRect Place;
    } controls[] = {
        {txtSavePath_Image, "txtSavePath_Image", {8, 8, 261, 17}},
        {txtSavePath_Movie, "txtSavePath_Movie", {8, 64, 261, 17}},
        {btnApply, "btnApply", {112, 162, 75, 25}},
        {btnCancel, "btnCancel", {193, 162, 75, 25}},
        {edtSavePathImage, "edtSavePathImage", {8, 27, 261, 21}},
        {edtSavePathMovie, "edtSavePathMovie", {8, 83, 261, 21}},
        {btnCamSetting, "btnCamSetting", {8, 110, 75, 25}},
    };
    for (const auto &c : controls) {
        c.Control->setObjectName(QLatin1String(c.Name));
        c.Control->setGeometry(c.Place);
    }
    setFixedSize(279, 195);
    ApplyCaptions();
    ShowSetting();
    btnApply->setDefault(true);
    connect(btnApply, &QPushButton::clicked, this, &TSettingForm::btnApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, &TSettingForm::btnCancelClick);
    connect(btnCamSetting, &QPushButton::clicked, this, &TSettingForm::btnCamSettingClick);
}

void TSettingForm::ApplyCaptions()
{
    setWindowTitle(Language->Setting.Title);
    txtSavePath_Image->setText(Language->Setting.txtPathImage);
    txtSavePath_Movie->setText(Language->Setting.txtPathMovie);
    btnApply->setText(Language->Setting.btnApply);
    btnCancel->setText(Language->Setting.btnCancel);
    btnCamSetting->setText(Language->Setting.btnCamSetting);
    edtSavePathImage->Edit()->setAccessibleName(Language->Setting.txtPathImage);
    edtSavePathMovie->Edit()->setAccessibleName(Language->Setting.txtPathMovie);
}

void TSettingForm::ShowSetting()
{
    edtSavePathImage->SetText(Config->PathImage);
    edtSavePathMovie->SetText(Config->PathMovie);
}

bool TSettingForm::UsableFolder(const QString &AFolder)
{
    if (AFolder.isEmpty() || QDir::isRelativePath(AFolder))
        return false;
    const QFileInfo info(AFolder);
    return info.isDir() && info.isWritable();
}

void TSettingForm::ApplySetting()
{
    const auto take = [](const QString &AText, QString &AField) {
        const QString folder = QDir::cleanPath(AText.trimmed());
        if (UsableFolder(folder))
            AField = folder;
    };
    take(edtSavePathImage->Text(), Config->PathImage);
    take(edtSavePathMovie->Text(), Config->PathMovie);
}

void TSettingForm::btnApplyClick()
{
    ApplySetting();
    accept();
}

void TSettingForm::btnCancelClick()
{
    reject();
}

void TSettingForm::btnCamSettingClick()
{
    if (OnVideoSetting)
        OnVideoSetting(this);
}
