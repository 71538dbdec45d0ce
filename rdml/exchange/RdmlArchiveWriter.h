// SPDX-License-Identifier: GPL-3.0-or-later
// Puts a written RDML document into its .rdml archive as the entry
// "rdml_data.xml". The document comes from memory: nothing is written into
// the folder of the archive except the archive itself, through a temporary
// file beside it that is synced and renamed over it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "zip/KAZip.h"

namespace qurvex {

// A save that could not be done. The message names the file and the reason;
// the files concerned are as they were before the save.
class ERdmlSaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The name of the document entry in an RDML archive.
inline constexpr const char* kRdmlDataEntry = "rdml_data.xml";

// Writes `xml` as "rdml_data.xml" (maximum compression) into the archive
// fileName, which must be an absolute path. A missing file becomes a new
// archive with that one entry; an existing archive keeps its other entries
// and gets the entry replaced. Refused with ERdmlSaveError, the file left as
// it was: a relative name, a name that is a folder, an existing file that is
// not a ZIP archive (an empty file included) or is damaged, and any failure
// of the writing itself (no permission, disk full).
void AddXMLToRDML(const std::string& fileName, std::string_view xml);

// The archive's overwrite question: the answer stays as the caller set it.
void KAZip1OverwriteFile(TKAZip& sender, std::string& fileName, TOverwriteAction& action);

}  // namespace qurvex
