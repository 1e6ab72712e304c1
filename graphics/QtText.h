#pragma once
// Texts and paths between the core's bytes and Qt's strings, for both
// programs and the tool. Texts of files are bytes: they go through Latin-1
// both ways, so every byte survives. Paths are the file system's own names.

#include <QString>
#include <string>

namespace qmx {

QString fromBytes(const std::string& bytes);
std::string toBytes(const QString& text);
// A text with CR LF line ends (notes, comments, card texts) as a widget
// shows it, and back.
QString fromFileText(const std::string& bytes);
std::string toFileText(const QString& text);
// A field's text after one edit, kept within `maxBytes` as a file stores it
// (a line end takes two): when `after` (`before` with the edit made) is
// longer, only as much of the edit's new text is kept as fits, so what was
// there stays whole. `cursor` comes back at the end of the text kept.
QString fitFileText(const QString& before, const QString& after, std::size_t maxBytes, int& cursor);

QString qtPath(const std::string& path);
std::string stdPath(const QString& path);

}  // namespace qmx
