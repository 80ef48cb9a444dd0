#pragma once

#include "parlow6dl_export.h"

#include <QString>

// The logged-in user, as the host knows it. The component copies the three
// properties when the host hands them over and never asks again, so a host
// may pass a temporary. A read that throws reaches the host unchanged.
class PARLOW6DL_EXPORT LoginInfo
{
public:
    virtual ~LoginInfo();

    virtual QString FirstText() const = 0;  // the user's name in the suite's hosts
    virtual qint16 UserLevel() const = 0;   // 0 and 1 may not register payments
    virtual QString SecondText() const = 0; // the user's id in the suite's hosts
};
