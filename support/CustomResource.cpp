#include "support/CustomResource.h"

#include "support/Logging.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QtEndian>
#include <cstring>

std::unique_ptr<TCustomResource> SkinResource;

namespace {

// Layout of a Qt binary resource file (format versions 1 to 3): a header of
// five or six big-endian 32-bit words ("qres", version, offsets of the tree,
// the payloads and the names, and in version 3 the global flags), followed by
// the three areas. A tree node is 14 bytes (22 from version 2 on, with a
// modification time): name offset (32), flags (16), then for a folder the
// number of children and the index of the first child (32 each), for a file
// territory and language (16 each) and the payload offset (32). A name is its
// length in UTF-16 units (16), a hash (32) and the big-endian UTF-16 text; a
// payload is its length (32) and the bytes.
constexpr quint16 FlagZlib = 0x01;
constexpr quint16 FlagFolder = 0x02;
constexpr quint16 FlagZstd = 0x04;
constexpr quint32 KnownGlobalFlags = 0x01 | 0x02; // compression algorithms in use
constexpr int MaxDepth = 16;
// Limits that keep a damaged or hostile package from taking the memory.
constexpr qint64 MaxPackageSize = qint64(512) << 20;
constexpr quint32 MaxImageSize = quint32(64) << 20;

struct TEntry
{
    qint64 Offset = 0; // of the payload's bytes in the package
    qint64 Size = 0;
    quint16 Flags = 0;
};

// Reads big-endian numbers with bounds checks; a read past the end fails.
class TBytes
{
public:
    explicit TBytes(const QByteArray &AData)
        : FData(reinterpret_cast<const uchar *>(AData.constData()))
        , FSize(AData.size())
    {}

    qint64 Size() const { return FSize; }
    bool Has(qint64 AAt, qint64 ALength) const
    {
        return AAt >= 0 && ALength >= 0 && AAt <= FSize && ALength <= FSize - AAt;
    }
    bool U16(qint64 AAt, quint16 &AValue) const
    {
        if (!Has(AAt, 2))
            return false;
        AValue = qFromBigEndian<quint16>(FData + AAt);
        return true;
    }
    bool U32(qint64 AAt, quint32 &AValue) const
    {
        if (!Has(AAt, 4))
            return false;
        AValue = qFromBigEndian<quint32>(FData + AAt);
        return true;
    }
    const uchar *At(qint64 AAt) const { return FData + AAt; }

private:
    const uchar *FData;
    qint64 FSize;
};

using TIndex = QHash<QString, TEntry>; // by upper-case name

// Walks the tree of a package, checking every node, name and payload against
// the package's size, and fills the two indexes.
class TPackageReader
{
public:
    TPackageReader(const QByteArray &AData, TIndex &ANormal, TIndex &ADouble)
        : FBytes(AData)
        , FNormal(ANormal)
        , FDouble(ADouble)
    {}

    bool Read(QString &AWhy)
    {
        if (FBytes.Size() < 20 || std::memcmp(FBytes.At(0), "qres", 4) != 0)
            return Fail(AWhy, QStringLiteral("not a Qt resource file"));
        quint32 version = 0;
        quint32 tree = 0;
        quint32 payloads = 0;
        quint32 names = 0;
        FBytes.U32(4, version);
        FBytes.U32(8, tree);
        FBytes.U32(12, payloads);
        FBytes.U32(16, names);
        if (version < 1 || version > 3)
            return Fail(AWhy, QStringLiteral("unknown format version %1").arg(version));
        quint32 globalFlags = 0;
        if (version >= 3 && !FBytes.U32(20, globalFlags))
            return Fail(AWhy, QStringLiteral("header cut short"));
        if (globalFlags & ~KnownGlobalFlags)
            return Fail(AWhy, QStringLiteral("unknown features %1").arg(globalFlags));
        if (tree >= FBytes.Size() || payloads >= FBytes.Size() || names >= FBytes.Size())
            return Fail(AWhy, QStringLiteral("areas lie outside the file"));
        FTree = tree;
        FPayloads = payloads;
        FNames = names;
        FNodeSize = version >= 2 ? 22 : 14;
        FNodeCount = (FBytes.Size() - FTree) / FNodeSize;
        if (!Folder(0, plRoot, 0))
            return Fail(AWhy, FWhy);
        return true;
    }

private:
    enum TPlace
    {
        plRoot,    // the images at normal density
        plDoubled, // the folder "2x"
        plOther,   // checked, not offered
    };

    static bool Fail(QString &AWhy, const QString &AText)
    {
        AWhy = AText;
        return false;
    }
    bool Damaged(const QString &AText)
    {
        FWhy = AText;
        return false;
    }

    bool Node(quint32 AIndex, qint64 &AAt, quint16 &AFlags)
    {
        if (AIndex >= FNodeCount)
            return Damaged(QStringLiteral("node %1 outside the tree").arg(AIndex));
        if (FSeen.contains(AIndex))
            return Damaged(QStringLiteral("node %1 reached twice").arg(AIndex));
        FSeen.insert(AIndex);
        AAt = FTree + qint64(AIndex) * FNodeSize;
        if (!FBytes.U16(AAt + 4, AFlags))
            return Damaged(QStringLiteral("node %1 cut short").arg(AIndex));
        if (AFlags & ~(FlagZlib | FlagFolder | FlagZstd))
            return Damaged(QStringLiteral("node %1 has unknown flags").arg(AIndex));
        return true;
    }

    bool Name(qint64 ANodeAt, QString &AName)
    {
        quint32 offset = 0;
        quint16 length = 0;
        FBytes.U32(ANodeAt, offset);
        const qint64 at = FNames + qint64(offset);
        if (!FBytes.U16(at, length) || !FBytes.Has(at + 6, qint64(length) * 2))
            return Damaged(QStringLiteral("a name lies outside the file"));
        AName.resize(length);
        for (int i = 0; i < length; ++i)
            AName[i] = QChar(qFromBigEndian<quint16>(FBytes.At(at + 6 + 2 * i)));
        return true;
    }

    bool Folder(quint32 AIndex, TPlace APlace, int ADepth)
    {
        qint64 at = 0;
        quint16 flags = 0;
        if (!Node(AIndex, at, flags))
            return false;
        if (!(flags & FlagFolder))
            return Damaged(QStringLiteral("the root is not a folder"));
        quint32 count = 0;
        quint32 first = 0;
        if (!FBytes.U32(at + 6, count) || !FBytes.U32(at + 10, first))
            return Damaged(QStringLiteral("folder node cut short"));
        if (ADepth > MaxDepth || qint64(first) + qint64(count) > FNodeCount)
            return Damaged(QStringLiteral("folder %1 is damaged").arg(AIndex));
        for (quint32 child = first; child < first + count; ++child)
            if (!Child(child, APlace, ADepth + 1))
                return false;
        return true;
    }

    bool Child(quint32 AIndex, TPlace AParent, int ADepth)
    {
        qint64 at = 0;
        quint16 flags = 0;
        QString name;
        if (!Node(AIndex, at, flags) || !Name(at, name))
            return false;
        const QString key = name.toUpper();
        if (flags & FlagFolder) {
            FSeen.remove(AIndex); // Folder() marks it itself
            const bool doubled = AParent == plRoot && key == QLatin1String("2X");
            return Folder(AIndex, doubled ? plDoubled : plOther, ADepth);
        }
        quint32 offset = 0;
        quint32 size = 0;
        if (!FBytes.U32(at + 10, offset))
            return Damaged(QStringLiteral("file node cut short"));
        const qint64 payload = FPayloads + qint64(offset);
        if (!FBytes.U32(payload, size) || !FBytes.Has(payload + 4, size))
            return Damaged(QStringLiteral("the data of %1 lies outside the file").arg(name));
        TIndex *index = AParent == plRoot ? &FNormal : AParent == plDoubled ? &FDouble : nullptr;
        // With names that differ only in case, the first one in the package wins.
        if (index && !index->contains(key))
            index->insert(key, TEntry{payload + 4, size, flags});
        return true;
    }

    TBytes FBytes;
    TIndex &FNormal;
    TIndex &FDouble;
    qint64 FTree = 0;
    qint64 FPayloads = 0;
    qint64 FNames = 0;
    qint64 FNodeSize = 22;
    qint64 FNodeCount = 0;
    QSet<quint32> FSeen;
    QString FWhy;
};

// The encoded image of an entry, uncompressed; empty when it cannot be had.
QByteArray EntryBytes(const QByteArray &APackage, const TEntry &AEntry)
{
    const QByteArray raw =
        QByteArray::fromRawData(APackage.constData() + AEntry.Offset, AEntry.Size);
    if (AEntry.Flags & FlagZstd)
        return {}; // not offered by Qt's public interface; the skin is packed without it
    if (!(AEntry.Flags & FlagZlib))
        return raw;
    // qUncompress's input starts with the uncompressed size, which is checked
    // first so that a damaged entry cannot ask for a huge buffer.
    if (raw.size() < 4 || qFromBigEndian<quint32>(raw.constData()) > MaxImageSize)
        return {};
    return qUncompress(raw);
}

} // namespace

struct TCustomResource::TPackage
{
    QByteArray Data;
    TIndex Normal; // the images at normal density
    TIndex Double; // the same images at twice the size
};

TCustomResource::TCustomResource() = default;

TCustomResource::~TCustomResource()
{
    Close();
}

QString TCustomResource::DefaultFileName()
{
    return QCoreApplication::applicationDirPath() + u'/' + QLatin1String(FileName);
}

bool TCustomResource::Open()
{
    return Open(DefaultFileName());
}

bool TCustomResource::Open(const QString &AFileName)
{
    QFile file(AFileName);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSupport) << "cannot read the skin" << AFileName << file.errorString();
        return false;
    }
    if (file.size() > MaxPackageSize) {
        qCWarning(lcSupport) << "the skin" << AFileName << "is too large";
        return false;
    }
    auto package = std::make_unique<TPackage>();
    package->Data = file.readAll();
    if (package->Data.size() != file.size()) {
        qCWarning(lcSupport) << "cannot read the skin" << AFileName << file.errorString();
        return false;
    }
    QString why;
    if (!TPackageReader(package->Data, package->Normal, package->Double).Read(why)) {
        qCWarning(lcSupport) << "the skin" << AFileName << "is damaged:" << why;
        return false;
    }
    FPackage = std::move(package);
    return true;
}

void TCustomResource::Close()
{
    FPackage.reset();
}

void TCustomResource::LoadFromResource(QImage *ABitmap, const QString &AResname,
                                       qreal ADevicePixelRatio) const
{
    if (!FPackage || !ABitmap)
        return;
    const QString key = AResname.toUpper();
    const TEntry *entry = nullptr;
    qreal ratio = 1.0;
    if (ADevicePixelRatio > 1.0) {
        const auto found = FPackage->Double.constFind(key);
        if (found != FPackage->Double.cend()) {
            entry = &found.value();
            ratio = 2.0;
        }
    }
    if (!entry) {
        const auto found = FPackage->Normal.constFind(key);
        if (found == FPackage->Normal.cend())
            return; // no such image: the bitmap keeps what it had
        entry = &found.value();
    }

    if (!ABitmap->isNull()) {
        if (!ABitmap->hasAlphaChannel())
            *ABitmap = ABitmap->convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ABitmap->fill(Qt::transparent);
    }
    QImage image;
    if (!image.loadFromData(EntryBytes(FPackage->Data, *entry)))
        return; // undecodable: the bitmap stays cleared
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    *ABitmap = std::move(image);
}
