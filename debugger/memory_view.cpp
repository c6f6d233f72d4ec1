#include "debugger/memory_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "core/ee_state.h"
#include "debugger/hex_address.h"
#include "memory/bus.h"

namespace {
constexpr int kLines = 16;
constexpr int kWordsPerLine = 4;
}  // namespace

MemoryView::MemoryView(QWidget* parent) : QDialog(parent), start_(ee.pc) {
    setWindowTitle("Memory Map");
    setObjectName("126");
    lines_ = new QListWidget;
    lines_->setObjectName("1048");
    lines_->setFont(QFont("Monospace"));
    lines_->setMinimumSize(420, 300);
    address_ = new QLineEdit;
    address_->setObjectName("1050");
    address_->setMaxLength(9);
    auto* viewButton = new QPushButton("View");
    viewButton->setObjectName("1045");
    connect(viewButton, &QPushButton::clicked, this, &MemoryView::view);
    connect(address_, &QLineEdit::returnPressed, this, &MemoryView::view);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Address"));
    row->addWidget(address_);
    row->addWidget(viewButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines_);
    layout->addLayout(row);
    refresh();
}

void MemoryView::view() {
    start_ = parseHex8(address_->text().left(9).toStdString());
    refresh();
}

// No alignment: an unaligned start is read word by word from there.
void MemoryView::refresh() {
    lines_->clear();
    u32 address = start_;
    for (int line = 0; line < kLines; ++line) {
        char text[16 + kWordsPerLine * 10];
        int at = std::snprintf(text, sizeof text, "%08X:  ", address);
        for (int word = 0; word < kWordsPerLine; ++word, address += 4) {
            at += std::snprintf(text + at, sizeof text - at, "%08X ", memRead32(address));
        }
        lines_->addItem(text);
    }
}
