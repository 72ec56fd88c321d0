// Building, loading and unloading the reference dialog; the close timer, the Enter and Escape
// keys, the splitter, and what the dialog tells the user while it works. The subsystems'
// operations are forwarded to their own classes.
#include "dialog/frmSarvo.h"

#include "component/basSarvo.h"
#include "dialog/UiText.h"
#include "dialog/frmSarvoDesign.h"
#include "filter/AttributeDisplay.h"
#include "filter/AttributeFilter.h"
#include "filter/QuickFilter.h"
#include "filter/TreeRoots.h"
#include "host/controls/ControlBase.h"
#include "host/controls/ControlFont.h"
#include "host/controls/Screen.h"
#include "host/controls/Twips.h"
#include "host/db/EngineError.h"
#include "host/services/QtTranslations.h"
#include "runtime/RuntimeError.h"
#include "selection/CommandButtons.h"
#include "tree/AccountTree.h"
#include "tree/TreeEvents.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolTip>

namespace sarvo {

namespace {

const char kIntSarvoTreeRow[] =
    "if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = 'IntSarvoTree')"
    " Begin Insert into AccInformation(csysid,cid,cname,ccaption,ctype,cvalue,cdefault,bvisible,benable)"
    " values(N'GL',N'171',N'IntSarvoTree',N'Sarvo树型显示',N'Integer',N'1',N'1',1,1) End";

ObjectRef refAttrib() {
    ObjectRef attrib = basSarvo::oZwPub()->RefAttrib();
    if (!attrib) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the host has no attribute object"));
    return attrib;
}

QFont designFont(const QString& family, double points, QFont::StyleStrategy strategy = QFont::PreferDefault) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setStyleStrategy(strategy);
    return f;
}

// The host language trims blanks only.
QString trimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == QLatin1Char(' '))
        ++from;
    while (to > from && text[to - 1] == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

// "<>'" as "< > '" so each character reads on its own in a hint.
QString spacedOut(const QString& characters) {
    QStringList each;
    for (const QChar c : characters)
        each << QString(c);
    return each.join(QLatin1Char(' '));
}

// Restores a member to its value on leaving a scope, whichever way the scope is left.
template <class T> class Restorer {
public:
    Restorer(T& member, T value) : m_member(member), m_saved(member) { m_member = value; }
    ~Restorer() { m_member = m_saved; }
    Restorer(const Restorer&) = delete;
    Restorer& operator=(const Restorer&) = delete;

private:
    T& m_member;
    T m_saved;
};

} // namespace

frmSarvo::frmSarvo() : QDialog(nullptr) {
    setObjectName(QStringLiteral("frmSarvo"));
    setWindowTitle(QStringLiteral("Sarvo"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    createControls();
    m_accountTree = std::make_unique<tree::AccountTree>(*this);
    m_treeEvents = std::make_unique<tree::TreeEvents>(*this);
    m_quickFilter = std::make_unique<filter::QuickFilter>(*this);
    m_treeRoots = std::make_unique<filter::TreeRoots>(*this);
    m_attributeFilter = std::make_unique<filter::AttributeFilter>(*this);
    m_attributeDisplay = std::make_unique<filter::AttributeDisplay>(*this);
    m_commandButtons = std::make_unique<selection::CommandButtons>(*this);
    connectEvents();
    // A run-time error that escapes a handler is shown once; the dialog stays open. A database
    // failure of a kind the user can act on (busy, read-only, connection lost, disk full) leads
    // with what it means for them, in their language; the technical text follows for support.
    m_dispatcher.setErrorReporter(
        [this](int number, const QString& description, const std::exception* error) {
            try {
                QString prompt = QStringLiteral("%1: %2").arg(number).arg(description);
                if (const auto kind = error ? db::EngineError::kindOf(*error) : std::nullopt) {
                    const QString meaning =
                        dialog::uiText(("Db." + db::failureKindName(*kind)).toLatin1().constData());
                    if (!meaning.isEmpty()) prompt = meaning + QStringLiteral("\n\n") + prompt;
                }
                basSarvo::ShowMessage(prompt, int32_t(16), windowTitle(), QString(), int32_t(0));
            } catch (...) {
            }
        });

    // Keyboard first: typing in the tree filters, the list keys in the box move in the tree.
    m_trvDis->SetTypingTarget(m_txtFilter);
    m_txtFilter->SetNavigationTarget(m_trvDis);
    m_trvDis->SetDecorator(&m_decorator);
    m_trvDis->nodeModel()->setProgressHook([this] { m_busy.tick(); });
    connect(m_txtFilter, &controls::QzEdit::Refused, this, [this] {
        showHint(m_txtFilter, dialog::uiText("Refused").arg(spacedOut(m_txtFilter->RefusedCharacters())));
    });
    m_cmdButton[1]->installEventFilter(this);
}

frmSarvo::~frmSarvo() {
    // The tree outlives the members it was lent.
    m_trvDis->SetDecorator(nullptr);
    m_trvDis->nodeModel()->setProgressHook({});
}

void frmSarvo::createControls() {
    setFixedSize(controls::Twips::toPixels(dialog::kClientWidth),
                 controls::Twips::toPixels(dialog::kClientHeight));
    const QFont song9 = designFont(QStringLiteral("宋体"), 9);
    const QFont tahoma9 = designFont(QStringLiteral("Tahoma"), 9);

    m_Timer1 = new controls::FormTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->SetInterval(100);
    m_Timer1->SetEnabled(false);
    m_QzKeyHookCtrl1 = new controls::QzKeyHookCtrl(this);
    m_QzKeyHookCtrl1->setObjectName(QStringLiteral("QzKeyHookCtrl1"));
    m_QzFrmCaptionMgr = new controls::QzFrmCaption(this);
    m_QzFrmCaptionMgr->setObjectName(QStringLiteral("QzFrmCaptionMgr"));
    m_QzFrmCaptionMgr->SetCaption(QStringLiteral("Sarvo"));
    m_QzFrmCaptionMgr->setFont(designFont(QStringLiteral("宋体"), 8.25));
    m_ImageList2 = new controls::ImageList(this);
    m_ImageList2->setObjectName(QStringLiteral("ImageList2"));

    // Frames first: their children are placed relative to them.
    QHash<QString, QWidget*> parents{{QString(), this}};
    for (const dialog::ControlDesign& d : dialog::frmSarvoDesign()) {
        QWidget* parent = parents.value(QString::fromLatin1(d.parent), this);
        const QString name = QString::fromLatin1(d.name);
        const QString caption = QString::fromUtf8(d.caption);
        QWidget* w = nullptr;
        controls::ControlBase* control = nullptr;
        switch (d.kind) {
        case dialog::ControlKind::Frame: {
            auto* f = new controls::QzFrame(parent);
            f->SetCaption(caption);
            f->setFont(song9);
            (name == QLatin1String("Frame1") ? m_Frame1 : m_fraGLXZ) = f;
            parents.insert(name, f);
            w = f;
            control = f;
            break;
        }
        case dialog::ControlKind::CheckBox: {
            auto* c = new controls::QzCheckBox(parent);
            c->SetCaption(caption);
            if (name == QLatin1String("chkTreeDisp"))
                m_chkTreeDisp = c;
            else if (name == QLatin1String("ChkFfc"))
                m_ChkFfc = c;
            else
                m_chkChoice[static_cast<size_t>(name.mid(10, name.size() - 11).toInt())] = c;
            w = c;
            control = c;
            break;
        }
        case dialog::ControlKind::CommandButton: {
            auto* b = new controls::QzCommandButton(parent);
            b->SetCaption(caption);
            if (name == QLatin1String("cmdGL"))
                m_cmdGL = b;
            else
                m_cmdButton[static_cast<size_t>(name.mid(10, 1).toInt())] = b;
            w = b;
            control = b;
            break;
        }
        case dialog::ControlKind::Radio: {
            auto* r = new controls::QzRadio(parent);
            r->SetCaption(caption);
            m_optFilter[static_cast<size_t>(name.mid(10, 1).toInt())] = r;
            w = r;
            control = r;
            break;
        }
        case dialog::ControlKind::Edit:
            m_txtFilter = new controls::QzEdit(parent);
            w = m_txtFilter;
            control = m_txtFilter;
            break;
        case dialog::ControlKind::TreeView:
            m_trvDis = new controls::QzTreeView(parent);
            m_trvDis->setFont(tahoma9);
            w = m_trvDis;
            control = m_trvDis;
            break;
        case dialog::ControlKind::Label:
            m_Label10 = new controls::QzLabel(parent);
            m_Label10->SetCaption(caption);
            m_Label10->setFont(tahoma9);
            m_Label10->SetVisible(false);
            w = m_Label10;
            control = m_Label10;
            break;
        case dialog::ControlKind::Image:
            m_Image1 = new controls::FormImage(parent);
            w = m_Image1;
            control = m_Image1;
            break;
        }
        w->setObjectName(name);
        control->Move(d.left, d.top, d.width, d.height);
    }
    m_ChkFfc->SetValue(1);
    m_optFilter[0]->SetValue(true);
    // The journal box's designed rectangle reaches into the not-closed box; the not-closed box
    // lies on top so the whole of it can be clicked.
    m_ChkFfc->raise();

    m_Line1 = new controls::FormLine(this);
    m_Line1->setObjectName(QStringLiteral("Line1"));
    m_Line1->SetX1(5505);
    m_Line1->SetX2(5505);
    m_Line1->SetY1(630);
    m_Line1->SetY2(3900);
    m_Line1->SetVisible(false);

    // Tab order follows the designed tab indexes.
    std::vector<std::pair<int, QWidget*>> order;
    for (const dialog::ControlDesign& d : dialog::frmSarvoDesign()) {
        if (d.tabIndex < 0) continue;
        QWidget* w = findChild<QWidget*>(QString::fromLatin1(d.name));
        // Labels and frames keep their index but take no focus; chaining them would break the order.
        if (w && (w->focusPolicy() & Qt::TabFocus)) order.emplace_back(d.tabIndex, w);
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
    // Tab index 0: the tree has the focus when the dialog opens.
    m_trvDis->setFocus();
    for (QPushButton* b : findChildren<QPushButton*>()) {
        // Enter belongs to the dialog's own handling, not to a default button.
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void frmSarvo::dispatch(const char* handler, const std::function<void()>& body) {
    m_busy.begin();
    m_dispatcher.dispatch(handler, body);
    m_busy.end();
    refreshFilterBox();
}

void frmSarvo::dispatchBuild(TreeSource source, const char* handler, const std::function<void()>& body) {
    const Restorer building(m_building, source);
    dispatch(handler, body);
}

void frmSarvo::connectEvents() {
    using namespace controls;
    connect(m_Timer1, &FormTimer::Timer, this,
            [this] { dispatch("Timer1_Timer", [this] { Timer1_Timer(); }); });
    connect(m_QzKeyHookCtrl1, &QzKeyHookCtrl::KeyDown, this, [this](int& keyCode, int shift) {
        dispatch("QzKeyHookCtrl1_KeyDown", [&] { Form_KeyDown(keyCode, shift); });
    });
    connect(m_Image1, &FormImage::MouseDown, this, [this](int button, int shift, float x, float y) {
        dispatch("Image1_MouseDown", [=, this] { Image1_MouseDown(button, shift, x, y); });
    });
    connect(m_Image1, &FormImage::MouseMove, this, [this](int button, int shift, float x, float y) {
        dispatch("Image1_MouseMove", [=, this] { Image1_MouseMove(button, shift, x, y); });
    });
    connect(m_Image1, &FormImage::MouseUp, this, [this](int button, int shift, float x, float y) {
        dispatch("Image1_MouseUp", [=, this]() mutable { Image1_MouseUp(button, shift, x, y); });
    });
    connect(m_trvDis, &QzTreeView::NodeClick, this,
            [this](const QzNode& node) { dispatch("trvDis_NodeClick", [&] { trvDis_NodeClick(node); }); });
    connect(m_trvDis, &QzTreeView::DblClick, this,
            [this] { dispatch("trvDis_DblClick", [this] { m_treeEvents->trvDis_DblClick(); }); });
    connect(m_txtFilter, &QzEdit::Change, this, [this] {
        // The typed character is on screen before the tree is rebuilt.
        if (bLoaded && m_txtFilter->isVisible()) m_txtFilter->repaint();
        dispatchBuild(TreeSource::TypedText, "txtFilter_Change",
                      [this] { m_quickFilter->txtFilter_Change(); });
    });
    for (int16_t i = 0; i < 2; ++i)
        connect(m_optFilter[static_cast<size_t>(i)], &QzRadio::Click, this, [this, i] {
            dispatchBuild(TreeSource::TypedText, "optFilter_Click",
                          [this, i] { m_quickFilter->optFilter_Click(i); });
        });
    for (int16_t i = 0; i < 10; ++i)
        connect(m_chkChoice[static_cast<size_t>(i)], &QzCheckBox::Click, this, [this, i] {
            dispatch("chkChoice_Click", [this, i] { m_attributeFilter->chkChoice_Click(i); });
        });
    connect(m_cmdGL, &QzCommandButton::Click, this,
            [this] { dispatch("cmdGL_Click", [this] { m_attributeFilter->cmdGL_Click(); }); });
    for (int16_t i = 0; i < 4; ++i)
        connect(m_cmdButton[static_cast<size_t>(i)], &QzCommandButton::Click, this,
                [this, i] { dispatch("cmdButton_Click", [this, i] { cmdButton_Click(i); }); });
}

void frmSarvo::ShowModal() {
    // The dialog is the request's own: nothing of it survives the request.
    frmSarvo form;
    form.Form_Load();
    form.exec();
}

void frmSarvo::Form_Load() {
    QString scratch;
    basSarvo::ApplyCaptions(this, QStringLiteral("Host.CW.GL.SARvo."), QString(), scratch);
    for (QWidget* w : {static_cast<QWidget*>(m_optFilter[0]), static_cast<QWidget*>(m_optFilter[1]),
                       static_cast<QWidget*>(m_ChkFfc)})
        w->setToolTip(dialog::uiText(w->objectName().toLatin1().constData()));

    QString languageId = basSarvo::oLogin()->LanguageID();
    // Message boxes and the filter box's menu in the login's language.
    m_translations = std::make_unique<host::QtTranslations>(languageId);
    const QString language = languageId.toLower();
    if (language == QLatin1String("zh-cn") || language == QLatin1String("zh-tw")) {
        m_chkTreeDisp->SetVisible(true);
    } else {
        m_chkTreeDisp->SetCaption(basSarvo::GetResString(QStringLiteral("Host.SA.Kelvorn.frmbadboy.01132")));
    }
    basSarvo::SetFontByLanguage(m_chkTreeDisp->Font(), languageId);

    setWindowIcon(QIcon());
    sFilter.clear();
    setWindowIcon(QIcon());

    const qreal ratio = qApp->devicePixelRatio();
    m_ImageList2->ListImages().Add(QStringLiteral("open"), treePicture(134, ratio));
    m_ImageList2->ListImages().Add(QStringLiteral("closed"), treePicture(111, ratio));
    m_ImageList2->ListImages().Add(QStringLiteral("leaf"), treePicture(128, ratio));
    m_ImageList2->ListImages().Add(QStringLiteral("leafsel"), treePicture(129, ratio));
    m_ImageList2->ListImages().Add(QStringLiteral("closesel"), treePicture(112, ratio));
    m_trvDis->SetImageList(m_ImageList2);

    m_Image1->SetPicture(QPixmap(QStringLiteral(":/sarvo/bitmap/130")));

    refAttrib()->putAt(7, Variant(false));

    bDragging = false;
    m_trvDis->SetStyle(7);
    m_trvDis->SetLineStyle(1);
    m_trvDis->SetLabelEdit(1);
    m_trvDis->SetIndentation(120);

    const QString filterMode =
        basSarvo::oZwPub()->GetOption(QStringLiteral("GL"), QStringLiteral("IntSarvoFilter"));
    bLoaded = false;
    if (filterMode == QLatin1String("1")) {
        m_optFilter[1]->SetValue(true);
        iFilterMode = 1;
    } else {
        m_optFilter[0]->SetValue(true);
        iFilterMode = 0;
    }
    // The host's text as given, refused characters included: the first tree is built from it.
    m_txtFilter->SetText(refAttrib()->getAt(1).toDisplayText());
    bLoaded = true;

    basSarvo::GetConnection()->execute(QString::fromUtf8(kIntSarvoTreeRow), -1);
    const QString treeOption =
        basSarvo::oZwPub()->GetOption(QStringLiteral("GL"), QStringLiteral("IntSarvoTree"));
    m_chkTreeDisp->SetValue(treeOption == QLatin1String("1") ? 1 : 0);

    basSarvo::sCloseFilter() = QStringLiteral(" bclose=0 and ");

    const int32_t mode = m_optFilter[1]->Value() ? 1 : 0;
    {
        const Restorer building(m_building, TreeSource::TypedText);
        ApplyQuickFilter(refAttrib()->getAt(1), mode);
    }

    if (refAttrib()->getAt(6).equalsText(QStringLiteral("noedit"))) m_cmdButton[2]->SetEnabled(false);
    refreshFilterBox();
}

QPixmap frmSarvo::treePicture(int resourceId, qreal devicePixelRatio) {
    const QString name = QStringLiteral(":/sarvo/bitmap/%1").arg(resourceId);
    if (devicePixelRatio > 1.0) {
        QPixmap sharp(name + QStringLiteral("@2x"));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(name);
}

void frmSarvo::refreshFilterBox() {
    // A tree built from typed text that holds no account: the box says so.
    const QString typed = m_decorator.filter().typed;
    const int accounts = m_trvDis->Nodes().Count() - m_trvDis->nodeModel()->rowCount();
    const bool noMatch = !typed.isEmpty() && accounts == 0;
    const QString tip = noMatch ? dialog::uiText("NoMatch").arg(typed) : QString();
    if (noMatch == m_txtFilter->property("noMatch").toBool() && tip == m_txtFilter->toolTip()) return;
    m_txtFilter->setProperty("noMatch", noMatch);
    QPalette tint;
    if (noMatch) tint.setColor(QPalette::Base, QColor(0xFF, 0xE1, 0xDC));
    m_txtFilter->setPalette(tint);
    m_txtFilter->setToolTip(tip);
    if (noMatch && m_txtFilter->hasFocus()) showHint(m_txtFilter, tip);
}

void frmSarvo::showHint(QWidget* at, const QString& text) {
    if (text.isEmpty() || !at->isVisible()) return;
    QToolTip::showText(at->mapToGlobal(QPoint(0, at->height())), text, at, QRect(), 3000);
}

QString frmSarvo::favoriteButtonTip() const {
    // What the recently used button would do with the selected node (its click handler's rules).
    const controls::QzNode selected = m_trvDis->SelectedItem();
    const QString key = selected.isNull() ? QString() : selected.Key();
    const QChar first = key.isEmpty() ? QChar() : key.front();
    if (first == QLatin1Char('y')) return dialog::uiText("FavoriteRemove").arg(selected.Text());
    if (first >= QLatin1Char('b') && first <= QLatin1Char('j'))
        return dialog::uiText("FavoriteAdd").arg(selected.Text());
    if (first >= QLatin1Char('k') && first <= QLatin1Char('n')) return dialog::uiText("FavoriteCannot");
    return dialog::uiText("FavoriteNone");
}

bool frmSarvo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cmdButton[1] && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), favoriteButtonTip(), m_cmdButton[1]);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSarvo::Form_Unload() {
    // Never reports: a failed option write is lost, and a failed first write skips the second.
    try {
        const auto zwPub = basSarvo::oZwPub();
        if (!m_optFilter.at(static_cast<size_t>(iFilterMode == 1 ? 1 : 0))->Value()) {
            iFilterMode = m_optFilter[0]->Value() ? 0 : (m_optFilter[1]->Value() ? 1 : 0);
            zwPub->SetOption(QStringLiteral("GL"), QStringLiteral("IntSarvoFilter"),
                             QString::number(iFilterMode));
        }
        zwPub->SetOption(QStringLiteral("GL"), QStringLiteral("IntSarvoTree"),
                         m_chkTreeDisp->Value() == 1 ? QStringLiteral("1") : QStringLiteral("0"));
    } catch (...) {
    }
}

void frmSarvo::Timer1_Timer() {
    m_Timer1->SetEnabled(false);
    Unload();
}

void frmSarvo::Form_KeyDown(int& keyCode, int /*shift*/) {
    const QString active = controls::Screen::ActiveControlName();
    if (active.isEmpty()) return;
    if (active.toLower() == QLatin1String("trvdis") && keyCode == 13) cmdButton_Click(0);
}

void frmSarvo::Image1_MouseDown(int button, int /*shift*/, float x, float /*y*/) {
    if (button != 1) return;
    SetMousePointer(9);
    bDragging = true;
    const int lineX = static_cast<int>(static_cast<float>(m_Image1->Left()) + x);
    m_Line1->SetX1(lineX);
    m_Line1->SetX2(lineX);
    m_Line1->SetVisible(true);
    m_Line1->ZOrder(0);
}

void frmSarvo::Image1_MouseMove(int /*button*/, int /*shift*/, float x, float /*y*/) {
    if (!bDragging) return;
    m_Line1->SetVisible(false);
    const int lineX = static_cast<int>(static_cast<float>(m_Image1->Left()) + x);
    m_Line1->SetX1(lineX);
    m_Line1->SetX2(lineX);
    m_Line1->SetVisible(true);
}

void frmSarvo::Image1_MouseUp(int /*button*/, int /*shift*/, float& x, float /*y*/) {
    m_Line1->SetVisible(false);
    bDragging = false;
    SetMousePointer(0);
    const float screenWidth = static_cast<float>(controls::Screen::Width());
    // Keep the dialog inside the screen's right edge and no wider than the screen.
    if (screenWidth - static_cast<float>(formLeft() + formWidth()) < x)
        x = screenWidth - static_cast<float>(formLeft() + formWidth());
    if (screenWidth - static_cast<float>(formWidth()) < x) x = screenWidth - static_cast<float>(formWidth());
    // Keep the tree at least 1000 twips wide.
    if (static_cast<float>(m_trvDis->Width()) + x < 1000.0f)
        x = 1000.0f - static_cast<float>(m_trvDis->Width());
    const int dx = static_cast<int>(x);
    m_trvDis->SetWidth(m_trvDis->Width() + dx);
    m_Image1->SetLeft(m_Image1->Left() + dx);
    for (controls::QzCommandButton* b : m_cmdButton)
        b->SetLeft(b->Left() + dx);
    setFormWidth(formWidth() + dx);
}

int frmSarvo::formLeft() const {
    return controls::Twips::fromPixels(frameGeometry().left());
}
int frmSarvo::formWidth() const {
    return controls::Twips::fromPixels(frameGeometry().width());
}

void frmSarvo::setFormWidth(int twips) {
    const int frame = frameGeometry().width() - width();
    setFixedWidth(controls::Twips::toPixels(twips) - frame);
}

void frmSarvo::closeEvent(QCloseEvent* event) {
    // Every way out (cancel, the close timer, the window's close button) comes here once.
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void frmSarvo::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter in the tree is handled by the key hook; in the filter box it confirms as in the
        // tree; a focused button takes it itself.
        event->accept();
        if (QApplication::focusWidget() == m_txtFilter) {
            dispatch("cmdButton_Click", [this] { cmdButton_Click(0); });
            return;
        }
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget())) button->click();
        return;
    case Qt::Key_Escape:
        // Escape is the Cancel button: the host reads the request back as not confirmed.
        event->accept();
        dispatch("cmdButton_Click", [this] { cmdButton_Click(3); });
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frmSarvo::reject() {
    Unload();
}

void frmSarvo::Unload() {
    if (!m_unloaded)
        close();
    else
        QDialog::done(QDialog::Rejected);
}

void frmSarvo::EnableCloseTimer() {
    m_Timer1->SetEnabled(true);
}

void frmSarvo::SetMousePointer(int pointer) {
    controls::Screen::SetMousePointer(this, pointer);
}

QString frmSarvo::DisplayText(const QString& text) {
    return basSarvo::oZwPub()->DisplayText(text);
}

void frmSarvo::BuildAccountTree() {
    dialog::AccountNodeDecorator::Filter built;
    built.condition = sFilter;
    built.hierarchy = m_chkTreeDisp->Value() != 0;
    if (m_building == TreeSource::TypedText) {
        built.typed = trimBlanks(m_txtFilter->Text());
        built.mode = m_optFilter[1]->Value() ? 1 : 0;
    }
    m_decorator.setFilter(built);
    m_accountTree->BuildAccountTree();
}
void frmSarvo::BuildTreeRoots() {
    m_decorator.setFilter({});
    m_treeRoots->BuildTreeRoots();
}
void frmSarvo::LoadGradeLevel(const QString& sCode, const QString& sClass, int16_t iGrade) {
    m_accountTree->LoadGradeLevel(sCode, sClass, iGrade);
}
void frmSarvo::LoadFilteredChildren(const QString& sKey, int16_t iGrade) {
    m_accountTree->LoadFilteredChildren(sKey, iGrade);
}
void frmSarvo::trvDis_NodeClick(const controls::QzNode& node) {
    m_treeEvents->trvDis_NodeClick(node);
}
void frmSarvo::ShowAccountAttributes(const controls::QzNode& node) {
    m_attributeDisplay->ShowAccountAttributes(node);
}
void frmSarvo::ApplyQuickFilter(const Variant& vText, int32_t iMode) {
    m_quickFilter->ApplyQuickFilter(vText, iMode);
}
void frmSarvo::cmdButton_Click(int16_t index) {
    m_commandButtons->cmdButton_Click(index);
}

} // namespace sarvo
