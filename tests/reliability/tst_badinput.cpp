// Hostile texts in every place the operator or the database can put them, and
// odd database contents: no statement may break, stored values come back
// exactly, and only a real date (or nothing) is ever registered.
#include "ScreenFixture.h"

#include "core/data/FieldValue.h"
#include "screens/dialogs/frmKanri.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Order = TestDatabase::Order;

void addHostileTexts()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("single quote") << u"O'Brien"_s;
    QTest::newRow("quotes only") << u"''''"_s;
    QTest::newRow("double quotes") << u"\"quoted\""_s;
    QTest::newRow("statement end") << u"'; DROP TABLE CHUMON; --"_s;
    QTest::newRow("brackets") << u"]; DROP TABLE [SHOP]; --"_s;
    QTest::newRow("tautology") << u"1' OR '1'='1"_s;
    QTest::newRow("comment") << u"/* x */ -- y"_s;
    QTest::newRow("wildcards") << u"%_\\"_s;
    QTest::newRow("10,000 characters") << QString(10000, u'あ');
    QTest::newRow("10,000 quotes") << QString(10000, u'\'');
    QTest::newRow("control characters") << u"a\x01\x1b\r\nb\x7f"_s;
    QTest::newRow("surrogate pair") << u"𠮷野家"_s;
    QTest::newRow("NUL inside") << QStringView(u"ab\0cd'", 6).toString();
}

qint64 tableCount(const TestDatabase &db)
{
    return db.scalar(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN"
                     " ('CHUMON', 'SHOP', 'PAYMENT', 'CONTROL')"_s)
        .toLongLong();
}

// Counted by a bound parameter: what the search must find for this text.
qint64 boundCount(const TestDatabase &db, const QString &query, const QString &value)
{
    QSqlQuery q(db.connection()->database());
    q.prepare(query);
    q.addBindValue(value);
    if (!q.exec() || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

// Inserts by bound parameters: the texts reach the database untouched.
void insertBound(const TestDatabase &db, const QString &statement, const QVariantList &values)
{
    QSqlQuery q(db.connection()->database());
    QVERIFY(q.prepare(statement));
    for (const QVariant &value : values)
        q.addBindValue(value);
    QVERIFY2(q.exec(), qPrintable(statement));
}

void insertOrder(const TestDatabase &db, qint64 id, const QString &method, const QString &shopId)
{
    insertBound(db, u"INSERT INTO [CHUMON] ([ID], [氏名], [請求額], [入金額], [支払方法], [ショップID])"
                    " VALUES (?, 'n', 1000, 0, ?, ?)"_s,
                {id, method, shopId});
}

QList<MessageService::Request> critical(const ScreenFixture &fixture)
{
    QList<MessageService::Request> found;
    for (const auto &message : fixture.messages) {
        if (message.icon == QMessageBox::Critical || message.icon == QMessageBox::Warning)
            found.append(message);
    }
    return found;
}

QString firstText(const QList<MessageService::Request> &messages)
{
    return messages.isEmpty() ? QString() : messages.first().text;
}

// Every registered date is empty or a real "YYYY/MM/DD", its amount a number.
void verifyStoredDates(const TestDatabase &db)
{
    QSqlQuery q(db.connection()->database());
    QVERIFY(q.exec(u"SELECT [ID], [入金日], typeof([入金額]) FROM [CHUMON]"_s));
    while (q.next()) {
        if (q.value(1).isNull())
            continue; // never registered
        const QString date = q.value(1).toString();
        if (!date.isEmpty())
            QCOMPARE(FieldValue::DateText(date), date);
        const QString amountType = q.value(2).toString();
        QVERIFY2(amountType == u"integer"_s || amountType == u"real"_s, qPrintable(amountType));
    }
}

// The list with no ship-date bounds, so orders without a ship date show too.
frmKensaku *openUnbounded(ScreenFixture &fixture)
{
    frmKensaku *form = fixture.open();
    form->dateBox(0)->clear();
    form->dateBox(1)->clear();
    return form;
}

void typeIntoCell(vaSpread *grid, int col, int row, const QString &text)
{
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row - 1, col - 1));
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        QTest::keyClicks(editor, text);
    } else {
        // What an input method hands over once the operator confirms.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(editor, &commit);
    }
    QTest::keyClick(editor, Qt::Key_Tab);
    // Text the cell will not take keeps the editor open; the operator gives up.
    if (!QTest::qWaitFor([grid] { return QApplication::focusWidget() == grid; }, 200))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == grid, 2000);
}

} // namespace

class tst_BadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        gstrSiharaiTable.clear();
        gblnSiharaiLoaded = false;
        gintSiharaiIndex = -1;
    }

    void shipDateBoxes_data() { addHostileTexts(); }

    void shipDateBoxes()
    {
        QFETCH(QString, text);
        ScreenFixture fixture;
        for (int id = 1; id <= 3; ++id) {
            Order o;
            o.id = id;
            o.shipDate = TestDatabase::daysAgo(id);
            fixture.db.addOrder(o);
        }
        frmKensaku *form = openUnbounded(fixture);
        const QString unpaid = u"SELECT COUNT(*) FROM [CHUMON] WHERE [請求額] <> [入金額] AND [入金確認送信] = 0"_s;
        for (int box = 0; box < 2; ++box) {
            form->dateBox(0)->clear();
            form->dateBox(1)->clear();
            form->dateBox(box)->setText(text);
            QTest::keyClick(form->dateBox(box), Qt::Key_F1);
            QCOMPARE(firstText(critical(fixture)), QString());
            const QString condition = box == 0 ? u" AND [出荷日] >= ?"_s : u" AND [出荷日] <= ?"_s;
            QCOMPARE(qint64(form->grid()->MaxRows()), boundCount(fixture.db, unpaid + condition, text));
        }
        QCOMPARE(tableCount(fixture.db), qint64(4));
    }

    void shopNamesAndIds_data() { addHostileTexts(); }

    void shopNamesAndIds()
    {
        QFETCH(QString, text);
        ScreenFixture fixture;
        fixture.db.addShop(u"S01"_s, u"本店"_s);
        insertBound(fixture.db, u"INSERT INTO [SHOP] VALUES (?, ?)"_s, {text, text});
        insertOrder(fixture.db, 1, u"銀行振込"_s, u"S01"_s);
        insertOrder(fixture.db, 2, u"銀行振込"_s, text);
        frmKensaku *form = openUnbounded(fixture);

        QComboBox *shops = form->shopCombo();
        const int index = shops->findText(text + u" / "_s + text);
        QVERIFY(index > 0);
        shops->setCurrentIndex(index);
        fixture.search();
        QCOMPARE(firstText(critical(fixture)), QString());
        vaSpread *grid = form->grid();
        QCOMPARE(tableCount(fixture.db), qint64(4));
        // A NUL cannot travel inside SQL text: it is dropped, so a stored id
        // holding one is not found, and nothing breaks.
        if (text.contains(QChar(u'\0'))) {
            QCOMPARE(grid->MaxRows(), 0);
            return;
        }
        QCOMPARE(grid->MaxRows(), 1);
        QCOMPARE(grid->Value(frmKensaku::ColShopId, 1), text);
    }

    void paymentMethods_data() { addHostileTexts(); }

    void paymentMethods()
    {
        QFETCH(QString, text);
        ScreenFixture fixture;
        fixture.db.addPayment(u"銀行振込"_s, 1, 1);
        insertBound(fixture.db, u"INSERT INTO [PAYMENT] VALUES (?, 1, 2)"_s, {text});
        fixture.db.setExempt(QVariant());
        insertOrder(fixture.db, 1, u"銀行振込"_s, u"S01"_s);
        insertOrder(fixture.db, 2, text, u"S01"_s);
        frmKensaku *form = openUnbounded(fixture);
        QVERIFY(form->pstrSiharaiString.split(u'\t').contains(text));
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(grid->MaxRows(), 2);

        // Exempting the hostile method stores exactly its name.
        {
            QPointer<frmKanri> dialog = new frmKanri(form, *form);
            dialog->show();
            auto *methods = dialog->findChild<vaSpread *>(u"sprPayment"_s);
            QVERIFY(methods);
            int row = 1;
            while (row <= methods->MaxRows() && methods->Text(frmKanri::ColMethod, row) != text)
                ++row;
            QVERIFY(row <= methods->MaxRows());
            methods->SetValue(frmKanri::ColManaged, row, 0);
            dialog->findChild<QPushButton *>(u"cmdEnter"_s)->click();
            QTRY_VERIFY_WITH_TIMEOUT(!dialog || !dialog->isVisible(), 2000);
            if (dialog)
                dialog->deleteLater();
        }
        QCOMPARE(firstText(critical(fixture)), QString());
        // Stored exactly, but for a NUL, which no SQL text can carry.
        const QString storable = QString(text).remove(QChar(u'\0'));
        QCOMPARE(fixture.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString(), storable);
        if (storable != text)
            return;

        // Read back from the database, the exempt method's order is no longer listed.
        form->LoadPaymentTable();
        fixture.search();
        QCOMPARE(grid->MaxRows(), 1);
        QCOMPARE(grid->Value(frmKensaku::ColMethod, 1), u"銀行振込"_s);
        QCOMPARE(tableCount(fixture.db), qint64(4));
    }

    void paymentCells_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("storedDate"); // empty: nothing or '' stored
        QTest::addColumn<bool>("typed");
        const QString hostile[] = {u"'; DROP TABLE CHUMON; --"_s, u"1' OR '1'='1"_s, u"a\x01\r\n"_s,
                                   QStringView(u"2014/02/21\0'", 12).toString(), QString(300, u'\'')};
        for (const bool typed : {false, true}) {
            const char *how = typed ? "typed" : "set";
            for (const QString &text : hostile) {
                // Keys exist for printable characters only.
                if (typed && std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c < u' '; }))
                    continue;
                QTest::addRow("%s: %s", how, qPrintable(text.left(12))) << text << text << QString() << typed;
            }
            const QString invalid[] = {u"2014/02/30"_s, u"2014/13/01"_s, u"0000/01/01"_s,
                                       u"99999/01/01"_s, u"-1"_s};
            for (const QString &text : invalid)
                QTest::addRow("%s: %s", how, qPrintable(text)) << text << u"1e400"_s << QString() << typed;
            // Typed, the refused last key leaves a date the cell does take.
            QTest::addRow("%s: stray letter", how) << u"2014/2/3x"_s << u"7"_s
                                                   << (typed ? u"2014/02/03"_s : QString()) << typed;
            QTest::addRow("%s: stray quote", how) << u"2014/02/21'"_s << u"7'"_s
                                                  << (typed ? u"2014/02/21"_s : QString()) << typed;
            QTest::addRow("%s: valid", how) << u"2014/2/21"_s << u"1500"_s << u"2014/02/21"_s << typed;
            // Full-width digits, as an input method gives them, are the same date.
            QTest::addRow("%s: full-width", how) << u"２０１４/０２/２１"_s << u"１５００"_s << u"2014/02/21"_s << typed;
        }
    }

    void paymentCells()
    {
        QFETCH(QString, date);
        QFETCH(QString, amount);
        QFETCH(QString, storedDate);
        QFETCH(bool, typed);
        ScreenFixture fixture;
        Order o;
        o.id = 1;
        fixture.db.addOrder(o);
        frmKensaku *form = openUnbounded(fixture);
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(grid->MaxRows(), 1);

        if (typed) {
            typeIntoCell(grid, frmKensaku::ColPaidDate, 1, date);
            typeIntoCell(grid, frmKensaku::ColPaidAmount, 1, amount);
        } else {
            grid->SetText(frmKensaku::ColPaidDate, 1, date);
            grid->SetText(frmKensaku::ColPaidAmount, 1, amount);
        }
        grid->SetValue(frmKensaku::ColUpdateFlag, 1, 1);
        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(firstText(critical(fixture)), QString());
        QCOMPARE(tableCount(fixture.db), qint64(4));
        verifyStoredDates(fixture.db);
        QCOMPARE(fixture.db.scalar(u"SELECT [入金日] FROM [CHUMON] WHERE [ID] = 1"_s).toString(), storedDate);
        QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, 1), u"0"_s);
    }

    void oddDatabaseContents_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<int>("listed");
        const QString order = u"INSERT INTO [CHUMON] ([ID], [氏名], [電話番号], [受注日], [請求額], [入金日],"
                              " [入金額], [支払方法], [出荷日], [ショップID]) VALUES "_s;
        QTest::newRow("Null everywhere")
            << QStringList{u"INSERT INTO [SHOP] VALUES (NULL, NULL)"_s,
                           u"INSERT INTO [PAYMENT] VALUES (NULL, NULL, NULL)"_s,
                           u"INSERT INTO [PAYMENT] VALUES ('a', NULL, NULL)"_s,
                           u"INSERT INTO [CONTROL] VALUES (NULL)"_s,
                           order + u"(1, NULL, NULL, NULL, 1000, NULL, 0, 'a', NULL, NULL)"_s,
                           order + u"(3, NULL, NULL, NULL, 1000, NULL, 0, NULL, NULL, NULL)"_s,
                           order + u"(2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"_s}
            << 1;
        QTest::newRow("non-numeric amounts")
            << QStringList{u"INSERT INTO [PAYMENT] VALUES ('a', 'x', '１')"_s,
                           order + u"(1, 'n', 't', '2014/01/01', 'abc', NULL, 0, 'a', '2014/01/02', 'S01')"_s,
                           order + u"(2, 'n', 't', '2014/01/01', 1000, NULL, '１２３', 'a', '2014/01/02', 'S01')"_s,
                           order + u"(3, 'n', 't', '2014/01/01', '1e999', NULL, '-', 'a', '2014/01/02', 'S01')"_s}
            << 3;
        QTest::newRow("non-date dates")
            << QStringList{u"INSERT INTO [PAYMENT] VALUES ('a', 1, 1)"_s,
                           order + u"(1, 'n', 't', 'yesterday', 1000, 'x', 0, 'a', 'tomorrow', 'S01')"_s,
                           order + u"(2, 'n', 't', '2014/02/30', 1000, '', 0, 'a', '9999/99/99', 'S01')"_s,
                           order + u"(3, 'n', 't', 20140101, 1000, 20140102, 0, 'a', 20140103, 'S01')"_s}
            << 3;
        QTest::newRow("duplicate and empty methods")
            << QStringList{u"INSERT INTO [PAYMENT] VALUES ('', 1, 1)"_s,
                           u"INSERT INTO [PAYMENT] VALUES ('a', 1, 2)"_s,
                           u"INSERT INTO [PAYMENT] VALUES ('A', 0, 3)"_s,
                           u"INSERT INTO [PAYMENT] VALUES ('a', 1, 4)"_s,
                           u"INSERT INTO [CONTROL] VALUES ('\t\t\t')"_s,
                           u"INSERT INTO [SHOP] VALUES ('', '')"_s,
                           u"INSERT INTO [SHOP] VALUES ('S01', NULL)"_s,
                           u"INSERT INTO [SHOP] VALUES ('S01', 'dup')"_s,
                           order + u"(1, 'n', 't', '2014/01/01', 1000, NULL, 0, '', '2014/01/02', 'S01')"_s,
                           order + u"(2, 'n', 't', '2014/01/01', 1000, NULL, 0, 'a', '2014/01/02', 'S01')"_s,
                           order + u"(3, 'n', 't', '2014/01/01', 1000, NULL, 0, 'A', '2014/01/02', 'S01')"_s}
            << 2;
    }

    void oddDatabaseContents()
    {
        QFETCH(QStringList, statements);
        QFETCH(int, listed);
        ScreenFixture fixture;
        for (const QString &statement : statements)
            fixture.db.exec(statement);
        frmKensaku *form = openUnbounded(fixture);
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(grid->MaxRows(), listed);

        for (int col = 1; col <= frmKensaku::ColumnCount; ++col) {
            Q_EMIT grid->Click(col, 0);
            Q_EMIT grid->Click(col, 0);
        }
        QCOMPARE(grid->MaxRows(), listed);

        const int methods = int(form->pstrSiharaiString.split(u'\t').size());
        for (int shop = 0; shop < form->shopCombo()->count(); ++shop) {
            form->shopCombo()->setCurrentIndex(shop);
            for (int index = -1; index <= methods; ++index) {
                gintSiharaiIndex = qint16(index);
                form->ApplyListFilter();
            }
        }
        form->shopCombo()->setCurrentIndex(0);
        gintSiharaiIndex = -1;
        form->ApplyListFilter();
        for (int row = 1; row <= grid->MaxRows(); ++row)
            QVERIFY(!grid->RowHidden(row));

        grid->SetValue(frmKensaku::ColUpdateFlag, -1, 1);
        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(firstText(critical(fixture)), QString());
        verifyStoredDates(fixture.db);
        QCOMPARE(tableCount(fixture.db), qint64(4));
    }
};

QTEST_MAIN(tst_BadInput)
#include "tst_badinput.moc"
