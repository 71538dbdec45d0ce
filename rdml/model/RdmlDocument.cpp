// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/RdmlDocument.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "rdml/model/RdmlError.h"
#include "rdml/model/TextEncoding.h"

namespace qurvex {

namespace detail {

namespace {

// The namespace URI bound to `prefix` at `node`, looking through its ancestors;
// `found` false when no declaration is in scope.
std::string_view namespaceInScope(pugi::xml_node node, std::string_view prefix, bool& found) {
    const std::string attributeName =
        prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        const pugi::xml_attribute a = n.attribute(attributeName.c_str());
        if (a) {
            found = true;
            return a.value();
        }
    }
    found = false;
    return {};
}

bool declaresNamespaces(pugi::xml_node node) {
    for (const pugi::xml_attribute a : node.attributes())
        if (std::strncmp(a.name(), "xmlns", 5) == 0 && (a.name()[5] == '\0' || a.name()[5] == ':'))
            return true;
    return false;
}

// True when no element below `root` declares a namespace of its own.
bool namespacesOnlyOnRoot(pugi::xml_node root) {
    pugi::xml_node n = root.first_child();
    while (n && n != root) {
        if (n.type() == pugi::node_element && declaresNamespaces(n)) return false;
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != root && !n.next_sibling()) n = n.parent();
        if (n != root) n = n.next_sibling();
    }
    return true;
}

}  // namespace

void RdmlDocumentState::throwInactive() { throw RdmlError("The RDML document is not active"); }

bool RdmlDocumentState::inRdmlNamespace(pugi::xml_node node) const {
    const char* name = node.name();
    return inRdmlNamespace(node, name, std::strchr(name, ':'));
}

bool RdmlDocumentState::inRdmlNamespace(pugi::xml_node node, const char* name,
                                        const char* colon) const {
    if (uniformNamespaces && colon == nullptr) return defaultIsRdml;
    const std::string_view prefix =
        colon ? std::string_view(name, static_cast<std::size_t>(colon - name)) : std::string_view();
    if (uniformNamespaces) {
        for (const std::string& p : rdmlPrefixes)
            if (p == prefix) return true;
        return false;
    }
    bool found = false;
    const std::string_view uri = namespaceInScope(node, prefix, found);
    if (!found) return prefix.empty() && rdmlUri.empty();
    return uri == rdmlUri;
}

}  // namespace detail

namespace {

// Line and column (from 1) of a byte offset in UTF-8 text.
std::string lineAndColumn(std::string_view text, std::ptrdiff_t offset) {
    std::size_t line = 1;
    std::size_t column = 1;
    const std::size_t end = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), text.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

long countXmlnsMentions(std::string_view bytes) {
    long count = 0;
    for (std::size_t at = bytes.find("xmlns"); at != std::string_view::npos;
         at = bytes.find("xmlns", at + 5))
        ++count;
    return count;
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

}  // namespace

RdmlDocument::RdmlDocument() : state_(std::make_shared<detail::RdmlDocumentState>()) {
    pugi::xml_node declaration = state_->dom.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
}

RdmlDocument::RdmlDocument(std::shared_ptr<detail::RdmlDocumentState> state)
    : state_(std::move(state)) {}

RdmlDocument RdmlDocument::LoadFromBytes(std::string_view bytes, RdmlReadOptions options) {
    const pugi::xml_encoding encoding = detectXmlEncoding(bytes);
    auto state = std::make_shared<detail::RdmlDocumentState>();
    state->options = options;
    if (encoding == pugi::encoding_utf8 || encoding == pugi::encoding_latin1)
        state->xmlnsMentions = countXmlnsMentions(bytes);
    // Comments, processing instructions and the document type declaration
    // are kept, so that a document saved again holds every node it was read
    // with.
    constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                       pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;
    const pugi::xml_parse_result result =
        state->dom.load_buffer(bytes.data(), bytes.size(), kParseOptions, encoding);
    if (!result) {
        std::string where = "byte offset " + std::to_string(result.offset);
        if (encoding == pugi::encoding_utf8) where = lineAndColumn(bytes, result.offset);
        throw RdmlError(std::string("The document is not well-formed XML: ") +
                        result.description() + " at " + where);
    }
    int elements = 0;
    for (const pugi::xml_node n : state->dom.children())
        if (n.type() == pugi::node_element) ++elements;
    if (elements != 1)
        throw RdmlError(
            std::string("The document is not well-formed XML: ") +
            (elements == 0 ? "it holds no element" : "it holds more than one document element"));
    return RdmlDocument(std::move(state));
}

RdmlDocument RdmlDocument::LoadFromFile(const std::string& path, RdmlReadOptions options) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RdmlError("The file cannot be opened", path);
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) throw RdmlError("The file cannot be read", path);
    try {
        return LoadFromBytes(content.str(), options);
    } catch (const RdmlError& e) {
        throw RdmlError(e.what(), path);
    }
}

std::string RdmlDocument::SaveToString() const {
    state_->requireActive();
    // The text is always written as UTF-8, so a declaration read from a
    // document in another encoding must say so.
    pugi::xml_node first = state_->dom.first_child();
    if (first.type() == pugi::node_declaration) {
        if (pugi::xml_attribute encoding = first.attribute("encoding")) encoding.set_value("UTF-8");
    }
    StringWriter writer;
    state_->dom.save(writer, " ", pugi::format_indent, pugi::encoding_utf8);
    return std::move(writer.text);
}

void RdmlDocument::SaveToFile(const std::string& path) const {
    const std::string text = SaveToString();
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) throw RdmlError("The file cannot be created", partial);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            throw RdmlError("The file cannot be written", partial);
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw RdmlError("The file cannot be replaced: " + ec.message(), path);
    }
}

void RdmlDocument::SetActive(bool active) { state_->active = active; }

bool RdmlDocument::Active() const { return state_->active; }

const RdmlReadOptions& RdmlDocument::Options() const { return state_->options; }

void RdmlDocument::SetOptions(RdmlReadOptions options) { state_->options = options; }

pugi::xml_document& RdmlDocument::Dom() { return state_->dom; }

const pugi::xml_document& RdmlDocument::Dom() const { return state_->dom; }

pugi::xml_node RdmlDocument::BindRoot() {
    state_->requireActive();
    const pugi::xml_node root = state_->dom.document_element();
    if (!root) throw RdmlError("The document holds no element");
    const char* qualified = root.name();
    const char* colon = std::strchr(qualified, ':');
    const std::string prefix = colon ? std::string(qualified, colon) : std::string();
    const std::string local = colon ? std::string(colon + 1) : std::string(qualified);
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    const pugi::xml_attribute uriAttribute = root.attribute(declaration.c_str());
    if (!prefix.empty() && !uriAttribute)
        throw RdmlError(
            "The document element uses the undeclared namespace prefix \"" + prefix + "\"",
            "/" + std::string(qualified));
    const std::string uri = uriAttribute ? uriAttribute.value() : "";
    if (local != "rdml" || (!uri.empty() && uri != kRdmlNamespace)) {
        std::string found = "\"" + local + "\"";
        found += uri.empty() ? " without a namespace" : " in the namespace \"" + uri + "\"";
        throw RdmlError("The document element is " + found +
                            "; an RDML document has \"rdml\" in the namespace \"" +
                            std::string(kRdmlNamespace) + "\"",
                        "/" + std::string(qualified));
    }
    state_->rdmlUri = uri;
    state_->rdmlPrefixes.assign(1, prefix);
    if (!uri.empty()) {
        for (const pugi::xml_attribute a : root.attributes()) {
            const char* name = a.name();
            if (std::strncmp(name, "xmlns:", 6) == 0 && uri == a.value() && prefix != name + 6)
                state_->rdmlPrefixes.emplace_back(name + 6);
            if (std::strcmp(name, "xmlns") == 0 && uri == a.value() && !prefix.empty())
                state_->rdmlPrefixes.emplace_back();
        }
    }
    state_->defaultIsRdml = false;
    for (const std::string& p : state_->rdmlPrefixes)
        if (p.empty()) state_->defaultIsRdml = true;
    // When the text mentions "xmlns" no more often than the root declares
    // namespaces, no element below the root can declare one; otherwise walk
    // the tree to find out.
    long rootDeclarations = 0;
    for (const pugi::xml_attribute a : root.attributes())
        if (std::strncmp(a.name(), "xmlns", 5) == 0) ++rootDeclarations;
    if (state_->xmlnsMentions >= 0 && state_->xmlnsMentions <= rootDeclarations)
        state_->uniformNamespaces = true;
    else
        state_->uniformNamespaces = detail::namespacesOnlyOnRoot(root);
    state_->prefixedNamesPossible = !state_->uniformNamespaces;
    for (const std::string& p : state_->rdmlPrefixes)
        if (!p.empty()) state_->prefixedNamesPossible = true;
    state_->bound = true;
    return root;
}

}  // namespace qurvex
