// The module commands: info, units, card, unit-image.

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>
#include <ostream>
#include <sstream>

#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/ModuleFile.h"
#include "graphics/ModuleGraphics.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

const char* totalModeName(TotalMode mode) {
    switch (mode) {
        case TotalMode::Lowest:
            return "Lowest";
        case TotalMode::Highest:
            return "Highest";
        case TotalMode::Total:
            return "Total";
        case TotalMode::NotComputed:
            break;
    }
    return "Not computed";
}

std::string nameOrNone(const std::string& bytes) {
    return bytes.empty() ? "(no name)" : displayText(bytes);
}

void padTo(std::ostream& out, const std::string& text, std::size_t width) {
    out << text;
    const std::size_t w = displayWidth(text);
    if (w < width) out << std::string(width - w, ' ');
}

int runInfo(const Arguments& args, ToolStreams& io) {
    const std::string& path = args.positional[0];
    const ModuleLoad load = loadModuleForTool(path);
    const Module& m = load.module;
    std::ostream& out = io.out;

    out << "Module:       " << path << "\n";
    out << "Identity:     ";
    if (m.moduleId == std::array<std::uint8_t, 3>{0, 0, 0})
        out << "none (0 0 0)\n";
    else
        out << int(m.moduleId[0]) << " " << int(m.moduleId[1]) << " " << int(m.moduleId[2]) << "\n";
    out << "Version:      " << m.version << "\n";
    out << "Size:         " << m.columns << " x " << m.rows << " hexes (columns x rows)\n";
    out << "Orientation:  "
        << (m.orientation == GridOrientation::RowsAligned ? "Hexes in line with top edge"
                                                          : "Hexes in line with side edge")
        << "\n";
    out << "Units:        " << m.unitCount << "\n";
    out << "Values:\n";
    for (int v = 0; v < kValueCount; ++v) {
        out << "  " << v + 1 << "  ";
        padTo(out, nameOrNone(m.valueNames[v]), 10);
        out << totalModeName(m.totalMode(v)) << "\n";
    }
    out << "Image sheet:  " << int(m.imageRows) << " rows x " << int(m.imagesPerRow)
        << " per row = " << m.imageCapacity() << " images; MapTop " << m.mapTop << "; overview "
        << int(m.overviewWidth) << " x " << int(m.overviewHeight) << "\n";

    int inUse = 0;
    for (int d = 1; d <= kDeckCount; ++d) inUse += m.decks[d].inUse() ? 1 : 0;
    out << "Decks:        "
        << (inUse == 0 ? std::string("none in use") : std::to_string(inUse) + " in use") << "\n";
    for (int d = 1; d <= kDeckCount; ++d) {
        const Deck& deck = m.decks[d];
        if (!deck.inUse()) continue;
        out << "  " << (d < 10 ? " " : "") << d << "  ";
        padTo(out, nameOrNone(deck.name), 22);
        out << int(deck.cardCount) << (deck.cardCount == 1 ? " card\n" : " cards\n");
    }
    out << "Notes:";
    if (m.authorNotes.empty()) {
        out << "        (none)\n";
    } else {
        out << "\n";
        std::istringstream lines(displayText(m.authorNotes, true));
        for (std::string line; std::getline(lines, line);) out << "  " << line << "\n";
    }
    return 0;
}

int runUnits(const Arguments& args, ToolStreams& io) {
    const ModuleLoad load = loadModuleForTool(args.positional[0]);
    const Module& m = load.module;
    std::size_t nameWidth = 0;
    std::vector<std::string> names(static_cast<std::size_t>(m.unitCount) + 1);
    for (int i = 1; i <= m.unitCount; ++i) {
        names[i] = nameOrNone(m.units[i].name);
        nameWidth = std::max(nameWidth, displayWidth(names[i]));
    }
    const int numberWidth = static_cast<int>(std::to_string(m.unitCount).size());
    std::string line;
    for (int i = 1; i <= m.unitCount; ++i) {
        const UnitDefinition& u = m.units[i];
        std::ostringstream row;
        const std::string number = std::to_string(i);
        row << std::string(static_cast<std::size_t>(numberWidth) - number.size(), ' ') << number
            << "  ";
        padTo(row, names[i], nameWidth);
        // A step is in use while every step before it is: a unit whose step 2
        // has no image has only step 1, whatever the later steps hold.
        for (int s = 0; s < kStepCount && u.stepExists(s); ++s) {
            row << (s == 0 ? "  " : " | ") << "step " << s + 1 << " image " << u.stepImage[s]
                << " values";
            for (int v = 0; v < kValueCount; ++v)
                row << " " << int(static_cast<std::int8_t>(u.values[s][v]));  // signed, as edited
        }
        io.out << row.str() << "\n";
    }
    return 0;
}

int runCard(const Arguments& args, ToolStreams& io) {
    const std::string& path = args.positional[0];
    const int deckNumber = parseNumber(args.positional[1], "DECK", 1, kDeckCount);
    const int cardNumber = parseNumber(args.positional[2], "CARD", 1, kMaxCards);
    const ModuleLoad load = loadModuleForTool(path);
    const Deck& deck = load.module.decks[deckNumber];
    if (cardNumber > deck.cardCount) {
        std::string what = "deck " + std::to_string(deckNumber);
        if (!deck.name.empty()) what += " (" + displayText(deck.name) + ")";
        throw ToolError(path + ": " + what + " has " + std::to_string(deck.cardCount) +
                        (deck.cardCount == 1 ? " card" : " cards") + ", so no card " +
                        std::to_string(cardNumber));
    }
    const CardText card = readCardText(path, load.cardOffset, deckNumber, cardNumber);
    if (card.status == CardLookup::CannotOpen)
        throw ToolError(path + ": " + messageOf(msg::kNoCardData));
    if (card.status == CardLookup::NotFound)
        throw ToolError(path + ": card " + std::to_string(cardNumber) + " of deck " +
                        std::to_string(deckNumber) + " has no text in the module");
    if (args.has("--raw")) {
        io.out.write(card.text.data(), static_cast<std::streamsize>(card.text.size()));
    } else {
        io.out << displayText(card.text, true);
        if (!card.text.empty()) io.out << "\n";
    }
    return 0;
}

// The picture of one unit at one step, cut from the module image and
// written as PNG.
int runUnitImage(const Arguments& args, ToolStreams& io) {
    const std::string& path = args.positional[0];
    const int unitNumber = parseNumber(args.positional[1], "N", 1, kMaxUnits);
    const std::optional<std::string> target = args.value("-o");
    if (!target || target->empty()) throw UsageError("-o FILE.png is required");
    const int step = parseNumber(args.value("--step").value_or("1"), "--step", 1, kStepCount);

    const ModuleLoad load = loadModuleForTool(path);
    const Module& m = load.module;
    if (unitNumber > m.unitCount)
        throw ToolError(path + ": there is no unit " + std::to_string(unitNumber) +
                        " (the module has " + std::to_string(m.unitCount) + " units)");
    const UnitDefinition& unit = m.units[static_cast<std::size_t>(unitNumber)];
    for (int s = 1; s < step; ++s)
        if (!unit.stepExists(s))
            throw ToolError(path + ": unit " + std::to_string(unitNumber) + " has no step " +
                            std::to_string(step) + " (its last step is " + std::to_string(s) + ")");
    const int image = unit.stepImage[static_cast<std::size_t>(step - 1)];
    if (image == 0)
        throw ToolError(path + ": unit " + std::to_string(unitNumber) + " has no image for step " +
                        std::to_string(step));

    ModuleGraphics graphics;
    const GraphicsResult loaded = graphics.load(path);
    if (!loaded.ok())
        throw ToolError(loaded.path + ": " +
                        noticeText(MessageTable::Player, loaded.notice(MessageTable::Player)));
    const QImage picture = graphics.unitImage(m, image);
    if (picture.isNull())
        throw ToolError(loaded.path + ": unit image " + std::to_string(image) +
                        " is not in the image (the sheet holds " +
                        std::to_string(m.imageCapacity()) + " images in an image of " +
                        std::to_string(graphics.image().width()) + " x " +
                        std::to_string(graphics.image().height()) + " pixels)");

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw ToolError(*target + ": the picture could not be encoded as PNG");
    if (!writeFileAtomically(*target,
                             std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                       static_cast<std::size_t>(png.size()))))
        throw ToolError(*target + ": " + messageOf(msg::kCouldNotOpenFile));
    io.out << "unit " << unitNumber << " step " << step << ": image " << image << " ("
           << picture.width() << " x " << picture.height() << ") written to " << *target << "\n";
    return 0;
}

}  // namespace

void registerModuleCommands(CommandTable& table) {
    table.add({"info",
               "MODULE",
               "identity, version, map size, units, values, image sheet, decks and notes",
               {},
               1,
               1,
               runInfo});
    table.add({"units",
               "MODULE",
               "one line per unit: number, name, and per step in use its image and six values",
               {},
               1,
               1,
               runUnits});
    table.add({"card",
               "MODULE DECK CARD [--raw]",
               "the text of a card (--raw: its bytes as stored, CR LF line ends)",
               {{"--raw", false}},
               3,
               3,
               runCard});
    table.add({"unit-image",
               "MODULE N -o FILE.png [--step S]",
               "unit N's picture at step S (default 1), cut from the module image beside MODULE",
               {{"-o", true}, {"--step", true}},
               2,
               2,
               runUnitImage});
}

}  // namespace qmx::tool
