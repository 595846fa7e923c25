// The skin package: a Qt binary resource file read by our own checked parser.
#include "FuzzSupport.h"
#include "support/CustomResource.h"

#include <QImage>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    const QString path =
        ovilen::fuzz::WriteInput(QStringLiteral("Resource.rcc"), ovilen::fuzz::Bytes(AData, ASize));

    TCustomResource resource;
    if (!resource.Open(path))
        return 0;
    // The names of the seed packages, a name in other letter case, a missing
    // one, and the high-density copies.
    static const char *const Names[] = {"RES_MAIN_MENU_PREVIEW_N",
                                        "res_main_menu_preview_n",
                                        "RES_A",
                                        "RES_B",
                                        "2x/RES_A",
                                        "missing",
                                        ""};
    for (const char *name : Names) {
        for (const qreal ratio : {1.0, 2.0}) {
            QImage bitmap(4, 4, QImage::Format_ARGB32);
            bitmap.fill(Qt::red);
            resource.LoadFromResource(&bitmap, QString::fromLatin1(name), ratio);
            if (bitmap.isNull())
                std::abort(); // a bitmap is replaced or kept, never emptied
        }
    }
    return 0;
}
