// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace qurvex {

// An error found in an RDML document or raised by the RDML model: a text that
// does not convert, a list index out of range, a document that cannot be read
// or written. `path()` names the element or attribute ("/rdml/experiment[1]/
// run[1]/react[3]/data[1]/cq") or the file; `text()` holds the offending text
// (empty when there is none). what() combines both into one message.
class RdmlError : public std::runtime_error {
public:
    RdmlError(std::string message, std::string path = {}, std::string text = {});

    const std::string& path() const noexcept { return path_; }
    const std::string& text() const noexcept { return text_; }

private:
    std::string path_;
    std::string text_;
};

}  // namespace qurvex
