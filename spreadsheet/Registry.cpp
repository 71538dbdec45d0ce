// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/Registry.h"

#include <QRegularExpression>
#include <algorithm>

namespace qurvex {

namespace {

const QStringList& rootPath() {
    static const QStringList root{QStringLiteral("Software"), QStringLiteral("Norvane Labs"),
                                  QStringLiteral("Qurvex")};
    return root;
}

// True when the first components of `path` name the application's root (or a part of it
// when `path` is shorter), compared without regard to case as in the registry.
bool sharesRoot(const QStringList& path) {
    const qsizetype n = std::min(path.size(), rootPath().size());
    for (qsizetype i = 0; i < n; ++i)
        if (path[i].compare(rootPath()[i], Qt::CaseInsensitive) != 0) return false;
    return true;
}

bool isWholeInt(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^[+-]?[0-9]+$"));
    if (!re.match(text).hasMatch()) return false;
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

}  // namespace

TRegistry::TRegistry()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("Norvane Labs"), QStringLiteral("Qurvex"))) {
    settings_->setFallbacksEnabled(false);
}

TRegistry::TRegistry(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {
    settings_->setFallbacksEnabled(false);
}

TRegistry::~TRegistry() { settings_->sync(); }

QStringList TRegistry::resolve(const QString& key) const {
    QString k = key;
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = k.startsWith(QLatin1Char('/')) || !open_;
    QStringList path = absolute ? QStringList{} : current_;
    for (const QString& part : k.split(QLatin1Char('/'), Qt::SkipEmptyParts)) path << part;
    return path;
}

// The QSettings group of a registry path below or at the root; "" is the root itself.
QString TRegistry::groupOf(const QStringList& path) const {
    if (path.size() >= rootPath().size() && sharesRoot(path))
        return path.mid(rootPath().size()).join(QLatin1Char('/'));
    return QStringLiteral("HKCU/") + path.join(QLatin1Char('/'));
}

// True when the application's root key holds a value or a subkey.
bool TRegistry::rootHasContent() const {
    const QStringList top = settings_->childKeys() + settings_->childGroups();
    return std::any_of(top.begin(), top.end(),
                       [](const QString& g) { return g != QStringLiteral("HKCU"); });
}

bool TRegistry::pathExists(const QStringList& path) const {
    if (path.isEmpty()) return true;
    if (path.size() == 1 && path[0].compare(QStringLiteral("Software"), Qt::CaseInsensitive) == 0)
        return true;
    // A key above the root, and the root itself, exist when the root holds anything.
    if (path.size() <= rootPath().size() && sharesRoot(path)) return rootHasContent();
    QSettings& s = *settings_;
    s.beginGroup(groupOf(path));
    const bool any = !s.childKeys().isEmpty() || !s.childGroups().isEmpty();
    s.endGroup();
    return any;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
    const QStringList path = resolve(key);
    if (!canCreate && !pathExists(path)) return false;
    current_ = path;
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    current_.clear();
    open_ = false;
}

bool TRegistry::KeyExists(const QString& key) const { return pathExists(resolve(key)); }

QString TRegistry::fullName(const QString& name) const {
    const QString group = groupOf(current_);
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

void TRegistry::requireOpen(const QString& name) const {
    if (!open_)
        throw ERegistryError("No registry key is open to hold the value \"" + name.toStdString() +
                             "\"");
}

bool TRegistry::ValueExists(const QString& name) const {
    return open_ && settings_->contains(fullName(name));
}

bool TRegistry::ValueIsInteger(const QString& name) const {
    return ValueExists(name) && isWholeInt(settings_->value(fullName(name)).toString());
}

QString TRegistry::ReadString(const QString& name) const {
    if (!ValueExists(name)) return {};
    return settings_->value(fullName(name)).toString();
}

int TRegistry::ReadInteger(const QString& name) const {
    if (!ValueExists(name))
        throw ERegistryError("Registry value \"" + name.toStdString() + "\" is missing");
    const QString text = settings_->value(fullName(name)).toString();
    if (!isWholeInt(text))
        throw ERegistryError("Registry value \"" + name.toStdString() + "\" is not an integer: \"" +
                             text.toStdString() + "\"");
    return text.toInt();
}

void TRegistry::WriteString(const QString& name, const QString& value) {
    requireOpen(name);
    settings_->setValue(fullName(name), value);
}

void TRegistry::WriteInteger(const QString& name, int value) {
    requireOpen(name);
    settings_->setValue(fullName(name), value);
}

bool TRegistry::DeleteValue(const QString& name) {
    if (!ValueExists(name)) return false;
    settings_->remove(fullName(name));
    return true;
}

void TRegistry::Flush() { settings_->sync(); }

QString TRegistry::CurrentPath() const { return current_.join(QLatin1Char('\\')); }

}  // namespace qurvex
