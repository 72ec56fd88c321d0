// The tree's two events: a node click loads the level below the node (or the recently used
// list) once in the unfiltered tree and refreshes the attribute display; a double click on an
// account without children confirms it.
#pragma once

#include "dialog/SarvoDialog.h"

namespace sarvo::tree {

class TreeEvents {
public:
    explicit TreeEvents(dialog::SarvoDialog& form) : m_form(form) {}

    void trvDis_DblClick();
    void trvDis_NodeClick(const controls::QzNode& node);

private:
    void LoadRecentlyUsed(const controls::QzNode& group);
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::tree
