#pragma once

#include "component/LoginInfo.h"
#include "core/data/DbConnection.h"
#include "parlow6dl_export.h"

#include <memory>

// The component's public object. A host creates it, lends it the database
// connection and the logged-in user, and calls Show(), which returns once the
// operator has closed the receipt list.
//
//     clsParlow6dl parlow;
//     parlow.setDbConnection(QtSqlConnection::openSqlite(path));
//     parlow.setLoginInfo(myLogin);
//     parlow.Show();
//
// The connection and the user level are shared by every object of the class:
// the last one set wins, and destroying any object releases the connection.
class PARLOW6DL_EXPORT clsParlow6dl final
{
public:
    clsParlow6dl() = default;
    ~clsParlow6dl();

    clsParlow6dl(const clsParlow6dl &) = delete;
    clsParlow6dl &operator=(const clsParlow6dl &) = delete;

    void setDbConnection(std::shared_ptr<DbConnection> newValue);
    // Reads the three properties of value; a failing read throws to the caller
    // and keeps what was copied before it.
    void setLoginInfo(const LoginInfo &value);

    // Opens the receipt list and blocks until it closes. Creates a
    // QApplication when the host runs none. Keeps the host's windows responsive
    // while it waits.
    void Show();
};
