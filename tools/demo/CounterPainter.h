#pragma once
// Paints the 40 x 40 picture of a unit counter: the side's colour, the unit
// size above a NATO-style branch symbol, the designation below it and the
// values (Att-Def-Mov) at the bottom. The reduced step carries a white stripe
// across the top and its lower values.

#include <QColor>
#include <QImage>
#include <array>
#include <string>

namespace qmx::demo {

enum class Branch {
    Infantry,       // X corner to corner
    Mechanized,     // X and the armour oval
    Armour,         // oval
    Recon,          // one slash
    ArmouredRecon,  // slash and oval
    Artillery,      // dot
    SelfPropelled,  // dot and oval
    Engineer,       // the bridge sign
    AntiTank,       // inverted V
    Headquarters,   // flag on a staff
};

enum class Echelon { Company, Battalion, Regiment, Brigade, Division };

struct CounterLook {
    QColor face;    // the side's colour
    QColor ink;     // lines and figures
    QColor stripe;  // the band of the reduced step
};

struct CounterSpec {
    Branch branch = Branch::Infantry;
    Echelon echelon = Echelon::Battalion;
    std::string designation;      // capitals, digits, '-' and '/'
    std::array<int, 3> values{};  // Att, Def, Mov
    bool reduced = false;
};

class CounterPainter {
public:
    explicit CounterPainter(CounterLook look) : m_look(look) {}
    QImage paint(const CounterSpec& unit) const;

private:
    void drawEchelon(QImage& image, Echelon echelon, int top) const;
    void drawSymbol(QImage& image, Branch branch) const;

    CounterLook m_look;
};

}  // namespace qmx::demo
