#pragma once

#include "SkinCatalogue.h"

#include <QImage>

// One picture of the whole skin as packed: every image in its states, at both
// densities, on the background it is shown on, labelled with its name. The
// images are read back through Qt's own resource reader from the package.
// Names missing from the package are drawn as red boxes and listed in AMissing.
QImage MakeContactSheet(const QList<TSkinImage> &ACatalogue, const QString &ARoot,
                        QStringList &AMissing);
