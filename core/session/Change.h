#pragma once
// What a command of the session changed, for the windows to show: hexes to
// redraw, a full repaint, the carried stack's picture, the hex cursor, the
// notifications to post to the other windows, the toolbar states and the
// caption, and while a replay plays its state: running, the combat highlight
// and the status text. The windows apply it and decide nothing themselves.

#include <optional>
#include <string>
#include <vector>

#include "core/module/Hex.h"
#include "core/session/ControlCode.h"

namespace qmx {

enum class Receiver { Frame, View, Panel };

struct Posting {
    Receiver to = Receiver::Frame;
    ControlCode code = ControlCode::RefreshToolbar;
    bool operator==(const Posting&) const = default;
};

struct Change {
    std::vector<Hex> hexes;               // redraw these hexes (and what overlaps them)
    bool repaint = false;                 // many units changed: repaint the board
    bool carriedPicture = false;          // the carried stack's picture changed
    std::optional<Hex> cursor;            // move the hex cursor here
    std::vector<Posting> postings;        // to post, in this order
    bool states = false;                  // the command states changed: push them
    std::optional<std::string> caption;   // the new window caption
    bool ran = false;                     // the command was allowed and ran
    std::optional<bool> replayRunning;    // a replay started or ended
    std::optional<bool> combatHighlight;  // mark the units of the replayed combat
    std::optional<std::string> status;    // the replay's status text
    std::optional<std::string> notice;    // one line for the status bar

    void redraw(Hex h) { hexes.push_back(h); }
    void post(Receiver to, ControlCode code) { postings.push_back({to, code}); }
    void merge(const Change& other) {
        hexes.insert(hexes.end(), other.hexes.begin(), other.hexes.end());
        repaint = repaint || other.repaint;
        carriedPicture = carriedPicture || other.carriedPicture;
        if (other.cursor) cursor = other.cursor;
        postings.insert(postings.end(), other.postings.begin(), other.postings.end());
        states = states || other.states;
        if (other.caption) caption = other.caption;
        ran = ran || other.ran;
        if (other.replayRunning) replayRunning = other.replayRunning;
        if (other.combatHighlight) combatHighlight = other.combatHighlight;
        if (other.status) status = other.status;
        if (other.notice) notice = other.notice;
    }
};

}  // namespace qmx
