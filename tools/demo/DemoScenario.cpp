#include "tools/demo/DemoScenario.h"

namespace qmx::demo {

namespace {

// Rows 1..24, columns 1..32.
//   . clear  f woods  h hills  H high hills  m marsh  w lake  t town  c city
const char* const kTerrain[] = {
    "..ff....hh.......ff......hhh....",  //  1
    ".fff...hHh.......ff.....hHHh..f.",  //  2
    ".ff.....h...t....f.....hhHh..ff.",  //  3
    ".....................ff..hh..fff",  //  4
    "..h....ff.........fff.........f.",  //  5
    ".hh.t..fff........ffff...t......",  //  6
    ".hh.....f..........ff.........f.",  //  7
    "..............m.........hh....ff",  //  8
    "...ff....h.....m..........h...ff",  //  9
    "..fff...hh.........f.....t....f.",  // 10
    "..ff...hHh........fff...hhh.....",  // 11
    "........h.....cc..ff...hHHh.....",  // 12
    ".....t.................hHh..f...",  // 13
    "..f................f....h..fff..",  // 14
    ".fff......ff.......ff......fff..",  // 15
    ".ff.......fff......f......t.....",  // 16
    "..........ff....m...............",  // 17
    "...hh...........mm..ff....hh....",  // 18
    "..hHh...t........m..fff..hHh....",  // 19
    "...h......ff.....m..ff...hh..www",  // 20
    ".........fff.....mm.......wwwwww",  // 21
    "..ff......f........ff...wwwwwwww",  // 22
    ".fff...............f...wwwwwwwww",  // 23
    "..f...hh...........ff.wwwwwwwwww",  // 24
};

// The last column west of the river, row by row.
const int kRiverWest[] = {13, 13, 14, 14, 14, 13, 13, 14, 15, 15, 15, 15,
                          16, 16, 16, 17, 17, 17, 18, 18, 18, 19, 19, 19};

DemoUnit unit(const std::string& side, Branch branch, Echelon echelon,
              const std::string& designation, int att, int def, int mov, const std::string& kind) {
    DemoUnit u;
    u.name = side + " " + designation + " " + kind;
    u.counter.branch = branch;
    u.counter.echelon = echelon;
    u.counter.designation = designation;
    u.counter.values = {att, def, mov};
    return u;
}

std::vector<DemoUnit> blueUnits() {
    using B = Branch;
    using E = Echelon;
    const std::string s = "Blue";
    return {
        unit(s, B::Headquarters, E::Division, "3", 0, 2, 6, "Division HQ"),
        unit(s, B::Headquarters, E::Brigade, "31", 0, 2, 6, "Brigade HQ"),
        unit(s, B::Headquarters, E::Brigade, "32", 0, 2, 6, "Brigade HQ"),
        unit(s, B::Headquarters, E::Brigade, "33", 0, 2, 6, "Brigade HQ"),
        unit(s, B::Mechanized, E::Battalion, "1-31", 6, 5, 6, "Mech Infantry Bn"),
        unit(s, B::Mechanized, E::Battalion, "2-31", 6, 5, 6, "Mech Infantry Bn"),
        unit(s, B::Armour, E::Battalion, "3-31", 8, 5, 8, "Armor Bn"),
        unit(s, B::Armour, E::Battalion, "4-31", 8, 5, 8, "Armor Bn"),
        unit(s, B::Infantry, E::Battalion, "5-31", 4, 5, 4, "Infantry Bn"),
        unit(s, B::Infantry, E::Battalion, "6-31", 4, 5, 4, "Infantry Bn"),
        unit(s, B::Infantry, E::Battalion, "1-32", 4, 5, 4, "Infantry Bn"),
        unit(s, B::Infantry, E::Battalion, "2-32", 4, 5, 4, "Infantry Bn"),
        unit(s, B::Infantry, E::Battalion, "3-32", 4, 5, 4, "Infantry Bn"),
        unit(s, B::Infantry, E::Battalion, "4-32", 4, 5, 4, "Infantry Bn"),
        unit(s, B::Mechanized, E::Battalion, "5-32", 6, 5, 6, "Mech Infantry Bn"),
        unit(s, B::Armour, E::Battalion, "6-32", 8, 5, 8, "Armor Bn"),
        unit(s, B::Armour, E::Battalion, "1-33", 9, 6, 8, "Armor Bn"),
        unit(s, B::Armour, E::Battalion, "2-33", 9, 6, 8, "Armor Bn"),
        unit(s, B::Mechanized, E::Battalion, "3-33", 7, 6, 6, "Mech Infantry Bn"),
        unit(s, B::Mechanized, E::Battalion, "4-33", 7, 6, 6, "Mech Infantry Bn"),
        unit(s, B::Infantry, E::Battalion, "5-33", 4, 5, 4, "Infantry Bn"),
        unit(s, B::ArmouredRecon, E::Battalion, "1-3", 3, 3, 10, "Armored Cavalry Sqn"),
        unit(s, B::Recon, E::Company, "A-3", 2, 2, 10, "Recon Company"),
        unit(s, B::SelfPropelled, E::Battalion, "1-30", 6, 2, 6, "SP Artillery Bn"),
        unit(s, B::SelfPropelled, E::Battalion, "2-30", 6, 2, 6, "SP Artillery Bn"),
        unit(s, B::Artillery, E::Battalion, "3-30", 5, 1, 4, "Artillery Bn"),
        unit(s, B::Artillery, E::Battalion, "4-30", 5, 1, 4, "Artillery Bn"),
        unit(s, B::Engineer, E::Battalion, "3", 2, 3, 6, "Engineer Bn"),
        unit(s, B::AntiTank, E::Battalion, "3", 3, 4, 5, "Antitank Bn"),
        unit(s, B::AntiTank, E::Company, "B-3", 2, 3, 6, "Antitank Company"),
    };
}

std::vector<DemoUnit> redUnits() {
    using B = Branch;
    using E = Echelon;
    const std::string s = "Red";
    return {
        unit(s, B::Headquarters, E::Division, "12", 0, 1, 6, "Division HQ"),
        unit(s, B::Headquarters, E::Regiment, "101", 0, 1, 6, "Regiment HQ"),
        unit(s, B::Headquarters, E::Regiment, "102", 0, 1, 6, "Regiment HQ"),
        unit(s, B::Headquarters, E::Regiment, "103", 0, 1, 6, "Regiment HQ"),
        unit(s, B::Headquarters, E::Regiment, "104", 0, 1, 6, "Regiment HQ"),
        unit(s, B::Mechanized, E::Battalion, "1-101", 5, 4, 6, "Motor Rifle Bn"),
        unit(s, B::Mechanized, E::Battalion, "2-101", 5, 4, 6, "Motor Rifle Bn"),
        unit(s, B::Mechanized, E::Battalion, "3-101", 5, 4, 6, "Motor Rifle Bn"),
        unit(s, B::Armour, E::Battalion, "4-101", 7, 4, 8, "Tank Bn"),
        unit(s, B::Mechanized, E::Battalion, "1-102", 5, 4, 6, "Motor Rifle Bn"),
        unit(s, B::Mechanized, E::Battalion, "2-102", 5, 4, 6, "Motor Rifle Bn"),
        unit(s, B::Mechanized, E::Battalion, "3-102", 5, 4, 6, "Motor Rifle Bn"),
        unit(s, B::Armour, E::Battalion, "4-102", 7, 4, 8, "Tank Bn"),
        unit(s, B::Infantry, E::Battalion, "1-103", 3, 4, 4, "Rifle Bn"),
        unit(s, B::Infantry, E::Battalion, "2-103", 3, 4, 4, "Rifle Bn"),
        unit(s, B::Infantry, E::Battalion, "3-103", 3, 4, 4, "Rifle Bn"),
        unit(s, B::Armour, E::Battalion, "4-103", 7, 4, 8, "Tank Bn"),
        unit(s, B::Armour, E::Battalion, "1-104", 7, 4, 8, "Tank Bn"),
        unit(s, B::Armour, E::Battalion, "2-104", 7, 4, 8, "Tank Bn"),
        unit(s, B::Armour, E::Battalion, "3-104", 7, 4, 8, "Tank Bn"),
        unit(s, B::Infantry, E::Battalion, "1-105", 3, 4, 4, "Rifle Bn"),
        unit(s, B::Infantry, E::Battalion, "2-105", 3, 4, 4, "Rifle Bn"),
        unit(s, B::ArmouredRecon, E::Battalion, "12", 3, 2, 10, "Recon Bn"),
        unit(s, B::Recon, E::Company, "R-12", 2, 1, 10, "Recon Company"),
        unit(s, B::SelfPropelled, E::Battalion, "1-12", 6, 2, 6, "SP Artillery Bn"),
        unit(s, B::SelfPropelled, E::Battalion, "2-12", 6, 2, 6, "SP Artillery Bn"),
        unit(s, B::Artillery, E::Battalion, "3-12", 6, 1, 4, "Artillery Bn"),
        unit(s, B::Artillery, E::Battalion, "4-12", 6, 1, 4, "Rocket Artillery Bn"),
        unit(s, B::Engineer, E::Battalion, "12", 2, 2, 6, "Engineer Bn"),
        unit(s, B::AntiTank, E::Battalion, "12", 3, 3, 5, "Antitank Bn"),
    };
}

std::vector<DemoCard> cards(std::initializer_list<const char*> texts) {
    std::vector<DemoCard> out;
    for (const char* t : texts) out.push_back({t});
    return out;
}

DemoScenario build() {
    DemoScenario s;
    s.columns = 32;
    s.rows = 24;
    for (const char* row : kTerrain) s.terrain.emplace_back(row);
    s.riverWest.assign(std::begin(kRiverWest), std::end(kRiverWest));
    s.brook = {{27, 21}, {24, 21}, {22, 20}, {19, 21}};

    using R = RoadKind;
    s.roads = {
        {R::Railway, {{1, 16}, {10, 16}, {14, 13}, {21, 13}, {32, 14}}},
        {R::Secondary, {{5, 6}, {1, 5}}},
        {R::Secondary, {{5, 6}, {10, 9}, {15, 12}}},
        {R::Secondary, {{13, 3}, {11, 1}}},
        {R::Secondary, {{13, 3}, {13, 8}, {15, 12}}},
        {R::Secondary, {{26, 6}, {26, 10}}},
        {R::Secondary, {{26, 6}, {32, 4}}},
        {R::Secondary, {{26, 10}, {27, 16}}},
        {R::Secondary, {{27, 16}, {24, 19}, {22, 24}}},
        {R::Secondary, {{9, 19}, {6, 13}}},
        {R::Secondary, {{9, 19}, {9, 24}}},
        {R::Secondary, {{9, 19}, {17, 19}, {20, 18}, {27, 16}}},
        {R::Primary, {{1, 12}, {6, 13}, {15, 12}, {16, 12}, {21, 11}, {26, 10}, {32, 9}}},
    };
    s.towns = {
        {"OSTER", {13, 3}, 0, 24},      {"KESSEL", {5, 6}, 0, 24},    {"BRODNY", {26, 6}, 0, 24},
        {"HARMSDORF", {26, 10}, 0, 24}, {"DORN", {6, 13}, 0, 24},     {"VELDEN", {27, 16}, 0, 24},
        {"LINDAU", {9, 19}, 0, 24},     {"VARDAN", {15, 12}, 25, 26},
    };

    s.title = "VARDAN GAP";
    s.notes =
        "VARDAN GAP - a QMX demonstration module.\r\n"
        "Red attacks from the west to take the Vardan bridges and leave the map by the east "
        "edge; Blue holds the river line. Ten turns.\r\n"
        "Set-up: Blue east of the river, Red within three hexes of the west edge.\r\n"
        "Combat: total Att against total Def, then use your own results table. A stack moves at "
        "its lowest Mov.\r\n"
        "Counters: front full strength, striped back reduced.\r\n"
        "Cards: each side draws one card a turn from its own deck.";
    s.valueNames = {"Att", "Def", "Mov"};

    s.sideNames[0] = "Blue";
    s.sideNames[1] = "Red";
    s.looks[0] = {QColor(138, 190, 232), QColor(16, 20, 28), QColor(250, 250, 246)};
    s.looks[1] = {QColor(232, 128, 108), QColor(24, 14, 12), QColor(250, 250, 246)};
    s.units[0] = blueUnits();
    s.units[1] = redUnits();

    s.deckNames[0] = "Blue Orders";
    s.deckNames[1] = "Red Orders";
    s.decks[0] = cards({
        "AIR STRIKE\r\nOne Red unit within three hexes of a Blue unit loses a step on a roll of 4 "
        "to 6.",
        "MINEFIELD\r\nName a clear hex next to a Blue unit. Red units entering it this turn stop "
        "there.",
        "REINFORCEMENTS\r\nOne eliminated Blue battalion returns reduced at Velden.",
        "BRIDGE DEMOLITION\r\nA Blue engineer next to a Vardan bridge blows it on a roll of 3 to "
        "6.",
        "ARTILLERY BARRAGE\r\nAdd 3 to the Att total of one Blue combat this turn.",
        "NIGHT WITHDRAWAL\r\nEvery Blue unit may move two extra hexes this turn.",
        "RADIO INTERCEPT\r\nRed reveals all hidden units within four hexes of a Blue HQ.",
        "AMBUSH\r\nA Blue unit in woods doubles its Def in its next combat.",
        "SUPPLY CONVOY\r\nTwo reduced Blue units stacked with an HQ return to full strength.",
        "FOG OF WAR\r\nNo effect. Keep this card hidden to bluff.",
    });
    s.decks[1] = cards({
        "HELICOPTER ASSAULT\r\nOne Red infantry battalion moves to any clear hex within six hexes "
        "of its position.",
        "SMOKE SCREEN\r\nBlue artillery adds nothing to the next combat.",
        "BRIDGING TRAIN\r\nA Red engineer next to the river builds a bridge; units cross it next "
        "turn.",
        "FORCED MARCH\r\nEvery Red unit adds two to its Mov this turn.",
        "GUARDS DIVISION\r\nTwo Red tank battalions return reduced on the west edge.",
        "ROCKET SALVO\r\nAdd 4 to the Att total of one Red combat this turn.",
        "JAMMING\r\nBlue may not play a card next turn.",
        "INFILTRATION\r\nOne Red recon unit moves through one Blue-held hex side.",
        "FUEL SHORTAGE\r\nRed tank battalions move at half Mov this turn.",
        "FOG OF WAR\r\nNo effect. Keep this card hidden to bluff.",
    });
    return s;
}

}  // namespace

Terrain DemoScenario::terrainAt(Hex h) const {
    if (h.row < 1 || h.row > rows || h.column < 1 || h.column > columns) return Terrain::Clear;
    return static_cast<Terrain>(
        terrain[static_cast<std::size_t>(h.row - 1)][static_cast<std::size_t>(h.column - 1)]);
}

const DemoScenario& vardanGap() {
    static const DemoScenario scenario = build();
    return scenario;
}

}  // namespace qmx::demo
