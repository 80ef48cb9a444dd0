#include "screens/dialogs/frmKanri.h"

#include "widgets/MessageService.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "widgets/grid/vaSpread.h"
#include "widgets/DialogSetup.h"
#include "screens/dialogs/ReceiptListProperties.h"
#include "core/receipt/ReceiptRules.h"

#include <QPushButton>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

frmKanri::frmKanri(QWidget *owner, ReceiptListProperties &list, const Session &session)
    : QDialog(owner)
    , m_list(list)
    , m_session(session)
{
    DialogSetup::Prepare(this, u"frmKanri"_s, u"入金管理"_s, 3585, 3330);
    sprPayment = ScreenSetup::Place<vaSpread>(this, u"sprPayment"_s, {240, 120, 3135, 2655});

    sprPayment->setColumns({{.header = u"入金管理"_s, .width = 8.0, .kind = CellKind::CheckBox},
                            {.header = u"決済方法"_s, .width = 17.0}});
    // The names are what gets stored; only the boxes are the operator's to change.
    sprPayment->setTicksOnly();

    auto *cmdEnter = ScreenSetup::Place<QPushButton>(this, u"cmdEnter"_s, {480, 2880, 975, 375}, u"OK"_s);
    // No default button: Enter on the list must not store it. OK stores when
    // clicked, or with Enter once it has the focus (the key hook presses it).
    cmdEnter->setAutoDefault(false);
    connect(cmdEnter, &QPushButton::clicked, this, &frmKanri::cmdEnter_Click);

    DialogSetup::CancelButton(this, {2160, 2880, 975, 375})->setAutoDefault(false);

    sprPayment->setFocus();
    Form_Load();
}

void frmKanri::Form_Load()
{
    // The usable methods, each managed unless the stored list exempts it.
    ReDrawGuard noPaint(sprPayment);
    const QStringList names = ReceiptRules::SplitTabList(m_list.pstrSiharaiString);
    sprPayment->SetMaxRows(int(names.size()));
    for (int row = 1; row <= names.size(); ++row)
        sprPayment->SetText(ColMethod, row, names.at(row - 1));
    sprPayment->SetValue(ColManaged, -1, 1);

    QStringList exempt;
    try {
        exempt = m_session.ReadExemptMethods();
    } catch (const DbError &error) {
        // The marks on screen are not the stored ones: told once the dialog is
        // up, so the box sits over it, it closes without offering to save them.
        QTimer::singleShot(0, this, [this, text = error.description()] {
            MessageService::Critical(this, text, windowTitle());
            reject();
        });
    }
    for (const QString &name : exempt) {
        for (int row = 1; row <= sprPayment->MaxRows(); ++row) {
            if (sprPayment->Text(ColMethod, row).compare(name, Qt::CaseInsensitive) == 0) {
                sprPayment->SetValue(ColManaged, row, 0);
                break;
            }
        }
    }
}

void frmKanri::cmdEnter_Click()
{
    QStringList exempt;
    // The table changes wait until the stored list is safely written.
    QList<std::pair<QString, QString>> marks;
    for (int row = 1; row <= sprPayment->MaxRows(); ++row) {
        const QString name = sprPayment->Text(ColMethod, row);
        const QString mark = sprPayment->Value(ColManaged, row);
        if (FieldValue::Number(mark) == 0)
            exempt.append(name);
        marks.append({name, mark});
    }

    try {
        m_session.SaveExemptMethods(exempt);
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
        return;
    }

    m_session.SetManaged(marks);
    m_list.pbytRefresh = 1;
    accept();
}
