// Resource texts of the host, one row per key: Simplified Chinese, Traditional Chinese, English.
// The dialog captions (prefix "Host.CW.GL.SARvo." + control object name) repeat the dialog's
// designed Chinese captions; the messages say what happened and what the user can do.
#include "host/services/ResourceTable.h"

#include <QHash>

namespace sarvo::host {

namespace {

struct Row {
    const char* key;
    const char* zhCn;
    const char* zhTw;
    const char* enUs;
};

constexpr Row kRows[] = {
    // Messages and titles.
    {"Host.GL.Sarvo.NoKmNoRef", "本年度没有会计科目，无法参照选择科目。",
     "本年度沒有會計科目，無法參照選擇科目。", "There are no accounts in this year to choose from."},
    {"Host.GL.Sarvo.tishiInfo", "提示", "提示", "Information"},
    {"Host.SA.Kelvorn.frmbadboy.01132", "按树型显示", "按樹型顯示", "Display as tree"},
    {"Host.GL.Sarvo.VBRes.Common", "常用科目", "常用科目", "Recently used accounts"},
    {"Host.GL.Sarvo.NoKmReSelect", "该科目已不存在，请重新选择科目。", "該科目已不存在，請重新選擇科目。",
     "This account no longer exists. Please select another account."},
    {"Host.GL.Sarvo.KmSelectError", "选择科目时出错，未能选中该科目，请重新选择。",
     "選擇科目時出錯，未能選中該科目，請重新選擇。",
     "The account could not be selected. Please select it again."},
    {"Host.GL.Sarvo.NetInfo", "科目参照", "科目參照", "Account reference"},

    // Captions of the reference dialog.
    {"Host.CW.GL.SARvo.frmSarvo", "Sarvo", "Sarvo", "Sarvo"},
    {"Host.CW.GL.SARvo.Frame1", "模糊匹配定位：", "模糊匹配定位：", "Quick search:"},
    {"Host.CW.GL.SARvo.fraGLXZ", "过滤条件", "過濾條件", "Filter conditions"},
    {"Host.CW.GL.SARvo.chkTreeDisp", "按树型显示", "按樹型顯示", "Display as tree"},
    {"Host.CW.GL.SARvo.ChkFfc", "非封存", "非封存", "Open"},
    {"Host.CW.GL.SARvo.cmdGL", "过滤", "過濾", "Filter"},
    {"Host.CW.GL.SARvo.optFilter(0)", "左", "左", "Left"},
    {"Host.CW.GL.SARvo.optFilter(1)", "包含", "包含", "Any"},
    {"Host.CW.GL.SARvo.chkChoice(0)", "个人往来", "個人往來", "Person"},
    {"Host.CW.GL.SARvo.chkChoice(1)", "客户往来", "客戶往來", "Customer"},
    {"Host.CW.GL.SARvo.chkChoice(2)", "供应商往来", "供應商往來", "Supplier"},
    {"Host.CW.GL.SARvo.chkChoice(3)", "部门核算", "部門核算", "Dept."},
    {"Host.CW.GL.SARvo.chkChoice(4)", "项目核算", "項目核算", "Project"},
    {"Host.CW.GL.SARvo.chkChoice(5)", "外币核算", "外幣核算", "Currency"},
    {"Host.CW.GL.SARvo.chkChoice(6)", "数量核算", "數量核算", "Quantity"},
    {"Host.CW.GL.SARvo.chkChoice(7)", "末级科目", "末級科目", "Detail"},
    {"Host.CW.GL.SARvo.chkChoice(8)", "日记账", "日記賬", "Journal"},
    {"Host.CW.GL.SARvo.chkChoice(9)", "银行账", "銀行賬", "Bank"},
    {"Host.CW.GL.SARvo.cmdButton(0)", "确定", "確定", "OK"},
    {"Host.CW.GL.SARvo.cmdButton(1)", "常用", "常用", "Recent"},
    {"Host.CW.GL.SARvo.cmdButton(2)", "编辑", "編輯", "Edit"},
    {"Host.CW.GL.SARvo.cmdButton(3)", "取消", "取消", "Cancel"},
    {"Host.CW.GL.SARvo.Label10", "正在进入科目编辑，请稍候...", "正在進入科目編輯，請稍候...",
     "Opening account editing, please wait..."},
};

struct Index {
    QHash<QString, int> byLowerKey;
    QStringList keys;
    Index() {
        for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
            const QString key = QString::fromUtf8(kRows[i].key);
            byLowerKey.insert(key.toLower(), i);
            keys.append(key);
        }
    }
};

const Index& index() {
    static const Index instance; // thread-safe first use
    return instance;
}

} // namespace

ResourceTable::Language ResourceTable::languageOf(const QString& languageId) {
    const QString id = languageId.trimmed().toLower();
    if (id == QLatin1String("zh-cn")) return Language::ZhCn;
    if (id == QLatin1String("zh-tw")) return Language::ZhTw;
    return Language::EnUs;
}

std::optional<QString> ResourceTable::text(const QString& key, Language language) {
    const auto it = index().byLowerKey.constFind(key.toLower());
    if (it == index().byLowerKey.cend()) return std::nullopt;
    const Row& row = kRows[*it];
    switch (language) {
    case Language::ZhCn:
        return QString::fromUtf8(row.zhCn);
    case Language::ZhTw:
        return QString::fromUtf8(row.zhTw);
    case Language::EnUs:
        break;
    }
    return QString::fromUtf8(row.enUs);
}

QStringList ResourceTable::keys() {
    return index().keys;
}

} // namespace sarvo::host
