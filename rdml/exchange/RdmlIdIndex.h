// SPDX-License-Identifier: GPL-3.0-or-later
// The ids of one kind of element (samples, targets) of a document being
// written, so that every reference can be made to resolve to an element as
// the document spells it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace qurvex {

class RdmlIdIndex {
public:
    // Records an id as the document spells it. An empty id is not recorded.
    void add(const std::string& id);
    // Whether exactly this id is recorded.
    bool contains(std::string_view id) const;
    // The recorded id that `id` names: the same text when recorded, else the
    // first recorded id equal to it once both are cleaned (cleanident) and
    // compared without regard to case; "" when none (and for an empty id).
    // So a name cleaned on one side still finds the element of the other.
    std::string find(std::string_view id) const;

private:
    std::unordered_set<std::string> exact_;
    std::unordered_map<std::string, std::string> loose_;
};

}  // namespace qurvex
