#pragma once
#include "platform/PictureLoader.h"

#include <QImage>
#include <QSet>
#include <QString>

#include <cstdint>
#include <list>
#include <map>
#include <tuple>
#include <vector>

// Decodes pictures with Qt's image readers, recognising the format from the content whatever the
// file's extension, and keeps the decoded pictures for painting. The pictures kept are bounded: the
// one decoded last, and those used most recently within a budget of bytes; a picture that was let go
// is decoded again when it is painted.
class QtPictureLoader : public PictureLoader {
  public:
    static constexpr qint64 kBudgetBytes = 64ll << 20;

    std::optional<PictureSize> load(const std::string& path) override;
    // The picture at path (a null image when it is not one).
    QImage picture(const std::string& path) const;
    // Lets go of the pictures none of these paths names, but for the one decoded last: a picture no
    // box shows need not stay in memory, and is decoded again when it is shown. Returns the bytes let go.
    qint64 keepOnly(const std::vector<std::string>& shown);
    // Counts the pictures decoded: while it stands still, every path shows what it showed.
    quint64 generation() const { return generation_; }
    // The bytes and the number of the decoded pictures kept.
    qint64 keptBytes() const { return keptBytes_; }
    std::size_t keptPictures() const { return kept_.size(); }

  private:
    // A file by what it is, not by how its path is spelt: the same file reached by two spellings is
    // decoded once, and a file changed on disk is decoded again.
    using Identity = std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::int64_t, std::int64_t>;
    struct Kept {
        Identity identity;
        QImage image;
    };
    static std::optional<Identity> identityOf(const std::string& path);
    QImage find(const std::string& path) const;
    void keep(const Identity& identity, const QImage& image) const;

    // Most recently used first.
    mutable std::list<Kept> kept_;
    mutable std::map<Identity, std::list<Kept>::iterator> byIdentity_;
    mutable qint64 keptBytes_ = 0;
    quint64 generation_ = 0;
    mutable std::optional<Identity> lastDecoded_;
    // Files already reported as undecodable.
    QSet<QString> warned_;
};
