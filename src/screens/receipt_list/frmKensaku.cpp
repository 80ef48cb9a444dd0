#include "screens/receipt_list/frmKensaku.h"

#include "widgets/MessageService.h"
#include "core/data/DbConnection.h"
#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"
#include "widgets/DateBoxFocus.h"
#include "widgets/ScreenSetup.h"
#include "widgets/WaitCursor.h"
#include "widgets/input/modKeyHook.h"
#include "widgets/layout/Twips.h"
#include "screens/receipt_list/OrderListCells.h"
#include "screens/receipt_list/ReceiptTotals.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCloseEvent>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int DesignClientWidth = 13110;
constexpr int DesignClientHeight = 6555;

} // namespace

// Every function key of the screen: its key, its button (name, caption, left
// edge in twips, anchor) and what both do.
const frmKensaku::FunctionKey frmKensaku::FunctionKeys[FunctionKeyCount] = {
    {Qt::Key_F1, "cmdSearch", u"表示", 240, "LEFTBOTTOM", &frmKensaku::cmdSearch_Click},
    {Qt::Key_F2, "Command2", u"", 1200, "LEFTBOTTOM", nullptr},
    {Qt::Key_F3, "Command3", u"", 2160, "LEFTBOTTOM", nullptr},
    {Qt::Key_F4, "cmdSet", u"入金日", 3120, "LEFTBOTTOM", &frmKensaku::cmdSet_Click},
    {Qt::Key_F5, "cmdAllSelect", u"全選択", 4680, "BOTTOM", &frmKensaku::cmdAllSelect_Click},
    {Qt::Key_F6, "cmdAllEject", u"全解除", 5640, "BOTTOM", &frmKensaku::cmdAllEject_Click},
    {Qt::Key_F7, "Command5", u"", 6600, "BOTTOM", nullptr},
    {Qt::Key_F8, "cmdDelete", u"", 7560, "BOTTOM", nullptr},
    {Qt::Key_F9, "cmdUpdate", u"登録", 9120, "RIGHTBOTTOM", &frmKensaku::cmdUpdate_Click},
    {Qt::Key_F10, "Command6", u"", 10080, "RIGHTBOTTOM", nullptr},
    {Qt::Key_F11, "cmdChange", u"", 11040, "RIGHTBOTTOM", nullptr},
    {Qt::Key_F12, "cmdClose", u"閉じる", 12000, "RIGHTBOTTOM", &frmKensaku::closeScreen},
};

frmKensaku::frmKensaku(const Session &session, const SuiteSettings &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_settings(settings)
{
    try {
        if (m_session.hasConnection())
            m_session.connection().SetLockTimeout(m_settings.lockTimeoutMs(QtSqlConnection::DefaultLockTimeoutMs));
    } catch (const DbError &) {
        // The connection keeps the wait it had; its statements will tell
        // the operator if it is unusable.
    }

    ScreenSetup::PrepareScreen(this, u"frmKensaku"_s, u"入金対象一覧"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    createControls();
    createMenus();

    qApp->installEventFilter(this);
}

frmKensaku::~frmKensaku()
{
    // A window deleted without closing still ends Show().
    if (!unloadedFlg) {
        RemoveKeyHook();
        unloadedFlg = true;
        Q_EMIT unloaded();
    }
    // The grid outlives the orders it shows, as a child deleted later.
    if (sprNyukin)
        sprNyukin->lendRows(nullptr);
}

void frmKensaku::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setCentralWidget(client);

    const char16_t *labelCaptions[3] = {u"サイト", u"出荷日", u"～"};
    QLabel *Label1[3] = {};
    const ScreenSetup::Design labelDesign[3] = {{360, 180, 405, 180}, {240, 645, 540, 180}, {2400, 630, 180, 180}};
    for (int i = 0; i < 3; ++i) {
        Label1[i] = ScreenSetup::Place<QLabel>(client, u"Label1"_s, labelDesign[i], QString::fromUtf16(labelCaptions[i]));
        ScreenSetup::NameControl(Label1[i], u"Label1"_s, i);
        // The caption is never cut: a label wider than its design box keeps its text whole.
        Label1[i]->resize(std::max(Label1[i]->width(), Label1[i]->sizeHint().width()),
                          Label1[i]->height());
    }

    cboShop_id = ScreenSetup::Place<QComboBox>(client, u"cboShop_id"_s, {1200, 120, 3735, 300});
    cboShop_id->addItem(u"全て"_s);

    m_dateFocus = new DateBoxFocus(this, [this](QLineEdit *box) { return txtDate_Validate(box == txtDate[0] ? 0 : 1); });
    for (int i = 0; i < 2; ++i) {
        txtDate[i] = ScreenSetup::Place<QLineEdit>(client, u"txtDate"_s, {i == 0 ? 1200 : 2760, 570, 1095, 315});
        ScreenSetup::NameControl(txtDate[i], u"txtDate"_s, i);
        m_dateFocus->watch(txtDate[i]);
    }
    // Tab order follows the design: shop, from, to, grid, buttons.
    Label1[1]->raise();
    Label1[2]->raise();

    sprNyukin = ScreenSetup::Place<vaSpread>(client, u"sprNyukin"_s, {240, 960, 12615, 4935});
    ScreenSetup::SetAnchor(sprNyukin, u"LEFTRIGHTTOPBOTTOM"_s);
    sprNyukin->setColumns(GridColumns(), DataOnlyColumns);
    m_orderCells = std::make_unique<OrderListCells>(m_orders);
    sprNyukin->lendRows(m_orderCells.get());
    connect(sprNyukin, &vaSpread::Change, this, &frmKensaku::sprNyukin_Change);
    connect(sprNyukin, &vaSpread::Click, this, &frmKensaku::sprNyukin_Click);

    // A date box just left is checked before any button acts on its text.
    for (int i = 0; i < FunctionKeyCount; ++i) {
        const FunctionKey &key = FunctionKeys[i];
        auto *button = ScreenSetup::Place<QPushButton>(client, QString::fromLatin1(key.name), {key.left, 6120, 855, 375},
                                                       QString::fromUtf16(key.caption));
        ScreenSetup::SetAnchor(button, QString::fromLatin1(key.anchor));
        button->setAutoDefault(false);
        functionButtons[i] = button;
        if (key.action)
            connect(button, &QPushButton::clicked, this, [this, action = key.action] {
                if (m_dateFocus->settle())
                    (this->*action)();
            });
    }

    client->setMinimumSize(0, 0);
    client->resize(Twips::ToPixelsX(DesignClientWidth, this), Twips::ToPixelsY(DesignClientHeight, this));
}

void frmKensaku::createMenus()
{
    // Menus and items are named as designed, for the key hook and the layout.
    const auto menu = [this](const QString &name, const QString &caption) {
        QMenu *added = menuBar()->addMenu(caption);
        added->setObjectName(name);
        return added;
    };
    const auto item = [this](QMenu *parent, const QString &name, const QString &caption, QKeySequence shortcut,
                             auto slot) {
        QAction *added = parent->addAction(caption);
        added->setObjectName(name);
        added->setShortcut(shortcut);
        connect(added, &QAction::triggered, this, slot);
        return added;
    };
    mnuKanri = item(menu(u"mnuSettei"_s, u"設定"_s), u"mnuKanri"_s, u"入金管理..."_s, {}, &frmKensaku::mnuKanri_Click);
    QMenu *mnuView = menu(u"mnuView"_s, u"表示"_s);
    mnuViewSub = item(mnuView, {}, u"支払方法"_s, {}, [this] { mnuViewSub_Click(0); });
    ScreenSetup::NameControl(mnuViewSub, u"mnuViewSub"_s, 0);
    item(mnuView, u"mnuRireki"_s, u"入金履歴..."_s, Qt::CTRL | Qt::Key_H, &frmKensaku::mnuRireki_Click);
    mnuTorikomi = item(menu(u"mnuImport"_s, u"取込"_s), u"mnuTorikomi"_s, u"入金データ取込..."_s,
                       Qt::CTRL | Qt::Key_I, &frmKensaku::mnuTorikomi_Click);

    // The status line tells what needs no box (a lesson not learnt).
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addPermanentWidget(new ReceiptTotals(m_orders, sprNyukin->model(), statusBar()));
    // The client area is the design size; the menu bar comes on top of it,
    // the status line below.
    const int barsHeight = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    resize(Twips::ToPixelsX(DesignClientWidth, this), Twips::ToPixelsY(DesignClientHeight, this) + barsHeight);
}

QList<ColumnDef> frmKensaku::GridColumns()
{
    using Kind = CellKind;
    // Order numbers are exact whole numbers, amounts whole yen.
    return {
        {.header = u" "_s, .width = 2.87, .kind = Kind::CheckBox},
        {.header = u"No."_s, .width = 3.87, .kind = Kind::Integer},
        {.header = u"会社名"_s, .width = 17.62, .maxLength = 60},
        {.header = u"氏名"_s, .width = 16.87, .maxLength = 50},
        {.header = u"TEL"_s, .width = 13.25, .maxLength = 28},
        {.header = u"注文日"_s, .width = 8.75, .maxLength = 19},
        {.header = u"請求額"_s, .width = 8.5, .kind = Kind::Yen, .grouping = true},
        {.header = u"出荷日"_s, .maxLength = 19},
        {.header = u"入金日"_s, .width = 8.0, .kind = Kind::Date},
        {.header = u"入金額"_s, .width = 7.37, .kind = Kind::Yen, .minimum = 0, .grouping = true},
        {.header = u"支払方法"_s, .width = 8.37, .maxLength = 20},
        {.header = u"備考"_s, .width = 8.25, .maxLength = 10},
        {.header = u"更新フラグ"_s, .width = 0, .kind = Kind::Number},
        {.header = u"メール"_s, .width = 0, .kind = Kind::Number},
    };
}

QPushButton *frmKensaku::button(int functionKey) const
{
    Q_ASSERT(functionKey >= 1 && functionKey <= FunctionKeyCount);
    return functionButtons[functionKey - 1];
}

bool frmKensaku::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && !m_activated)
        FirstActivation();
    return QMainWindow::event(event);
}

void frmKensaku::FirstActivation()
{
    if (mbytLoadError != 0) {
        close();
        return;
    }
    CaptureAnchors(this, m_anchorTable);
    ApplyAnchors(this, m_anchorTable, m_settings.setting(SettingSlot::WindowSizeIndex, QString()));
    m_activated = true;
    InstallKeyHook();

    if (!m_session.mayRegister()) {
        button(9)->setEnabled(false);
        mnuKanri->setEnabled(false);
        mnuTorikomi->setEnabled(false);
    }
    txtDate[0]->clear();
    txtDate[1]->setText(FieldValue::FormatDate(QDate::currentDate()));
    pbytMailSet = 0;

    // Each list on its own: a table that cannot be read costs its list, and
    // the operator hears of it once.
    QStringList failures;
    const auto read = [&failures](auto load) {
        try {
            load();
            return true;
        } catch (const DbError &error) {
            failures.append(error.description());
            return false;
        }
    };
    {
        WaitCursor wait;
        read([this] { LoadShopList(); });
        if (cboShop_id->count() >= 1)
            cboShop_id->setCurrentIndex(0);
        // The usable methods come from the same table, which would only tell its failure again.
        if (read([this] { LoadPaymentTable(); }))
            LoadOkMethodList();
        mlngSortCol = 2;
        mintSortOrder = 1;
        m_session.setShownMethod(-1);
    }
    // Once the activation is over, so the box sits over the open screen.
    if (!failures.isEmpty())
        QTimer::singleShot(0, this, [this, text = failures.join(u"\n"_s)] {
            MessageService::Critical(this, text, windowTitle());
        });
}

void frmKensaku::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isMinimized() || m_anchorTable.isEmpty())
        return;
    // 2 is the fixed-ratio layout, which ignores resizes.
    const QString windowSizeIndex = m_settings.setting(SettingSlot::WindowSizeIndex, QString());
    if (FieldValue::Number(windowSizeIndex) == 2)
        return;
    ApplyAnchors(this, m_anchorTable, windowSizeIndex);
}

bool frmKensaku::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    // The form previews every key of its own controls, once: a key it
    // declines travels up the parents as the same event.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this
        || (event == m_previewedKey && m_previewedBy && widget != m_previewedBy && widget->isAncestorOf(m_previewedBy)))
        return QMainWindow::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    if (HandleFunctionKey(keyEvent->key(), keyEvent->modifiers()))
        return true;
    m_previewedKey = event;
    m_previewedBy = widget;
    return QMainWindow::eventFilter(watched, event);
}

bool frmKensaku::HandleFunctionKey(int keyCode, Qt::KeyboardModifiers shift)
{
    if (keyCode == Qt::Key_F5 && shift.testFlag(Qt::ShiftModifier)) {
        if (MessageService::Question(this, u"ﾃﾞｰﾀの再読み込みを行いますか？"_s, windowTitle())
            != QMessageBox::Yes)
            return false;
        // Every method shown again; the rows read afresh are none of them hidden.
        m_session.setShownMethod(-1);
        cmdSearch_Click();
        return true;
    }

    if (shift.testAnyFlags(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;

    for (int i = 0; i < FunctionKeyCount; ++i) {
        const FunctionKey &key = FunctionKeys[i];
        if (key.key != keyCode)
            continue;
        if (!key.action)
            return false;
        if (functionButtons[i]->isEnabled() && m_dateFocus->settle())
            (this->*key.action)();
        return true;
    }
    return false;
}

void frmKensaku::cmdSearch_Click()
{
    ReDrawGuard noPaint(sprNyukin);
    LoadOrderList();
    SortList();
}

bool frmKensaku::txtDate_Validate(int index)
{
    QLineEdit *box = txtDate[index];
    if (!box)
        return true;
    const QString trimmed = box->text().trimmed();
    if (trimmed.isEmpty())
        return true;
    if (const auto date = FieldValue::ParseDate(CellText::toHalfWidth(trimmed))) {
        box->setText(FieldValue::FormatDate(*date));
        return true;
    }
    MessageService::Information(this, u"日付を入力してください。"_s, windowTitle());
    m_dateFocus->returnTo(box);
    return false;
}

void frmKensaku::closeEvent(QCloseEvent *event)
{
    RemoveKeyHook();
    event->accept();
    unloadedFlg = true;
    Q_EMIT unloaded();
}
