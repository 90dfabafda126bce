#pragma once
#include <QImage>
#include <vector>

// A picture stretched over a size by taking, for every pixel, the nearest pixel of the picture: rough,
// but quick enough to do at every step of a drag of the window's edge. The pixels are kept in a buffer
// of its own that is reused from one size to the next, and let go of with release().
class DraftStretch {
  public:
    // The picture stretched to size (not empty); valid until the next call or release().
    const QImage& stretched(const QImage& source, QSize size);
    void release();

  private:
    std::vector<uchar> pixels_;
    QImage image_;
};
