// The "Memory Map" window: 256 bytes of guest memory from a typed address,
// sixteen lines of four words, read through the memory bus as a guest load
// would read them (side effects included).
#pragma once

#include <QDialog>

#include "core/types.h"

class QLineEdit;
class QListWidget;

class MemoryView : public QDialog {
public:
    explicit MemoryView(QWidget* parent = nullptr);

    // Rebuilds the sixteen lines from the view's start address.
    void refresh();

private:
    void view();

    QListWidget* lines_;
    QLineEdit* address_;
    u32 start_;
};
