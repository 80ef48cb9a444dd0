#include "screens/import/frmColumns.h"

#include "import/PaymentMethods.h"
#include "widgets/DialogSetup.h"
#include "widgets/MessageService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {

QComboBox *labelledCombo(QWidget *parent, const QString &name, const QString &caption, int top)
{
    auto *label = ScreenSetup::Place<QLabel>(parent, name + u"Label"_s, {240, top + 45, 1800, 255}, caption);
    auto *combo = ScreenSetup::Place<QComboBox>(parent, name, {2100, top, 4200, 315});
    label->setBuddy(combo);
    return combo;
}

} // namespace

frmColumns::frmColumns(QWidget *owner, const QList<QStringList> &firstRows, const std::optional<CsvColumns> &preset)
    : QDialog(owner)
    , m_rows(firstRows.mid(0, PreviewRows))
{
    for (const QStringList &row : std::as_const(m_rows))
        m_columnCount = std::max(m_columnCount, int(row.size()));
    DialogSetup::Prepare(this, u"frmColumns"_s, u"列の割り当て"_s, 9600, 8200);
    createControls();
    fillColumns();
    if (preset)
        choose(*preset);
}

void frmColumns::choose(const CsvColumns &preset)
{
    chkHeader->setChecked(preset.headerRow);
    const int order = preset.order.isEmpty() ? -1 : preset.order.constFirst();
    for (const auto &[combo, column] :
         {std::pair{cboDate, preset.date}, std::pair{cboAmount, preset.amount}, std::pair{cboWithdrawal, preset.withdrawal},
          std::pair{cboPayer, preset.payer}, std::pair{cboOrder, order}, std::pair{cboFee, preset.fee},
          std::pair{cboNet, preset.net}, std::pair{cboType, preset.type}, std::pair{cboKind, preset.kind}}) {
        if (const int at = combo->findData(column); at >= 0)
            combo->setCurrentIndex(at);
    }
    for (int c = 0; c < lstSearched->count(); ++c)
        lstSearched->item(c)->setCheckState(preset.searched.contains(c) ? Qt::Checked : Qt::Unchecked);
    // The choice is there to be confirmed: Enter accepts it.
    findChild<QPushButton *>(u"cmdOK"_s)->setFocus();
}

void frmColumns::createControls()
{
    ScreenSetup::Place<QLabel>(this, u"lblGuide"_s, {240, 120, 9120, 255},
                               u"見出しから日付と金額の列が分かりません。各項目の列を選んでください。"_s);
    grdPreview = ScreenSetup::Place<QTableWidget>(this, u"grdPreview"_s, {240, 420, 9120, 1900});
    grdPreview->setFocusPolicy(Qt::NoFocus);
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Tab order follows creation: the header choice, the columns, the buttons.
    chkHeader = ScreenSetup::Place<QCheckBox>(this, u"chkHeader"_s, {240, 2400, 6000, 315}, u"1行目は見出し(&H)"_s);
    chkHeader->setChecked(!m_rows.isEmpty() && !CsvColumns::looksLikeData(m_rows.constFirst()));
    cboDate = labelledCombo(this, u"cboDate"_s, u"日付(&D)"_s, 2800);
    cboAmount = labelledCombo(this, u"cboAmount"_s, u"入金額(&A)"_s, 3200);
    cboWithdrawal = labelledCombo(this, u"cboWithdrawal"_s, u"出金額(&W)"_s, 3600);
    cboPayer = labelledCombo(this, u"cboPayer"_s, u"振込依頼人名(&N)"_s, 4000);
    auto *searchedLabel = ScreenSetup::Place<QLabel>(this, u"lblSearched"_s, {6540, 2445, 2820, 255},
                                                     u"注文番号を探す列(&S)"_s);
    lstSearched = ScreenSetup::Place<QListWidget>(this, u"lstSearched"_s, {6540, 2800, 2820, 2700});
    searchedLabel->setBuddy(lstSearched);
    // What the statements of payment services, 後払い and 代引 carry besides.
    cboOrder = labelledCombo(this, u"cboOrder"_s, u"注文番号(&O)"_s, 4400);
    cboFee = labelledCombo(this, u"cboFee"_s, u"手数料(&F)"_s, 4800);
    cboNet = labelledCombo(this, u"cboNet"_s, u"差引額(&E)"_s, 5200);
    cboType = labelledCombo(this, u"cboType"_s, u"取引種別(&T)"_s, 5600);
    cboKind = labelledCombo(this, u"cboKind"_s, u"ファイルの種類(&K)"_s, 6000);
    using Kind = PaymentMethods::FileKind;
    for (const Kind kind : {Kind::Bank, Kind::Service, Kind::Deferred, Kind::CashOnDelivery})
        cboKind->addItem(PaymentMethods::kindName(kind), int(kind));

    auto *cmdOK = ScreenSetup::Place<QPushButton>(this, u"cmdOK"_s, {6300, 7600, 1455, 375}, u"OK"_s);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmColumns::cmdOK_Click);
    DialogSetup::CancelButton(this, {7905, 7600, 1455, 375});
    connect(chkHeader, &QCheckBox::toggled, this, &frmColumns::fillColumns);
    cboDate->setFocus();
}

void frmColumns::fillColumns()
{
    const bool header = chkHeader->isChecked();
    const QStringList names = header && !m_rows.isEmpty() ? m_rows.constFirst() : QStringList();
    grdPreview->setColumnCount(m_columnCount);
    grdPreview->setRowCount(int(m_rows.size()) - (header ? 1 : 0));
    QStringList headers;
    for (int c = 0; c < m_columnCount; ++c)
        headers << u"%1列目 %2"_s.arg(c + 1).arg(names.value(c));
    grdPreview->setHorizontalHeaderLabels(headers);
    for (int r = header ? 1 : 0, row = 0; r < m_rows.size(); ++r, ++row) {
        for (int c = 0; c < m_columnCount; ++c)
            grdPreview->setItem(row, c, new QTableWidgetItem(m_rows.at(r).value(c)));
    }

    // Each choice names the column by its place, its header and a first value.
    const QStringList firstData = m_rows.value(header ? 1 : 0);
    QStringList items;
    for (int c = 0; c < m_columnCount; ++c) {
        QString item = u"%1列目"_s.arg(c + 1);
        if (!names.value(c).isEmpty())
            item += u" " + names.value(c);
        if (!firstData.value(c).isEmpty())
            item += u"（" + firstData.value(c).left(20) + u"）";
        items << item;
    }
    const QList<std::pair<QComboBox *, bool>> combos{{cboDate, false}, {cboAmount, false}, {cboWithdrawal, true},
                                                     {cboPayer, true},  {cboOrder, true},   {cboFee, true},
                                                     {cboNet, true},    {cboType, true}};
    for (const auto &[combo, optional] : combos) {
        const int kept = combo->currentIndex();
        combo->clear();
        if (optional)
            combo->addItem(u"（なし）"_s, -1);
        for (int c = 0; c < m_columnCount; ++c)
            combo->addItem(items.at(c), c);
        combo->setCurrentIndex(std::max(kept, 0));
    }
    QList<bool> ticked;
    for (int c = 0; c < lstSearched->count(); ++c)
        ticked << (lstSearched->item(c)->checkState() == Qt::Checked);
    lstSearched->clear();
    for (int c = 0; c < m_columnCount; ++c) {
        auto *item = new QListWidgetItem(items.at(c), lstSearched);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.value(c) ? Qt::Checked : Qt::Unchecked);
    }
    lstSearched->setCurrentRow(0);
}

CsvColumns frmColumns::columns() const
{
    CsvColumns columns;
    columns.headerRow = chkHeader->isChecked();
    columns.date = cboDate->currentData().toInt();
    columns.amount = cboAmount->currentData().toInt();
    columns.withdrawal = cboWithdrawal->currentData().toInt();
    columns.payer = cboPayer->currentData().toInt();
    if (const int order = cboOrder->currentData().toInt(); order >= 0)
        columns.order = {order};
    columns.fee = cboFee->currentData().toInt();
    columns.net = cboNet->currentData().toInt();
    columns.type = cboType->currentData().toInt();
    columns.kind = cboKind->currentData().toInt();
    for (int c = 0; c < lstSearched->count(); ++c) {
        if (lstSearched->item(c)->checkState() == Qt::Checked)
            columns.searched.append(c);
    }
    for (const int column : {columns.payer, columns.order.value(0, -1)}) {
        if (column >= 0 && !columns.searched.contains(column))
            columns.searched.append(column);
    }
    return columns;
}

void frmColumns::cmdOK_Click()
{
    const CsvColumns chosen = columns();
    if (chosen.date == chosen.amount || chosen.amount == chosen.withdrawal || chosen.date == chosen.withdrawal) {
        MessageService::Exclamation(this, u"日付・入金額・出金額には別々の列を選んでください。"_s, windowTitle());
        return;
    }
    accept();
}
