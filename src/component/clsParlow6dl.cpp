#include "component/clsParlow6dl.h"

#include "core/receipt/SharedState.h"
#include "screens/receipt_list/frmKensaku.h"

#include <QApplication>
#include <QEventLoop>

#include <stdexcept>

namespace {

// The component-wide receipt list; a closed window is gone, and the next
// Show() creates a fresh one.
QPointer<frmKensaku> g_receiptList;

void ensureApplication()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw std::runtime_error("Parlow6dl needs a QApplication; the host runs a non-widget application");
    // A plain C++ host gets an application object that lives as long as the
    // process: destroying it while the host may call Show() again is not safe.
    static int argc = 1;
    static char name[] = "parlow6dl";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

} // namespace

clsParlow6dl::~clsParlow6dl()
{
    gdbConnection.reset();
}

void clsParlow6dl::setDbConnection(std::shared_ptr<DbConnection> newValue)
{
    gdbConnection = std::move(newValue);
}

void clsParlow6dl::setLoginInfo(const LoginInfo &value)
{
    gstrLoginSecondText = value.SecondText();
    gintUserLevel = value.UserLevel();
    gstrLoginFirstText = value.FirstText();
}

void clsParlow6dl::Show()
{
    ensureApplication();

    QPointer<frmKensaku> &form = g_receiptList;
    // A closed window may still wait for its deferred deletion.
    if (!form || form->unloadedFlg)
        form = new frmKensaku(Session::Shared(), SuiteSettings::Resolve());
    form->show();
    form->raise();
    form->activateWindow();

    // Woken by the unload itself: no polling, no processor time while waiting,
    // and the host's windows are served by the same loop.
    if (form->unloadedFlg)
        return;
    QEventLoop wait;
    QObject::connect(form.data(), &frmKensaku::unloaded, &wait, &QEventLoop::quit);
    wait.exec();
}
