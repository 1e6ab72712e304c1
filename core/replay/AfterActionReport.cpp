#include "core/replay/AfterActionReport.h"

namespace qmx {

std::string htmlText(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\r':
                if (i + 1 < latin1.size() && latin1[i + 1] == '\n') break;
                out += '\n';
                break;
            case '\n':
            case '\t':
                out += static_cast<char>(c);
                break;
            default:
                if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) break;
                if (c < 0x80) {
                    out += static_cast<char>(c);
                } else {
                    out += static_cast<char>(0xC0 | (c >> 6));
                    out += static_cast<char>(0x80 | (c & 0x3F));
                }
        }
    }
    return out;
}

std::string afterActionPage(const std::string& title, const std::vector<AarTurn>& turns) {
    const std::string heading = htmlText(title);
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>" +
        heading +
        "</title>\n<style>\nbody { font-family: sans-serif; max-width: 60em; margin: auto; }\n"
        "img { max-width: 100%; border: 1px solid #888; }\n"
        "pre { background: #f4f4f0; padding: 0.5em; white-space: pre-wrap; }\n"
        "</style>\n</head>\n<body>\n<h1>" +
        heading + "</h1>\n";
    const std::string total = std::to_string(turns.size());
    for (std::size_t i = 0; i < turns.size(); ++i) {
        const AarTurn& t = turns[i];
        page += "<section>\n<h2>" + std::to_string(i + 1) + " of " + total + ": " +
                htmlText(t.file) + "</h2>\n";
        if (!t.picture.empty())
            page += "<p><img src=\"" + htmlText(t.picture) + "\" alt=\"The board after " +
                    htmlText(t.file) + "\"/></p>\n";
        page +=
            "<h3>Move</h3>\n<pre>" +
            (t.moveReport.empty() ? std::string("(no move recorded)") : htmlText(t.moveReport)) +
            "</pre>\n";
        if (!t.comments.empty()) {
            page += "<h3>Comments</h3>\n";
            for (const std::string& c : t.comments) page += "<pre>" + htmlText(c) + "</pre>\n";
        }
        if (!t.events.empty()) {
            page += "<h3>Dice and combat</h3>\n<ul>\n";
            for (const std::string& e : t.events) page += "<li>" + htmlText(e) + "</li>\n";
            page += "</ul>\n";
        }
        page += "</section>\n";
    }
    return page + "</body>\n</html>\n";
}

}  // namespace qmx
