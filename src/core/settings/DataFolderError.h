#pragma once

#include "parlow6dl_export.h"

#include <QString>

#include <stdexcept>

// The per-user data folder could not be created. It ends the opening of the
// main screen and reaches the host as the failure of Show().
class PARLOW6DL_EXPORT DataFolderError final : public std::runtime_error
{
public:
    explicit DataFolderError(const QString &path);

    // The folder that could not be created.
    QString path() const { return m_path; }
    QString description() const;

private:
    QString m_path;
};
