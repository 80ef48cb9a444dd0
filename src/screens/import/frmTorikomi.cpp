#include "screens/import/frmTorikomi.h"

#include "core/data/CellText.h"
#include "import/PaymentImport.h"
#include "widgets/DialogSetup.h"
#include "widgets/grid/vaSpread.h"

#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Lines that need a look stand out; those that need a choice less so. A 取消
// (a refund, a chargeback) pays nothing and is told apart from a mistake; a
// 速報 only says that money is on its way.
const QColor Attention{255, 200, 200};
const QColor Choice{255, 255, 200};
const QColor TakenBack{220, 205, 255};
const QColor OnItsWay{210, 235, 255};

QString formatName(Statement::Format format, TextEncoding encoding)
{
    if (format == Statement::Format::Csv)
        return encoding == TextEncoding::Cp932 ? u"CSV (Shift_JIS)"_s : u"CSV (UTF-8)"_s;
    // In the order of Statement::Format.
    static const std::array<QString, 5> names{QString(), u"入出金取引明細"_s, u"振込入金通知"_s,
                                              u"コンビニ収納 CSV"_s, u"コンビニ収納 120バイト"_s};
    return names[size_t(format)];
}

QColor colorOf(MatchStatus status)
{
    switch (status) {
    case MatchStatus::Match:
    case MatchStatus::FeeShort:
    case MatchStatus::Combined:
    case MatchStatus::Split:
        return {};
    case MatchStatus::Candidate:
    case MatchStatus::MultipleCandidates:
        return Choice;
    case MatchStatus::Cancelled:
        return TakenBack;
    case MatchStatus::Early:
        return OnItsWay;
    default:
        return Attention;
    }
}

} // namespace

frmTorikomi::frmTorikomi(QWidget *owner, PaymentImport &import, const QString &sourcePath)
    : QDialog(owner)
    , m_import(import)
    , m_sourcePath(sourcePath)
{
    DialogSetup::Prepare(this, u"frmTorikomi"_s, u"入金データ取込"_s, 13110, 6555);
    createControls();
    Form_Load();
}

frmTorikomi::~frmTorikomi()
{
    // The grid, a child deleted later, outlives the rows it shows.
    sprTorikomi->lendRows(nullptr);
}

void frmTorikomi::createControls()
{
    // Created in tab order: the list, the candidate choice, the buttons.
    Label1 = ScreenSetup::Place<QLabel>(this, u"Label1"_s, {240, 120, 12615, 255});

    sprTorikomi = ScreenSetup::Place<vaSpread>(this, u"sprTorikomi"_s, {240, 420, 12615, 3840});
    using Kind = CellKind;
    m_columns = {{.header = u"反映"_s, .width = 3.5, .kind = Kind::CheckBox},
                 {.header = u"行"_s, .width = 4.5, .kind = Kind::Number},
                 {.header = u"日付"_s, .width = 8},
                 {.header = u"金額"_s, .width = 8.5, .kind = Kind::Number, .grouping = true},
                 {.header = u"依頼人・摘要"_s, .width = 22},
                 {.header = u"状態"_s, .width = 6.5},
                 {.header = u"照合"_s, .width = 4.5},
                 {.header = u"No."_s, .width = 6, .kind = Kind::Number},
                 {.header = u"氏名"_s, .width = 13},
                 {.header = u"請求額"_s, .width = 8.5, .kind = Kind::Number, .grouping = true},
                 {.header = u"手数料"_s, .width = 5.5, .kind = Kind::Number, .grouping = true}};
    sprTorikomi->setColumns(m_columns);
    sprTorikomi->lendRows(this);
    // Only the ticks are the operator's to change.
    sprTorikomi->setTicksOnly();
    // Arrows move in the list; Tab moves on to the choice and the buttons.
    sprTorikomi->setTabKeyNavigation(false);
    sprTorikomi->installEventFilter(this);
    // The tooltip on 照合 says what the keys read.
    sprTorikomi->viewport()->installEventFilter(this);

    auto *Label2 = ScreenSetup::Place<QLabel>(this, u"Label2"_s, {240, 4395, 900, 255}, u"入金先"_s);
    cboKouho = ScreenSetup::Place<QComboBox>(this, u"cboKouho"_s, {1200, 4350, 6000, 315});
    Label2->setBuddy(cboKouho);
    connect(cboKouho, &QComboBox::activated, this, &frmTorikomi::cboKouho_Activated);

    // Any line to any listed order: its No., then Enter.
    auto *Label3 = ScreenSetup::Place<QLabel>(this, u"Label3"_s, {7440, 4395, 1300, 255}, u"入金先 No.(&N)"_s);
    txtNo = ScreenSetup::Place<QLineEdit>(this, u"txtNo"_s, {8760, 4350, 1200, 315});
    txtNo->setMaxLength(18);
    Label3->setBuddy(txtNo);
    txtNo->installEventFilter(this);
    // The key hook turns Enter in a text box into a move on, which ends the editing.
    connect(txtNo, &QLineEdit::editingFinished, this, &frmTorikomi::txtNo_Enter);

    lblSelected = ScreenSetup::Place<QLabel>(this, u"lblSelected"_s, {10080, 4395, 2775, 255});
    lblSelected->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    createTotals();

    cmdSave = ScreenSetup::Place<QPushButton>(this, u"cmdSave"_s, {240, 6000, 2175, 375}, u"未反映分を保存..."_s);
    connect(cmdSave, &QPushButton::clicked, this, &frmTorikomi::cmdSave_Click);

    lblLearning = ScreenSetup::Place<QLabel>(this, u"lblLearning"_s, {2600, 6000, 6800, 375});
    lblLearning->setWordWrap(true);

    auto *cmdEnter = ScreenSetup::Place<QPushButton>(this, u"cmdEnter"_s, {9600, 6000, 1455, 375}, u"反映"_s);
    cmdEnter->setDefault(true);
    connect(cmdEnter, &QPushButton::clicked, this, &frmTorikomi::cmdEnter_Click);

    DialogSetup::CancelButton(this, {11400, 6000, 1455, 375});

    // Enter applies the preset ticks straight away; Tab reaches the list.
    cmdEnter->setFocus();
}

void frmTorikomi::createTotals()
{
    auto *sprGoukei = ScreenSetup::Place<vaSpread>(this, u"sprGoukei"_s, {240, 4800, 12615, 1140});
    sprGoukei->setFocusPolicy(Qt::NoFocus);
    QList<ColumnDef> columns{{.header = u" "_s, .width = 4}};
    for (int status = 0; status < MatchStatusCount; ++status)
        columns.append({.header = PaymentMatcher::statusText(MatchStatus(status)), .width = 7.5,
                        .kind = CellKind::Number, .grouping = true});
    columns.append({.header = u"合計"_s, .width = 10, .kind = CellKind::Number, .grouping = true});
    sprGoukei->setColumns(columns);
    sprGoukei->setTicksOnly(); // there are none: the totals are for reading
    sprGoukei->SetMaxRows(2);
    sprGoukei->SetText(1, 1, u"件数"_s);
    sprGoukei->SetText(1, 2, u"金額"_s);
    // A line's status is matching's and stays: these are counted once.
    // Each status's column, then the sum of them all in 合計.
    const auto totals = m_import.totals();
    PaymentImport::Total all;
    for (int column = 0; column <= MatchStatusCount; ++column) {
        const PaymentImport::Total total = column < MatchStatusCount ? totals[size_t(column)] : all;
        sprGoukei->SetText(column + 2, 1, total.lines);
        sprGoukei->SetText(column + 2, 2, total.amount);
        all.lines += total.lines;
        all.amount += total.amount;
    }
}

void frmTorikomi::Form_Load()
{
    const Statement &statement = m_import.statement();
    QString caption = u"%1（%2）  %3 行"_s.arg(QFileInfo(m_sourcePath).fileName(),
                                               formatName(statement.format, statement.encoding))
                          .arg(m_import.lineCount());
    if (statement.skipped > 0)
        caption += u"、入金でない行 %1 行は対象外"_s.arg(statement.skipped);
    if (statement.takenBack > 0)
        caption += u"、ファイル内で取り消された入金 %1 件は対象外"_s.arg(statement.takenBack);
    // The payout ties the file to the lump deposit in the bank statement.
    if (statement.payout >= 0) {
        qint64 sum = 0;
        for (const StatementLine &line : statement.lines)
            sum += line.cancels ? 0 : line.amount;
        caption += u"、振込額 %1 円（明細の合計 %2 円）"_s.arg(CellText::groupedNumber(double(statement.payout)),
                                                          CellText::groupedNumber(double(sum)));
    }
    Label1->setText(caption);
    // One line for what the import runs without: the settings, the taught names, the readings.
    QStringList notes;
    if (!m_import.note().isEmpty())
        notes << m_import.note();
    const PayerNames &names = m_import.matcher().payerNames();
    if (names.learning() == PayerNames::Learning::NoTable)
        notes << u"振込依頼人名の学習は無効です（表 NYUKIN_MEIGI がありません）。sql/ のデータベース用"
                 u"スクリプト（sqlite_schema.sql、sqlserver_schema.sql、postgresql_schema.sql）にある"
                 u" NYUKIN_MEIGI の CREATE TABLE を実行すると有効になります。"_s;
    else if (names.learning() == PayerNames::Learning::Unreadable)
        notes << u"学習した振込依頼人名は今回使えません（表 NYUKIN_MEIGI を読めません。ほかのプログラムが使用中かもしれません:"
                 u" %1）。学習した名義なしで照合しています。"_s.arg(names.why().simplified().left(160));
    if (!m_import.matcher().names().available())
        notes << u"氏名・会社名の読みによる照合は無効です（%1）。"_s.arg(m_import.matcher().names().why());
    lblLearning->setText(notes.join(u' '));

    {
        // Lines that need a look or a choice stand out.
        const ReDrawGuard batch(sprTorikomi);
        for (int index = 0; index < m_import.lineCount(); ++index) {
            if (const QColor color = colorOf(m_import.result(index).status); color.isValid())
                sprTorikomi->SetBackColor(index + 1, color);
        }
    }
    ShowSelected();
    connect(sprTorikomi->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { ShowCandidates(current.row() + 1); });
    ShowCandidates(0);
}

void frmTorikomi::ShowLine()
{
    // The cells read the import: a repaint shows what it now says.
    sprTorikomi->viewport()->update();
    ShowSelected();
}

void frmTorikomi::ShowSelected()
{
    const PaymentImport::Total ticked = m_import.tickedTotal();
    lblSelected->setText(u"反映する行 %1 行  %2 円"_s.arg(ticked.lines).arg(CellText::groupedNumber(double(ticked.amount))));
}

void frmTorikomi::ShowCandidates(int row)
{
    m_candidateRow = row;
    cboKouho->clear();
    const bool choosing = row >= 1 && row <= m_import.lineCount()
                          && m_import.result(row - 1).status == MatchStatus::MultipleCandidates;
    cboKouho->setEnabled(choosing);
    if (!choosing)
        return;
    cboKouho->addItem(u"（選択してください）"_s);
    const QList<int> candidates = m_import.result(row - 1).candidates;
    for (const int order : candidates) {
        const ListedOrder &listed = m_import.matcher().orders().at(order);
        cboKouho->addItem(u"%1  %2  %3 円"_s.arg(listed.id).arg(listed.name,
                                                                CellText::groupedNumber(double(listed.billed))));
    }
    cboKouho->setCurrentIndex(int(candidates.indexOf(m_import.target(row - 1))) + 1);
}
