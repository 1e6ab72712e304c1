#include <gtest/gtest.h>

#include "core/game/HideCommands.h"
#include "core/game/PlayerDefinition.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/Visibility.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;

namespace {

using K = SlotKind;
using Kinds = std::array<SlotKind, kSlotCount>;

GameState newGame(int units = 40) {
    return GameState(test::ModuleBuilder(5, 5, units).build());
}

void define(GameState& s, Kinds kinds) {
    for (std::size_t i = 0; i < kinds.size(); ++i) s.players[i].kind = kinds[i];
}

}  // namespace

TEST(PlayerDefinition, OpensWithTwoPlayersAndKeepsTheOrderRules) {
    PlayerDefinition d;
    EXPECT_EQ(d.kinds(), Kinds({K::Player, K::Player, K::NotUsed, K::NotUsed, K::NotUsed,
                                K::NotUsed, K::NotUsed, K::NotUsed}));
    d.choose(3, K::Player);  // previous position not a Player: undone
    EXPECT_EQ(d.kind(3), K::NotUsed);
    d.choose(3, K::CardLocation);  // previous position Not Used: stays Not Used
    EXPECT_EQ(d.kind(3), K::NotUsed);
    d.choose(1, K::NotUsed);  // position 2 is always a Player
    EXPECT_EQ(d.kind(1), K::Player);

    d.choose(2, K::Player);
    d.choose(3, K::Player);
    d.choose(4, K::Player);
    d.choose(5, K::CardLocation);
    d.choose(6, K::Player);  // after a Card Location: undone
    EXPECT_EQ(d.kinds(), Kinds({K::Player, K::Player, K::Player, K::Player, K::Player,
                                K::CardLocation, K::NotUsed, K::NotUsed}));
    // A Card Location turns every later Player into a Card Location.
    d.choose(3, K::CardLocation);
    EXPECT_EQ(d.kinds(), Kinds({K::Player, K::Player, K::Player, K::CardLocation, K::CardLocation,
                                K::CardLocation, K::NotUsed, K::NotUsed}));
    // Not Used clears every later position.
    d.choose(4, K::NotUsed);
    EXPECT_EQ(d.kinds(), Kinds({K::Player, K::Player, K::Player, K::CardLocation, K::NotUsed,
                                K::NotUsed, K::NotUsed, K::NotUsed}));
    d.choose(2, K::GameMaster);  // not offered at position 3
    EXPECT_EQ(d.kind(2), K::Player);
}

TEST(PlayerDefinition, AGameMasterKeepsPosition3APlayer) {
    PlayerDefinition d;
    d.choose(0, K::GameMaster);
    EXPECT_EQ(d.kind(2), K::Player);
    d.choose(2, K::NotUsed);
    d.choose(2, K::CardLocation);
    EXPECT_EQ(d.kind(2), K::Player);
    d.choose(3, K::CardLocation);
    d.choose(0, K::Player);  // back to a Player: position 3 keeps its choice
    EXPECT_EQ(d.kinds(), Kinds({K::Player, K::Player, K::Player, K::CardLocation, K::NotUsed,
                                K::NotUsed, K::NotUsed, K::NotUsed}));
    d.choose(0, K::GameMaster);

    GameState s = newGame();
    EXPECT_TRUE(PlayerDefinition::needed(s));
    d.store(s);
    EXPECT_FALSE(PlayerDefinition::needed(s));
    EXPECT_EQ(static_cast<int>(s.players[0].kind), 4);
    EXPECT_EQ(static_cast<int>(s.players[1].kind), 1);
    EXPECT_EQ(static_cast<int>(s.players[2].kind), 1);
    EXPECT_EQ(static_cast<int>(s.players[3].kind), 2);
    EXPECT_EQ(static_cast<int>(s.players[4].kind), 0);
}

TEST(PlayerDefinition, DontAskAgainAndCardLocationNames) {
    GameState s = newGame();
    PlayerDefinition::dontAskAgain(s);
    EXPECT_EQ(s.identifyProgress, 1);
    EXPECT_FALSE(PlayerDefinition::needed(s));
    EXPECT_FALSE(needsInitialization(s));

    GameState t = newGame();
    define(t, {K::Player, K::Player, K::Player, K::CardLocation, K::CardLocation, K::NotUsed,
               K::NotUsed, K::NotUsed});
    ScriptedPrompts prompts;
    prompts.answers = {std::string("Reserve pool!!xyz"), std::nullopt};
    PlayerDefinition::nameCardLocations(t, prompts);
    EXPECT_EQ(prompts.asked,
              std::vector<std::string>(
                  {"Initialize Card Location Name|Enter the name of Card Location #4:|14",
                   "Initialize Card Location Name|Enter the name of Card Location #5:|14"}));
    EXPECT_EQ(t.players[3].name, "Reserve pool!!");
    EXPECT_EQ(t.players[4].name, "");
}

TEST(PlayerIdentity, TwoPlayersAreInitializedOnePerLoadThenIdentify) {
    GameState s = newGame();
    define(s, {K::Player, K::Player, K::NotUsed, K::NotUsed, K::NotUsed, K::NotUsed, K::NotUsed,
               K::NotUsed});
    ASSERT_TRUE(needsInitialization(s));
    EXPECT_EQ(initializePrompt(s), "Enter the name of Player #1:");
    // An empty password is refused and nothing changes.
    IdentityOutcome o = initializePlayer(s, "Alice", "", 1);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.message, 3);
    EXPECT_EQ(s.identifyProgress, 0);

    o = initializePlayer(s, "Alice", "s3cret", 17);
    EXPECT_TRUE(o.accepted);
    EXPECT_EQ(o.helpPrompt, 6);
    EXPECT_EQ(s.identifyProgress, 2);
    EXPECT_EQ(s.currentSlot, kObserver);
    EXPECT_EQ(s.players[0].name, "Alice");
    EXPECT_EQ(s.players[0].password[9], 17);

    // Next load: player 2; slot 2 is not a Player, so every slot is done.
    EXPECT_EQ(initializePrompt(s), "Enter the name of Player #2:");
    o = initializePlayer(s, "Bob the very long named", "123456789X", 99);
    EXPECT_EQ(o.helpPrompt, 0);
    EXPECT_EQ(s.identifyProgress, 30);
    EXPECT_EQ(s.currentSlot, 1);
    EXPECT_EQ(s.players[1].name, "Bob the very l");
    EXPECT_FALSE(needsInitialization(s));

    // A later load identifies.
    s.currentSlot = kObserver;
    ASSERT_TRUE(needsIdentification(s));
    const auto list = identificationList(s);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], std::make_pair(1, std::string("Bob the very l")));
    o = identify(s, 0, "s3cret");
    EXPECT_EQ(o.title, "Identification");
    EXPECT_EQ(o.text, "Welcome, Alice.");
    EXPECT_EQ(s.currentSlot, 0);
    o = identify(s, 0, "S3cret");  // case counts
    EXPECT_EQ(s.currentSlot, kObserver);
    EXPECT_EQ(o.text,
              "Unrecognized password.  You only have observer privileges.  If you think this is "
              "incorrect, try to reload the saved game again.");
    identify(s, 1, "123456789");  // the tenth character never reached the field
    EXPECT_EQ(s.currentSlot, 1);
    o = cancelIdentification(s);
    EXPECT_EQ(s.currentSlot, kObserver);
    EXPECT_EQ(o.text, "Unrecognized password.  You only have observer privileges.");
    identify(s, 5, "");  // not a listed slot
    EXPECT_EQ(s.currentSlot, kObserver);
}

TEST(PlayerIdentity, AGameMasterIsListedAndSeesHiddenUnits) {
    GameState s = newGame();
    define(s, {K::GameMaster, K::Player, K::Player, K::CardLocation, K::NotUsed, K::NotUsed,
               K::NotUsed, K::NotUsed});
    initializePlayer(s, "GM", "gm", 0);
    EXPECT_EQ(s.identifyProgress, 2);
    initializePlayer(s, "Red", "red", 1);
    EXPECT_EQ(s.identifyProgress, 3);
    EXPECT_EQ(initializePrompt(s), "Enter the name of Player #3:");
    initializePlayer(s, "Blue", "blue", 2);
    EXPECT_EQ(s.identifyProgress, 30);  // slot 3 is a card location
    EXPECT_EQ(s.currentSlot, 2);
    ASSERT_EQ(identificationList(s).size(), 3u);
    EXPECT_EQ(identificationList(s)[0].second, "GM");

    s.unit(5).setHiddenBy(1);
    s.unit(6).setHiddenBy(2);
    s.unit(6).set(UnitFlags::kIdHidden);
    identify(s, 0, "gm");
    EXPECT_TRUE(visibleToMe(s, s.unit(5)));
    EXPECT_TRUE(visibleToMe(s, s.unit(6)));
    EXPECT_TRUE(identityConcealedFromMe(s, s.unit(6)));  // the game master too
    identify(s, 2, "blue");
    EXPECT_FALSE(visibleToMe(s, s.unit(5)));
    EXPECT_TRUE(visibleToMe(s, s.unit(6)));
    EXPECT_FALSE(identityConcealedFromMe(s, s.unit(6)));
}

TEST(PlayerIdentity, EightPlayersAndDamagedProgressValues) {
    GameState s = newGame();
    define(s, {K::Player, K::Player, K::Player, K::Player, K::Player, K::Player, K::Player,
               K::Player});
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(needsInitialization(s)) << i;
        initializePlayer(s, "P" + std::to_string(i + 1), "pw", i);
    }
    EXPECT_EQ(s.identifyProgress, 30);
    EXPECT_EQ(s.currentSlot, 7);

    // A progress from a damaged file never points outside the table.
    for (int p : {9, 17, 29, 31, 255}) {
        s.identifyProgress = static_cast<std::uint8_t>(p);
        EXPECT_FALSE(needsInitialization(s)) << p;
        EXPECT_FALSE(initializePlayer(s, "x", "y", 0).accepted);
        EXPECT_FALSE(needsIdentification(s));
    }
    // Kinds not defined: nothing to initialize.
    GameState t = newGame();
    EXPECT_FALSE(needsInitialization(t));
}

TEST(PlayerIdentity, ChangePassword) {
    GameState s = newGame();
    define(s, {K::Player, K::Player, K::NotUsed, K::NotUsed, K::NotUsed, K::NotUsed, K::NotUsed,
               K::NotUsed});
    initializePlayer(s, "A", "old", 3);
    IdentityOutcome o = checkChangePassword(s);  // not identified yet
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.title, "Error");
    EXPECT_EQ(o.text, "You must be an identified player to change your password.");
    EXPECT_FALSE(changePassword(s, "new", 4).accepted);

    initializePlayer(s, "B", "bee", 5);
    ASSERT_EQ(s.currentSlot, 1);
    EXPECT_TRUE(checkChangePassword(s).accepted);
    o = changePassword(s, "", 6);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.message, 3);
    EXPECT_TRUE(changePassword(s, "wasp", 6).accepted);
    EXPECT_EQ(s.players[1].password[9], 6);
    EXPECT_TRUE(passwordMatches(s.players[1], "wasp"));
    EXPECT_FALSE(passwordMatches(s.players[1], "bee"));
}

TEST(HideCommands, WhoMayHideWhat) {
    GameState s = newGame();
    define(s, {K::GameMaster, K::Player, K::Player, K::NotUsed, K::NotUsed, K::NotUsed, K::NotUsed,
               K::NotUsed});
    s.identifyProgress = kPlayersComplete;
    s.currentSlot = 0;
    // Carried: 1 nobody hides; 2 the current slot hid whole; 3 another hid
    // its identity; 4 another hid whole; 5 nobody hides but a stale IdHidden.
    s.carriedStack = 1;
    for (int u = 1; u <= 5; ++u)
        s.unit(u).stackLink = static_cast<std::uint16_t>(u < 5 ? u + 1 : 0);
    for (int u = 1; u <= 5; ++u) s.unit(u).setHiddenBy(kNotHidden);
    s.unit(2).setHiddenBy(0);
    s.unit(3).setHiddenBy(1);
    s.unit(3).set(UnitFlags::kIdHidden);
    s.unit(4).setHiddenBy(2);
    s.unit(5).set(UnitFlags::kIdHidden);

    GameState h = s;
    EXPECT_TRUE(hideUnits(h));
    for (int u : {1, 2, 4, 5}) {
        EXPECT_EQ(h.unit(u).hiddenBy(), 0) << u;
        EXPECT_FALSE(h.unit(u).has(UnitFlags::kIdHidden)) << u;
    }
    EXPECT_EQ(h.unit(3).hiddenBy(), 1);
    EXPECT_TRUE(h.unit(3).has(UnitFlags::kIdHidden));

    GameState i = s;
    EXPECT_TRUE(hideUnitIds(i));
    for (int u : {1, 2, 5}) {
        EXPECT_EQ(i.unit(u).hiddenBy(), 0) << u;
        EXPECT_TRUE(i.unit(u).has(UnitFlags::kIdHidden)) << u;
    }
    EXPECT_EQ(i.unit(4).hiddenBy(), 2);
    EXPECT_FALSE(i.unit(4).has(UnitFlags::kIdHidden));
    EXPECT_FALSE(hideUnitIds(i));  // nothing changes the second time

    EXPECT_TRUE(unhideUnits(i));
    for (int u : {1, 2, 5}) {
        EXPECT_EQ(i.unit(u).hiddenBy(), kNotHidden) << u;
        EXPECT_FALSE(i.unit(u).has(UnitFlags::kIdHidden)) << u;
    }
    EXPECT_EQ(i.unit(3).hiddenBy(), 1);
    EXPECT_FALSE(unhideUnits(i));  // none left that this slot hid

    // An observer, or nothing carried: the commands do nothing.
    GameState o = s;
    o.currentSlot = kObserver;
    EXPECT_FALSE(hideUnits(o));
    EXPECT_EQ(o.unit(1).hiddenBy(), kNotHidden);
    GameState e = s;
    e.carriedStack = 0;
    EXPECT_FALSE(hideUnits(e));
    EXPECT_FALSE(hideCommandsAvailable(e));
}
