// A small host program: opens a database, lends it to the component and
// shows the receipt list, as the suite's hosts do.
#include "component/clsParlow6dl.h"
#include "core/data/QtSqlConnection.h"
#include "core/settings/DataFolderError.h"
#include "demo/DemoDatabase.h"
#include "demo/DemoMethodFiles.h"
#include "demo/DemoStatement.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class HostLogin final : public LoginInfo
{
public:
    explicit HostLogin(qint16 level) : m_level(level) {}
    QString FirstText() const override { return u"demo"_s; }
    qint16 UserLevel() const override { return m_level; }
    QString SecondText() const override { return u"0001"_s; }

private:
    qint16 m_level;
};

void fail(const QString &message)
{
    std::fprintf(stderr, "parlow6-host: %s\n", qPrintable(message));
}

QWidget *receiptList()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == u"frmKensaku"_s && window->isVisible())
            return window;
    }
    return nullptr;
}

// Grabs the receipt list once it is up, then closes it so Show() returns.
// With a statement to import, opens 取込 on it after the search and grabs the
// preview instead, then cancels it. The timer keeps running throughout, so a
// message box that nobody is there to answer is reported and closed instead
// of blocking.
void scheduleScreenshot(const QString &path, bool search, const QString &import, int *exitCode)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(50);
    enum class Stage { Search, Import, Preview, Done };
    auto stage = std::make_shared<Stage>(search || !import.isEmpty() ? Stage::Search : Stage::Done);
    auto save = [=](QWidget *shown) {
        if (!shown->grab().save(path)) {
            fail(u"cannot write the screenshot %1"_s.arg(path));
            *exitCode = 1;
        }
    };
    QObject::connect(poll, &QTimer::timeout, qApp, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            fail(box->text());
            *exitCode = 1;
            box->done(QMessageBox::Ok);
            if (*stage == Stage::Preview)
                *stage = Stage::Done;
            return;
        }
        if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
            // As the operator would: the path typed into the name box.
            if (auto *name = chooser->findChild<QLineEdit *>(u"fileNameEdit"_s))
                name->setText(QFileInfo(import).absoluteFilePath());
            static_cast<QDialog *>(chooser)->accept(); // QFileDialog hides its override
            return;
        }
        if (modal && modal->objectName() == u"frmTorikomi"_s) {
            save(modal);
            *stage = Stage::Done;
            QTimer::singleShot(0, modal, &QWidget::close);
            return;
        }
        QWidget *window = receiptList();
        if (!window || modal)
            return;
        if (*stage == Stage::Search) {
            *stage = import.isEmpty() ? Stage::Done : Stage::Import;
            if (auto *button = window->findChild<QPushButton *>(u"cmdSearch"_s))
                QTimer::singleShot(0, button, &QPushButton::click);
            return;
        }
        if (*stage == Stage::Import) {
            auto *action = window->findChild<QAction *>(u"mnuTorikomi"_s);
            *stage = action && action->isEnabled() ? Stage::Preview : Stage::Done;
            if (*stage == Stage::Preview) {
                QTimer::singleShot(0, action, &QAction::trigger);
                return;
            }
            fail(u"this user may not import payment statements"_s);
            *exitCode = 1;
        }
        if (*stage == Stage::Preview)
            return;
        poll->stop();
        poll->deleteLater();
        if (import.isEmpty())
            save(window);
        window->close();
    });
    poll->start();
}

// Builds the demo database beside its final name and moves it there only
// when it is complete: a creation cut short (disk full, killed) must not
// leave an empty file that fails every later start.
void createDemoFile(const QString &path, const DemoOptions &options)
{
    const QString partial = path + u".partial"_s;
    QFile::remove(partial);
    {
        const auto connection = QtSqlConnection::openSqlite(partial);
        CreateDemoDatabase(*connection, options);
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw DbError(u"cannot create the database %1"_s.arg(path));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // The options are read before any window system is touched, so --help
    // and mistakes are answered on a machine without a display too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Opens the payment receipt list (入金対象一覧) on a database."_s);
    parser.addOption(QCommandLineOption({u"h"_s, u"help"_s}, u"Displays help on commandline options."_s));
    const QCommandLineOption dbOption(u"db"_s, u"SQLite database file; created with demo data when missing."_s,
                                      u"path"_s);
    const QCommandLineOption odbcOption(u"odbc"_s,
                                        u"ODBC connection string (SQL Server, or PostgreSQL with \"Driver=PostgreSQL "
                                        "Unicode\": an empty database gets the tables and demo data)."_s,
                                        u"string"_s);
    const QCommandLineOption pgOption(u"pg"_s,
                                      u"PostgreSQL connection string (libpq, e.g. \"host=/run/postgresql "
                                      "dbname=suite\"); an empty database gets the tables and demo data."_s,
                                      u"conninfo"_s);
    const QCommandLineOption levelOption(u"user-level"_s, u"User level of the operator (default 2)."_s,
                                         u"n"_s, u"2"_s);
    const QCommandLineOption ordersOption(u"demo-orders"_s, u"Orders in a new demo database (default 300)."_s,
                                          u"n"_s, u"300"_s);
    const QCommandLineOption shotOption(u"screenshot"_s,
                                        u"Render the receipt list to a PNG after it opens, then exit."_s,
                                        u"file.png"_s);
    const QCommandLineOption searchOption(u"search"_s, u"With --screenshot: press 表示 before rendering."_s);
    const QCommandLineOption importOption(u"import"_s,
                                          u"With --screenshot: after 表示, import this payment statement and render "
                                          "the preview instead."_s,
                                          u"file"_s);
    parser.addOptions({dbOption, odbcOption, pgOption, levelOption, ordersOption, shotOption, searchOption, importOption});
    if (!parser.parse(arguments)) {
        fail(parser.errorText());
        return 2;
    }
    if (parser.isSet(u"help"_s)) {
        std::fputs(qPrintable(parser.helpText().replace(u"<executable_name>"_s, u"parlow6-host"_s)), stdout);
        return 0;
    }

    if (int(parser.isSet(dbOption)) + int(parser.isSet(odbcOption)) + int(parser.isSet(pgOption)) != 1) {
        fail(u"give exactly one of --db PATH, --odbc STRING or --pg CONNINFO (see --help)"_s);
        return 2;
    }
    bool levelOk = false;
    const int level = parser.value(levelOption).toInt(&levelOk);
    bool ordersOk = false;
    const int orders = parser.value(ordersOption).toInt(&ordersOk);
    if (!levelOk || level < -32768 || level > 32767 || !ordersOk || orders < 0) {
        fail(u"--user-level and --demo-orders take whole numbers"_s);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"parlow6-host"_s);

    const DemoOptions options{.orders = orders};
    std::shared_ptr<QtSqlConnection> connection;
    try {
        if (parser.isSet(odbcOption) || parser.isSet(pgOption)) {
            connection = parser.isSet(pgOption) ? QtSqlConnection::openPostgreSql(parser.value(pgOption))
                                                : QtSqlConnection::openOdbc(parser.value(odbcOption));
            // A server database without the suite's tables gets them, with demo data.
            if (connection->Dialect() == SqlDialect::PostgreSql
                && DemoScalar(*connection, u"SELECT COUNT(*) FROM information_schema.tables WHERE table_name = "
                                           "'CHUMON' AND table_schema = current_schema()"_s).toLongLong() == 0) {
                CreateDemoDatabase(*connection, options);
                std::printf("parlow6-host: created the suite tables with %d demo orders\n", orders);
            }
        } else {
            const QString path = parser.value(dbOption);
            QtSqlConnection::checkSqlitePath(path);
            const QFileInfo file(path);
            const bool create = !file.exists();
            if (!create && (!file.isFile() || !file.isReadable())) {
                fail(u"cannot read the database %1"_s.arg(path));
                return 1;
            }
            if (create)
                createDemoFile(path, options);
            connection = QtSqlConnection::openSqlite(path);
            // A file that is not a database fails here rather than on the screen.
            connection->Execute(u"SELECT COUNT(*) FROM [CHUMON]"_s)->Close();
            if (create) {
                const DemoStatement sample = WriteDemoStatement(*connection, options, DemoStatementPath(path));
                if (sample.written)
                    std::printf("parlow6-host: sample payment statement %s\n", qPrintable(sample.path));
                else
                    fail(u"cannot write the sample payment statement %1"_s.arg(sample.path));
                const DemoMethodFiles files = WriteDemoMethodFiles(*connection, options, path);
                for (const DemoMethodFile *file : {&files.convenienceCsv, &files.convenienceFixed, &files.deferred,
                                                   &files.cashOnDelivery}) {
                    if (file->written)
                        std::printf("parlow6-host: sample file %s\n", qPrintable(file->path));
                }
            }
        }
    } catch (const DbError &error) {
        fail(error.description());
        return 1;
    }

    int exitCode = 0;
    if (parser.isSet(shotOption))
        scheduleScreenshot(parser.value(shotOption), parser.isSet(searchOption), parser.value(importOption),
                           &exitCode);

    clsParlow6dl parlow;
    parlow.setDbConnection(connection);
    parlow.setLoginInfo(HostLogin(static_cast<qint16>(level)));
    try {
        parlow.Show();
    } catch (const DataFolderError &error) {
        fail(error.description());
        return 1;
    }
    return exitCode;
}
