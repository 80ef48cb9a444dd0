#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The two registry roots the suite reads, with the values of their Windows
// handles, so a root passes through unchanged to the real calls there.
enum class RegRoot : quint32 {
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

// One value as the registry keeps it: its type code and its raw data. Text
// (type 1) is UTF-8, this platform's narrow code page, with its closing NUL;
// a 32-bit number (type 4) is four bytes, little-endian.
struct RegistryValue
{
    static constexpr quint32 kString = 1;
    static constexpr quint32 kNumber = 4;

    quint32 type{0};
    QByteArray data;

    // The data up to its first NUL, as text.
    QString text() const;
};

// Where the registry is missing, each root is a file in the format of a
// registry export, written by hand or by an installer:
//
//     ; comments start with a semicolon
//     [Software\VB and VBA Program Settings\Veltrane\Parlow6]
//     "WindowSizeIndex"="2"
//     "Count"=dword:0000001a
//     @="the key's unnamed value"
//
// A section names a key path below the root; it may also start with the
// root's own name (HKEY_CURRENT_USER or HKCU, HKEY_LOCAL_MACHINE or HKLM), and
// a section of the other root is skipped. Inside quotes \" and \\ stand for "
// and \; any other backslash is kept as written. Key paths and value names
// match without regard to case; a later line wins over an earlier one. Lines
// of any other form are skipped. A listed key makes its parent keys exist.
//
// The files:
//   per-user      $PARLOW6_USER_REGISTRY, else $XDG_CONFIG_HOME/Veltrane/user.reg
//                 (~/.config/Veltrane/user.reg)
//   machine-wide  $PARLOW6_MACHINE_REGISTRY, else the first Veltrane/machine.reg
//                 found in $XDG_CONFIG_DIRS (/etc/xdg/Veltrane/machine.reg)
// A variable that names a folder means user.reg or machine.reg inside it; a
// variable set to nothing means an empty store. A missing file is an empty
// store. The stores are only ever read.
class RegistryStore final
{
public:
    static QString filePath(RegRoot root);
    // Reads the root's file afresh.
    static RegistryStore load(RegRoot root);
    static RegistryStore parse(const QString &text, RegRoot root);

    // The empty path is the root itself, which always exists.
    bool hasKey(const QString &keyPath) const;
    std::optional<RegistryValue> value(const QString &keyPath, const QString &valueName) const;

private:
    RegistryStore() = default;

    // Case-folded key path -> case-folded value name -> value.
    QHash<QString, QHash<QString, RegistryValue>> m_keys;
};
