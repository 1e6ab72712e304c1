#pragma once
// "Define Dice": the number of dice (1..20) and of sides (2..100), each a
// field with an up-down control, and OK (no Cancel). Every up-down step and
// every field left stores its value at once; Escape keeps what is stored.

#include <QDialog>

class QLineEdit;

namespace qmx {

class CDEFDICE : public QDialog {
    Q_OBJECT

public:
    CDEFDICE(int count, int sides, QWidget* parent = nullptr);

    int count() const { return m_count; }
    int sides() const { return m_sides; }
    QLineEdit* countField() const { return m_countField; }
    QLineEdit* sidesField() const { return m_sidesField; }
    // An up-down step on a field (+1 is the up arrow).
    void stepCount(int step);
    void stepSides(int step);
    // Reads a field as leaving it does: false (with the range message and the
    // focus back in the field) when the value is out of range.
    bool readCount();
    bool readSides();

protected:
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool readField(QLineEdit* field, int low, int high, int& value);

    QLineEdit* m_countField = nullptr;
    QLineEdit* m_sidesField = nullptr;
    int m_count = 2;
    int m_sides = 6;
    bool m_checking = false;
};

}  // namespace qmx
