// Undo and redo, flips, inversion, grayscale, clearing and the background.
#include "CanvasLibFixture.h"

#include <functional>
#include <ostream>

namespace {

const QRgb Red = qRgb(255, 0, 0);

// Five short strokes at x = 20, 60, 100, 140, 180.
constexpr int StrokeX[] = {20, 60, 100, 140, 180};

} // namespace

TEST_F(CanvasLib, UndoAndRedoGoBackAsFarAsTheUndoCount)
{
    SetUndoCount(3);
    for (int x : StrokeX)
        drag({{x, 40}, {x, 110}});
    const QImage all = snapshot();
    for (int i = 0; i < 5; ++i)
        Undo();
    QImage shot = snapshot();
    // The two oldest strokes are beyond the depth and stay.
    EXPECT_EQ(shot.pixel(20, 75), Red);
    EXPECT_EQ(shot.pixel(60, 75), Red);
    for (int x : {100, 140, 180})
        EXPECT_EQ(shot.pixel(x, 75), picture().pixel(x, 75)) << x;

    EXPECT_EQ(countDiff(onScreen(), shot, 0), 0);
    for (int i = 0; i < 5; ++i)
        Redo();
    EXPECT_EQ(countDiff(snapshot(), all, 0), 0);

    // A new stroke after an undo ends the redo history.
    Undo();
    drag({{30, 140}, {170, 140}});
    Redo();
    shot = snapshot();
    EXPECT_EQ(shot.pixel(180, 75), picture().pixel(180, 75));
    EXPECT_EQ(shot.pixel(100, 140), Red);
}

TEST_F(CanvasLib, UndoLeavesNothingOfAThickShapeBehind)
{
    const QImage pic = picture();
    SetPenThickness(30);
    SetPenTool(KARVO_TOOL_RECTANGLE);
    drag({{50, 40}, {150, 110}});
    SetPenTool(KARVO_TOOL_MARKER);
    drag({{20, 20}, {180, 130}});
    Undo();
    Undo();
    EXPECT_EQ(countDiff(snapshot(), pic, 0), 0);
    EXPECT_EQ(countDiff(onScreen(), pic, 0), 0);
}

TEST_F(CanvasLib, NoUndoWithACountOfZero)
{
    SetUndoCount(0);
    drag({{20, 75}, {180, 75}});
    Undo();
    EXPECT_EQ(snapshot().pixel(100, 75), Red);
}

struct TransformCase
{
    const char *name;
    void (*apply)();
    // Where a pixel of the result comes from, and what happens to its colour.
    QPoint (*source)(QPoint);
    QRgb (*colour)(QRgb);
};

// Test listings name a case by its name, not by its bytes.
void PrintTo(const TransformCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.name;
}

class CanvasTransforms : public CanvasLib, public ::testing::WithParamInterface<TransformCase>
{};

TEST_P(CanvasTransforms, ApplyToPictureAndAnnotationsAndUndo)
{
    const TransformCase c = GetParam();
    drag({{20, 30}, {90, 30}, {90, 100}});
    SetPenTool(KARVO_TOOL_MARKER);
    SetPenColor(KYellow);
    drag({{120, 120}, {180, 60}});
    SetBackgroundColor(0x00203040);
    const QImage before = snapshot();

    c.apply();
    const QImage after = snapshot();
    keep(after, QString::fromLatin1(c.name));
    int wrong = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const QRgb expected = c.colour(before.pixel(c.source({x, y})));
            wrong += channelDiff(after.pixel(x, y), expected) > 3;
        }
    // Anti-aliased stroke edges may round differently when redrawn.
    EXPECT_LE(wrong, W * H / 500) << c.name;
    // A pixel in the middle of the pen stroke and one of the picture, exactly.
    const QPoint pen = c.source({50, 30}), bare = c.source({150, 20});
    EXPECT_EQ(after.pixel(pen), c.colour(Red)) << c.name;
    EXPECT_EQ(after.pixel(bare), c.colour(picture().pixel(150, 20))) << c.name;

    Undo();
    EXPECT_EQ(countDiff(snapshot(), before, 0), 0) << c.name << " undone";
    Redo();
    EXPECT_EQ(countDiff(snapshot(), after, 0), 0) << c.name << " redone";
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CanvasTransforms,
    ::testing::Values(TransformCase{"FlipHorz", FlipHorz,
                                    [](QPoint p) { return QPoint(199 - p.x(), p.y()); },
                                    [](QRgb c) {
                                        return c;
                                    }},
                      TransformCase{"FlipVert", FlipVert,
                                    [](QPoint p) { return QPoint(p.x(), 149 - p.y()); },
                                    [](QRgb c) {
                                        return c;
                                    }},
                      TransformCase{"InvertColor", InvertColor, [](QPoint p) { return p; },
                                    [](QRgb c) {
                                        return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
                                    }},
                      TransformCase{"Grayscale", Grayscale, [](QPoint p) { return p; },
                                    [](QRgb c) {
                                        const int g = qGray(c);
                                        return qRgb(g, g, g);
                                    }}),
    [](const auto &AInfo) { return std::string(AInfo.param.name); });

TEST_F(CanvasLib, InvertKeepsWritingOnABlankBoardVisible)
{
    New();
    SetBackgroundColor(0x00000000);
    SetPenColor(0x00FFFFFF);
    drag({{20, 75}, {180, 75}});
    InvertColor();
    const QImage shot = snapshot();
    EXPECT_EQ(shot.pixel(100, 75), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(100, 20), qRgb(255, 255, 255));
    EXPECT_EQ(GetBackgroundColor(), 0x00FFFFFFu);
}

TEST_F(CanvasLib, UndoingAColourChangeKeepsABackgroundChosenAfterIt)
{
    const struct
    {
        const char *name;
        void (*change)();
    } changes[] = {{"InvertColor", InvertColor}, {"Grayscale", Grayscale}};
    for (const auto &c : changes) {
        SCOPED_TRACE(c.name);
        New();
        SetBackgroundColor(0x00000000);
        SetPenColor(0x00FFFFFF);
        drag({{20, 75}, {180, 75}});
        c.change();
        SetBackgroundColor(0x00505522); // then a green board
        Undo();                         // the colour change, not the board
        EXPECT_EQ(GetBackgroundColor(), 0x00505522u);
        const QImage shot = snapshot();
        EXPECT_EQ(shot.pixel(100, 20), qRgb(0x22, 0x55, 0x50));
        EXPECT_EQ(shot.pixel(100, 75), qRgb(255, 255, 255)); // the writing as it was
        Redo();
        EXPECT_EQ(GetBackgroundColor(), 0x00505522u);
    }
    // Without a later change the background goes back and forth with the step.
    New();
    SetBackgroundColor(0x00000000);
    InvertColor();
    Undo();
    EXPECT_EQ(GetBackgroundColor(), 0x00000000u);
    Redo();
    EXPECT_EQ(GetBackgroundColor(), 0x00FFFFFFu);
}

TEST_F(CanvasLib, ClearLeavesTheBackgroundColourAndIsUndoable)
{
    drag({{20, 75}, {180, 75}});
    const QImage before = snapshot();
    Clear();
    SetBackgroundColor(0x00505522); // a green board: R=0x22 G=0x55 B=0x50
    QImage shot = snapshot();
    EXPECT_EQ(shot.pixel(100, 75), qRgb(0x22, 0x55, 0x50));
    EXPECT_EQ(shot.pixel(5, 5), qRgb(0x22, 0x55, 0x50));
    drag({{20, 40}, {180, 40}});
    EXPECT_EQ(snapshot().pixel(100, 40), Red);

    Undo(); // the stroke on the board
    Undo(); // the clearing
    SetBackgroundColor(0);
    EXPECT_EQ(countDiff(snapshot(), before, 0), 0);
}

TEST_F(CanvasLib, NewEmptiesTheDrawingAndItsHistory)
{
    drag({{20, 75}, {180, 75}});
    New();
    QImage expected(W, H, QImage::Format_RGB32);
    expected.fill(Qt::black);
    EXPECT_EQ(countDiff(snapshot(), expected, 0), 0);
    Undo();
    EXPECT_EQ(countDiff(snapshot(), expected, 0), 0);
}

TEST_F(CanvasLib, ANewPictureEmptiesTheHistory)
{
    drag({{20, 75}, {180, 75}});
    QImage other(W, H, QImage::Format_RGB32);
    other.fill(qRgb(10, 20, 30));
    SetBackgroundImage(&other);
    Undo();
    // The stroke stays over the new picture: nothing was left to undo.
    EXPECT_EQ(snapshot().pixel(100, 75), Red);
    EXPECT_EQ(snapshot().pixel(100, 20), qRgb(10, 20, 30));
}
