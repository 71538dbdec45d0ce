// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/RdmlError.h"

namespace qurvex {

namespace {

std::string composeMessage(const std::string& message, const std::string& path) {
    if (path.empty()) return message;
    return path + ": " + message;
}

}  // namespace

RdmlError::RdmlError(std::string message, std::string path, std::string text)
    : std::runtime_error(composeMessage(message, path)),
      path_(std::move(path)),
      text_(std::move(text)) {}

}  // namespace qurvex
