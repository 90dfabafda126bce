#include "qt/QtPictureLoader.h"

#include <QFileInfo>
#include <QImageReader>
#include <iostream>

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
    if (image.isNull()) {
        // The game goes on without the picture; the story's author is told once which file it was.
        if (!warned_.contains(file)) {
            warned_.insert(file);
            std::cerr << "rumena: warning: " << path << ": the picture cannot be decoded ("
                      << reader.errorString().toStdString() << ")\n";
        }
        return std::nullopt;
    }
    // Kept in the format the window paints fastest.
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    pictures_.insert(file, {image, info.lastModified(), info.size()});
    ++generation_;
    return PictureSize{image.width(), image.height()};
}

QImage QtPictureLoader::picture(const std::string& path) const {
    return pictures_.value(QString::fromStdString(path)).image;
}
