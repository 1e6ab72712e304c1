#pragma once
// Reading a picture of any kind the editor takes: the old formats (PCX, Sun
// raster, Targa) through our own readers, everything else through Qt's. Used
// by Load Graphics, Import Map Picture and the counter import of the editor
// and of qmxtool.

#include <QImage>
#include <string>

namespace qmx {

struct PictureFile {
    enum class Status {
        Ok,
        NotFound,    // no such file
        DibTooBig,   // a Windows bitmap whose size does not fit in 32 bits
        Unreadable,  // the file is there but is no picture we can decode
    };
    Status status = Status::NotFound;
    QImage image;        // 32-bit RGB when ok
    std::string reason;  // why an unreadable picture was refused ("it is cut short")
    bool dib = false;    // the file is a Windows bitmap (its own messages)

    bool ok() const { return status == Status::Ok; }
};

PictureFile readPictureFile(const std::string& path);

}  // namespace qmx
