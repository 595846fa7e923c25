// The resolution texts of the settings file and of the camera's mode list.
#include "FuzzSupport.h"
#include "support/Common.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    const QString text = QString::fromUtf8(ovilen::fuzz::Bytes(AData, ASize));

    int width = -1;
    int height = -1;
    ParseSize(text, width, height);
    const TResolutionInfo info = ParseResolution(text);
    // Both read the size from the same pieces of the text.
    if (!info.Codec.isEmpty() && (info.Width != width || info.Height != height))
        std::abort();

    QStringList pieces;
    SplitText(text, QLatin1Char(','), pieces);
    for (const QString &piece : pieces) {
        if (piece.isEmpty())
            std::abort();
    }
    pieces.append(text);
    pieces.append(QStringLiteral("1600x1200 MJPG"));
    for (int i = 0; i < pieces.size(); ++i) {
        const int order = CompareResolution(pieces, i, static_cast<int>(pieces.size()) - 1);
        // The order is antisymmetric.
        const int back = CompareResolution(pieces, static_cast<int>(pieces.size()) - 1, i);
        if ((order > 0 && back > 0) || (order < 0 && back < 0))
            std::abort();
    }
    StrToIntDef(text, 0);
    return 0;
}
