#include "qt/QtPictureLoader.h"

#include <QFile>
#include <QImageReader>
#include <iostream>
#include <set>

#include <sys/stat.h>

namespace {

// The format the picture's first bytes name, among the common ones; empty for any other.
QByteArray formatOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = file.read(8);
    if (head.startsWith("\x89PNG\r\n\x1a\n")) return "png";
    if (head.startsWith("\xff\xd8\xff")) return "jpeg";
    if (head.startsWith("GIF8")) return "gif";
    if (head.startsWith("BM")) return "bmp";
    return {};
}

QImage decode(const std::string& path, QString& why) {
    const QString file = QString::fromStdString(path);
    QImage image;
    // A picture whose first bytes name its format goes straight to that format's reader. Guessing from
    // the content asks every image plugin Qt has in turn, loading each with its libraries, and costs
    // the first screen tens of milliseconds.
    if (const QByteArray format = formatOf(file); !format.isEmpty()) {
        QImageReader reader(file, format);
        reader.setAutoDetectImageFormat(false);
        image = reader.read();
    }
    if (image.isNull()) {
        QImageReader reader(file);
        reader.setDecideFormatFromContent(true);
        // Qt's allocation limit refuses a picture whose header claims more pixels than a desktop can hold.
        image = reader.read();
        if (image.isNull()) {
            why = reader.errorString();
            return image;
        }
    }
    // Kept in the format the window paints fastest.
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return image;
}

} // namespace

std::optional<QtPictureLoader::Identity> QtPictureLoader::identityOf(const std::string& path) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return Identity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                    static_cast<std::int64_t>(info.st_mtim.tv_sec),
                    static_cast<std::int64_t>(info.st_mtim.tv_nsec), static_cast<std::int64_t>(info.st_size)};
}

QImage QtPictureLoader::find(const std::string& path) const {
    auto identity = identityOf(path);
    if (!identity) return QImage();
    auto known = byIdentity_.find(*identity);
    if (known == byIdentity_.end()) return QImage();
    kept_.splice(kept_.begin(), kept_, known->second);
    return known->second->image;
}

qint64 QtPictureLoader::keepOnly(const std::vector<std::string>& shown) {
    std::set<Identity> wanted;
    for (const std::string& path : shown)
        if (auto identity = identityOf(path)) wanted.insert(*identity);
    if (lastDecoded_) wanted.insert(*lastDecoded_);
    qint64 letGo = 0;
    for (auto at = kept_.begin(); at != kept_.end();) {
        if (wanted.count(at->identity)) {
            ++at;
            continue;
        }
        keptBytes_ -= at->image.sizeInBytes();
        letGo += at->image.sizeInBytes();
        byIdentity_.erase(at->identity);
        at = kept_.erase(at);
    }
    return letGo;
}

void QtPictureLoader::keep(const Identity& identity, const QImage& image) const {
    lastDecoded_ = identity;
    kept_.push_front({identity, image});
    byIdentity_[identity] = kept_.begin();
    keptBytes_ += image.sizeInBytes();
    while (kept_.size() > 1 && keptBytes_ > kBudgetBytes) {
        keptBytes_ -= kept_.back().image.sizeInBytes();
        byIdentity_.erase(kept_.back().identity);
        kept_.pop_back();
    }
}

std::optional<PictureSize> QtPictureLoader::load(const std::string& path) {
    auto identity = identityOf(path);
    if (!identity) return std::nullopt;
    // The title card is read again at every resize: an unchanged file need not be decoded twice.
    QImage image = find(path);
    if (image.isNull()) {
        QString why;
        image = decode(path, why);
        if (image.isNull()) {
            // The game goes on without the picture; the story's author is told once which file it was.
            const QString file = QString::fromStdString(path);
            if (!warned_.contains(file)) {
                warned_.insert(file);
                std::cerr << "rumena: warning: " << path << ": the picture cannot be decoded ("
                          << why.toStdString() << ")\n";
            }
            return std::nullopt;
        }
        keep(*identity, image);
        ++generation_;
    }
    return PictureSize{image.width(), image.height()};
}

QImage QtPictureLoader::picture(const std::string& path) const {
    QImage image = find(path);
    if (!image.isNull()) return image;
    // Let go to keep within the budget: decoded again, as it still is on disk.
    auto identity = identityOf(path);
    if (!identity) return image;
    QString why;
    image = decode(path, why);
    if (!image.isNull()) keep(*identity, image);
    return image;
}
