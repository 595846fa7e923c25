#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TPrintCase
{
    const char *Type;
    std::string Printed;
    std::string Expected;
};

TEST(QtPrinters, PrintQtValuesByWhatTheyHold)
{
    const TPrintCase cases[] = {
        {"QString", ::testing::PrintToString(QStringLiteral("오빌렌")), "\"오빌렌\""},
        {"empty QString", ::testing::PrintToString(QString()), "\"\""},
        {"QByteArray", ::testing::PrintToString(QByteArray("a\"b\nc", 5)), "\"a\\\"b\\nc\""},
        {"QSize", ::testing::PrintToString(QSize(1280, 720)), "1280x720"},
        {"QPoint", ::testing::PrintToString(QPoint(10, -20)), "(10, -20)"},
        {"QRect", ::testing::PrintToString(QRect(10, 20, 300, 200)), "300x200 at (10, 20)"},
    };
    for (const TPrintCase &c : cases) {
        SCOPED_TRACE(c.Type);
        EXPECT_EQ(c.Printed, c.Expected);
    }
}

TEST(QtPrinters, AFailedComparisonOfTextsShowsBothTexts)
{
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(QStringLiteral("오빌렌"), QStringLiteral("카메라")),
                            "\"오빌렌\"");
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(QStringLiteral("오빌렌"), QStringLiteral("카메라")),
                            "\"카메라\"");
}

} // namespace
