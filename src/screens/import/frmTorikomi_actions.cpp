// The operator's side of the import dialog: ticks, picks, saving and applying.
#include "screens/import/frmTorikomi.h"

#include "core/data/FieldValue.h"
#include "import/CsvWriter.h"
#include "import/PaymentImport.h"
#include "widgets/MessageService.h"
#include "widgets/grid/vaSpread.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QToolTip>

using namespace Qt::StringLiterals;

bool frmTorikomi::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sprTorikomi->viewport() && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        // 照合 tells what the keys read: the reading a name matched, the numbers no listed order has.
        const QModelIndex index = sprTorikomi->indexAt(help->pos());
        const QString tip = index.isValid() && index.column() + 1 == ColKey && index.row() < m_import.lineCount()
                                ? m_import.matcher().note(m_import.line(index.row()))
                                : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, sprTorikomi->viewport());
        return true;
    }
    // Space ticks the current line from whichever column the cursor is in.
    if (watched == sprTorikomi && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        const int row = sprTorikomi->currentIndex().row() + 1;
        if (row >= 1)
            SetTick(row, !m_import.isTicked(row - 1));
        return true;
    }
    // Enter in the No. box gives the line its order instead of applying the import.
    if (watched == txtNo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            txtNo_Enter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmTorikomi::SetTick(int row, bool ticked)
{
    const int index = row - 1;
    if (!m_import.setTicked(index, ticked)) {
        sprTorikomi->viewport()->update();
        const MatchResult result = m_import.result(index);
        const QString why = result.status == MatchStatus::MultipleCandidates ? u"入金先を候補から選んでください。"_s
                            : result.status == MatchStatus::Cancelled
                                ? u"取消の行は反映できません。銀行が取り消した入金です。"_s
                                : u"この行には入金先の注文がありません（%1）。"_s.arg(
                                      PaymentMatcher::statusText(result.status));
        MessageService::Information(this, why, windowTitle());
        return;
    }
    ShowLine();
}

void frmTorikomi::cboKouho_Activated(int index)
{
    const int row = m_candidateRow;
    if (row < 1 || row > m_import.lineCount())
        return;
    const QList<int> candidates = m_import.result(row - 1).candidates;
    const int order = index >= 1 && index <= candidates.size() ? candidates.at(index - 1) : -1;
    m_import.choose(row - 1, order);
    // Picking the order is the decision to apply the line.
    if (order >= 0)
        m_import.setTicked(row - 1, true);
    ShowLine();
}

void frmTorikomi::txtNo_Enter()
{
    const int row = sprTorikomi->currentIndex().row() + 1;
    const QString typed = txtNo->text().trimmed();
    if (typed.isEmpty())
        return;
    if (row < 1) {
        MessageService::Information(this, u"入金先を指定する行を一覧で選んでください。"_s, windowTitle());
        return;
    }
    bool ok = false;
    const qint64 id = typed.toLongLong(&ok);
    const int order = ok ? m_import.matcher().orderOf(id) : -1;
    if (order < 0) {
        MessageService::Information(this, u"No.%1 は一覧にありません。"_s.arg(typed), windowTitle());
        return;
    }
    if (!m_import.assign(row - 1, order)) {
        MessageService::Information(this, u"この行は入金できません（%1）。"_s.arg(
                                              PaymentMatcher::statusText(m_import.result(row - 1).status)),
                                    windowTitle());
        return;
    }
    ShowLine();
    txtNo->clear();
    // Back to the list for the next line, unless the operator moved on elsewhere.
    if (txtNo->hasFocus() || focusWidget() == cmdSave)
        sprTorikomi->setFocus();
}

void frmTorikomi::cmdSave_Click()
{
    const QFileInfo source(m_sourcePath);
    const QString suggested = source.dir().filePath(source.completeBaseName() + u"_未反映.csv"_s);
    const QString path = QFileDialog::getSaveFileName(this, u"未反映分を保存"_s, suggested,
                                                      u"CSV (*.csv)"_s, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty() && SaveUnapplied(path))
        MessageService::Information(this, u"%1 行を保存しました。\n%2"_s.arg(m_import.unticked().size()).arg(path),
                                    windowTitle());
}

bool frmTorikomi::SaveUnapplied(const QString &path)
{
    // Every column the import reads, under names it reads, so the file comes
    // back in later as the same lines: 行, 状態 and 候補No. are for the reader.
    QList<QStringList> rows{
        {u"行"_s, u"日付"_s, u"金額"_s, u"振込依頼人名"_s, u"摘要"_s, u"注文番号"_s, u"取消"_s, u"不正理由"_s,
         u"状態"_s, u"候補No."_s}};
    for (const int index : m_import.unticked()) {
        const StatementLine &line = m_import.line(index);
        const int order = m_import.target(index);
        QStringList rest = line.searched;
        if (!line.payerName.isEmpty())
            rest.removeOne(line.payerName);
        if (!line.namedOrder.isEmpty())
            rest.removeOne(line.namedOrder);
        for (const QString &fact : {line.barcode, line.kind}) {
            if (!fact.isEmpty())
                rest.prepend(fact);
        }
        // Read back as a bank's CSV, a 速報 or another method's order would pay: saved, they stay unusable.
        const MatchStatus status = m_import.result(index).status;
        QString problem = line.problem;
        if (problem.isEmpty() && (status == MatchStatus::Early || status == MatchStatus::WrongMethod))
            problem = PaymentMatcher::statusText(status) + u"の行です（反映しません）"_s;
        rows.append({QString::number(line.lineNumber),
                     line.date.isValid() ? FieldValue::FormatDate(line.date) : QString(),
                     line.amount > 0 ? QString::number(line.amount) : QString(), line.payerName,
                     rest.join(u' '), line.namedOrder, line.cancels ? u"1"_s : QString(), problem,
                     PaymentMatcher::statusText(status),
                     order >= 0 ? QString::number(m_import.matcher().orders().at(order).id) : QString()});
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(CsvWriter::document(rows)) >= 0 && file.commit())
        return true;
    MessageService::Critical(this, u"保存できませんでした: %1\n%2"_s.arg(file.errorString(), path), windowTitle());
    return false;
}

void frmTorikomi::cmdEnter_Click()
{
    if (const QString conflict = m_import.conflict(); !conflict.isEmpty()) {
        MessageService::Exclamation(this, conflict, windowTitle());
        return;
    }
    accept();
}
