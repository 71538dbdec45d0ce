// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <string>

namespace qurvex {

// A registry value that is missing or has the wrong type. The message names the value.
class ERegistryError : public std::runtime_error {
public:
    explicit ERegistryError(const std::string& message) : std::runtime_error(message) {}
};

// Registry-like access to the user's settings (current-user hive).
//
// Key paths use "\" (as in the registry) or "/". A path that starts with a separator is
// absolute; any other path is relative to the open key (absolute when no key is open), so
// "Software", then "Norvane Labs", then "Qurvex" reaches the same key as the whole path.
// The application's own root "Software\Norvane Labs\Qurvex" is the top of the QSettings
// store; its subkeys become "/" groups there. Keys above the root ("Software",
// "Software\Norvane Labs") exist as long as the store holds anything; "Software" always
// exists. Keys outside the root live in a separate group "HKCU/<path>" of the same store.
// Names of keys are matched without regard to case for the root, exactly below it.
class TRegistry {
public:
    TRegistry();  // QSettings("Norvane Labs", "Qurvex"), fallbacks off
    explicit TRegistry(const QString& iniFile);  // a given INI file (tests)
    ~TRegistry();

    // Opens `key` (relative to the open key unless it starts with a separator). With
    // canCreate false, fails (and keeps the open key) when the key holds no values and no
    // subkeys. With canCreate true it always succeeds; an empty key only persists once a
    // value is written to it.
    bool OpenKey(const QString& key, bool canCreate);
    // Closes the open key: the next relative path starts at the top of the hive.
    void CloseKey();
    // True when the key (absolute, or relative to the open key) holds values or subkeys.
    bool KeyExists(const QString& key) const;
    // Value questions and reads refer to the open key; with no key open, they see nothing.
    bool ValueExists(const QString& name) const;
    // True when the value exists and its stored text is a whole number in the int range
    // (optional sign, decimal digits only, no blanks).
    bool ValueIsInteger(const QString& name) const;
    // The stored text; "" when the value is missing.
    QString ReadString(const QString& name) const;
    // The stored whole number; throws ERegistryError when missing or not an integer.
    int ReadInteger(const QString& name) const;
    // Writes into the open key; throws ERegistryError when no key is open.
    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    // Removes a value of the open key; false when it did not exist.
    bool DeleteValue(const QString& name);
    // Writes pending changes to the store (QSettings::sync).
    void Flush();

    // The registry path of the open key ("" when none is open), components joined by "\".
    QString CurrentPath() const;

private:
    QStringList resolve(const QString& key) const;
    QString groupOf(const QStringList& path) const;
    bool pathExists(const QStringList& path) const;
    bool rootHasContent() const;
    QString fullName(const QString& name) const;
    void requireOpen(const QString& name) const;

    std::unique_ptr<QSettings> settings_;
    QStringList current_;
    bool open_ = false;
};

}  // namespace qurvex
