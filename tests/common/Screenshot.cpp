#include "Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

void saveScreenshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("OVILEN_SCREENSHOTS");
    if (folder.isEmpty() || !widget)
        return;
    QDir().mkpath(folder);
    EXPECT_TRUE(widget->grab().save(folder + u'/' + name + QStringLiteral(".png")));
}
