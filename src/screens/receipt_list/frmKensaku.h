#pragma once

#include "import/PayerNames.h"
#include "core/receipt/OrderList.h"
#include "core/receipt/PaymentHistory.h"
#include "core/receipt/ReceiptRegistration.h"
#include "core/receipt/Session.h"
#include "core/settings/SuiteSettings.h"
#include "screens/dialogs/ReceiptListProperties.h"
#include "widgets/grid/vaSpread.h"
#include "widgets/layout/modAnchor.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class NameIndex;
class QAction;
class DateBoxFocus;
class OrderListCells;
struct ListedOrder;
class QComboBox;
class QLineEdit;
class QPushButton;

// The receipt list "入金対象一覧": unpaid orders by ship date and shop, their
// payment dates and amounts, and the registration of those receipts.
//
// One window per Show(): closing it unloads (deletes) the window, and the next
// Show() creates and initialises a fresh one.
class frmKensaku final : public QMainWindow, public ReceiptListProperties
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmKensaku)

public:
    // Grid columns of sprNyukin.
    enum Column {
        ColMark = 1,
        ColId,
        ColCompany,
        ColName,
        ColTel,
        ColOrderDate,
        ColBilled,
        ColShipDate,
        ColPaidDate,
        ColPaidAmount,
        ColMethod,
        ColRemarks,
        ColUpdateFlag,
        ColMailFlag,
        // Kept per row, never shown: the shop for the list filter, TEL1 for
        // the import's phone key.
        ColShopId,
        ColTel1,
        ColumnEnd, // one past the last; the counts follow from it
        ColumnCount = ColumnEnd - 1
    };

    // The displayed columns of sprNyukin, as designed; the data-only ones
    // (ColShopId on) follow them.
    static QList<ColumnDef> GridColumns();
    static constexpr int DataOnlyColumns = ColumnCount - ColShopId + 1;
    // The operator's message when a registration meets orders that another
    // operator changed after this list was read.
    static QString ChangedElsewhereMessage(const QList<qint64> &orderIds);

    // The session and settings are lent for the window's life; its dialogs borrow them in turn.
    frmKensaku(const Session &session, const SuiteSettings &settings, QWidget *parent = nullptr);
    ~frmKensaku() override;

    // Show() waits for this.
    bool unloadedFlg = false;

    // 1 when orders paid by strMethod are to be listed.
    quint8 F_Siharai_NyukinCheck(const QString &strMethod) const;

    // List loading and filtering.
    void LoadShopList();
    void LoadPaymentTable();
    void LoadOkMethodList();
    void LoadOrderList();
    void ApplyListFilter();

    // Editing, sorting and registering.
    void SortList() { SortByColumn(mlngSortCol); }
    void SortByColumn(int column);
    void cmdAllSelect_Click() { markVisibleRows(1); }
    void cmdAllEject_Click() { markVisibleRows(0); }
    void cmdSet_Click();
    void ApplyDateToMatching();
    void ApplyDateToAllMarked();
    void cmdUpdate_Click();
    void cmdSearch_Click();
    void mnuKanri_Click();
    void mnuViewSub_Click(int index);
    // 表示 → 入金履歴...: the registrations, and their take-back.
    void mnuRireki_Click();

    // Payment statement import: the file chooser, then reading, matching,
    // the preview and the grid. ListedOrders is what the import matches against.
    void mnuTorikomi_Click();
    void ImportStatement(const QString &path);
    QList<ListedOrder> ListedOrders() const;
    // Payer names of lines given to orders by hand, taught once 登録 committed
    // and then forgotten, written or not.
    void TeachPayerNames(const QList<ReceiptRegistration::Receipt> &receipts);

    // The form's key preview: returns true when the key was consumed.
    bool HandleFunctionKey(int keyCode, Qt::KeyboardModifiers shift);

    const Session &session() const { return m_session; }
    const SuiteSettings &settings() const { return m_settings; }
    vaSpread *grid() const { return sprNyukin; }
    QLineEdit *dateBox(int index) const { return txtDate[index]; }
    QComboBox *shopCombo() const { return cboShop_id; }
    // F1 to F12, each with its button.
    static constexpr int FunctionKeyCount = 12;
    QPushButton *button(int functionKey) const; // 1..FunctionKeyCount
    QAction *kanriMenuItem() const { return mnuKanri; }
    QAction *viewMenuItem() const { return mnuViewSub; }
    QAction *importMenuItem() const { return mnuTorikomi; }

Q_SIGNALS:
    // The window has unloaded; Show() stops waiting.
    void unloaded();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One function key: the key, its button's name and caption, and what
    // pressing either does (none for a blank button, whose key the screen
    // leaves alone).
    struct FunctionKey
    {
        int key;
        const char *name;
        const char16_t *caption;
        int left;
        const char *anchor;
        void (frmKensaku::*action)();
    };
    static const FunctionKey FunctionKeys[FunctionKeyCount];

    void createControls();
    void createMenus();
    void FirstActivation();
    void closeScreen() { close(); }
    bool txtDate_Validate(int index);
    void sprNyukin_Change(int col, int row);
    void sprNyukin_Click(int col, int row);
    void markVisibleRows(int mark);
    // The bulk date and the billed amounts into the marked rows, of every method or of pstrSiharai.
    void fillMarked(bool everyMethod);
    QString selectedShopId() const;

    Session m_session;
    SuiteSettings m_settings;
    // The listed orders; sprNyukin is a view over them.
    OrderList m_orders;
    std::unique_ptr<OrderListCells> m_orderCells;
    QComboBox *cboShop_id = nullptr;
    QLineEdit *txtDate[2] = {};
    DateBoxFocus *m_dateFocus = nullptr;
    vaSpread *sprNyukin = nullptr;
    QPushButton *functionButtons[FunctionKeyCount] = {}; // as FunctionKeys lists them
    QAction *mnuKanri = nullptr;
    QAction *mnuViewSub = nullptr;
    QAction *mnuTorikomi = nullptr;

    AnchorTable m_anchorTable;
    bool m_activated = false;
    qint32 mlngSortCol = 2;
    qint16 mintSortOrder = 1;
    quint8 mbytLoadError = 0;
    const QEvent *m_previewedKey = nullptr;
    QPointer<QWidget> m_previewedBy;
    QList<PayerNames::Lesson> m_payerLessons;
    // The receipts of the last 登録 whose COMMIT went unanswered, until one commits.
    QList<ReceiptRegistration::Receipt> m_unanswered;
    // The listed names' readings, indexed at the first import after a 表示.
    std::shared_ptr<const NameIndex> m_nameIndex;
    // Whether 登録 writes the history; unknown until the first 登録 asks.
    std::optional<bool> m_historyOn;
};
