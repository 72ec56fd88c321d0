// Designed layout of the reference dialog, in the order the form holds its controls.
#include "dialog/frmSarvoDesign.h"

#include "runtime/RuntimeError.h"

namespace sarvo::dialog {

const std::vector<ControlDesign>& frmSarvoDesign() {
    using K = ControlKind;
    static const std::vector<ControlDesign> design = {
        {"chkTreeDisp", K::CheckBox, "", 4320, 120, 2175, 375, 23, "按树型显示"},
        {"Frame1", K::Frame, "", 90, 60, 3795, 495, 18, "模糊匹配定位："},
        {"fraGLXZ", K::Frame, "", 120, 3960, 6435, 1035, 6, "过滤条件"},
        {"cmdButton(3)", K::CommandButton, "", 5580, 2340, 1125, 300, 4, "取消"},
        {"cmdButton(2)", K::CommandButton, "", 5580, 1845, 1125, 300, 3, "编辑"},
        {"cmdButton(1)", K::CommandButton, "", 5580, 1350, 1125, 300, 2, "常用"},
        {"cmdButton(0)", K::CommandButton, "", 5580, 870, 1125, 300, 1, "确定"},
        {"trvDis", K::TreeView, "", 90, 660, 5250, 3210, 0, ""},
        {"Label10", K::Label, "", 3600, 5160, 2700, 210, 5, "正在进入科目编辑，请稍候..."},
        {"Image1", K::Image, "", 5430, 630, 60, 3240, -1, ""},
        {"txtFilter", K::Edit, "Frame1", 1980, 120, 1785, 330, 21, ""},
        {"optFilter(1)", K::Radio, "Frame1", 1080, 210, 765, 225, 20, "包含"},
        {"optFilter(0)", K::Radio, "Frame1", 210, 210, 735, 225, 19, "左"},
        {"ChkFfc", K::CheckBox, "fraGLXZ", 5520, 300, 855, 255, 22, "非封存"},
        {"cmdGL", K::CommandButton, "fraGLXZ", 5640, 630, 675, 300, 17, "过滤"},
        {"chkChoice(0)", K::CheckBox, "fraGLXZ", 120, 300, 1095, 255, 7, "个人往来"},
        {"chkChoice(1)", K::CheckBox, "fraGLXZ", 120, 660, 1095, 255, 8, "客户往来"},
        {"chkChoice(2)", K::CheckBox, "fraGLXZ", 1200, 300, 1455, 255, 9, "供应商往来"},
        {"chkChoice(3)", K::CheckBox, "fraGLXZ", 1200, 660, 1095, 255, 10, "部门核算"},
        {"chkChoice(4)", K::CheckBox, "fraGLXZ", 2460, 300, 1095, 255, 11, "项目核算"},
        {"chkChoice(5)", K::CheckBox, "fraGLXZ", 2460, 660, 1095, 255, 12, "外币核算"},
        {"chkChoice(6)", K::CheckBox, "fraGLXZ", 3540, 300, 1095, 255, 13, "数量核算"},
        {"chkChoice(7)", K::CheckBox, "fraGLXZ", 3540, 660, 1095, 255, 14, "末级科目"},
        {"chkChoice(8)", K::CheckBox, "fraGLXZ", 4680, 300, 1035, 255, 15, "日记账"},
        {"chkChoice(9)", K::CheckBox, "fraGLXZ", 4680, 660, 915, 255, 16, "银行账"},
    };
    return design;
}

const ControlDesign& designOf(const QString& name) {
    for (const ControlDesign& d : frmSarvoDesign())
        if (name == QLatin1String(d.name)) return d;
    raise(ErrorCode::ElementNotFound, name);
}

} // namespace sarvo::dialog
