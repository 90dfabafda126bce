#include "qt/QtPictureLoader.h"

#include <QImageReader>

std::optional<PictureSize> QtPictureLoader::load(const std::string& path) {
    const QString file = QString::fromStdString(path);
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    pictures_.insert(file, image);
    return PictureSize{image.width(), image.height()};
}

QImage QtPictureLoader::picture(const std::string& path) const {
    return pictures_.value(QString::fromStdString(path));
}
