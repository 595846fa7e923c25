#include "TempHome.h"
#include "support/IniFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(IniFile, ReadsWithProfileStringSemantics)
{
    TempHome home;
    const QString name = home.file("a.ini");
    writeFile(name, "; leading comment\r\n"
                    "[Common]\r\n"
                    "  PathImage =  /data/pics  \r\n"
                    "Empty=\r\n"
                    "Quoted=\"  spaced  \"\r\n"
                    "Dup=first\r\n"
                    "dup=second\r\n"
                    "[VIDEO]\r\n"
                    "videorotate=2\r\n"
                    "[common]\r\n"
                    "Late=ignored\r\n");
    const TIniFile ini(name);
    struct Case
    {
        const char *Section, *Key, *Expected;
    } cases[] = {
        {"COMMON", "PATHIMAGE", "/data/pics"}, // names without regard to case, value trimmed
        {"common", "pathimage", "/data/pics"},
        {"COMMON", "Empty", ""},            // present but empty: empty, not the default
        {"COMMON", "Quoted", "  spaced  "}, // one pair of quotes removed
        {"COMMON", "DUP", "first"},         // the first match wins
        {"COMMON", "Late", "default"},      // a repeated section is not merged
        {"COMMON", "Missing", "default"},   // absent: the default
        {"NOSECTION", "PathImage", "default"},
        {"Video", "VideoRotate", "2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.Section) + "/" + c.Key);
        EXPECT_EQ(ini.ReadString(c.Section, c.Key, "default").toStdString(), c.Expected);
    }
    EXPECT_TRUE(ini.ValueExists("common", "empty"));
    EXPECT_FALSE(ini.ValueExists("common", "missing"));
}

TEST(IniFile, ReadsIntegersDecimalAndHexadecimal)
{
    TempHome home;
    const QString name = home.file("n.ini");
    writeFile(name, "[N]\n"
                    "dec=42\nneg=-10\nplus=+7\ndollar=$1F\nzerox=0x1f\nzeroX=0X1F\n"
                    "allbits=$FFFFFFFF\nmax=2147483647\nmin=-2147483648\n"
                    "big=2147483648\nhexbig=$100000000\nword=abc\nempty=\nhalf=12abc\n"
                    "onlyprefix=0x\nonlydollar=$\nfloat=1.5\n");
    const TIniFile ini(name);
    struct Case
    {
        const char *Key;
        int Expected;
    } cases[] = {
        {"dec", 42},         {"neg", -10},        {"plus", 7},
        {"dollar", 31},      {"zerox", 31},       {"zeroX", 31},
        {"allbits", -1},     {"max", 2147483647}, {"min", -2147483647 - 1},
        {"big", -99},        {"hexbig", -99},     {"word", -99},
        {"empty", -99},      {"half", -99},       {"onlyprefix", -99},
        {"onlydollar", -99}, {"float", -99},      {"absent", -99},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(ini.ReadInteger("n", c.Key, -99), c.Expected);
    }
}

TEST(IniFile, CutsValuesAt2047Characters)
{
    TempHome home;
    const QString name = home.file("long.ini");
    const QString ascii(3000, u'a');
    // A character outside the BMP takes two UTF-16 units; put one across the cut.
    QString pair = QString(2046, u'b') + QString::fromUcs4(U"\U0001F600") + QStringLiteral("tail");
    writeFile(name, ("[S]\nlong=" + ascii + "\npair=" + pair + "\n").toUtf8());
    const TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("S", "long", {}), QString(2047, u'a'));
    // The cut never leaves half of a surrogate pair behind.
    EXPECT_EQ(ini.ReadString("S", "pair", {}), QString(2046, u'b'));
    EXPECT_EQ(ini.ReadString("S", "absent", ascii).size(), 2047);
}

TEST(IniFile, DecodesUtf8Utf16AndKoreanCodePage)
{
    const QString hangul = QStringLiteral("프로그램을 종료하시겠습니까?");
    const QString text = QStringLiteral("[MESSAGE]\r\nq_exit=") + hangul + QStringLiteral("\r\n");

    QByteArray utf16le("\xFF\xFE", 2), utf16be("\xFE\xFF", 2);
    for (QChar c : text) {
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    struct Case
    {
        const char *What;
        QByteArray Bytes;
    } cases[] = {
        {"UTF-8", text.toUtf8()},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + text.toUtf8()},
        {"UTF-16LE with BOM", utf16le},
        {"UTF-16BE with BOM", utf16be},
    };
    TempHome home;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        writeFile(home.file("l.ini"), c.Bytes);
        EXPECT_EQ(TIniFile(home.file("l.ini")).ReadString("message", "Q_EXIT", {}), hangul);
    }

    QStringEncoder cp949("CP949");
    if (!cp949.isValid())
        GTEST_SKIP() << "this Qt has no Korean code page";
    writeFile(home.file("l.ini"), cp949(text));
    EXPECT_EQ(TIniFile(home.file("l.ini")).ReadString("MESSAGE", "q_exit", {}), hangul);
}

TEST(IniFile, WritingKeepsEverythingItDoesNotOwn)
{
    TempHome home;
    const QString name = home.file("keep.ini");
    writeFile(name, "; Ovilen settings\r\n"
                    "[common]\r\n"
                    "pathimage=/old\r\n"
                    "; a comment inside\r\n"
                    "Custom=kept\r\n"
                    "\r\n"
                    "[Other]\r\n"
                    "x = 1\r\n");
    TIniFile ini(name);
    ini.WriteString("COMMON", "PathImage", "/new");    // replaced in place
    ini.WriteString("COMMON", "PathMovie", "/movies"); // appended to its section
    ini.WriteInteger("VIDEO", "VideoRotate", 3);       // a new section at the end
    ASSERT_TRUE(ini.UpdateFile());

    // Lines not written keep their bytes; new lines take the file's line break.
    EXPECT_EQ(QString::fromUtf8(readFile(name)), QStringLiteral("; Ovilen settings\r\n"
                                                                "[common]\r\n"
                                                                "pathimage=/new\r\n"
                                                                "; a comment inside\r\n"
                                                                "Custom=kept\r\n"
                                                                "PathMovie=/movies\r\n"
                                                                "\r\n"
                                                                "[Other]\r\n"
                                                                "x = 1\r\n"
                                                                "\r\n"
                                                                "[VIDEO]\r\n"
                                                                "VideoRotate=3\r\n"));
    const TIniFile again(name);
    EXPECT_EQ(again.ReadInteger("video", "videorotate", 0), 3);
    EXPECT_EQ(again.ReadString("OTHER", "X", {}), "1");
}

TEST(IniFile, DecodesEachLineOnItsOwnAndRewritesOnlyChangedLines)
{
    // A UTF-8 file in which one hand-edited comment and one value are in the
    // Korean code page: "\xB1\xE8" is one Hangul syllable there.
    const QByteArray folder = QStringLiteral("/home/교사/사진").toUtf8();
    const QByteArray before = "; \xC7\xD1\xB1\xDB edited\r\n"
                              "[COMMON]\r\n"
                              "PathImage=" +
                              folder +
                              "\r\n"
                              "Teacher=\xB1\xE8\r\n"
                              "[VIDEO]\r\n"
                              "VideoRotate=0\r\n"
                              "tail=\xFF";
    TempHome home;
    const QString name = home.file("mixed.ini");
    writeFile(name, before);
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("COMMON", "PathImage", {}), QString::fromUtf8(folder));
    QStringDecoder cp949("CP949");
    if (cp949.isValid()) {
        EXPECT_EQ(ini.ReadString("COMMON", "Teacher", {}), QStringLiteral("김"));
    }

    ini.WriteInteger("VIDEO", "VideoRotate", 3);
    ini.WriteString("VIDEO", "Added", "1");
    ASSERT_TRUE(ini.UpdateFile());
    QByteArray after = before;
    after.replace("VideoRotate=0\r\n", "VideoRotate=3\r\n");
    after.append("\r\nAdded=1\r\n");
    EXPECT_EQ(readFile(name), after);
    EXPECT_EQ(TIniFile(name).ReadString("common", "pathimage", {}), QString::fromUtf8(folder));

    // A UTF-16 file stays UTF-16 with its byte-order mark.
    const QString text = QStringLiteral("[MESSAGE]\r\nq_exit=종료?\r\nkeep=\"그대로\"\r\n");
    auto utf16 = [](const QString &AText) {
        QByteArray bytes("\xFF\xFE", 2);
        for (QChar c : AText)
            bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        return bytes;
    };
    writeFile(name, utf16(text));
    TIniFile wide(name);
    wide.WriteString("MESSAGE", "q_exit", QStringLiteral("끝?"));
    ASSERT_TRUE(wide.UpdateFile());
    EXPECT_EQ(readFile(name),
              utf16(QString(text).replace(QStringLiteral("종료?"), QStringLiteral("끝?"))));
}

TEST(IniFile, ValuesComeBackAsWritten)
{
    // Reading trims blanks and removes one pair of enclosing quotes; such
    // values are quoted when written.
    const QStringList values = {
        "plain",       " leading", "trailing ", "  both  ",     "\"quoted\"", "'single'",
        "\" spaced\"", "\"",       "'",         "a\"b\"",       "\"open'",    "",
        "   ",         "\t tab",   "\"\"",      "/home/교사/ ", "' '",        "\"a\" and \"b\"",
    };
    TempHome home;
    const QString name = home.file("q.ini");
    {
        TIniFile ini(name);
        for (qsizetype i = 0; i < values.size(); ++i)
            ini.WriteString("S", QStringLiteral("k%1").arg(i), values.at(i));
        ASSERT_TRUE(ini.UpdateFile());
    }
    const TIniFile again(name);
    for (qsizetype i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values.at(i).toStdString());
        EXPECT_EQ(again.ReadString("S", QStringLiteral("k%1").arg(i), "absent"), values.at(i));
    }
    // Values that read back unchanged are written as they are.
    const QByteArray bytes = readFile(name);
    EXPECT_TRUE(bytes.contains("\nk0=plain\n"));
    EXPECT_TRUE(bytes.contains("\nk9=a\"b\"\n"));
}

TEST(IniFile, AFileThatCannotBeReadIsNeverWritten)
{
    // A file the process may write but not read: as root, permissions bind
    // only after dropping to nobody, who then owns the folder and the file.
    TempHome home;
    const QString folder = home.file("cfg");
    const QString name = folder + "/Ovilen.cfg";
    const QByteArray before = "[COMMON]\nPathImage=/old\n[Other]\nkeep=me\n";
    writeFile(name, before);
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ExeGroup | QFile::ExeOther);
    QFile::setPermissions(name, QFile::WriteOwner);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        ASSERT_EQ(chown(QFile::encodeName(name).constData(), 65534, 65534), 0);
    }
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(3);
            static bool logged = false;
            qInstallMessageHandler(
                [](QtMsgType AType, const QMessageLogContext &, const QString &) {
                    logged = logged || AType == QtWarningMsg;
                });
            TIniFile ini(name);
            ini.WriteString("COMMON", "PathImage", "/new");
            if (ini.UpdateFile())
                _exit(1);
            _exit(logged ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(name), before);
}

TEST(IniFile, WritesUtf8AndKeepsValuesOnOneLine)
{
    TempHome home;
    const QString name = home.file("u.ini");
    TIniFile ini(name);
    ini.WriteString("COMMON", "PathImage", QStringLiteral("/home/교사/사진"));
    ini.WriteString("COMMON", "Evil", QStringLiteral("a\n[VIDEO]\nVideoRotate=2"));
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(readFile(name).contains(QStringLiteral("/home/교사/사진").toUtf8()));
    const TIniFile again(name);
    EXPECT_EQ(again.ReadString("Common", "PathImage", {}), QStringLiteral("/home/교사/사진"));
    EXPECT_FALSE(again.ValueExists("VIDEO", "VideoRotate"));
}

TEST(IniFile, FailedUpdateLeavesTheOldFileWhole)
{
    TempHome home;
    // The folder of the file is a plain file: nothing can be created in it,
    // whoever runs the test.
    writeFile(home.file("notafolder"), "x");
    TIniFile blocked(home.file("notafolder/Ovilen.cfg"));
    blocked.WriteString("COMMON", "PathImage", "/x");
    EXPECT_FALSE(blocked.UpdateFile());

    // A folder this process can read but not write into. The superuser is
    // not bound by permissions, so the writing side runs as nobody then.
    const QString name = home.file("ro/Ovilen.cfg");
    writeFile(name, "[COMMON]\nPathImage=/old\n");
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(home.path(), readOnly | QFile::WriteOwner);
    QFile::setPermissions(home.file("ro"), readOnly);
    QFile::setPermissions(name, readOnly);
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(3);
            TIniFile ini(name);
            if (ini.ReadString("COMMON", "PathImage", {}) != "/old")
                _exit(4);
            ini.WriteString("COMMON", "PathImage", "/new");
            _exit(ini.UpdateFile() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    QFile::setPermissions(home.file("ro"), readOnly | QFile::WriteOwner);
    EXPECT_EQ(readFile(name), "[COMMON]\nPathImage=/old\n");
    EXPECT_EQ(QDir(home.file("ro")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Ovilen.cfg"});
}

} // namespace
