#include "core/map/CoordinateCalibration.h"

#include "core/module/MessageTable.h"

namespace qmx {

std::string coordinateInstruction(GridOrientation orientation, int system, int rowAIndex) {
    std::string text;
    const bool rows = orientation == GridOrientation::RowsAligned;
    if (rows && (system == 2 || system == 3 || rowAIndex >= 1)) {
        const bool left = system == 3;
        text = std::string(left ? "The left side" : "The right side") +
               " of the map should have only two hexes which have a coordinate of __1.  "
               "Double-Click on the " +
               (left ? "left" : "right") +
               "-most of those two. Be sure you use the physical edge of the play area, which "
               "may not be the edge of your map.  Row A MUST be the top row of the QMX window";
    } else if (system == kTwoStepCoordinateSystem) {
        text = "Now Double-click on any hex in row A.";
    } else {
        switch (system) {
            case 1:
            case 7:
            case 8:
            case 9:
            case 12:
            case 13:
            case 14:
                text = "Now double-click on hex A1";
                break;
            case 4:
            case 5:
            case 6:
            case 10:
            case 11:
            case 16:
            case 17:
                text = "Now double-click on Hex 0101";
                break;
            case 2:
            case 18:
                if (!rows) text = "Now double-click on the top-most hex of row A";
                break;
            case 3:
            case 15:
                if (!rows) text = "Now double-click on the bottom-most hex of row A";
                break;
            default:
                break;
        }
    }
    return text + ".  Press OK, then make your selection.";
}

std::string CoordinateCalibration::instruction(GridOrientation orientation) {
    const bool sideText = orientation == GridOrientation::RowsAligned &&
                          (m_system == 2 || m_system == 3 || m_rowAIndex >= 1);
    if (!sideText && m_system == kTwoStepCoordinateSystem) m_state = AwaitRowA;
    return coordinateInstruction(orientation, m_system, m_rowAIndex);
}

void CoordinateCalibration::start(GridOrientation orientation, CoordinatePrompts& prompts) {
    if (m_pending && m_state != AwaitRowA) {
        prompts.showMessage(editormsg::kFinishCoordinates);
        return;
    }
    if (m_state < AwaitRowA)
        m_system = prompts.chooseSystem(orientation);
    else
        m_system = kCoordinateSystemCount;  // the second step of system 19
    if (m_system <= 0) {
        m_system = 0;
        return;
    }
    m_state = AwaitOrigin;
    m_pending = true;
    const std::string text = instruction(orientation);
    prompts.showText(kCoordinatesTitle, text);
}

CalibrationClick CoordinateCalibration::doubleClick(Module& module, int column, int row,
                                                    CoordinatePrompts& prompts,
                                                    const HexNameSink& written) {
    if (!m_pending || m_state == Idle) return CalibrationClick::NotCalibrating;
    if (column < 1 || column > module.columns || row < 1 || row > module.rows)
        return CalibrationClick::Ignored;
    if (m_state == AwaitRowA) {
        m_rowAIndex = row;
        start(module.orientation, prompts);
        return CalibrationClick::RowARecorded;
    }
    m_lastNaming = nameModuleHexes(module, m_system, {column, row}, m_rowAIndex, written);
    const NamingResult& result = m_lastNaming;
    m_state = Idle;
    m_pending = false;
    m_rowAIndex = 0;
    if (!result.correctionText.empty()) prompts.showText(kCorrectionTitle, result.correctionText);
    return CalibrationClick::Named;
}

bool CoordinateCalibration::refuses(CoordinatePrompts& prompts) const {
    if (!m_pending) return false;
    prompts.showMessage(editormsg::kFinishCoordinates);
    return true;
}

}  // namespace qmx
