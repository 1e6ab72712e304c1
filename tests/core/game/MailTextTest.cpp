// Text saves inside whole saved mails: base64 and quoted-printable bodies,
// HTML parts, multiparts as mail programs write them, plain text saves that
// must decode exactly as before, and damaged mails that must be refused.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/game/EncodedSave.h"
#include "core/game/MailText.h"
#include "core/game/SavedGame.h"
#include "core/module/MessageTable.h"
#include "tests/support/ScriptedPrompts.h"

namespace qmx {
namespace {

Bytes bytesOf(std::string_view s) {
    return Bytes(s.begin(), s.end());
}
std::string textOf(std::span<const std::uint8_t> b) {
    return std::string(b.begin(), b.end());
}

// A game of every byte value and a few runs, long enough for many lines.
Bytes game() {
    Bytes b;
    for (int i = 0; i < 256; ++i) b.push_back(static_cast<std::uint8_t>(i));
    for (int i = 0; i < 300; ++i) b.push_back(static_cast<std::uint8_t>((i * 37) ^ (i >> 3)));
    return b;
}

std::string saveText() {
    return textOf(encodeTextSave(game()));
}

// Base64 of `s` in lines of 76 characters, the way mail programs send it.
std::string base64Of(std::string_view s, std::string_view lineEnd = "\r\n") {
    static const char* const kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t inLine = 0;
    for (std::size_t i = 0; i < s.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, s.size() - i);
        std::uint32_t g = 0;
        for (std::size_t k = 0; k < 3; ++k)
            g = (g << 8) | (k < n ? static_cast<std::uint8_t>(s[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? kAlphabet[(g >> (18 - 6 * k)) & 63] : '=';
        inLine += 4;
        if (inLine == 76) {
            out += lineEnd;
            inLine = 0;
        }
    }
    return out + std::string(lineEnd);
}

// The game decoded from whatever findMailTextSave took out of `mail`.
std::optional<Bytes> decodedGame(std::string_view mail) {
    const MailTextSave found = findMailTextSave(bytesOf(mail));
    if (!found.text) return std::nullopt;
    return decodeTextSave(*found.text);
}

// The save text with every CR LF replaced by `lineEnd`, which ends HTML lines.
std::string withLineEnds(std::string text, std::string_view lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += lineEnd;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The save as a mail program's HTML part shows it: <br> at every line end, a
// non-breaking space after every 10th pair, the whole in a paragraph.
std::string htmlOfSave() {
    std::string text = saveText();
    text.pop_back();  // the NUL after the end marker
    std::string spaced;
    int pairs = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        spaced += text[i];
        if (text[i] >= '1' && text[i] <= '5' && i > 0 &&
            std::isalpha(static_cast<unsigned char>(text[i - 1])) && ++pairs % 10 == 0)
            spaced += "&nbsp;";
    }
    return "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\">"
           "<style>p { margin: 0 }</style></head>\r\n<body><p>My move, turn 12:<br>\r\n" +
           withLineEnds(spaced, "<br>\r\n") + "</p><div class=\"sig\">-- <br>A2 B3</div>" +
           "<!-- v5 --></body></html>\r\n";
}

// Quoted-printable as a mail program writes it: "=3D" for '=', "=C2=A0" for
// a non-breaking space, and soft line breaks that keep lines under 76.
std::string quotedPrintableOf(std::string_view s, std::size_t width = 73) {
    std::string out;
    std::size_t inLine = 0;
    auto put = [&](std::string_view piece) {
        if (inLine + piece.size() > width) {
            out += "=\r\n";
            inLine = 0;
        }
        out += piece;
        inLine += piece.size();
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "\r\n";
            inLine = 0;
            ++i;
        } else if (s.substr(i, 6) == "&nbsp;") {
            put("=C2");
            put("=A0");
            i += 5;
        } else if (s[i] == '=') {
            put("=3D");
        } else {
            put(std::string(1, s[i]));
        }
    }
    return out;
}

const std::string kHeaders =
    "From: Anna <anna@example.org>\r\nTo: Bernd <bernd@example.org>\r\n"
    "Subject: Turn 12\r\nDate: Tue, 8 Dec 2026 05:00:00 +0100\r\nMIME-Version: 1.0\r\n";

// `mail` forwarded `levels` times as an attachment, each time encoded
// quoted-printable (which some programs do, though they should not).
std::string attachedQuotedPrintable(std::string mail, int levels) {
    for (int i = 0; i < levels; ++i)
        mail = kHeaders +
               "Content-Type: message/rfc822\r\n"
               "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
               quotedPrintableOf(mail, 75);
    return mail;
}

}  // namespace

TEST(MailTextPieces, Base64) {
    EXPECT_EQ(decodeBase64(bytesOf("TWFu")), bytesOf("Man"));
    EXPECT_EQ(decodeBase64(bytesOf("TWE=")), bytesOf("Ma"));
    EXPECT_EQ(decodeBase64(bytesOf("TQ==")), bytesOf("M"));
    EXPECT_EQ(decodeBase64(bytesOf(" TW\r\nFu\tTQ\n==\r\n")), bytesOf("ManM"));
    EXPECT_EQ(decodeBase64(bytesOf("+/+/")), (Bytes{0xFB, 0xFF, 0xBF}));
    EXPECT_EQ(decodeBase64(bytesOf("")), Bytes{});
    // Damaged: an incomplete last group, padding too early or followed by
    // data, a character outside the alphabet.
    for (const char* bad : {"TWF", "TWFuT", "T===", "TQ==TWFu", "TW=u", "TW!u"})
        EXPECT_FALSE(decodeBase64(bytesOf(bad))) << bad;
    EXPECT_FALSE(decodeBase64(Bytes{'T', 'W', 'F', 0}));
}

TEST(MailTextPieces, QuotedPrintable) {
    EXPECT_EQ(textOf(decodeQuotedPrintable(bytesOf("a=3Db=3db"))), "a=b=b");
    // Soft breaks with CR LF, LF, blanks before the line end, at the very end.
    EXPECT_EQ(textOf(decodeQuotedPrintable(bytesOf("A=\r\n1B=\n1C= \t\r\n1D="))), "A1B1C1D");
    // Hard line ends stay; an "=" that starts nothing stays as it is.
    EXPECT_EQ(textOf(decodeQuotedPrintable(bytesOf("x\r\ny =ZZ =4"))), "x\r\ny =ZZ =4");
    EXPECT_EQ(textOf(decodeQuotedPrintable(bytesOf("=C2=A0"))), "\xC2\xA0");
}

TEST(MailTextPieces, HtmlTagsCommentsStylesAndEntitiesGo) {
    EXPECT_EQ(textOf(stripHtml(bytesOf("A1<br>B1<BR/>C1&nbsp;D1&#160;E1&#x41;F1"))),
              "A1B1C1D1E1F1");
    EXPECT_EQ(textOf(stripHtml(bytesOf("A1<!-- B1 <p> --><style type=x>p{a:1}</STYLE>C1"))),
              "A1C1");
    EXPECT_EQ(textOf(stripHtml(bytesOf("<script>x<y</script>A1<style/>B1"))), "A1B1");
    // An '&' that starts no entity stays (the decoder ignores it); a tag or
    // comment that never ends takes the rest of the text.
    EXPECT_EQ(textOf(stripHtml(bytesOf("A1 & B1 &x C1"))), "A1 & B1 &x C1");
    EXPECT_EQ(textOf(stripHtml(bytesOf("A1<p class=\"x"))), "A1");
    EXPECT_EQ(textOf(stripHtml(bytesOf("A1<!-- B1"))), "A1");
}

TEST(MailText, Base64PlainPartLoads) {
    const std::string body = "Here is my move.\r\n\r\n" + saveText() + "\r\n-- \r\nAnna\r\n";
    const std::string mail = kHeaders +
                             "Content-Type: text/plain; charset=UTF-8; format=flowed\r\n"
                             "Content-Transfer-Encoding: base64\r\n\r\n" +
                             base64Of(body);
    ASSERT_FALSE(looksLikeTextSave(bytesOf(mail)));
    EXPECT_EQ(decodedGame(mail), game());

    // LF line ends throughout, header names in other cases, a folded header
    // and a comment in the encoding field.
    const std::string lf =
        "From: anna@example.org\nmime-version: 1.0\ncontent-type: text/plain;\n"
        "\tcharset=\"utf-8\"\nCONTENT-TRANSFER-ENCODING: Base64 (sent so)\n\n" +
        base64Of(body, "\n");
    EXPECT_EQ(decodedGame(lf), game());
}

TEST(MailText, QuotedPrintableWithSoftBreaksInsidePairsAndMarkers) {
    // Lines of 17 break the start marker and split pairs; by hand, breaks
    // inside the end mark (its backslash encoded, as one program does) and
    // inside the end marker.
    std::string qp = quotedPrintableOf(saveText(), 17);
    qp.replace(qp.find('\\'), 1, "=5C=\r\n");
    qp.insert(qp.find("End QMX"), "=\r\n");
    const std::string mail = kHeaders +
                             "Content-Type: text/plain; charset=us-ascii\r\n"
                             "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                             "Turn 12.\r\n" +
                             qp + "\r\nBye, A2\r\n";
    ASSERT_FALSE(looksLikeTextSave(bytesOf(mail)));
    bool pairSplit = false;
    for (std::size_t at = mail.find("=\r\n"); at != std::string::npos;
         at = mail.find("=\r\n", at + 1))
        pairSplit |= std::isalpha(static_cast<unsigned char>(mail[at - 1])) &&
                     mail[at + 3] >= '1' && mail[at + 3] <= '5';
    ASSERT_TRUE(pairSplit);
    EXPECT_EQ(decodedGame(mail), game());
    EXPECT_EQ(decodedGame(withLineEnds(mail, "\n")), game());
}

TEST(MailText, HtmlOnlyPartLosesItsTagsAndEntities) {
    const std::string html = htmlOfSave();
    // As the bytes stand, the letters of the tags and entities become pairs.
    ASSERT_TRUE(looksLikeTextSave(bytesOf(html)));
    EXPECT_NE(decodeTextSave(bytesOf(html)), game());

    // An HTML file, a 7-bit HTML mail and a quoted-printable one.
    EXPECT_EQ(decodedGame(html), game());
    EXPECT_EQ(decodedGame(kHeaders + "Content-Type: text/html; charset=UTF-8\r\n\r\n" + html),
              game());
    const std::string qp = kHeaders +
                           "Content-Type: text/html; charset=UTF-8\r\n"
                           "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
                           quotedPrintableOf(html, 75);
    ASSERT_NE(qp.find("=C2=A0"), std::string::npos);
    EXPECT_EQ(decodedGame(qp), game());
}

TEST(MailText, MultipartAlternativeAsMailProgramsWriteIt) {
    const std::string plain = "My move, turn 12:\r\n\r\n" + saveText() + "\r\n-- \r\nA2 B3\r\n";
    const std::string alternative =
        "Content-Type: multipart/alternative;\r\n"
        " boundary=\"------------x4V2sk1Bp0mQa3\"\r\n\r\n"
        "This is a multi-part message in MIME format.\r\n"
        "--------------x4V2sk1Bp0mQa3\r\n"
        "Content-Type: text/plain; charset=UTF-8; format=flowed\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" +
        base64Of(plain) +
        "\r\n--------------x4V2sk1Bp0mQa3\r\n"
        "Content-Type: text/html; charset=UTF-8\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
        quotedPrintableOf(htmlOfSave(), 75) + "\r\n--------------x4V2sk1Bp0mQa3--\r\n";
    const std::string mail = kHeaders + alternative;
    // The marker stands in the quoted-printable HTML part, where it cannot
    // be decoded as the bytes stand; the decoded plain part comes first.
    ASSERT_TRUE(looksLikeTextSave(bytesOf(mail)));
    const std::vector<Bytes> parts = mimeTextParts(bytesOf(mail));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(textOf(parts[0]), plain);
    EXPECT_EQ(decodedGame(mail), game());

    // The same inside multipart/mixed with an attachment, LF line ends, an
    // unquoted boundary; and as a forwarded mail attached to another one.
    std::string mixed = kHeaders +
                        "Content-Type: multipart/mixed; boundary=----=_Part_7\r\n\r\n"
                        "------=_Part_7\r\n" +
                        alternative +
                        "------=_Part_7\r\nContent-Type: application/octet-stream\r\n"
                        "Content-Transfer-Encoding: base64\r\n\r\nQTFCMQ==\r\n"
                        "------=_Part_7--\r\n";
    EXPECT_EQ(decodedGame(withLineEnds(mixed, "\n")), game());
    const std::string forwarded = kHeaders +
                                  "Content-Type: multipart/mixed; boundary=\"fw\"\r\n\r\n"
                                  "--fw\r\nContent-Type: text/plain\r\n\r\nSee below.\r\n"
                                  "--fw\r\nContent-Type: message/rfc822\r\n\r\n" +
                                  mail + "\r\n--fw--\r\n";
    EXPECT_EQ(decodedGame(forwarded), game());
    EXPECT_EQ(decodedGame(attachedQuotedPrintable(mail, 1)), game());
}

TEST(MailText, PlainTextSavesDecodeExactlyAsBefore) {
    const std::string save = saveText();
    const std::string cases[] = {
        save,
        "> " + withLineEnds(save, "\n> ") + "\nA1 after the end marker\n",
        kHeaders + "Content-Type: text/plain\r\n\r\nHello\r\n" + save + "\r\n> x3\r\n",
        // A marker in the bytes wins over a base64 part, as it always did.
        kHeaders + "Content-Transfer-Encoding: base64\r\n\r\n" + save,
        // Quoted '>' and a broken marker are no HTML.
        "\n>> [[[QMX SAVE FILE]]\n>> A1B1>\\^\n>> [[End QMX save]]",
    };
    for (const std::string& c : cases) {
        const Bytes data = bytesOf(c);
        const MailTextSave found = findMailTextSave(data);
        ASSERT_TRUE(found.text) << c;
        EXPECT_EQ(*found.text,
                  Bytes(data.begin() + static_cast<std::ptrdiff_t>(*findTextSaveMarker(data)),
                        data.end()));
        EXPECT_EQ(decodeTextSave(*found.text), decodeTextSave(data));
    }
}

TEST(MailText, DamagedMailsHoldNoSave) {
    const std::string plain = "Turn 12:\r\n" + saveText() + "\r\n";
    const std::string b64 = base64Of(plain);
    const std::string single = kHeaders +
                               "Content-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n"
                               "\r\n";
    const std::string part =
        "--b\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n" + b64;
    const std::string multi = kHeaders + "Content-Type: multipart/alternative; boundary=b\r\n\r\n";
    const std::string cases[] = {
        single + b64.substr(0, 78 * 10 + 5),                  // cut inside a group
        single + b64.substr(0, 100) + "*" + b64.substr(100),  // a foreign character
        single + b64 + "QQ==QQ==",                            // data after the padding
        multi + part,                                         // never closed
        multi + part + "--bb--\r\n",                          // another boundary
        kHeaders + "Content-Type: multipart/mixed\r\n\r\n" + part + "--b--\r\n",  // none named
        single.substr(0, single.find("text/plain")) + "image/png" +
            single.substr(single.find("text/plain") + 10) + b64,  // not text
    };
    for (const std::string& c : cases) {
        const MailTextSave found = findMailTextSave(bytesOf(c));
        EXPECT_TRUE(found.mail);
        EXPECT_FALSE(found.text) << c;
    }
    // The parts of an unclosed multipart are not looked at, but the marker
    // as the bytes stand still counts, as it always did.
    EXPECT_TRUE(findMailTextSave(bytesOf(multi + "--b\r\n\r\n" + plain)).text);
    // Nesting deeper than any mail program writes is not followed.
    auto nested = [](int levels) {
        std::string deep = "Turn 12\r\n";
        for (int level = 0; level < levels; ++level) {
            const std::string b = "L" + std::to_string(level);
            deep = "Content-Type: multipart/mixed; boundary=" + b + "\r\n\r\n--" + b + "\r\n" +
                   deep + "\r\n--" + b + "--";
        }
        return mimeTextParts(bytesOf("MIME-Version: 1.0\r\n" + deep)).size();
    };
    EXPECT_EQ(nested(10), 1u);
    EXPECT_EQ(nested(40), 0u);
    // Encoded attached mails inside encoded attached mails would each hold
    // a decoded copy: the bytes they may take together are limited.
    EXPECT_EQ(decodedGame(attachedQuotedPrintable(kHeaders +
                                                      "Content-Type: text/plain\r\n"
                                                      "Content-Transfer-Encoding: base64\r\n"
                                                      "\r\n" +
                                                      b64,
                                                  1)),
              game());
    EXPECT_FALSE(findMailTextSave(bytesOf(attachedQuotedPrintable(
                                      kHeaders +
                                          "Content-Type: text/plain\r\n"
                                          "Content-Transfer-Encoding: base64\r\n\r\n" +
                                          b64,
                                      8)))
                     .text);
    // A binary saved game is no mail: it has NUL bytes in its first line.
    EXPECT_FALSE(isMimeMail(Bytes{'A', ':', 'b', 0, '\n', '\n'}));
    EXPECT_FALSE(isMimeMail(bytesOf("Subject: no MIME field\r\n\r\n" + plain)));
}

TEST(MailText, LoadingAMailGivesTheGameOrMessage31) {
    Module m;
    m.moduleId = {7, 8, 9};
    m.columns = 2;
    m.rows = 2;
    m.unitCount = 3;
    m.allocateTables();
    for (int u = 1; u <= 3; ++u) m.units[static_cast<std::size_t>(u)].stepImage[0] = 1;
    GameState original(m);
    original.players[1].name = "Anna";
    const Bytes replay{255, 241, 0, 3, 255, 249};
    const Bytes binary = serializeSavedGame(original, m, replay);
    const std::string text = textOf(encodeTextSave(binary));
    const std::string mail = kHeaders +
                             "Content-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n"
                             "\r\n" +
                             base64Of("Turn 1\r\n" + text);
    {
        GameState s(m);
        ScriptedPrompts prompts;
        const SavedGameLoad r = readSavedGame(bytesOf(mail), m, s, prompts);
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.textForm);
        EXPECT_EQ(r.replay, replay);
        EXPECT_EQ(s.players[1].name, "Anna");
    }
    // The same mail with its last character lost: refused with message 31, the game untouched.
    GameState s(m);
    s.players[1].name = "Bernd";
    ScriptedPrompts prompts;
    EXPECT_FALSE(
        readSavedGame(bytesOf(mail.substr(0, mail.size() - 3) + "\r\n"), m, s, prompts).ok);
    EXPECT_EQ(prompts.messages, std::vector<int>{msg::kAsciiDecodeFailed});
    EXPECT_EQ(s.players[1].name, "Bernd");
}

}  // namespace qmx
