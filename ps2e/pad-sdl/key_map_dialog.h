// The PAD's configuration dialog: each pad control of the chosen port with
// its key; a control is given the next key pressed after "Assign key" (or
// a double click on it). OK keeps the edited map, Cancel drops it.
#pragma once

#include <QDialog>
#include <string>

#include "ps2e/pad-sdl/key_map_editor.h"

class QComboBox;
class QLabel;
class QTableWidget;

class KeyMapDialog : public QDialog {
public:
    explicit KeyMapDialog(const PadSettings& settings, QWidget* parent = nullptr);
    ~KeyMapDialog() override;

    const PadSettings& settings() const { return editor_.settings(); }

protected:
    // While a control waits for its key, every key pressed in the
    // application comes here first, so that no widget (the table's
    // keyboard search, the dialog's Return and Escape) takes it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<PadControl> selectedControl() const;
    void awaitKeyForSelection();
    void refresh();

    KeyMapEditor editor_;
    QComboBox* port_;
    QTableWidget* table_;
    QLabel* prompt_;
};

// Shows the dialog for the key map in the settings file at `path`. OK
// writes the edited map there; Cancel leaves the file as it was. False
// when OK was chosen and the file could not be written.
bool editPadKeyMap(const std::string& path);
