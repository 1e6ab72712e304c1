#include "core/game/MailText.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/game/EncodedSave.h"

namespace qmx {
namespace {

using Span = std::span<const std::uint8_t>;

// Multiparts inside multiparts and attached mails inside those: deeper
// nesting than this is not followed.
constexpr int kMaxDepth = 16;
// The longest header value kept (a Content-Type with its parameters).
constexpr std::size_t kMaxHeaderValue = 4096;
// Boundaries are at most 70 characters; some programs write a few more.
constexpr std::size_t kMaxBoundary = 200;
// The longest entity name taken for one ("&thetasym;", "&#x1F600;").
constexpr std::size_t kMaxEntity = 32;

char lower(std::uint8_t c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

bool isBlank(std::uint8_t c) {
    return c == ' ' || c == '\t';
}

bool startsWith(Span d, std::size_t pos, std::string_view s) {
    return pos <= d.size() && d.size() - pos >= s.size() &&
           std::memcmp(d.data() + pos, s.data(), s.size()) == 0;
}

// Where `s` (lower case) next begins at or after `pos`, ignoring case.
std::size_t findNoCase(Span d, std::size_t pos, std::string_view s) {
    if (s.empty() || d.size() < s.size()) return d.size();
    for (std::size_t i = pos; i + s.size() <= d.size(); ++i) {
        std::size_t k = 0;
        while (k < s.size() && lower(d[i + k]) == s[k]) ++k;
        if (k == s.size()) return i;
    }
    return d.size();
}

// One line: its characters without the line end, and where the next begins.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;   // before CR LF or LF
    std::size_t next = 0;  // after the LF, or the end of the data
};

Line lineAt(Span d, std::size_t pos) {
    Line l;
    l.begin = pos;
    const auto* lf =
        static_cast<const std::uint8_t*>(std::memchr(d.data() + pos, '\n', d.size() - pos));
    l.end = lf ? static_cast<std::size_t>(lf - d.data()) : d.size();
    l.next = lf ? l.end + 1 : d.size();
    if (l.end > l.begin && d[l.end - 1] == '\r') --l.end;
    return l;
}

// What a header block says about its body.
struct Headers {
    std::string type;      // "type/subtype" in lower case; empty when not given
    std::string boundary;  // of a multipart
    std::string encoding;  // the transfer encoding in lower case
    bool mimeField = false;
    std::size_t bodyStart = 0;
};

// The value of a Content-Type: type/subtype and the boundary parameter.
// Comments in parentheses and blanks between the pieces are skipped.
void parseContentType(const std::string& v, Headers& h) {
    std::size_t i = 0;
    const std::size_t n = v.size();
    auto skip = [&] {
        while (i < n) {
            if (isBlank(static_cast<std::uint8_t>(v[i]))) {
                ++i;
            } else if (v[i] == '(') {
                int level = 0;
                while (i < n) {
                    if (v[i] == '\\') {
                        i += 2;
                        continue;
                    }
                    if (v[i] == '(') ++level;
                    if (v[i] == ')' && --level == 0) {
                        ++i;
                        break;
                    }
                    ++i;
                }
                i = std::min(i, n);
            } else {
                break;
            }
        }
    };
    auto token = [&](std::string_view stops) {
        std::string t;
        while (i < n && !isBlank(static_cast<std::uint8_t>(v[i])) &&
               stops.find(v[i]) == std::string_view::npos)
            t += lower(static_cast<std::uint8_t>(v[i++]));
        return t;
    };
    skip();
    std::string type = token("/;()\"");
    skip();
    if (i >= n || v[i] != '/') return;
    ++i;
    skip();
    const std::string subtype = token("/;()\"");
    if (type.empty() || subtype.empty()) return;
    h.type = type + "/" + subtype;
    while (true) {
        skip();
        if (i >= n || v[i] != ';') return;
        ++i;
        skip();
        const std::string name = token("=;()\"");
        skip();
        if (i >= n || v[i] != '=') continue;
        ++i;
        skip();
        std::string value;
        if (i < n && v[i] == '"') {
            ++i;
            while (i < n && v[i] != '"') {
                if (v[i] == '\\' && i + 1 < n) ++i;
                value += v[i++];
            }
            if (i < n) ++i;
        } else {
            // Unquoted boundaries often hold '=' and other specials.
            while (i < n && v[i] != ';' && !isBlank(static_cast<std::uint8_t>(v[i])))
                value += v[i++];
        }
        if (name == "boundary") h.boundary = value;
    }
}

// The header block at the start of `d`, up to the empty line after it. A
// block that runs to the end of the data leaves an empty body. Nothing when a
// line is neither a field, a folded continuation nor the empty line.
std::optional<Headers> readHeaders(Span d) {
    Headers h;
    std::string name;
    std::string value;
    auto finish = [&] {
        if (name == "content-type") parseContentType(value, h);
        if (name == "content-transfer-encoding") {
            std::size_t a = 0;
            while (a < value.size() && isBlank(static_cast<std::uint8_t>(value[a]))) ++a;
            std::size_t b = a;
            while (b < value.size() && !isBlank(static_cast<std::uint8_t>(value[b])) &&
                   value[b] != '(')
                ++b;
            h.encoding.clear();
            for (std::size_t k = a; k < b; ++k)
                h.encoding += lower(static_cast<std::uint8_t>(value[k]));
        }
        if (name == "mime-version" || name == "content-type" || name == "content-transfer-encoding")
            h.mimeField = true;
        name.clear();
        value.clear();
    };
    auto append = [&value, d](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to && value.size() < kMaxHeaderValue; ++k)
            value += static_cast<char>(d[k]);
    };
    std::size_t pos = 0;
    bool any = false;
    while (pos < d.size()) {
        const Line l = lineAt(d, pos);
        if (std::memchr(d.data() + l.begin, 0, l.end - l.begin)) return std::nullopt;
        if (l.end == l.begin) {
            finish();
            h.bodyStart = l.next;
            return h;
        }
        if (isBlank(d[l.begin])) {
            if (!any) return std::nullopt;
            append(l.begin, l.end);
        } else {
            finish();
            std::size_t k = l.begin;
            while (k < l.end && d[k] != ':' && d[k] > 32 && d[k] < 127) name += lower(d[k++]);
            if (k == l.begin || k == l.end || d[k] != ':') return std::nullopt;
            append(k + 1, l.end);
            any = true;
        }
        pos = l.next;
    }
    finish();
    h.bodyStart = d.size();
    return h;
}

// A line that is "--" boundary, or the closing "--" boundary "--", with
// nothing but blanks after it.
bool isDelimiter(Span d, const Line& l, std::string_view boundary, bool& closing) {
    if (l.end - l.begin < boundary.size() + 2) return false;
    if (d[l.begin] != '-' || d[l.begin + 1] != '-') return false;
    if (!startsWith(d, l.begin + 2, boundary)) return false;
    std::size_t k = l.begin + 2 + boundary.size();
    closing = k + 1 < l.end && d[k] == '-' && d[k + 1] == '-';
    if (closing) k += 2;
    while (k < l.end && isBlank(d[k])) ++k;
    return k == l.end;
}

// The body parts of a multipart body, without the line end before each
// delimiter (it belongs to the delimiter). Nothing when the closing delimiter
// never comes.
std::optional<std::vector<Span>> splitMultipart(Span body, std::string_view boundary) {
    std::vector<Span> parts;
    bool inPart = false;
    std::size_t partStart = 0;
    std::size_t pos = 0;
    while (pos < body.size()) {
        const Line l = lineAt(body, pos);
        bool closing = false;
        if (isDelimiter(body, l, boundary, closing)) {
            if (inPart) {
                std::size_t end = l.begin;
                if (end > partStart && body[end - 1] == '\n') --end;
                if (end > partStart && body[end - 1] == '\r') --end;
                parts.push_back(body.subspan(partStart, end - partStart));
            }
            if (closing) return parts;
            inPart = true;
            partStart = l.next;
        }
        pos = l.next;
    }
    return std::nullopt;
}

// What a walk through a mail carries along.
struct Walk {
    std::function<bool(Span)> visit;  // called with each text part; true stops
    // The bytes that decoded bodies may still take. An attached mail keeps
    // its decoded bytes while the parts inside it are decoded, so without
    // this a mail of encoded attached mails could hold many times its own
    // size. Twice the mail's size lets one encoded attached mail with
    // encoded parts in it through.
    std::size_t budget = 0;
};

bool walkEntity(const Headers& h, Span body, int depth, Walk& walk);

// An entity given as its header block and body; true when the visitor asked to
// stop. A body part that does not start with a header block or the empty
// line is taken as plain text all through.
bool walkMessage(Span d, int depth, Walk& walk, bool bodyPart) {
    const std::optional<Headers> h = readHeaders(d);
    if (!h) return bodyPart && walkEntity(Headers{}, d, depth, walk);
    return walkEntity(*h, d.subspan(h->bodyStart), depth, walk);
}

// The body as its transfer encoding gives it; nothing when the base64 is damaged.
// `held` keeps decoded bytes alive for as long as the span is used.
std::optional<Span> decodedBody(const Headers& h, Span body, Bytes& held) {
    if (h.encoding == "base64") {
        std::optional<Bytes> b = decodeBase64(body);
        if (!b) return std::nullopt;
        held = std::move(*b);
        return Span(held);
    }
    if (h.encoding == "quoted-printable") {
        held = decodeQuotedPrintable(body);
        return Span(held);
    }
    return body;
}

bool walkEntity(const Headers& h, Span body, int depth, Walk& walk) {
    if (depth > kMaxDepth) return false;
    const std::string_view type = h.type;
    if (type.starts_with("multipart/")) {
        if (h.boundary.empty() || h.boundary.size() > kMaxBoundary) return false;
        const std::optional<std::vector<Span>> parts = splitMultipart(body, h.boundary);
        if (!parts) return false;
        for (const Span part : *parts)
            if (walkMessage(part, depth + 1, walk, true)) return true;
        return false;
    }
    const bool text = type.empty() || type.starts_with("text/");
    const bool attachedMail = type == "message/rfc822" || type == "message/global";
    if (!text && !attachedMail) return false;
    // Decoded bytes are never more than the encoded ones: a body that fits
    // the budget decodes within it.
    const bool encoded = h.encoding == "base64" || h.encoding == "quoted-printable";
    if (encoded && body.size() > walk.budget) return false;
    Bytes held;
    const std::optional<Span> decoded = decodedBody(h, body, held);
    if (!decoded) return false;
    walk.budget -= held.size();
    const bool stop =
        attachedMail ? walkMessage(*decoded, depth + 1, walk, false) : walk.visit(*decoded);
    walk.budget += held.size();
    return stop;
}

// The header block of a whole mail, after an mbox "From " line if there is one.
Span withoutFromLine(Span d) {
    if (!startsWith(d, 0, "From ")) return d;
    return d.subspan(lineAt(d, 0).next);
}

// Walks a whole mail; false when it is not a MIME mail or `visit` never stopped.
bool walkMail(Span data, std::function<bool(Span)> visit) {
    Walk walk{std::move(visit), 2 * data.size()};
    const Span d = withoutFromLine(data);
    const std::optional<Headers> h = readHeaders(d);
    if (!h || !h->mimeField) return false;
    return walkEntity(*h, d.subspan(h->bodyStart), 0, walk);
}

// True when the encoded part of a text save (what follows the matched
// marker characters, up to the end mark or the end marker, as the decoder
// reads it) holds a '<': a text save never does, HTML always.
bool encodedPartHoldsHtml(Span afterMarker) {
    const std::string_view endMarker = kTextSaveEndMarker.substr(0, 14);
    for (std::size_t i = 0; i < afterMarker.size(); ++i) {
        const std::uint8_t c = afterMarker[i];
        if (c == '<') return true;
        if (c == '\\' && i + 1 < afterMarker.size() && afterMarker[i + 1] == '^') return false;
        if (c == '[' && startsWith(afterMarker, i, endMarker)) return false;
    }
    return false;
}

// The text from the marker on, without HTML when the encoded part holds
// some, and the check line above the marker.
void takeTextSave(Span text, std::size_t marker, MailTextSave& out) {
    const Span fromMarker = text.subspan(marker);
    const Span before = text.first(marker);
    if (encodedPartHoldsHtml(fromMarker.subspan(kTextSaveMarkerMatch.size()))) {
        out.text = stripHtml(fromMarker);
        out.check = findTextSaveCheck(stripHtml(before));
    } else {
        out.text = Bytes(fromMarker.begin(), fromMarker.end());
        out.check = findTextSaveCheck(before);
    }
}

int base64Value(std::uint8_t c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

int hexValue(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool isEntityChar(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '#';
}

}  // namespace

std::optional<Bytes> decodeBase64(std::span<const std::uint8_t> text) {
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int count = 0;    // characters of the current group of four
    int padding = 0;  // '=' in it
    bool ended = false;
    for (const std::uint8_t c : text) {
        if (c == '\r' || c == '\n' || isBlank(c)) continue;
        if (ended) return std::nullopt;  // data after the padding
        if (c == '=') {
            if (count < 2) return std::nullopt;
            ++padding;
            group <<= 6;
        } else {
            const int v = base64Value(c);
            if (v < 0 || padding > 0) return std::nullopt;
            group = (group << 6) | static_cast<std::uint32_t>(v);
        }
        if (++count < 4) continue;
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2) out.push_back(static_cast<std::uint8_t>(group >> 8));
        if (padding < 1) out.push_back(static_cast<std::uint8_t>(group));
        ended = padding > 0;
        group = 0;
        count = 0;
        padding = 0;
    }
    if (count != 0) return std::nullopt;
    return out;
}

Bytes decodeQuotedPrintable(std::span<const std::uint8_t> text) {
    Bytes out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t c = text[i];
        if (c != '=') {
            out.push_back(c);
            ++i;
            continue;
        }
        // A soft line break: '=', maybe blanks, then the line end or the end.
        std::size_t k = i + 1;
        while (k < n && isBlank(text[k])) ++k;
        if (k == n) break;
        if (text[k] == '\n') {
            i = k + 1;
            continue;
        }
        if (text[k] == '\r' && (k + 1 == n || text[k + 1] == '\n')) {
            i = k + 2;
            continue;
        }
        if (i + 2 < n && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out.push_back(
                static_cast<std::uint8_t>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 3;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

Bytes stripHtml(std::span<const std::uint8_t> text) {
    Bytes out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t c = text[i];
        if (c == '<') {
            if (startsWith(text, i, "<!--")) {
                const std::size_t end = findNoCase(text, i + 4, "-->");
                i = end == n ? n : end + 3;
                continue;
            }
            std::size_t k = i + 1;
            const bool closing = k < n && text[k] == '/';
            if (closing) ++k;
            std::string name;
            while (k < n && name.size() < 8 && isEntityChar(text[k]) && text[k] != '#')
                name += lower(text[k++]);
            const auto* gt =
                static_cast<const std::uint8_t*>(std::memchr(text.data() + i, '>', n - i));
            if (!gt) break;  // a tag that never ends takes the rest with it
            i = static_cast<std::size_t>(gt - text.data()) + 1;
            // The content of style and script elements is not text either.
            if (!closing && (name == "style" || name == "script") && text[i - 2] != '/')
                i = findNoCase(text, i, name == "style" ? "</style" : "</script");
            continue;
        }
        if (c == '&') {
            std::size_t k = i + 1;
            while (k < n && k - i - 1 < kMaxEntity && isEntityChar(text[k])) ++k;
            if (k > i + 1 && k < n && text[k] == ';') {
                i = k + 1;
                continue;
            }
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

bool isMimeMail(std::span<const std::uint8_t> data) {
    const std::optional<Headers> h = readHeaders(withoutFromLine(data));
    return h && h->mimeField;
}

std::vector<Bytes> mimeTextParts(std::span<const std::uint8_t> data) {
    std::vector<Bytes> parts;
    walkMail(data, [&parts](Span part) {
        parts.emplace_back(part.begin(), part.end());
        return false;
    });
    return parts;
}

MailTextSave findMailTextSave(std::span<const std::uint8_t> data) {
    MailTextSave out;
    out.mail = isMimeMail(data);
    const std::optional<std::size_t> marker = findTextSaveMarker(data);
    if (marker && !encodedPartHoldsHtml(data.subspan(*marker + kTextSaveMarkerMatch.size()))) {
        takeTextSave(data, *marker, out);
        return out;
    }
    if (out.mail) {
        walkMail(data, [&out](Span part) {
            const std::optional<std::size_t> at = findTextSaveMarker(part);
            if (!at) return false;
            takeTextSave(part, *at, out);
            return true;
        });
        if (out.text) return out;
    }
    if (marker) takeTextSave(data, *marker, out);
    return out;
}

}  // namespace qmx
