#pragma once
#include "platform/PictureLoader.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

// Decodes pictures with Qt's image readers, recognising the format from the content whatever the
// file's extension, and keeps each decoded picture for painting.
class QtPictureLoader : public PictureLoader {
  public:
    std::optional<PictureSize> load(const std::string& path) override;
    // The picture last decoded from path (a null image when none was).
    QImage picture(const std::string& path) const;
    // Counts the pictures decoded: while it stands still, every path shows what it showed.
    quint64 generation() const { return generation_; }

  private:
    struct Decoded {
        QImage image;
        // The file as it was when decoded: an unchanged file is not decoded again.
        QDateTime modified;
        qint64 bytes = 0;
    };
    QHash<QString, Decoded> pictures_;
    quint64 generation_ = 0;
    // Files already reported as undecodable.
    QSet<QString> warned_;
};
