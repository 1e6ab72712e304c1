#include "editor/CDefineUnitsDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>

#include "editor/CImagePicker.h"
#include "editor/CUnitEditorDlg.h"
#include "editor/CUnitListModel.h"
#include "editor/EditorDocument.h"

namespace qmx {

namespace {

// Geometry of the dialog around the picker, whose place is fixed.
constexpr int kGridTop = 196;
constexpr int kValueX = 150;
constexpr int kValueStep = 66;
constexpr int kRowStep = 28;
constexpr int kImageX = kValueX + kValueStep * kValueCount + 6;
constexpr int kPreviewX = 660;
constexpr int kButtonsY = kGridTop + 58 + kRowStep * kStepCount + 8;
constexpr int kListY = kButtonsY + 40;
constexpr int kDialogWidth = 720;
constexpr int kListHeight = 300;

}  // namespace

CDefineUnitsDlg::CDefineUnitsDlg(EditorDocument& document, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_editor(document.module(), document.history(), document.prompts(),
               document.firstShownImage) {
    setWindowTitle(QStringLiteral("Define Units"));
    build();
    fill();
}

CDefineUnitsDlg::~CDefineUnitsDlg() {
    // A dialog destroyed while shown hides first, and the number field's
    // focus-out would then select a unit in a dialog half gone.
    m_number->disconnect(this);
}

QPushButton* CDefineUnitsDlg::button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->text() == text) return b;
    }
    return nullptr;
}

void CDefineUnitsDlg::build() {
    auto* numberLabel = new QLabel(QStringLiteral("Unit Number:"), this);
    numberLabel->setGeometry(8, 8, 90, 22);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("unitNumber"));
    m_number->setGeometry(100, 8, 60, 22);
    m_number->setMaxLength(5);
    m_number->setValidator(new QIntValidator(1, kMaxUnits, m_number));
    connect(m_number, &QLineEdit::editingFinished, this,
            [this] { selectUnit(m_number->text().toInt()); });

    auto* nameLabel = new QLabel(QStringLiteral("Name:"), this);
    nameLabel->setGeometry(8, 38, 90, 20);
    m_name = new QPlainTextEdit(this);
    m_name->setObjectName(QStringLiteral("unitName"));
    m_name->setGeometry(8, 60, 260, 60);
    m_name->setTabChangesFocus(true);
    connect(m_name, &QPlainTextEdit::textChanged, this, [this] {
        if (m_filling) return;
        QString text = m_name->toPlainText();
        text.replace(QChar('\n'), QChar(' '));
        std::string bytes = toBytes(text);
        m_editor.setName(bytes);
        if (bytes.size() > kUnitNameSize) {
            // Longer names are cut at 36 characters in the field too.
            m_filling = true;
            m_name->setPlainText(fromBytes(m_editor.unit().name));
            m_name->moveCursor(QTextCursor::End);
            m_filling = false;
        }
        unitEdited();
    });

    auto* caption = new QLabel(QString::fromLatin1(kPickerCaption), this);
    // Under the picker, over two lines if it must.
    caption->setObjectName(QStringLiteral("pickerCaption"));
    caption->setWordWrap(true);
    caption->setGeometry(kPickerRect.x, kPickerRect.y + kPickerRect.height + 2,
                         kPreviewX - kPickerRect.x - 8, 34);
    m_picker = new CImagePicker(m_document, m_editor, this);
    connect(m_picker, &CImagePicker::picked, this,
            [this](int x, int y, bool right, bool shift, bool ctrl) {
                if (m_editor.click(x, y, right, shift, ctrl)) unitEdited();
                fill();
            });
    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("pickerBack"));
    m_back->setArrowType(Qt::LeftArrow);
    m_back->setGeometry(kPickerRect.x + kPickerRect.width + 4, 60, 22, 22);
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("pickerForward"));
    m_forward->setArrowType(Qt::RightArrow);
    m_forward->setGeometry(kPickerRect.x + kPickerRect.width + 4, 90, 22, 22);
    connect(m_back, &QToolButton::clicked, this, [this] {
        m_editor.spin(-1);
        showImages();
    });
    connect(m_forward, &QToolButton::clicked, this, [this] {
        m_editor.spin(1);
        showImages();
    });

    auto* valuesLabel = new QLabel(QStringLiteral("Value Names"), this);
    valuesLabel->setGeometry(8, kGridTop, 130, 22);
    for (int v = 0; v < kValueCount; ++v) {
        auto* name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("valueName%1").arg(v + 1));
        name->setMaxLength(static_cast<int>(kValueNameSize));
        name->setGeometry(kValueX + kValueStep * v, kGridTop, kValueStep - 6, 22);
        connect(name, &QLineEdit::textEdited, this, [this, v](const QString& text) {
            m_editor.setValueName(v, toBytes(text));
            m_model->reload();
        });
        m_valueNames[v] = name;
        auto* mode = new QPushButton(this);
        mode->setObjectName(QStringLiteral("mode%1").arg(v + 1));
        mode->setGeometry(kValueX + kValueStep * v, kGridTop + 26, kValueStep - 6, 24);
        connect(mode, &QPushButton::clicked, this, [this, v] {
            m_modes[v]->setText(QString::fromLatin1(totalModeLabel(m_editor.pressTotalMode(v))));
        });
        m_modes[v] = mode;
    }
    auto* imageLabel = new QLabel(QStringLiteral("Image"), this);
    imageLabel->setGeometry(kImageX, kGridTop + 28, 60, 20);

    for (int s = 0; s < kStepCount; ++s) {
        const int y = kGridTop + 58 + kRowStep * s;
        auto* label = new QLabel(s == 0 ? QStringLiteral("Step 1   (Always Used)")
                                        : QStringLiteral("Step %1").arg(s + 1),
                                 this);
        label->setGeometry(8, y, s == 0 ? 140 : 50, 24);
        if (s > 0) {
            auto* used = new QCheckBox(QStringLiteral("Used"), this);
            used->setObjectName(QStringLiteral("used%1").arg(s + 1));
            used->setGeometry(62, y, 80, 24);
            connect(used, &QCheckBox::clicked, this, [this, s](bool on) {
                m_editor.setUsed(s, on);
                unitEdited();
                fill();
            });
            m_used[s] = used;
        }
        for (int v = 0; v < kValueCount; ++v) {
            auto* value = new QSpinBox(this);
            value->setObjectName(QStringLiteral("value%1_%2").arg(s + 1).arg(v + 1));
            value->setRange(kMinUnitValue, kMaxUnitValue);
            value->setGeometry(kValueX + kValueStep * v, y, kValueStep - 6, 24);
            connect(value, &QSpinBox::valueChanged, this, [this, s, v](int number) {
                if (m_filling) return;
                m_editor.setValue(s, v, number);
                unitEdited();
            });
            m_values[s][v] = value;
        }
        auto* image = new QLineEdit(this);
        image->setObjectName(QStringLiteral("image%1").arg(s + 1));
        image->setReadOnly(true);
        image->setGeometry(kImageX, y, 56, 24);
        m_images[s] = image;

        auto* preview = new QLabel(this);
        preview->setObjectName(QStringLiteral("preview%1").arg(s + 1));
        preview->setGeometry(kPreviewX, 8 + 44 * s, kUnitImageSize, kUnitImageSize);
        preview->setFrameShape(QFrame::Box);
        m_previews[s] = preview;
    }

    const char* buttons[] = {"Copy", "Paste", "Copy to Next", "Unit Images", "Select Next Unit",
                             "OK"};
    int x = 8;
    for (const char* text : buttons) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setGeometry(x, kButtonsY, 110, 28);
        b->setAutoDefault(false);
        x += 116;
    }
    connect(button(QStringLiteral("Copy")), &QPushButton::clicked, this,
            [this] { m_editor.copy(); });
    connect(button(QStringLiteral("Paste")), &QPushButton::clicked, this, [this] {
        if (m_editor.paste()) unitEdited();
        fill();
    });
    connect(button(QStringLiteral("Copy to Next")), &QPushButton::clicked, this, [this] {
        if (m_editor.copyToNext()) unitEdited();
        fill();
    });
    connect(button(QStringLiteral("Select Next Unit")), &QPushButton::clicked, this, [this] {
        m_editor.selectNext();
        fill();
    });
    connect(button(QStringLiteral("Unit Images")), &QPushButton::clicked, this, [this] {
        CUnitEditorDlg painter(m_document, m_editor.pickedImage(), this);
        painter.exec();
        m_document.history().closeStep();
        // The painter moves the shared first shown image and changes the sheet.
        m_editor.refresh();
        fill();
    });
    connect(button(QStringLiteral("OK")), &QPushButton::clicked, this, &QDialog::accept);

    m_model = new CUnitListModel(m_document.module(), this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("unitList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setModel(m_model);
    m_list->setGeometry(8, kListY, kDialogWidth - 16, kListHeight);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->header()->resizeSection(0, 60);
    m_list->header()->resizeSection(1, 260);
    for (int c = 2; c < CUnitListModel::kColumns; ++c) m_list->header()->resizeSection(c, 50);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_filling || !current.isValid()) return;
                m_editor.select(current.row() + 1);
                fill();
            });

    auto* undoAction = new QAction(this);
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undoAction, &QAction::triggered, this, &CDefineUnitsDlg::undo);
    addAction(undoAction);
    auto* redoAction = new QAction(this);
    redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(redoAction, &QAction::triggered, this, &CDefineUnitsDlg::redo);
    addAction(redoAction);

    setFixedSize(kDialogWidth, kListY + kListHeight + 8);
}

void CDefineUnitsDlg::selectUnit(int unit) {
    if (unit < 1) return;
    m_editor.select(unit);
    fill();
}

void CDefineUnitsDlg::unitEdited() {
    m_model->unitChanged(m_editor.currentUnit());
    showImages();
}

void CDefineUnitsDlg::showImages() {
    const UnitDefinition& u = m_editor.unit();
    for (int s = 0; s < kStepCount; ++s) {
        const QImage image =
            u.stepExists(s) ? m_document.graphics().unitImage(m_document.module(), u.stepImage[s])
                            : QImage();
        m_previews[s]->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    }
    m_picker->update();
}

void CDefineUnitsDlg::fill() {
    m_filling = true;
    const Module& module = m_document.module();
    const UnitDefinition& u = m_editor.unit();
    m_number->setText(QString::number(m_editor.currentUnit()));
    if (m_name->toPlainText() != fromBytes(u.name)) m_name->setPlainText(fromBytes(u.name));
    for (int v = 0; v < kValueCount; ++v) {
        const QString name = fromBytes(module.valueNames[v]);
        if (m_valueNames[v]->text() != name) m_valueNames[v]->setText(name);
        m_modes[v]->setText(QString::fromLatin1(totalModeLabel(module.totalMode(v))));
    }
    for (int s = 0; s < kStepCount; ++s) {
        for (int v = 0; v < kValueCount; ++v) m_values[s][v]->setValue(shownValue(u.values[s][v]));
        m_images[s]->setText(QString::number(u.stepImage[s]));
        if (m_used[s]) m_used[s]->setChecked(m_editor.used(s));
    }
    const QModelIndex row = m_model->index(m_editor.currentUnit() - 1, 0);
    if (m_list->currentIndex().row() != row.row()) {
        m_list->setCurrentIndex(row);
        m_list->scrollTo(row);
    }
    m_filling = false;
    showImages();
}

void CDefineUnitsDlg::undo() {
    m_document.history().undo();
    m_editor.refresh();
    m_model->reload();
    fill();
}

void CDefineUnitsDlg::redo() {
    m_document.history().redo();
    m_editor.refresh();
    m_model->reload();
    fill();
}

}  // namespace qmx
