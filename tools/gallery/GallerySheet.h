#pragma once

#include <QDir>
#include <QImage>
#include <QList>
#include <QString>

namespace mailvane::gallery {

struct RouteResult
{
    QString name;    // file name without extension
    QString caption; // what the picture shows
    QImage image;    // null when the route failed
};

// Packs the samples into a skin library in `workDir`, loads each one back
// through the image container and returns what every route produced.
QList<RouteResult> renderRoutes(const QString& workDir);

// All results side by side, enlarged, with their captions.
QImage contactSheet(const QList<RouteResult>& results);

} // namespace mailvane::gallery
