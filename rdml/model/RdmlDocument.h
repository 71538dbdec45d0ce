// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace qurvex {

// The RDML namespace URI; documents without a namespace are read as well.
inline constexpr const char* kRdmlNamespace = "http://www.rdml.org";

// How number texts of a document are read. The decimal separator is decided by
// the caller (the reader looks at the first fluorescence text); writing always
// uses ".".
struct RdmlReadOptions {
    char decimalSeparator = '.';
};

namespace detail {

// Everything the element wrappers of one document share.
struct RdmlDocumentState {
    pugi::xml_document dom;
    RdmlReadOptions options;
    bool active = true;
    // Bumped on every change of the element structure; lets list views keep
    // their position between calls without ever serving a stale node.
    std::uint64_t generation = 0;
    // Prefixes declared on the root for the root's namespace ("" = default).
    std::vector<std::string> rdmlPrefixes;
    std::string rdmlUri;
    // False when an element below the root declares namespaces itself; the
    // namespace of each element is then resolved through its ancestors.
    bool uniformNamespaces = true;
    // The default namespace is the RDML one (or none when the root has none),
    // so unprefixed elements are RDML elements.
    bool defaultIsRdml = false;
    // Some RDML element may carry a prefix (a prefix is bound to the RDML
    // namespace, or namespaces are declared below the root).
    bool prefixedNamesPossible = true;
    bool bound = false;
    // Number of "xmlns" byte sequences in the loaded text, or -1 when unknown
    // (text not in an ASCII-compatible encoding, or a new document).
    long xmlnsMentions = -1;

    // RDML elements are exactly the unprefixed elements: names can be matched
    // as they stand.
    bool plainNames() const { return defaultIsRdml && !prefixedNamesPossible; }
    // Throws RdmlError when the document was deactivated.
    void requireActive() const {
        if (!active) throwInactive();
    }
    [[noreturn]] static void throwInactive();
    // True when `node` lies in the namespace of the bound root element.
    bool inRdmlNamespace(pugi::xml_node node) const;
    // The same for a node whose qualified name has the given colon position
    // (nullptr when unprefixed).
    bool inRdmlNamespace(pugi::xml_node node, const char* name, const char* colon) const;
};

}  // namespace detail

// An XML document that holds (or will hold) an RDML document. Copies share the
// same document. The element wrappers of the versioned models keep the
// document alive.
class RdmlDocument {
public:
    // A new empty, active document with the declaration version "1.0".
    RdmlDocument();

    // Reads a document from bytes. UTF-8 (with or without byte-order mark),
    // UTF-16/UTF-32 (with mark or recognisable "<?xml"), US-ASCII and ISO-8859-1
    // (as declared) are decoded; any other declared encoding, and bytes that are
    // not valid UTF-8 where UTF-8 is expected, are refused. Throws RdmlError
    // naming the problem and where it is (line and column for XML errors).
    // Comments, processing instructions and a document type declaration stay
    // in the document where they were; whitespace between elements does not.
    static RdmlDocument LoadFromBytes(std::string_view bytes, RdmlReadOptions options = {});

    // Reads the file at `path` as LoadFromBytes; a file that cannot be opened
    // throws RdmlError with the path.
    static RdmlDocument LoadFromFile(const std::string& path, RdmlReadOptions options = {});

    // The document as UTF-8 text with declaration, indented by one blank per
    // level. Throws when the document is not active.
    std::string SaveToString() const;

    // Writes SaveToString() to `path` through a temporary file in the same
    // folder that replaces `path` only once completely written: on failure the
    // previous file is untouched and RdmlError is thrown.
    void SaveToFile(const std::string& path) const;

    // An inactive document refuses every access through its element wrappers
    // (RdmlError "The RDML document is not active"); activating restores it.
    void SetActive(bool active);
    bool Active() const;

    const RdmlReadOptions& Options() const;
    void SetOptions(RdmlReadOptions options);

    // The underlying DOM for generic access (reading; see TXMLNode::DomNode).
    pugi::xml_document& Dom();
    const pugi::xml_document& Dom() const;

    // Binds the document element as the RDML root: its local name must be
    // "rdml" and its namespace http://www.rdml.org or none. Throws RdmlError
    // otherwise, and when the document has no element or is not active.
    pugi::xml_node BindRoot();

    const std::shared_ptr<detail::RdmlDocumentState>& State() const { return state_; }
    explicit RdmlDocument(std::shared_ptr<detail::RdmlDocumentState> state);

private:
    std::shared_ptr<detail::RdmlDocumentState> state_;
};

}  // namespace qurvex
