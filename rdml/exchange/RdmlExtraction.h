// SPDX-License-Identifier: GPL-3.0-or-later
// Getting the XML document out of an RDML archive, and the private folder
// that keeps the working copy of it while its run is loaded.
//
// The working copy never lands beside the user's file: each successful read
// writes it into a folder of this process under the system's temporary folder
// ("qurvex-<pid>-<random>"), under a name of its own, so nothing of the user's
// is overwritten, a read-only folder does not matter, and two running copies
// of the program never meet. Entry names are never used as paths.
#pragma once

#include <string>
#include <vector>

#include "rdml/exchange/RdmlReadTypes.h"
#include "zip/KAZip.h"

namespace qurvex {

// Texts shown when the archive does not give a document.
inline constexpr const char* kNoXmlInArchive = "RDML archive should contain an XML file";
inline constexpr const char* kCannotExtract =
    "RDML file cannot be handled and has to be re-zipped. See the -Read RDML- page in the online "
    "Help";

// The outcome of taking the document out of an archive. On failure `message`
// is the text to show (with `kind`), or empty when the user gave no answer.
struct TRdmlExtraction {
    bool ok = false;
    std::string xml;    // the document's bytes
    std::string entry;  // the entry they came from
    std::string message;
    TRdmlMessageKind kind = TRdmlMessageKind::warning;
};

// True for entries that hold no document of their own: folders, anything
// below "__MACOSX/", and macOS resource forks (a file name beginning "._").
bool IsJunkEntry(const std::string& name);
// True for names that are real documents of the archive: not junk, and an
// ".xml" extension in any case.
bool IsXmlDocumentEntry(const std::string& name);

// Takes the document out of an open archive: the entry "rdml_data.xml" (any
// case) when there is one; else the only entry when it is an XML document;
// else the XML document the user chooses (asked only when there is one or
// more). Nothing is written anywhere.
TRdmlExtraction ExtractXMLFromArchive(TKAZip& zip, IRdmlReadAsker& asker);

// Opens `filename` as an archive and extracts as above. A file that is no
// ZIP archive gives kNoXmlInArchive; a missing or damaged file gives the
// archive component's text.
TRdmlExtraction ExtractXMLFromRdml(const std::string& filename, IRdmlReadAsker& asker);

// This process's working folder, created on first use (0700). Throws
// std::runtime_error when it cannot be created.
std::string RdmlWorkFolder();
// Writes `xml` as a new working document into `folder` under a name no
// earlier call of this process used ("rdml_data-<n>.xml"), and returns its
// absolute path. Throws std::runtime_error when it cannot be written.
std::string WriteWorkingDocument(const std::string& folder, const std::string& xml);
// Removes a working document this process wrote (a path WriteWorkingDocument
// returned); any other path is left alone. False when nothing was removed.
bool DiscardWorkingDocument(const std::string& path);
// Removes the process's working folder with everything in it (at exit).
void RemoveRdmlWorkFolder();

}  // namespace qurvex
