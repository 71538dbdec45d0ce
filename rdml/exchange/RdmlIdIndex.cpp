// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlIdIndex.h"

#include "engine/Utilities.h"

namespace qurvex {

namespace {

std::string looseKey(std::string_view id) { return identifierkey(cleanident(id)); }

}  // namespace

void RdmlIdIndex::add(const std::string& id) {
    if (id.empty()) return;
    exact_.insert(id);
    loose_.emplace(looseKey(id), id);
}

bool RdmlIdIndex::contains(std::string_view id) const { return exact_.count(std::string(id)) > 0; }

std::string RdmlIdIndex::find(std::string_view id) const {
    if (id.empty()) return "";
    if (contains(id)) return std::string(id);
    const std::string key = looseKey(id);
    if (key.empty()) return "";
    const auto it = loose_.find(key);
    return it == loose_.end() ? "" : it->second;
}

}  // namespace qurvex
