#include "TempHome.h"
#include "support/IniFile.h"
#include "support/Language.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Reads one field of the table by its name ("Msg.q_Exit").
using TField = std::function<QString(const TLanguage &)>;
#define OVILEN_FIELD(record, field)                                                                \
    {                                                                                              \
#record "." #field, [](const TLanguage &ALanguage) {                                       \
            return ALanguage.record.field;                                                         \
        }                                                                                          \
    }
const std::map<QString, TField> &Fields()
{
    static const std::map<QString, TField> fields = {
        OVILEN_FIELD(Common, OK),
        OVILEN_FIELD(Common, Yes),
        OVILEN_FIELD(Common, No),
        OVILEN_FIELD(Common, Zoom),
        OVILEN_FIELD(Common, Resolution),
        OVILEN_FIELD(MainMenu, Preview),
        OVILEN_FIELD(MainMenu, Drawing),
        OVILEN_FIELD(PreviewMenu, Load),
        OVILEN_FIELD(PreviewMenu, Capture),
        OVILEN_FIELD(PreviewMenu, Recording),
        OVILEN_FIELD(PreviewMenu, Autofocus),
        OVILEN_FIELD(PreviewMenu, Stop),
        OVILEN_FIELD(PreviewMenu, FullScreen),
        OVILEN_FIELD(PreviewMenu, InvertColor),
        OVILEN_FIELD(PreviewMenu, Grayscale),
        OVILEN_FIELD(PreviewMenu, FlipVert),
        OVILEN_FIELD(PreviewMenu, FlipHorz),
        OVILEN_FIELD(PreviewMenu, Rotate),
        OVILEN_FIELD(PreviewMenu, Resolution),
        OVILEN_FIELD(PreviewMenu, ZoomIn),
        OVILEN_FIELD(PreviewMenu, ZoomOut),
        OVILEN_FIELD(DrawingMenu, Load),
        OVILEN_FIELD(DrawingMenu, Save),
        OVILEN_FIELD(DrawingMenu, Undo),
        OVILEN_FIELD(DrawingMenu, Redo),
        OVILEN_FIELD(DrawingMenu, PenOption),
        OVILEN_FIELD(DrawingMenu, EraserTool),
        OVILEN_FIELD(DrawingMenu, EraserAll),
        OVILEN_FIELD(DrawingMenu, ShapeTool),
        OVILEN_FIELD(DrawingMenu, BoardTool),
        OVILEN_FIELD(DrawingMenu, InvertColor),
        OVILEN_FIELD(DrawingMenu, GrayScale),
        OVILEN_FIELD(DrawingMenu, FlipVert),
        OVILEN_FIELD(DrawingMenu, FlipHorz),
        OVILEN_FIELD(Setting, Title),
        OVILEN_FIELD(Setting, txtPathImage),
        OVILEN_FIELD(Setting, txtPathMovie),
        OVILEN_FIELD(Setting, btnApply),
        OVILEN_FIELD(Setting, btnCancel),
        OVILEN_FIELD(Setting, btnCamSetting),
        OVILEN_FIELD(SelectCamera, Title),
        OVILEN_FIELD(SelectCamera, btnApply),
        OVILEN_FIELD(SelectCamera, btnCancel),
        OVILEN_FIELD(Msg, q_Exit),
        OVILEN_FIELD(Msg, m_ResourceNotFound),
        OVILEN_FIELD(Msg, m_Capturing),
        OVILEN_FIELD(Msg, m_PleaseWait),
        OVILEN_FIELD(Msg, m_DeviceNotFound),
        OVILEN_FIELD(Msg, m_NotSupportRes),
        OVILEN_FIELD(Msg, m_Saved),
        OVILEN_FIELD(Msg, m_RecordError),
    };
    return fields;
}
#undef OVILEN_FIELD

// One row of the fixture table, written by hand from the list of texts.
struct TRow
{
    QString Section, Key, Field, Text;
};

std::vector<TRow> ExpectedTable()
{
    QFile file(QStringLiteral(OVILEN_LANGUAGE_TABLE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<TRow> rows;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList cells = line.split(u'\t');
        EXPECT_EQ(cells.size(), 4) << line.toStdString();
        if (cells.size() == 4)
            rows.push_back({cells[0], cells[1], cells[2], cells[3]});
    }
    return rows;
}

// Every text of the table, in one list, for whole-table comparisons.
QStringList AllTexts(const TLanguage &ALanguage)
{
    return {ALanguage.Common.OK,
            ALanguage.Common.Yes,
            ALanguage.Common.No,
            ALanguage.Common.Zoom,
            ALanguage.Common.Resolution,
            ALanguage.MainMenu.Preview,
            ALanguage.MainMenu.Drawing,
            ALanguage.PreviewMenu.Load,
            ALanguage.PreviewMenu.Capture,
            ALanguage.PreviewMenu.Recording,
            ALanguage.PreviewMenu.Autofocus,
            ALanguage.PreviewMenu.Stop,
            ALanguage.PreviewMenu.FullScreen,
            ALanguage.PreviewMenu.InvertColor,
            ALanguage.PreviewMenu.Grayscale,
            ALanguage.PreviewMenu.FlipVert,
            ALanguage.PreviewMenu.FlipHorz,
            ALanguage.PreviewMenu.Rotate,
            ALanguage.PreviewMenu.Resolution,
            ALanguage.PreviewMenu.ZoomIn,
            ALanguage.PreviewMenu.ZoomOut,
            ALanguage.DrawingMenu.Load,
            ALanguage.DrawingMenu.Save,
            ALanguage.DrawingMenu.Undo,
            ALanguage.DrawingMenu.Redo,
            ALanguage.DrawingMenu.PenOption,
            ALanguage.DrawingMenu.EraserTool,
            ALanguage.DrawingMenu.EraserAll,
            ALanguage.DrawingMenu.ShapeTool,
            ALanguage.DrawingMenu.BoardTool,
            ALanguage.DrawingMenu.InvertColor,
            ALanguage.DrawingMenu.GrayScale,
            ALanguage.DrawingMenu.FlipVert,
            ALanguage.DrawingMenu.FlipHorz,
            ALanguage.Setting.Title,
            ALanguage.Setting.txtPathImage,
            ALanguage.Setting.txtPathMovie,
            ALanguage.Setting.btnApply,
            ALanguage.Setting.btnCancel,
            ALanguage.Setting.btnCamSetting,
            ALanguage.SelectCamera.Title,
            ALanguage.SelectCamera.btnApply,
            ALanguage.SelectCamera.btnCancel,
            ALanguage.Msg.q_Exit,
            ALanguage.Msg.m_ResourceNotFound,
            ALanguage.Msg.m_Capturing,
            ALanguage.Msg.m_PleaseWait,
            ALanguage.Msg.m_DeviceNotFound,
            ALanguage.Msg.m_NotSupportRes,
            ALanguage.Msg.m_Saved,
            ALanguage.Msg.m_RecordError,
            ALanguage.Msg.m_SaveError,
            ALanguage.Msg.m_LoadError};
}

TEST(LanguageTable, DefaultsWithoutAFile)
{
    TempHome home;
    const TLanguage language(home.file("absent/language.ini"));
    EXPECT_EQ(language.Msg.q_Exit, QStringLiteral("프로그램을 종료하시겠습니까?"));
    EXPECT_EQ(language.Common.Yes, QStringLiteral("예"));
    EXPECT_EQ(language.Common.No, QStringLiteral("아니오"));
    EXPECT_EQ(language.Common.OK, QStringLiteral("확인"));
    EXPECT_EQ(language.Setting.Title, QStringLiteral("환경설정"));
    EXPECT_EQ(language.DrawingMenu.GrayScale, QStringLiteral("흑백"));
    EXPECT_EQ(language.Msg.m_Saved, QStringLiteral("저장 되었습니다."));
    EXPECT_EQ(language.Msg.m_SaveError, QStringLiteral("이미지를 저장하지 못했습니다."));
    EXPECT_EQ(language.Msg.m_LoadError, QStringLiteral("이미지 파일을 열 수 없습니다."));
    for (const QString &text : AllTexts(language))
        EXPECT_FALSE(text.isEmpty());
}

TEST(LanguageTable, EveryTextMatchesTheTableWithoutAFileAndInTheShippedFile)
{
    TempHome home;
    const std::vector<TRow> rows = ExpectedTable();
    ASSERT_EQ(rows.size(), Fields().size()); // one row per field, none forgotten
    const TLanguage defaults(home.file("absent.ini"));
    const TLanguage shipped(QStringLiteral(OVILEN_LANGUAGE_INI));
    const TIniFile shippedFile(QStringLiteral(OVILEN_LANGUAGE_INI));
    for (const TRow &row : rows) {
        SCOPED_TRACE(row.Field.toStdString());
        ASSERT_TRUE(Fields().contains(row.Field));
        const TField &field = Fields().at(row.Field);
        EXPECT_EQ(field(defaults).toStdString(), row.Text.toStdString());
        EXPECT_EQ(field(shipped).toStdString(), row.Text.toStdString());
        EXPECT_EQ(shippedFile.ReadString(row.Section, row.Key, "absent").toStdString(),
                  row.Text.toStdString());
    }
}

TEST(LanguageTable, EachEntryFillsItsOwnField)
{
    TempHome home;
    const TLanguage defaults(home.file("absent.ini"));
    for (const TRow &row : ExpectedTable()) {
        SCOPED_TRACE(row.Field.toStdString());
        writeFile(home.file("one.ini"),
                  ("[" + row.Section + "]\n" + row.Key + "=changed\n").toUtf8());
        const TLanguage one(home.file("one.ini"));
        for (const auto &[name, field] : Fields())
            EXPECT_EQ(field(one), name == row.Field ? "changed" : field(defaults))
                << name.toStdString();
    }
}

TEST(LanguageTable, ShippedFileHoldsEveryDefault)
{
    TempHome home;
    const TLanguage shipped(QStringLiteral(OVILEN_LANGUAGE_INI));
    const TLanguage defaults(home.file("absent.ini"));
    EXPECT_EQ(AllTexts(shipped), AllTexts(defaults));
    // Each entry of the shipped file is really read: a file holding the same
    // keys with other values changes every text.
    QByteArray changed = readFile(QStringLiteral(OVILEN_LANGUAGE_INI));
    QByteArray out;
    for (const QByteArray &line : changed.split('\n')) {
        out += line;
        if (line.contains('='))
            out += "!";
        out += '\n';
    }
    writeFile(home.file("changed.ini"), out);
    const QStringList all = AllTexts(TLanguage(home.file("changed.ini")));
    for (const QString &text : all)
        EXPECT_TRUE(text.endsWith(u'!')) << text.toStdString();
}

TEST(LanguageTable, OneEntryChangesOnlyItsText)
{
    TempHome home;
    writeFile(home.file("language.ini"), "[message]\nQ_EXIT=Quit now?\n");
    const TLanguage language(home.file("language.ini"));
    const TLanguage defaults(home.file("absent.ini"));
    QStringList expected = AllTexts(defaults);
    expected[AllTexts(defaults).indexOf(defaults.Msg.q_Exit)] = "Quit now?";
    EXPECT_EQ(AllTexts(language), expected);
}

TEST(LanguageTable, WindowsUtf16FileWithOtherNames)
{
    TempHome home;
    const QString text = QStringLiteral("[common]\r\nok=좋아요\r\nyes=\r\n"
                                        "[DRAWING_MENU]\r\nGRAYSCALE=회색\r\n"
                                        "[setting]\r\nTitle=설정\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text)
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    writeFile(home.file("language.ini"), bytes);
    const TLanguage language(home.file("language.ini"));
    EXPECT_EQ(language.Common.OK, QStringLiteral("좋아요"));
    EXPECT_EQ(language.Common.Yes, QString()); // present and empty shows nothing
    EXPECT_EQ(language.DrawingMenu.GrayScale, QStringLiteral("회색"));
    EXPECT_EQ(language.PreviewMenu.Grayscale, QStringLiteral("흑백"));
    EXPECT_EQ(language.Setting.Title, QStringLiteral("설정"));
    EXPECT_EQ(language.SelectCamera.Title, QStringLiteral("카메라 선택"));
}

} // namespace
