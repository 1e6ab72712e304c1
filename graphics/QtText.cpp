#include "graphics/QtText.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>

namespace qmx {

QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toBytes(const QString& text) {
    const QByteArray b = text.toLatin1();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QString fromFileText(const std::string& bytes) {
    QString s = fromBytes(bytes);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

std::string toFileText(const QString& text) {
    QString s = text;
    s.replace(QChar('\n'), QStringLiteral("\r\n"));
    return toBytes(s);
}

QString fitFileText(const QString& before, const QString& after, std::size_t maxBytes,
                    int& cursor) {
    const auto bytes = [](QChar c) { return c == QChar('\n') ? std::size_t(2) : std::size_t(1); };
    // The edit: what lies between the parts both texts share at each end.
    const qsizetype shortest = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shortest && before[head] == after[head]) ++head;
    qsizetype tail = 0;
    while (tail < shortest - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QString kept = before.left(head) + before.right(tail);
    std::size_t used = 0;
    for (const QChar c : kept) used += bytes(c);
    QString added;
    for (const QChar c : after.mid(head, after.size() - head - tail)) {
        if (used + bytes(c) > maxBytes) break;
        used += bytes(c);
        added += c;
    }
    cursor = static_cast<int>(head + added.size());
    return before.left(head) + added + before.right(tail);
}

QString qtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string stdPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace qmx
