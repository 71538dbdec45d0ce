// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlArchiveWriter.h"

#include <filesystem>
#include <span>
#include <sstream>
#include <system_error>

#include "zip/ZipSink.h"

namespace qurvex {

namespace fs = std::filesystem;

namespace {

std::span<const uint8_t> bytesOf(std::string_view xml) {
    return {reinterpret_cast<const uint8_t*>(xml.data()), xml.size()};
}

void configure(TKAZip& zip) {
    zip.SetCompressionType(TZipCompressionType::ctMaximum);
    zip.OverwriteAction = TOverwriteAction::oaOverwrite;
    zip.OnOverwriteFile = KAZip1OverwriteFile;
}

// A new archive holding only the document, built in memory and moved into
// place in one step.
void writeNewArchive(const std::string& fileName, std::string_view xml) {
    std::ostringstream empty;
    TKAZip::CreateEmptyArchive(empty);
    const std::string head = empty.str();
    TKAZip zip;
    configure(zip);
    zip.LoadFromBuffer(std::vector<uint8_t>(head.begin(), head.end()));
    zip.AddBuffer(kRdmlDataEntry, bytesOf(xml));
    const std::vector<uint8_t> data = zip.Data();
    ZipTempFile out(fileName);
    out.Write(data.data(), data.size());
    out.Commit();
}

void replaceEntry(const std::string& fileName, std::string_view xml) {
    TKAZip zip;
    configure(zip);
    zip.OpenArchive(fileName);
    if (!zip.IsZipFile())
        throw ERdmlSaveError("\"" + fileName +
                             "\" exists and is not an RDML (ZIP) file; it was left as it was.");
    if (zip.Damaged())
        throw ERdmlSaveError("\"" + fileName +
                             "\" is a damaged ZIP archive; it was left as it was.");
    zip.AddBuffer(kRdmlDataEntry, bytesOf(xml));
    zip.CloseArchive();
}

}  // namespace

void AddXMLToRDML(const std::string& fileName, std::string_view xml) {
    const fs::path path(fileName);
    if (fileName.empty() || !path.is_absolute())
        throw ERdmlSaveError("The RDML file name \"" + fileName + "\" is not an absolute path.");
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    try {
        if (!fs::exists(status)) {
            writeNewArchive(fileName, xml);
        } else if (!fs::is_regular_file(status)) {
            throw ERdmlSaveError("\"" + fileName + "\" is not a file; nothing was saved.");
        } else if (fs::file_size(path, ec) == 0 || ec) {
            throw ERdmlSaveError("\"" + fileName +
                                 "\" exists and is not an RDML (ZIP) file; it was left as it was.");
        } else {
            replaceEntry(fileName, xml);
        }
    } catch (const EZipError& e) {
        throw ERdmlSaveError("Could not save \"" + fileName + "\": " + e.what());
    }
}

void KAZip1OverwriteFile(TKAZip&, std::string&, TOverwriteAction&) {}

}  // namespace qurvex
