#pragma once
// The content of the bundled demo module "Vardan Gap": a map of 32 x 24 hexes
// (terrain, the river, the brook, roads, the railway, towns), the two sides'
// units with their counters, two card decks and the author's notes.

#include <string>
#include <vector>

#include "core/module/Hex.h"
#include "tools/demo/CounterPainter.h"

namespace qmx::demo {

using qmx::Hex;

// Terrain letters of the map rows.
enum class Terrain : char {
    Clear = '.',
    Woods = 'f',
    Hills = 'h',
    HighHills = 'H',
    Marsh = 'm',
    Lake = 'w',
    Town = 't',
    City = 'c',
};

enum class RoadKind { Primary, Secondary, Railway };

struct Road {
    RoadKind kind;
    std::vector<Hex> waypoints;  // the road runs hex to hex between them
};

struct Town {
    std::string name;
    Hex hex;
    // Where the name stands, relative to the hex's centre.
    int labelDx = 0;
    int labelDy = 0;
};

struct DemoUnit {
    std::string name;  // UnitName
    CounterSpec counter;
};

struct DemoCard {
    std::string text;
};

struct DemoScenario {
    int columns = 0;
    int rows = 0;
    std::vector<std::string> terrain;  // rows 1..rows, one letter per column
    // The river runs along hex sides: in row r it passes east of column riverWest[r - 1].
    std::vector<int> riverWest;
    std::vector<Hex> brook;  // a stream through hexes, from the lake to the river
    std::vector<Road> roads;
    std::vector<Town> towns;

    std::string title;
    std::string notes;  // the author's notes, lines ending in CR LF
    std::vector<std::string> valueNames;

    std::string sideNames[2];
    CounterLook looks[2];
    std::vector<DemoUnit> units[2];

    std::string deckNames[2];
    std::vector<DemoCard> decks[2];

    Terrain terrainAt(Hex h) const;
    bool westOfRiver(Hex h) const {
        return h.column <= riverWest[static_cast<std::size_t>(h.row - 1)];
    }
};

const DemoScenario& vardanGap();

}  // namespace qmx::demo
