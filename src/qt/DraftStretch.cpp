#include "qt/DraftStretch.h"

#include <cstdint>
#include <cstring>

namespace {

// The source pixel for destination pixel i, of n over a source of m: the one under its middle.
int nearest(int i, int n, int m) {
    return static_cast<int>((2 * static_cast<std::int64_t>(i) + 1) * m / (2 * static_cast<std::int64_t>(n)));
}

} // namespace

const QImage& DraftStretch::stretched(const QImage& source, QSize size) {
    const QImage picture =
        source.depth() == 32 ? source : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = size.width(), height = size.height();
    const qsizetype line = static_cast<qsizetype>(width) * 4;
    pixels_.resize(static_cast<std::size_t>(line * height));
    image_ = QImage(pixels_.data(), width, height, line, picture.format());
    // Neighbouring pixels that take neighbouring source pixels form runs, copied whole: a picture
    // stretched by a few pixels is mostly runs hundreds of pixels long.
    struct Run {
        int to, from, length;
    };
    std::vector<Run> runs;
    for (int x = 0; x < width; ++x) {
        const int from = nearest(x, width, picture.width());
        if (!runs.empty() && runs.back().from + runs.back().length == from)
            ++runs.back().length;
        else
            runs.push_back({x, from, 1});
    }
    int lastRow = -1;
    for (int y = 0; y < height; ++y) {
        uchar* out = pixels_.data() + y * line;
        const int row = nearest(y, height, picture.height());
        if (row == lastRow) {
            std::memcpy(out, out - line, static_cast<std::size_t>(line));
            continue;
        }
        lastRow = row;
        const auto* in = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(row));
        auto* to = reinterpret_cast<std::uint32_t*>(out);
        for (const Run& r : runs) {
            if (r.length == 1)
                to[r.to] = in[r.from];
            else
                std::memcpy(to + r.to, in + r.from, static_cast<std::size_t>(r.length) * 4);
        }
    }
    return image_;
}

void DraftStretch::release() {
    image_ = QImage();
    std::vector<uchar>().swap(pixels_);
}
