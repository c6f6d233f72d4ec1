#include "ps2e/pad-sdl/key_map_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "ps2e/pad-sdl/qt_keys.h"

namespace {

// In the order of PadControl.
constexpr std::array<const char*, kPadControlCount> kControlLabels{
    "D-pad up",       "D-pad down",      "D-pad left",       "D-pad right",      "Cross",
    "Circle",         "Square",          "Triangle",         "L1",               "L2",
    "R1",             "R2",              "Start",            "Select",           "L3 (left stick press)",
    "R3 (right stick press)", "Left stick up", "Left stick down", "Left stick left", "Left stick right",
    "Right stick up", "Right stick down", "Right stick left", "Right stick right", "ANALOG button",
};

constexpr char kIdlePrompt[] = "Select a control, then Assign key (or double-click it) and press the key.";

}  // namespace

KeyMapDialog::KeyMapDialog(const PadSettings& settings, QWidget* parent)
    : QDialog(parent), editor_(settings), port_(new QComboBox), table_(new QTableWidget), prompt_(new QLabel) {
    setWindowTitle("Corvane SDL PAD: keys");
    port_->setObjectName("port");
    port_->addItems({"Port 1", "Port 2"});

    table_->setObjectName("keys");
    table_->setColumnCount(2);
    table_->setRowCount(static_cast<int>(kPadControlCount));
    table_->setHorizontalHeaderLabels({"Pad", "Key"});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (std::size_t row = 0; row < kPadControlCount; ++row) {
        table_->setItem(static_cast<int>(row), 0, new QTableWidgetItem(kControlLabels[row]));
        table_->setItem(static_cast<int>(row), 1, new QTableWidgetItem);
    }
    table_->resizeColumnToContents(0);

    prompt_->setObjectName("prompt");
    prompt_->setWordWrap(true);
    auto* controllers = new QLabel(
        "Game controllers: the first plugged in serves port 1, the second port 2; their buttons by position, "
        "the middle button as ANALOG.");
    controllers->setWordWrap(true);

    auto* assign = new QPushButton("Assign key");
    assign->setObjectName("assign");
    auto* clear = new QPushButton("Clear key");
    clear->setObjectName("clear");
    auto* defaults = new QPushButton("Defaults");
    defaults->setObjectName("defaults");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName("buttons");

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(assign);
    editRow->addWidget(clear);
    editRow->addStretch();
    editRow->addWidget(defaults);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(port_);
    layout->addWidget(table_);
    layout->addWidget(prompt_);
    layout->addLayout(editRow);
    layout->addWidget(controllers);
    layout->addWidget(buttons);
    resize(420, 640);

    connect(port_, &QComboBox::currentIndexChanged, this, [this](int index) {
        editor_.showPort(static_cast<std::size_t>(index));
        refresh();
    });
    connect(assign, &QPushButton::clicked, this, [this] { awaitKeyForSelection(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { awaitKeyForSelection(); });
    connect(clear, &QPushButton::clicked, this, [this] {
        editor_.cancelWait();
        if (const std::optional<PadControl> control = selectedControl()) editor_.clearKey(*control);
        refresh();
    });
    connect(defaults, &QPushButton::clicked, this, [this] {
        editor_.restoreDefaults();
        refresh();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    qApp->installEventFilter(this);
    refresh();
}

KeyMapDialog::~KeyMapDialog() { qApp->removeEventFilter(this); }

bool KeyMapDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !editor_.awaitedControl()) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    editor_.keyPressed(sdlKeyOfQtKey(key->key(), key->modifiers().testFlag(Qt::KeypadModifier)));
    refresh();
    return true;
}

std::optional<PadControl> KeyMapDialog::selectedControl() const {
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(kPadControlCount)) return std::nullopt;
    return static_cast<PadControl>(row);
}

void KeyMapDialog::awaitKeyForSelection() {
    if (const std::optional<PadControl> control = selectedControl()) editor_.awaitKey(*control);
    refresh();
}

void KeyMapDialog::refresh() {
    for (std::size_t row = 0; row < kPadControlCount; ++row) {
        const PadControl control = static_cast<PadControl>(row);
        const bool waiting = editor_.awaitedControl() == control;
        table_->item(static_cast<int>(row), 1)
            ->setText(waiting ? "press a key" : QString::fromStdString(editor_.keyName(control)));
    }
    if (const std::optional<PadControl> control = editor_.awaitedControl()) {
        prompt_->setText(QString("Press a key for %1 (Escape cancels).").arg(kControlLabels[static_cast<std::size_t>(*control)]));
    } else {
        prompt_->setText(kIdlePrompt);
    }
}

bool editPadKeyMap(const std::string& path) {
    KeyMapDialog dialog(readPadSettings(path), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return true;
    return writePadSettings(path, dialog.settings());
}
