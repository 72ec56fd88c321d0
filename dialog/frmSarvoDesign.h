// The designed layout of the reference dialog: every visible control with its kind, place and
// size in twips (children of a frame relative to the frame), tab index and designed caption.
// The dialog is built from this table, and the layout tests compare against it.
#pragma once

#include <QString>
#include <vector>

namespace sarvo::dialog {

enum class ControlKind { TreeView, CheckBox, Radio, Edit, CommandButton, Frame, Label, Image };

struct ControlDesign {
    const char* name; // object name; array members are written "cmdButton(0)"
    ControlKind kind;
    const char* parent; // "" for the dialog itself, else the frame's name
    int left, top, width, height;
    int tabIndex; // -1 for controls that take no focus
    const char* caption;
};

constexpr int kClientWidth = 6810; // twips
constexpr int kClientHeight = 5490;

const std::vector<ControlDesign>& frmSarvoDesign();
const ControlDesign& designOf(const QString& name); // raises 35601 for an unknown name

} // namespace sarvo::dialog
