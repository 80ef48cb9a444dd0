// How long 登録 of many rows takes to give up while another program holds a
// read transaction, and to write everything once it lets go: over the
// embedded SQLite connection and over the SQLite ODBC driver.
#include "core/data/QtSqlConnection.h"
#include "core/receipt/SharedState.h"
#include "demo/DemoDatabase.h"
#include "screens/receipt_list/frmKensaku.h"
#include "widgets/MessageService.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double registerMs(frmKensaku *form, QString *told)
{
    told->clear();
    MessageService::SetHandler([told](const MessageService::Request &request) {
        *told = request.text;
        return QMessageBox::Ok;
    });
    QElapsedTimer timer;
    timer.start();
    form->cmdUpdate_Click();
    return timer.nsecsElapsed() / 1e6;
}

void measure(const QString &name, const std::shared_ptr<DbConnection> &connection, const QString &path, int rows)
{
    gdbConnection = connection;
    auto *form = new frmKensaku(Session::Shared(), SuiteSettings::Resolve());
    form->show();
    QApplication::setActiveWindow(form);
    QCoreApplication::processEvents();
    form->dateBox(0)->clear();
    form->dateBox(1)->clear();
    form->cmdSearch_Click();
    const int flagged = std::min(rows, form->grid()->MaxRows());
    vaSpread *grid = form->grid();
    grid->SetBlockValue(frmKensaku::ColPaidDate, 1, frmKensaku::ColPaidDate, flagged, u"2026/01/15"_s);
    grid->SetBlockValue(frmKensaku::ColUpdateFlag, 1, frmKensaku::ColUpdateFlag, flagged, 1);

    QString told;
    {
        QSqlDatabase reader = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        reader.setDatabaseName(path);
        reader.open();
        QSqlQuery reading(reader);
        reading.exec(u"BEGIN"_s);
        reading.exec(u"SELECT * FROM [CHUMON]"_s);
        reading.next();
        const double locked = registerMs(form, &told);
        std::printf("%s: 登録 of %d rows under a reader's lock gave up after %.0f ms: %s\n", qPrintable(name),
                    flagged, locked, qPrintable(told));
        reading.finish();
        reader.commit();
        reader.close();
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    const double free = registerMs(form, &told);
    std::printf("%s: 登録 again once the reader let go: %.0f ms%s%s\n", qPrintable(name), free,
                told.isEmpty() ? "" : ", told: ", qPrintable(told));
    std::fflush(stdout);
    delete form;
    gdbConnection.reset();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption dbOption(u"db"_s, u"Database file (generated when missing)."_s, u"path"_s,
                                      u"lockwait-orders.sqlite"_s);
    const QCommandLineOption ordersOption(u"orders"_s, u"Orders in a generated database."_s, u"n"_s, u"200000"_s);
    const QCommandLineOption rowsOption(u"rows"_s, u"Rows to register."_s, u"n"_s, u"128000"_s);
    parser.addOptions({dbOption, ordersOption, rowsOption});
    parser.process(app);
    const QString path = QFileInfo(parser.value(dbOption)).absoluteFilePath();
    const int rows = parser.value(rowsOption).toInt();
    if (!QFileInfo::exists(path)) {
        auto connection = QtSqlConnection::openSqlite(path);
        DemoOptions options;
        options.orders = parser.value(ordersOption).toInt();
        options.unpaidShare = 0.8; // about four fifths listed
        CreateDemoDatabase(*connection, options);
    }
    gintUserLevel = 2;
    // Each measurement writes the rows, so each gets a fresh copy.
    for (const bool odbc : {false, true}) {
        const QString copy = path + u".run"_s;
        QFile::remove(copy);
        QFile::copy(path, copy);
        try {
            measure(odbc ? u"ODBC"_s : u"SQLite"_s,
                    odbc ? std::shared_ptr<DbConnection>(QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + copy))
                         : QtSqlConnection::openSqlite(copy),
                    copy, rows);
        } catch (const DbError &error) {
            std::printf("%s: %s\n", odbc ? "ODBC" : "SQLite", qPrintable(error.description()));
        }
        QFile::remove(copy);
    }
    return 0;
}
