// Snapshots, the document file, pictures from files, and stroke recordings.
#include "CanvasLibFixture.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QLoggingCategory>
#include <QTest>
#include <QThread>
#include <functional>

namespace {

const QRgb Red = qRgb(255, 0, 0);

QByteArray readAll(const QString &APath)
{
    QFile f(APath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &APath, const QByteArray &ABytes)
{
    QFile f(APath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(ABytes);
}

// CRC-32 as the document file uses it, to forge files with valid checksums.
quint32 crc32Of(const QByteArray &AData)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : AData) {
        c ^= static_cast<quint8>(byte);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

// A document file with its payload replaced and the checksum made right.
QByteArray withPayload(const QByteArray &AFile, const QByteArray &APayload)
{
    QByteArray out = AFile.left(12);
    QDataStream s(&out, QIODevice::Append);
    s << quint32(APayload.size()) << crc32Of(APayload);
    out.append(APayload);
    return out;
}

} // namespace

TEST_F(CanvasLib, SnapshotFormatFollowsTheExtension)
{
    drag({{20, 75}, {180, 75}});
    const QString jpg = file(QStringLiteral("shot.jpg"));
    ASSERT_TRUE(SaveToSnapshot(u16(jpg)));
    EXPECT_TRUE(readAll(jpg).startsWith("\xFF\xD8\xFF"));
    const QImage fromJpeg(jpg);
    EXPECT_EQ(fromJpeg.size(), QSize(W, H));
    EXPECT_LE(channelDiff(fromJpeg.pixel(100, 75), Red), 40);

    const QString bmp = file(QStringLiteral("Rotate.Bmp"));
    ASSERT_TRUE(SaveToSnapshot(u16(bmp)));
    EXPECT_TRUE(readAll(bmp).startsWith("BM"));
    EXPECT_EQ(countDiff(QImage(bmp).convertToFormat(QImage::Format_RGB32), snapshot(), 0), 0);

    EXPECT_FALSE(SaveToSnapshot(u16(file(QStringLiteral("shot.unknown")))));
    EXPECT_FALSE(SaveToSnapshot(u16(file(QStringLiteral("no/such/folder/shot.png")))));
    EXPECT_FALSE(SaveToSnapshot(nullptr));
}

TEST_F(CanvasLib, SnapshotHasTheDrawingSizeWhateverIsShown)
{
    SetCavaseSize({640, 480});
    SetParentSize({100, 80});
    SetZoom(0.25f);
    const QImage shot = snapshot();
    EXPECT_EQ(shot.size(), QSize(640, 480));
}

TEST_F(CanvasLib, SaveAndLoadGiveBackTheSameDrawing)
{
    drag({{20, 30}, {60, 80}, {120, 40}, {180, 120}});
    SetPenTool(KARVO_TOOL_MARKER);
    SetPenColor(KYellow);
    drag({{30, 120}, {170, 20}});
    SetPenTool(KARVO_TOOL_ERASER);
    drag({{60, 20}, {60, 130}});
    SetPenTool(KARVO_TOOL_ELLIPSE);
    drag({{50, 50}, {150, 100}});
    SetBackgroundColor(0x00112233);
    const QImage before = snapshot();
    const QString doc = file(QStringLiteral("drawing.kvc"));
    ASSERT_TRUE(SaveToFile(u16(doc)));

    New();
    SetCavaseSize({50, 50});
    ASSERT_TRUE(LoadFromFile(u16(doc)));
    EXPECT_EQ(Width(), W);
    EXPECT_EQ(Height(), H);
    EXPECT_EQ(GetBackgroundColor(), 0x00112233u);
    EXPECT_EQ(countDiff(snapshot(), before, 0), 0);
    // A loaded drawing starts without history.
    Undo();
    EXPECT_EQ(countDiff(snapshot(), before, 0), 0);
    // Its strokes are vectors again: erasing them all leaves the picture.
    EraserAll();
    EXPECT_EQ(countDiff(snapshot(), picture(), 0), 0);
}

TEST_F(CanvasLib, DamagedOrForeignDocumentsAreRefused)
{
    drag({{20, 75}, {180, 75}});
    const QString doc = file(QStringLiteral("good.kvc"));
    ASSERT_TRUE(SaveToFile(u16(doc)));
    const QByteArray good = readAll(doc);
    const QByteArray payload = good.mid(20);

    QByteArray flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x40);
    QByteArray newer = good;
    newer[11] = 2;
    QByteArray badSize = payload;
    badSize[0] = char(0x80); // negative width
    QByteArray manyItems = payload;
    const int countAt = payload.size() - (1 + 4 + 4 + 4 + 2 * 16) - 4;
    manyItems[countAt + 3] = 2; // one item follows, not two
    QByteArray pngFile;
    {
        QBuffer buffer(&pngFile);
        buffer.open(QIODevice::WriteOnly);
        picture().save(&buffer, "PNG");
    }

    const std::vector<std::pair<const char *, QByteArray>> cases = {
        {"empty", QByteArray()},
        {"foreign bytes", QByteArray("hello, this is not a drawing at all")},
        {"a PNG picture", pngFile},
        {"cut short", good.left(good.size() - 10)},
        {"one byte changed", flipped},
        {"newer version", newer},
        {"negative size", withPayload(good, badSize)},
        {"item count beyond the data", withPayload(good, manyItems)},
        {"bytes after the drawing", withPayload(good, payload + QByteArray(4, '\0'))},
    };
    Undo();
    const QImage before = snapshot();
    for (const auto &[name, bytes] : cases) {
        const QString path = file(QStringLiteral("damaged.kvc"));
        writeAll(path, bytes);
        EXPECT_FALSE(LoadFromFile(u16(path))) << name;
        EXPECT_EQ(countDiff(snapshot(), before, 0), 0) << name << " changed the drawing";
    }
    EXPECT_FALSE(LoadFromFile(u16(file(QStringLiteral("missing.kvc")))));
    EXPECT_FALSE(LoadFromFile(nullptr));
    // The good file still loads.
    EXPECT_TRUE(LoadFromFile(u16(doc)));
    EXPECT_EQ(snapshot().pixel(100, 75), Red);
}

TEST_F(CanvasLib, PicturesFromFiles)
{
    QImage big(400, 100, QImage::Format_RGB32);
    big.fill(qRgb(0, 200, 0));
    const QString path = file(QStringLiteral("wide.png"));
    ASSERT_TRUE(big.save(path));

    // As the background: fitted into the drawing, centred, background around.
    SetBackgroundFile(u16(path));
    QImage shot = snapshot();
    EXPECT_EQ(shot.size(), QSize(W, H));
    EXPECT_EQ(shot.pixel(100, 75), qRgb(0, 200, 0));
    EXPECT_EQ(shot.pixel(100, 10), qRgb(0, 0, 0));

    // As a new drawing: of the picture's own size.
    drag({{20, 75}, {180, 75}});
    SetImage(u16(path));
    EXPECT_EQ(Width(), 400);
    EXPECT_EQ(Height(), 100);
    shot = snapshot();
    EXPECT_EQ(shot.pixel(100, 75), qRgb(0, 200, 0));

    // A file that is not a picture changes nothing.
    const QString junk = file(QStringLiteral("junk.png"));
    writeAll(junk, "not a picture");
    SetBackgroundFile(u16(junk));
    SetImage(u16(junk));
    EXPECT_EQ(countDiff(snapshot(), shot, 0), 0);
}

TEST_F(CanvasLib, RecordingPlaysBackToTheSamePixels)
{
    const QString rec = file(QStringLiteral("lesson.krec"));
    SetRecordFilename(u16(rec));
    EXPECT_EQ(QString::fromUtf16(GetRecordFilename()), rec);
    EXPECT_FALSE(IsRecording());
    drag({{30, 20}, {30, 130}}); // before recording: part of the first keyframe
    SetRecording(true);
    EXPECT_TRUE(IsRecording());
    drag({{20, 40}, {60, 60}, {100, 40}, {140, 60}, {180, 40}}, 20);
    SetPenTool(KARVO_TOOL_MARKER);
    SetPenColor(KYellow);
    drag({{20, 100}, {180, 100}}, 10);
    SetPenTool(KARVO_TOOL_RECTANGLE);
    drag({{50, 50}, {150, 120}});
    FlipHorz();
    Undo(); // the flip: replayed as an undo
    Undo(); // the rectangle
    Redo(); // the rectangle again
    Undo();
    Undo(); // the marker
    Undo(); // the wave
    Undo(); // the line drawn before recording: written as a keyframe
    Redo();
    SetBackgroundColor(0x00FF00FF);
    SetPenTool(KARVO_TOOL_ERASER);
    drag({{30, 60}, {100, 60}}, 10);
    InvertColor();
    SetPenTool(KARVO_TOOL_PEN);
    drag({{20, 140}, {100, 130}, {180, 140}}, 10);
    SetRecording(false);
    EXPECT_FALSE(IsRecording());
    const QImage expected = snapshot();
    keep(expected, QStringLiteral("recorded"));

    QWidget window;
    window.resize(W, H);
    QWidget panel(&window);
    panel.setGeometry(0, 0, W, H);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    CanvasPlayer(&window, &panel, u16(rec));
    const auto shown = [&] {
        return panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    // Playback starts from the drawing as it was when recording began.
    EXPECT_NE(countDiff(shown(), expected, 0), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return countDiff(shown(), expected, 0) == 0; }, 10000));
    keep(shown(), QStringLiteral("played"));
}

TEST_F(CanvasLib, ARecordingCutShortPlaysUpToWhereItEnds)
{
    const QString rec = file(QStringLiteral("cut.krec"));
    SetRecordFilename(u16(rec));
    SetRecording(true);
    drag({{20, 40}, {180, 40}});
    const QImage firstStroke = snapshot();
    drag({{20, 110}, {180, 110}});
    SetRecording(false);
    // As if the program had ended in the middle of writing the last stroke.
    const QByteArray bytes = readAll(rec);
    writeAll(rec, bytes.left(bytes.size() - 5));

    const std::unique_ptr<QWidget> host = shownPanel();
    ASSERT_NE(host, nullptr);
    QWidget &panel = *host;
    CanvasPlayer(nullptr, &panel, u16(rec));
    const auto shown = [&] {
        return panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return countDiff(shown(), firstStroke, 0) == 0; }, 5000));
    // ... and stays there.
    QTest::qWait(200);
    EXPECT_EQ(countDiff(shown(), firstStroke, 0), 0);
}

TEST_F(CanvasLib, AMissingOrDamagedRecordingPlaysNothing)
{
    QWidget panel;
    panel.resize(W, H);
    const QString junk = file(QStringLiteral("junk.krec"));
    writeAll(junk, "KARVOREC but nothing else of use");
    CanvasPlayer(nullptr, &panel, u16(junk));
    CanvasPlayer(nullptr, &panel, u16(file(QStringLiteral("missing.krec"))));
    EXPECT_TRUE(panel.findChildren<QWidget *>().isEmpty());
}

TEST_F(CanvasLib, RecordingNeedsAFileItCanWrite)
{
    SetRecordFilename(u16(file(QStringLiteral("no/such/folder/x.krec"))));
    SetRecording(true);
    EXPECT_FALSE(IsRecording());
    SetRecordFilename(nullptr);
    SetRecording(true);
    EXPECT_FALSE(IsRecording());
}

namespace {

// Memory the process holds now (resident set), in bytes.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong() * 1024;
    return -1;
}

// Records a new 2000x2000 picture (a keyframe each) APictures times; returns the file.
QString recordPictures(const QString &AFile, int APictures)
{
    SetCavaseSize({2000, 2000});
    SetRecordFilename(u16(AFile));
    SetRecording(true);
    for (int i = 0; i < APictures; ++i) {
        QImage picture(2000, 2000, QImage::Format_RGB32);
        picture.fill(qRgb(10 * i, 255 - 10 * i, 128));
        SetBackgroundImage(&picture);
    }
    SetRecording(false);
    return AFile;
}

} // namespace

TEST_F(CanvasLib, PlaybackReadsEachKeyframeWhenItIsReached)
{
    // Twenty pictures of 16 MB each when decoded: the player holds one at a time.
    const QString rec = recordPictures(file(QStringLiteral("pictures.krec")), 20);
    New();
    SetCavaseSize({W, H});
    const std::unique_ptr<QWidget> host = shownPanel();
    ASSERT_NE(host, nullptr);
    QWidget &panel = *host;
    const qint64 before = residentBytes();
    ASSERT_GT(before, 0);
    CanvasPlayer(nullptr, &panel, u16(rec));
    ASSERT_EQ(panel.findChildren<QWidget *>().size(), 1);
    const qint64 grown = residentBytes() - before;
    EXPECT_LT(grown, 200LL << 20) << grown / 1048576 << " MB"; // all twenty: over 300 MB
    // Played through, it ends on the last picture.
    const QRgb last = qRgb(190, 65, 128);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return panel.grab().toImage().pixel(W / 2, H / 2) == last; }, 10000));
}

TEST_F(CanvasLib, PlaybackEndsWhereItsKeyframesExceedTheirLimit)
{
    // A forged recording: 24 keyframes, each an empty drawing of 50 million pixels with its
    // own background colour, a millisecond apart. A playback reads at most a billion
    // pixels of keyframes (20 such drawings) and ends there.
    const auto colour = [](int i) {
        return uint32_t(0x00010203 * i) & 0x00FFFFFF;
    };
    QByteArray bytes("KARVOREC\0\0\0\1", 12);
    for (int i = 0; i < 24; ++i) {
        QByteArray payload;
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << qint64(i) << qint32(10) << qint32(10000) << qint32(5000) << quint32(colour(i))
            << quint32(0) << quint32(0); // time, undo limit, size, background, no picture, no items
        QDataStream record(&bytes, QIODevice::Append);
        record << quint8(1) << quint32(payload.size()) << crc32Of(payload);
        bytes += payload;
    }
    const QString rec = file(QStringLiteral("sizes.krec"));
    writeAll(rec, bytes);

    const std::unique_ptr<QWidget> host = shownPanel();
    ASSERT_NE(host, nullptr);
    QWidget &panel = *host;
    CanvasPlayer(nullptr, &panel, u16(rec));
    const auto shown = [&] {
        return panel.grab().toImage().pixel(W / 2, H / 2) & 0x00FFFFFF;
    };
    const auto rgb = [](uint32_t c) {
        return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == rgb(colour(19)); }, 20000))
        << std::hex << shown();
    QTest::qWait(300);
    EXPECT_EQ(shown(), rgb(colour(19))) << std::hex << shown();
}

TEST_F(CanvasLib, RecordedKeyframesAreEncodedOffTheUiThread)
{
    static QList<QThread *> threads;
    threads.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("ovilen.canvaslib.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &AContext, const QString &AText) {
            if (AContext.category && QByteArray(AContext.category) == "ovilen.canvaslib" &&
                AText.contains(QStringLiteral("keyframe encoded")))
                threads << QThread::currentThread();
        });
    recordPictures(file(QStringLiteral("threads.krec")), 3);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(threads.size(), 4); // the drawing at the start and three pictures
    for (QThread *thread : threads)
        EXPECT_NE(thread, QThread::currentThread());
}
