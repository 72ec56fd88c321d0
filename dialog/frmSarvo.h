// The reference dialog: its controls in their designed places, its load and unload, the close
// timer, the Enter key, and the splitter between the tree and the buttons. The tree, filter and
// selection subsystems work on it through SarvoDialog.
#pragma once

#include "dialog/AccountNodeDecorator.h"
#include "dialog/SarvoDialog.h"
#include "host/controls/BusyCursor.h"
#include "host/controls/EventDispatcher.h"
#include "host/controls/FormImage.h"
#include "host/controls/FormLine.h"
#include "host/controls/FormTimer.h"
#include "host/controls/ImageList.h"
#include "host/controls/QzCommandButton.h"
#include "host/controls/QzFrame.h"
#include "host/controls/QzFrmCaption.h"
#include "host/controls/QzKeyHookCtrl.h"

#include <QDialog>
#include <array>
#include <memory>

namespace sarvo::tree {
class AccountTree;
class TreeEvents;
} // namespace sarvo::tree
namespace sarvo::filter {
class QuickFilter;
class TreeRoots;
class AttributeFilter;
class AttributeDisplay;
} // namespace sarvo::filter
namespace sarvo::selection {
class CommandButtons;
}
namespace sarvo::host {
class QtTranslations;
}

namespace sarvo {

class frmSarvo : public QDialog, public dialog::SarvoDialog {
    Q_OBJECT
    // Read by scripted runs and tests: the current filter condition.
    Q_PROPERTY(QString sFilter READ currentFilter)

public:
    frmSarvo();
    ~frmSarvo() override;

    // Loads the dialog (Form_Load), shows it modally and returns once it has been unloaded.
    // An error during the load reaches the caller and no window is shown.
    static void ShowModal();

    // Handlers, named as the form's events.
    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void Form_KeyDown(int& keyCode, int shift);
    void Image1_MouseDown(int button, int shift, float x, float y);
    void Image1_MouseMove(int button, int shift, float x, float y);
    void Image1_MouseUp(int button, int shift, float& x, float y);

    // SarvoDialog
    controls::QzTreeView& trvDis() override { return *m_trvDis; }
    controls::QzEdit& txtFilter() override { return *m_txtFilter; }
    controls::QzRadio& optFilter(int index) override { return *m_optFilter.at(static_cast<size_t>(index)); }
    controls::QzCheckBox& chkChoice(int index) override {
        return *m_chkChoice.at(static_cast<size_t>(index));
    }
    controls::QzCheckBox& ChkFfc() override { return *m_ChkFfc; }
    controls::QzCheckBox& chkTreeDisp() override { return *m_chkTreeDisp; }
    controls::QzLabel& Label10() override { return *m_Label10; }
    controls::QzCommandButton& cmdButton(int index) { return *m_cmdButton.at(static_cast<size_t>(index)); }
    controls::FormImage& Image1() { return *m_Image1; }
    controls::FormLine& Line1() { return *m_Line1; }
    controls::FormTimer& Timer1() { return *m_Timer1; }
    controls::ImageList& ImageList2() { return *m_ImageList2; }

    void BuildAccountTree() override;
    void BuildTreeRoots() override;
    void LoadGradeLevel(const QString& sCode, const QString& sClass, int16_t iGrade) override;
    void LoadFilteredChildren(const QString& sKey, int16_t iGrade) override;
    void trvDis_NodeClick(const controls::QzNode& node) override;
    void ShowAccountAttributes(const controls::QzNode& node) override;
    void ApplyQuickFilter(const Variant& vText, int32_t iMode) override;
    void cmdButton_Click(int16_t index) override;
    QString DisplayText(const QString& text) override;
    void EnableCloseTimer() override;
    void Unload() override;
    void SetMousePointer(int pointer) override;

    bool bDragging = false;
    int16_t iFilterMode = 0;

    QString currentFilter() const { return sFilter; }
    // The wait cursor of long handlers (tests shorten its delay).
    controls::BusyCursor& busyCursor() { return m_busy; }
    // The tree picture of a bitmap resource for a screen of this device pixel ratio: the 32x32
    // form of the picture on scaled screens, the 16x16 one otherwise.
    static QPixmap treePicture(int resourceId, qreal devicePixelRatio);

    // Form geometry in twips, as the splitter reads and writes it.
    int formLeft() const;
    int formWidth() const;
    void setFormWidth(int twips);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void createControls();
    void connectEvents();
    void dispatch(const char* handler, const std::function<void()>& body);
    // What the tree on screen was built from, for the nodes' looks.
    enum class TreeSource { Other, TypedText };
    void dispatchBuild(TreeSource source, const char* handler, const std::function<void()>& body);
    void refreshFilterBox();
    QString favoriteButtonTip() const;
    void showHint(QWidget* at, const QString& text);

    controls::EventDispatcher m_dispatcher;
    bool m_unloaded = false;
    controls::BusyCursor m_busy;
    dialog::AccountNodeDecorator m_decorator;
    TreeSource m_building = TreeSource::Other;
    std::unique_ptr<host::QtTranslations> m_translations;

    controls::FormTimer* m_Timer1 = nullptr;
    controls::QzCheckBox* m_chkTreeDisp = nullptr;
    controls::QzKeyHookCtrl* m_QzKeyHookCtrl1 = nullptr;
    controls::QzFrmCaption* m_QzFrmCaptionMgr = nullptr;
    controls::QzFrame* m_Frame1 = nullptr;
    controls::QzFrame* m_fraGLXZ = nullptr;
    std::array<controls::QzCommandButton*, 4> m_cmdButton{};
    controls::QzTreeView* m_trvDis = nullptr;
    controls::QzLabel* m_Label10 = nullptr;
    controls::FormLine* m_Line1 = nullptr;
    controls::FormImage* m_Image1 = nullptr;
    controls::ImageList* m_ImageList2 = nullptr;
    controls::QzEdit* m_txtFilter = nullptr;
    std::array<controls::QzRadio*, 2> m_optFilter{};
    controls::QzCheckBox* m_ChkFfc = nullptr;
    controls::QzCommandButton* m_cmdGL = nullptr;
    std::array<controls::QzCheckBox*, 10> m_chkChoice{};

    std::unique_ptr<tree::AccountTree> m_accountTree;
    std::unique_ptr<tree::TreeEvents> m_treeEvents;
    std::unique_ptr<filter::QuickFilter> m_quickFilter;
    std::unique_ptr<filter::TreeRoots> m_treeRoots;
    std::unique_ptr<filter::AttributeFilter> m_attributeFilter;
    std::unique_ptr<filter::AttributeDisplay> m_attributeDisplay;
    std::unique_ptr<selection::CommandButtons> m_commandButtons;
};

} // namespace sarvo
