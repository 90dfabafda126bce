#include "qt/QtPictureLoader.h"

#include <QFileInfo>
#include <QImageReader>

std::optional<PictureSize> QtPictureLoader::load(const std::string& path) {
    const QString file = QString::fromStdString(path);
    const QFileInfo info(file);
    if (!info.isFile()) return std::nullopt;
    // The title card is read again at every resize; the file on disk decides, but an unchanged file
    // need not be decoded twice.
    if (auto known = pictures_.constFind(file);
        known != pictures_.cend() && known->modified == info.lastModified() && known->bytes == info.size())
        return PictureSize{known->image.width(), known->image.height()};
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    // Kept in the format the window paints fastest.
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    pictures_.insert(file, {image, info.lastModified(), info.size()});
    ++generation_;
    return PictureSize{image.width(), image.height()};
}

QImage QtPictureLoader::picture(const std::string& path) const {
    return pictures_.value(QString::fromStdString(path)).image;
}
