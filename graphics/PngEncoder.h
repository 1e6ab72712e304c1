#pragma once
// A PNG writer for the module picture that uses both cores: the rows are
// filtered and deflated in bands on worker threads and the bands joined into
// one standard zlib stream, so any PNG reader reads the file.

#include <QByteArray>
#include <QImage>

namespace qmx {

// The image as an 8-bit RGB PNG (alpha is dropped; the module picture has
// none), with its resolution when it has one. `threads` bands at most, each
// on a thread of its own; empty on failure.
QByteArray encodePng(const QImage& image, int threads = 2);

}  // namespace qmx
