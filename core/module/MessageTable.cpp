#include "core/module/MessageTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qmx {
namespace {

using Entry = std::pair<int, std::string_view>;

constexpr std::array kPlayerMessages{
    Entry{3, "You must enter a password!"},
    Entry{4, "Could not open file!"},
    Entry{5, "You cannot perform LOS if there are units being held"},
    Entry{6, "Nothing to Replay"},
    Entry{8, "Data File Write Error!"},
    Entry{9, "Press the \"Release\" button to put units down in combat mode."},
    // Raised for any module layout older than the player reads.
    Entry{11,
          "This module was written in an older QMX module format, which the player cannot "
          "read.  Open it in the module editor and save it again, then load the saved "
          "module."},
    Entry{12,
          "This file does not match your module. The number of units is different.  Load "
          "terminated."},
    Entry{13,
          "This file is from an earlier version of QMX.  Tell your opponent to upgrade!  "
          "This is for reference only and not an error."},
    Entry{14,
          "This file is from a later version of QMX.  You should upgrade! This is for "
          "reference only and not an error."},
    Entry{15,
          "This file does not match your module ID and may not be compatible.  Make sure "
          "your opponent and you are working from identical modules."},
    Entry{16, "You cannot perform this function while you are in combat mode or carrying a unit"},
    Entry{20, "Password Incorrect"},
    Entry{22, "This function is not available in combat mode or if there are units being held"},
    Entry{25, "You cannot have more than 120 combat pre-declarations"},
    Entry{30, "Could not parse file!"},
    Entry{31, "ASCII decode unsuccessful!"},
    Entry{32,
          "Sorry, this module is from a newer version of QMX.  You need to download the "
          "latest version."},
    Entry{33,
          "This file does not match your module. The number of cards is different.  Load "
          "terminated."},
    Entry{34, "Load error: Unable to obtain card data from module."},
    Entry{37, "Unable to open module graphics (.qmg) file."},
};

constexpr std::array kEditorMessages{
    Entry{1, "No more cards may be added to this deck."},
    Entry{4, "Could not open file!"},
    Entry{5,
          "Cannot find Module Graphics file!  Be sure that you have selected a .qm4 module "
          "file and that the .qmg file is in the same directory."},
    Entry{8, "Data File Write Error!"},
    Entry{11, "WARNING: This file is an Amiga QMX module.  Compatibility is not guaranteed."},
    Entry{16, "You cannot perform this function until you finish the Coordinate function."},
    Entry{32,
          "Sorry, this module is from a newer version of QMX.  You need to download the "
          "latest version."},
    Entry{33, "Error Saving Card data."},
    Entry{34, "You first have to add a card to the deck before you can edit it."},
};

constexpr std::array kDialogErrors{
    Entry{1,
          "The lStructSize member of the initialization structure for the corresponding "
          "common dialog box is invalid."},
    Entry{2,
          "The common dialog box function failed during initialization. This error often "
          "occurs when sufficient memory is not available. "},
    Entry{3,
          "The ENABLETEMPLATE flag was set in the Flags member of the initialization "
          "structure for the corresponding common dialog box, but failed to provide a "
          "corresponding template. "},
    Entry{4,
          "The ENABLETEMPLATE flag was set in the Flags member of the initialization "
          "structure for the corresponding common dialog box, but failed to provide a "
          "corresponding instance handle.  "},
    Entry{5, "The common dialog box function failed to load a specified string.  "},
    Entry{6, "The common dialog box function failed to find a specified resource. "},
    Entry{7, "The common dialog box function failed to load a specified resource.  "},
    Entry{8, "The common dialog box function failed to lock a specified resource.  "},
    Entry{9,
          "The common dialog box function was unable to allocate memory for internal "
          "structures.  "},
    Entry{10,
          "The common dialog box function was unable to lock the memory associated with a "
          "handle.  "},
    Entry{11,
          "The ENABLEHOOK flag was set in the Flags member of the initialization structure "
          "for the corresponding common dialog box, but  failed to provide a pointer to a "
          "corresponding hook procedure.  "},
    Entry{12,
          "The RegisterWindowMessage function returned an error code when it was called by "
          "the common dialog box function."},
    Entry{0x3001, "Insufficient memory to subclass the directory file list"},
    Entry{0x3002, "The filename is invalid."},
    Entry{0x3003, "Filename too long."},
    Entry{0xFFFF,
          "The dialog box could not be created. The common dialog box function\u2019s call "
          "to the DialogBox function failed. This error may occur if the common dialog "
          "box call specifies an invalid window handle. "},
};

template <std::size_t N>
std::optional<std::string_view> find(const std::array<Entry, N>& table, int number) {
    auto it = std::find_if(table.begin(), table.end(),
                           [number](const Entry& e) { return e.first == number; });
    if (it == table.end()) return std::nullopt;
    return it->second;
}

}  // namespace

std::optional<std::string_view> messageText(MessageTable table, int number) {
    return table == MessageTable::Player ? find(kPlayerMessages, number)
                                         : find(kEditorMessages, number);
}

std::optional<std::string_view> dialogErrorText(unsigned code) {
    if (code == 0 || code > 0xFFFF) return std::nullopt;
    return find(kDialogErrors, static_cast<int>(code));
}

std::string noticeText(MessageTable table, const Notice& n) {
    if (n.number == 0) return n.text;
    return std::string(messageText(table, n.number).value_or(""));
}

}  // namespace qmx
