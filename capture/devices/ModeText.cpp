#include "capture/devices/ModeText.h"

#include <array>

namespace {

struct NameRow
{
    std::array<std::uint32_t, 3> Codes; // V4L2 codes of the subtype (0: none)
    const char *Suffix;
};

// Searched in this order; the first row holding the code gives the suffix.
// The platform's RGB subtypes are stored blue first, as V4L2's BGR formats.
const NameRow NameTable[] = {
    {{FourCC('Y', 'V', 'U', '9')}, "(YVU9)"},
    {{FourCC('Y', '4', '1', '1'), FourCC('4', '1', '1', 'P')}, "(Y411)"},
    {{FourCC('Y', '4', '1', 'P')}, "(Y41P)"},
    {{FourCC('Y', 'U', 'Y', 'V'), FourCC('Y', 'U', 'Y', '2')}, "(YUY2)"},
    {{FourCC('Y', 'V', 'Y', 'U')}, "(YVYU)"},
    {{FourCC('U', 'Y', 'V', 'Y')}, "(UYVY)"},
    {{FourCC('Y', '2', '1', '1')}, "(Y211)"},
    {{FourCC('B', 'G', 'R', '3')}, "(RGB24)"},
    {{FourCC('B', 'G', 'R', '4'), FourCC('X', 'R', '2', '4')}, "(RGB32)"},
    {{FourCC('R', 'G', 'B', 'P')}, "(RGB565)"},
    {{FourCC('R', 'G', 'B', 'O'), FourCC('X', 'R', '1', '5')}, "(RGB555)"},
    {{FourCC('A', 'R', '2', '4'), FourCC('B', 'A', '2', '4')}, "(ARGB32)"},
    {{FourCC('M', 'J', 'P', 'G')}, "(MJPG)"},
};

} // namespace

QString ModeSuffix(std::uint32_t subType)
{
    if (subType == 0)
        return {};
    for (const NameRow &row : NameTable)
        for (std::uint32_t code : row.Codes)
            if (code == subType)
                return QString::fromLatin1(row.Suffix);
    return {};
}

QString ModeText(const TVCapMode &mode)
{
    QString text = QStringLiteral("%1x%2").arg(mode.Width).arg(mode.Height);
    const QString suffix = ModeSuffix(mode.MediaSubType);
    if (!suffix.isEmpty())
        text += u' ' + suffix;
    return text;
}

bool ModeMatches(const TVCapMode &mode, int width, int height, const QString &codec)
{
    if (mode.Width != width || mode.Height != height)
        return false;
    const QString suffix = ModeSuffix(mode.MediaSubType); // "(MJPG)"
    if (suffix.isEmpty())
        return false;
    QString wanted = codec.trimmed();
    if (wanted.startsWith(u'(') && wanted.endsWith(u')'))
        wanted = wanted.mid(1, wanted.size() - 2);
    return !wanted.isEmpty() &&
           QStringView(suffix).mid(1, suffix.size() - 2).compare(wanted, Qt::CaseInsensitive) == 0;
}

int BitCountOf(std::uint32_t subType)
{
    switch (subType) {
    case FourCC('Y', 'U', 'Y', 'V'):
    case FourCC('Y', 'U', 'Y', '2'):
    case FourCC('Y', 'V', 'Y', 'U'):
    case FourCC('U', 'Y', 'V', 'Y'):
    case FourCC('R', 'G', 'B', 'P'):
    case FourCC('R', 'G', 'B', 'O'):
    case FourCC('X', 'R', '1', '5'):
    case FourCC('Y', '2', '1', '1'):
        return 16;
    case FourCC('N', 'V', '1', '2'):
    case FourCC('N', 'V', '2', '1'):
    case FourCC('Y', 'U', '1', '2'):
    case FourCC('Y', 'V', '1', '2'):
    case FourCC('Y', '4', '1', '1'):
    case FourCC('4', '1', '1', 'P'):
    case FourCC('Y', '4', '1', 'P'):
        return 12;
    case FourCC('Y', 'V', 'U', '9'):
        return 9;
    case FourCC('G', 'R', 'E', 'Y'):
        return 8;
    case FourCC('B', 'G', 'R', '4'):
    case FourCC('X', 'R', '2', '4'):
    case FourCC('A', 'R', '2', '4'):
    case FourCC('B', 'A', '2', '4'):
        return 32;
    default: // MJPG, JPEG and the 24-bit formats decode to 24 bits per pixel
        return 24;
    }
}

QString FourCCText(std::uint32_t code)
{
    QString s;
    for (int i = 0; i < 4; ++i)
        s += QChar(char((code >> (8 * i)) & 0xFF));
    return s;
}
