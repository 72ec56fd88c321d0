// The narrow interface through which the tree, filter and selection subsystems work on the one
// reference dialog: the controls they touch, the dialog members they share, and the operations
// one subsystem offers another. The dialog (frmSarvo) implements it.
#pragma once

#include "host/controls/QzCheckBox.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzLabel.h"
#include "host/controls/QzRadio.h"
#include "host/controls/QzTreeView.h"
#include "runtime/Variant.h"

namespace sarvo::dialog {

class SarvoDialog {
public:
    virtual ~SarvoDialog() = default;

    // Controls.
    virtual controls::QzTreeView& trvDis() = 0;
    virtual controls::QzEdit& txtFilter() = 0;
    virtual controls::QzRadio& optFilter(int index) = 0;
    virtual controls::QzCheckBox& chkChoice(int index) = 0;
    virtual controls::QzCheckBox& ChkFfc() = 0;
    virtual controls::QzCheckBox& chkTreeDisp() = 0;
    virtual controls::QzLabel& Label10() = 0;

    // Dialog members shared between the subsystems; all start empty or false.
    QString sFilter;      // current filter condition over table code, "" for none
    QString sTempTable;   // temporary table of the hierarchy build
    bool bLoaded = false; // false until the load has put the initial text into txtFilter
    bool bMatchExpanded = false;
    bool bEditing = false;

    // Operations of the subsystems, reachable from the others.
    virtual void BuildAccountTree() = 0;
    virtual void BuildTreeRoots() = 0;
    virtual void LoadGradeLevel(const QString& sCode, const QString& sClass, int16_t iGrade) = 0;
    virtual void LoadFilteredChildren(const QString& sKey, int16_t iGrade) = 0;
    virtual void trvDis_NodeClick(const controls::QzNode& node) = 0;
    virtual void ShowAccountAttributes(const controls::QzNode& node) = 0;
    virtual void ApplyQuickFilter(const Variant& vText, int32_t iMode) = 0;
    virtual void cmdButton_Click(int16_t index) = 0;
    virtual QString DisplayText(const QString& text) = 0;

    // Form runtime.
    virtual void EnableCloseTimer() = 0; // Timer1.Enabled = True
    virtual void Unload() = 0;
    virtual void SetMousePointer(int pointer) = 0;
};

} // namespace sarvo::dialog
