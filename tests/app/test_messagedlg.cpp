#include "TempHome.h"
#include "app/MessageDlg.h"
#include "support/Language.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs AAction on the message box once it is shown, then returns the result
// of ShowMessageDlg.
int WithMessageBox(const std::function<void(QDialog *)> &AAction, TMsgDlgButtons AButtons,
                   int ADefault, const QString &AText = QStringLiteral("text"),
                   TMsgDlgType AType = TMsgDlgType::mtCustom)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        ran = true;
        AAction(dialog);
    });
    const int result = ShowMessageDlg(MessageCaption(), AText, AType, AButtons, ADefault, 0);
    EXPECT_TRUE(ran);
    return result;
}

QList<QPushButton *> Buttons(QDialog *ADialog)
{
    QList<QPushButton *> buttons = ADialog->findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
    return buttons;
}

QStringList Captions(QDialog *ADialog)
{
    QStringList captions;
    for (QPushButton *b : Buttons(ADialog))
        captions << b->text();
    return captions;
}

class MessageBox : public ::testing::Test
{
protected:
    void SetUp() override { Language = std::make_unique<TLanguage>(FHome.file("none.ini")); }
    void TearDown() override { Language.reset(); }
    TempHome FHome;
};

TEST_F(MessageBox, ExitQuestionShowsYesNoWithNoAsDefault)
{
    const int result = WithMessageBox(
        [](QDialog *d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("오빌렌"));
            EXPECT_EQ(Captions(d), (QStringList{QStringLiteral("예"), QStringLiteral("아니오")}));
            QPushButton *no = Buttons(d).at(1);
            EXPECT_TRUE(no->isDefault());
            EXPECT_FALSE(Buttons(d).at(0)->isDefault());
            EXPECT_TRUE(no->hasFocus());
            // Enter presses the default button, not the dangerous one.
            QTest::keyClick(d, Qt::Key_Return);
        },
        mbYes | mbNo, mrNo, Language->Msg.q_Exit);
    EXPECT_EQ(result, mrNo);
}

TEST_F(MessageBox, EachWayOfClosingGivesItsResult)
{
    struct Case
    {
        const char *what;
        TMsgDlgButtons buttons;
        int defaultResult;
        std::function<void(QDialog *)> action;
        int expected;
    } cases[] = {
        {"click Yes", mbYes | mbNo, mrNo,
         [](QDialog *d) { QTest::mouseClick(Buttons(d).at(0), Qt::LeftButton); }, mrYes},
        {"click No", mbYes | mbNo, mrNo,
         [](QDialog *d) { QTest::mouseClick(Buttons(d).at(1), Qt::LeftButton); }, mrNo},
        {"Escape presses No", mbYes | mbNo, mrYes,
         [](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); }, mrNo},
        {"close control", mbYes | mbNo, mrNo, [](QDialog *d) { d->close(); }, mrClose},
        {"click OK", mbOK, mrOk,
         [](QDialog *d) { QTest::mouseClick(Buttons(d).at(0), Qt::LeftButton); }, mrOk},
        {"Escape presses OK", mbOK, mrOk, [](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); },
         mrOk},
        {"Enter on OK", mbOK, mrOk, [](QDialog *d) { QTest::keyClick(d, Qt::Key_Enter); }, mrOk},
        {"OK closed by its control", mbOK, mrOk, [](QDialog *d) { d->close(); }, mrClose},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WithMessageBox(c.action, c.buttons, c.defaultResult), c.expected);
    }
}

TEST_F(MessageBox, OkBoxUsesTheLanguageTableAndWrapsLongTexts)
{
    writeFile(FHome.file("language.ini"), "[COMMON]\nOk=Close\nYes=Sure\n");
    Language = std::make_unique<TLanguage>(FHome.file("language.ini"));
    const QString longText = QString("word ").repeated(400);
    WithMessageBox(
        [&](QDialog *d) {
            EXPECT_EQ(Captions(d), QStringList{"Close"});
            EXPECT_TRUE(Buttons(d).at(0)->isDefault());
            auto *label = d->findChild<QLabel *>("Message");
            ASSERT_NE(label, nullptr);
            EXPECT_TRUE(label->wordWrap());
            EXPECT_EQ(label->text(), longText);
            // The custom kind shows no icon: the only label is the text.
            EXPECT_EQ(d->findChildren<QLabel *>().size(), 1);
            EXPECT_LT(d->width(), 800);
            d->close();
        },
        mbOK, mrOk, longText);
}

TEST_F(MessageBox, AWordWiderThanTheBoxIsWrappedAnywhere)
{
    // A saved message with a path whose folder name offers no place to break
    // a line (no blank, no slash): one "word" far wider than the box.
    const QString path = QDir::homePath() + "/" +
                         QString("Mathematics_Grade3_Fractions_").repeated(12) +
                         "/2026_12_10_08_15.jpg";
    const QString text = Language->Msg.m_Saved + "\n" + path;
    WithMessageBox(
        [&](QDialog *d) {
            auto *label = d->findChild<QLabel *>("Message");
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), text);
            EXPECT_LT(d->width(), 800);
            const QFontMetrics metrics(label->font());
            // The path alone needs this many full lines of the label's width.
            const int pathLines = metrics.horizontalAdvance(path) / label->width() + 1;
            EXPECT_GE(pathLines, 5);
            EXPECT_GE(label->height(), (1 + pathLines) * metrics.lineSpacing());

            // Ink reaches the last of those lines, and no line is cut at the
            // right edge: the last column stays clear.
            const QImage image = label->grab().toImage();
            int lastInkRow = -1;
            bool inkAtRightEdge = false;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        lastInkRow = y;
                        inkAtRightEdge = inkAtRightEdge || x >= image.width() - 1;
                    }
            EXPECT_GE(lastInkRow, pathLines * metrics.lineSpacing());
            EXPECT_FALSE(inkAtRightEdge);
            d->close();
        },
        mbOK, mrOk, text);
}

TEST_F(MessageBox, OtherKindsShowAnIcon)
{
    WithMessageBox(
        [](QDialog *d) {
            EXPECT_EQ(d->findChildren<QLabel *>().size(), 2);
            d->close();
        },
        mbOK, mrOk, "warning", TMsgDlgType::mtWarning);
}

} // namespace
