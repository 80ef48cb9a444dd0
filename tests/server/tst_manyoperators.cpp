// Eight operators, each a process with its own connection (half through
// Qt's driver, half through psqlODBC), list the same unpaid orders and
// register random overlapping parts of them for a bounded time. Afterwards
// every order's successful writes must form one chain from its first values
// to its final ones: each write read what the previous one wrote. A lost
// update, or a write from stale values, breaks the chain.
#include "ServerDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

struct Write
{
    QString read;    // "date amount mail" as the operator's list had it
    QString written; // the same after its registration
};

} // namespace

class tst_ManyOperators : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ServerDatabase::requireCluster(); }

    void writesFormOneChainPerOrder()
    {
        constexpr int Operators = 8;
        constexpr int Orders = 200;
        const int asked = qEnvironmentVariableIntValue("PARLOW6_OPERATORS_SECONDS");
        const int seconds = asked > 0 ? asked : 60;
        ServerDatabase db;
        db.addOrders(Orders);
        // Never paid in full, so every order stays listed throughout.
        db.exec(u"UPDATE \"CHUMON\" SET \"請求額\" = 1000000000"_s);

        QTemporaryDir logs;
        std::vector<std::unique_ptr<QProcess>> operators;
        for (int i = 0; i < Operators; ++i) {
            const bool odbc = i % 2 == 1;
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process->start(QStringLiteral(PARLOW6_OPERATOR),
                           {odbc ? u"odbc"_s : u"qpsql"_s, odbc ? db.odbcString() : db.conninfo(),
                            QString::number(seconds), QString::number(1000 + i),
                            logs.filePath(u"operator-%1.log"_s.arg(i))});
            QVERIFY(process->waitForStarted());
            operators.push_back(std::move(process));
        }
        for (auto &process : operators) {
            QVERIFY(process->waitForFinished((seconds + 60) * 1000));
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }

        std::map<qint64, QList<Write>> writes;
        QMap<QString, int> outcomes;
        for (int i = 0; i < Operators; ++i) {
            QFile log(logs.filePath(u"operator-%1.log"_s.arg(i)));
            QVERIFY(log.open(QIODevice::ReadOnly));
            while (!log.atEnd()) {
                const QStringList part = QString::fromUtf8(log.readLine()).trimmed().split(u' ');
                if (part.value(0) == u"W"_s && part.size() == 8) {
                    writes[part.at(1).toLongLong()].append(
                        {part.mid(2, 3).join(u' '), part.mid(5, 3).join(u' ')});
                } else if (part.value(0) == u"T"_s && part.size() == 2) {
                    ++outcomes[part.at(1)];
                } else {
                    QFAIL(qPrintable(u"unreadable log line: "_s + part.join(u' ')));
                }
            }
        }

        // Follow each order's chain from the values it started with.
        const auto finals = db.admin().Execute(
            u"SELECT \"ID\", COALESCE(to_char(\"入金日\", 'YYYY/MM/DD'), '-') || ' ' || trim_scale(\"入金額\") "
            "|| ' ' || \"入金確認送信\" FROM \"CHUMON\" ORDER BY \"ID\""_s);
        int ordersWritten = 0;
        while (!finals->Eof()) {
            const qint64 id = finals->IntegerAt(0).value();
            const QString final = finals->TextAt(1);
            QList<Write> left = writes[id];
            ordersWritten += !left.isEmpty();
            QString now = u"- 0 0"_s;
            while (!left.isEmpty()) {
                const auto next = std::find_if(left.begin(), left.end(), [&now](const Write &w) { return w.read == now; });
                QVERIFY2(next != left.end(), qPrintable(u"order %1: no write read %2, yet %3 more were made"_s.arg(id)
                                                            .arg(now).arg(left.size())));
                QVERIFY2(std::count_if(left.begin(), left.end(), [&now](const Write &w) { return w.read == now; }) == 1,
                         qPrintable(u"order %1: two writes both read %2"_s.arg(id).arg(now)));
                now = next->written;
                left.erase(next);
            }
            QCOMPARE(now, final);
            finals->MoveNext();
        }
        finals->Close();
        QVERIFY(ordersWritten > Orders / 2);
        QVERIFY(outcomes.value(u"ok"_s) > Operators);
        QVERIFY2(outcomes.value(u"refused"_s) > 0, "the operators never met: the test proves nothing");
        QCOMPARE(outcomes.value(u"failed"_s), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ManyOperators)
#include "tst_manyoperators.moc"
