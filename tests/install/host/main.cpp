// A host built only from the installed package: opens the receipt list on a
// fresh SQLite database and closes it again; Show() must return.
#include <component/clsParlow6dl.h>
#include <core/data/QtSqlConnection.h>
#include <core/data/SqlSchema.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class Login final : public LoginInfo
{
public:
    QString FirstText() const override { return QStringLiteral("install test"); }
    qint16 UserLevel() const override { return 2; }
    QString SecondText() const override { return QStringLiteral("0001"); }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    try {
        auto connection = QtSqlConnection::openSqlite(QString::fromLocal8Bit(argv[1]));
        SqlSchema::CreateTables(*connection);

        bool shown = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &app, [&shown] {
            if (QWidget *window = QApplication::activeWindow()) {
                shown = true;
                window->close();
            }
        });
        poll.start(20);
        QTimer::singleShot(10000, &app, [] { std::fputs("the screen never opened\n", stderr); std::_Exit(3); });

        clsParlow6dl parlow;
        parlow.setDbConnection(connection);
        parlow.setLoginInfo(Login());
        parlow.Show();
        std::puts(shown ? "Show() returned after the screen closed" : "Show() returned without a screen");
        return shown ? 0 : 1;
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }
}
