// Resource texts of the host, one row per key: Simplified Chinese, Traditional Chinese, English.
// The dialog captions (prefix "Host.CW.GL.SARvo." + control object name) repeat the dialog's
// designed Chinese captions with the buttons' Alt keys added; the window title is what the
// messages call the dialog; English captions say what each control does within its designed
// width. The messages say what happened and what the user can do.
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
    {"Host.GL.Sarvo.VBRes.Common", "常用科目", "常用科目", "Favorite accounts"},
    {"Host.GL.Sarvo.NoKmReSelect", "该科目已不存在，请重新选择科目。", "該科目已不存在，請重新選擇科目。",
     "This account no longer exists. Please select another account."},
    {"Host.GL.Sarvo.KmSelectError", "选择科目时出错，未能选中该科目，请重新选择。",
     "選擇科目時出錯，未能選中該科目，請重新選擇。",
     "The account could not be selected. Please select it again."},
    {"Host.GL.Sarvo.NetInfo", "科目参照", "科目參照", "Account reference"},

    // Captions of the reference dialog.
    {"Host.CW.GL.SARvo.frmSarvo", "科目参照", "科目參照", "Account reference"},
    {"Host.CW.GL.SARvo.Frame1", "模糊匹配定位：", "模糊匹配定位：", "Quick search:"},
    {"Host.CW.GL.SARvo.fraGLXZ", "过滤条件", "過濾條件", "Filter conditions"},
    {"Host.CW.GL.SARvo.chkTreeDisp", "按树型显示", "按樹型顯示", "Display as tree"},
    {"Host.CW.GL.SARvo.ChkFfc", "非封存", "非封存", "Active"},
    {"Host.CW.GL.SARvo.cmdGL", "过滤(&T)", "過濾(&T)", "Fil&ter"},
    {"Host.CW.GL.SARvo.optFilter(0)", "左", "左", "Starts"},
    {"Host.CW.GL.SARvo.optFilter(1)", "包含", "包含", "Within"},
    {"Host.CW.GL.SARvo.chkChoice(0)", "个人往来", "個人往來", "Person"},
    {"Host.CW.GL.SARvo.chkChoice(1)", "客户往来", "客戶往來", "Customer"},
    {"Host.CW.GL.SARvo.chkChoice(2)", "供应商往来", "供應商往來", "Supplier"},
    {"Host.CW.GL.SARvo.chkChoice(3)", "部门核算", "部門核算", "Dept."},
    {"Host.CW.GL.SARvo.chkChoice(4)", "项目核算", "項目核算", "Project"},
    {"Host.CW.GL.SARvo.chkChoice(5)", "外币核算", "外幣核算", "Currency"},
    {"Host.CW.GL.SARvo.chkChoice(6)", "数量核算", "數量核算", "Quantity"},
    {"Host.CW.GL.SARvo.chkChoice(7)", "末级科目", "末級科目", "End level"},
    {"Host.CW.GL.SARvo.chkChoice(8)", "日记账", "日記賬", "Journal"},
    {"Host.CW.GL.SARvo.chkChoice(9)", "银行账", "銀行賬", "Bank"},
    {"Host.CW.GL.SARvo.cmdButton(0)", "确定(&O)", "確定(&O)", "&OK"},
    {"Host.CW.GL.SARvo.cmdButton(1)", "常用(&F)", "常用(&F)", "&Favorite"},
    {"Host.CW.GL.SARvo.cmdButton(2)", "编辑(&E)", "編輯(&E)", "&Edit"},
    {"Host.CW.GL.SARvo.cmdButton(3)", "取消(&C)", "取消(&C)", "&Cancel"},
    {"Host.CW.GL.SARvo.Label10", "正在进入科目编辑，请稍候...", "正在進入科目編輯，請稍候...",
     "Opening account editing, please wait..."},

    // What the dialog says beyond its captions: tooltips and hints (%1: the text it is about).
    {"Host.GL.Sarvo.Ui.optFilter(0)", "代码、名称、英文名称或助记码以输入的内容开头",
     "代碼、名稱、英文名稱或助記碼以輸入的內容開頭",
     "Code, name, English name or mnemonic starts with the text typed"},
    {"Host.GL.Sarvo.Ui.optFilter(1)", "代码、名称、英文名称或助记码包含输入的内容",
     "代碼、名稱、英文名稱或助記碼包含輸入的內容",
     "Code, name, English name or mnemonic contains the text typed"},
    {"Host.GL.Sarvo.Ui.ChkFfc", "勾选时，按“过滤”只显示未封存的科目", "勾選時，按「過濾」只顯示未封存的科目",
     "When ticked, Filter shows only accounts that are not closed"},
    {"Host.GL.Sarvo.Ui.NoMatch", "没有与“%1”匹配的科目", "沒有與「%1」相符的科目",
     "No account matches \"%1\""},
    {"Host.GL.Sarvo.Ui.Refused", "不能输入这些字符：%1", "不能輸入這些字元：%1",
     "These characters cannot be typed: %1"},
    {"Host.GL.Sarvo.Ui.FavoriteAdd", "将 %1 加入常用科目", "將 %1 加入常用科目",
     "Add %1 to favorite accounts"},
    {"Host.GL.Sarvo.Ui.FavoriteRemove", "从常用科目中移除 %1", "從常用科目中移除 %1",
     "Remove %1 from favorite accounts"},
    {"Host.GL.Sarvo.Ui.FavoriteNone", "选择一个科目，可将其加入常用科目", "選擇一個科目，可將其加入常用科目",
     "Select an account to add it to favorite accounts"},
    {"Host.GL.Sarvo.Ui.FavoriteCannot", "该级科目不能加入常用科目", "該級科目不能加入常用科目",
     "Accounts of this grade cannot be added to favorite accounts"},
    {"Host.GL.Sarvo.Ui.Name", "名称", "名稱", "Name"},
    {"Host.GL.Sarvo.Ui.EnglishName", "英文名称", "英文名稱", "English name"},
    {"Host.GL.Sarvo.Ui.Path", "位置", "位置", "Path"},
    {"Host.GL.Sarvo.Ui.Closed", "已封存", "已封存", "Closed"},
    {"Host.GL.Sarvo.Ui.Context", "本身不符合过滤条件，因下级科目符合而显示",
     "本身不符合過濾條件，因下級科目符合而顯示", "Does not match itself; shown for the accounts below it"},
    // What a database failure means for the user, by its kind.
    {"Host.GL.Sarvo.Ui.Db.busy", "账套正忙：其他用户正在写入，请稍后再试。",
     "帳套正忙：其他使用者正在寫入，請稍後再試。",
     "The account set is busy: another user is writing to it. Try again in a moment."},
    {"Host.GL.Sarvo.Ui.Db.read-only", "账套为只读，无法保存这项更改。", "帳套為唯讀，無法儲存這項變更。",
     "The account set is read-only: this change cannot be saved."},
    {"Host.GL.Sarvo.Ui.Db.lost-connection", "与数据库的连接已断开，下一步操作时将重新连接。",
     "與資料庫的連線已中斷，下一步操作時將重新連線。",
     "The connection to the database was lost; it is opened again at your next action."},
    {"Host.GL.Sarvo.Ui.Db.disk-full", "磁盘已满，无法保存这项更改。", "磁碟已滿，無法儲存這項變更。",
     "The disk is full: this change cannot be saved."},
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
