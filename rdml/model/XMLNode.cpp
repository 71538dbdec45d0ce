// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/XMLNode.h"

#include <cstring>
#include <vector>

#include "rdml/model/RdmlError.h"

namespace qurvex {

namespace detail {

const char* localName(const char* qualifiedName) {
    const char* colon = std::strchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

bool isRdmlElement(const RdmlDocumentState& doc, pugi::xml_node node, const char* local) {
    if (node.type() != pugi::node_element) return false;
    const char* name = node.name();
    if (sameName(name, local)) return doc.inRdmlNamespace(node, name, nullptr);
    // A prefixed name can only match in documents that use prefixes for RDML
    // or declare namespaces below the root.
    if (!doc.prefixedNamesPossible) return false;
    const char* colon = std::strchr(name, ':');
    return colon != nullptr && sameName(colon + 1, local) && doc.inRdmlNamespace(node, name, colon);
}

namespace {

// From `n` on through its following siblings: the first RDML element named
// `local`. Where RDML elements are exactly the unprefixed ones, the name and
// the node type settle it; a node without a name is text, a comment, or the
// empty node past the last sibling (node_null), which ends the walk.
bool scanSiblings(const RdmlDocumentState& doc, pugi::xml_node n, const char* local,
                  pugi::xml_node& found) {
    if (doc.plainNames()) {
        for (;; n = n.next_sibling()) {
            const char* name = n.name();
            if (name[0] == '\0') {
                if (n.type() == pugi::node_null) return false;
                continue;
            }
            if (sameName(name, local) && n.type() == pugi::node_element) {
                found = n;
                return true;
            }
        }
    }
    for (; n; n = n.next_sibling())
        if (isRdmlElement(doc, n, local)) {
            found = n;
            return true;
        }
    return false;
}

}  // namespace

bool findChild(const RdmlDocumentState& doc, pugi::xml_node parent, const char* local,
               pugi::xml_node& found) {
    return scanSiblings(doc, parent.first_child(), local, found);
}

pugi::xml_node findChild(const RdmlDocumentState& doc, pugi::xml_node parent, const char* local) {
    pugi::xml_node found;
    findChild(doc, parent, local, found);
    return found;
}

namespace {

// Position of a child's local name in the schema order, or -1 when unknown.
int orderOf(const ElementSchema& schema, const char* local) {
    for (int i = 0; i < schema.childCount; ++i)
        if (std::strcmp(schema.children[i], local) == 0) return i;
    return -1;
}

std::string qualifiedChildName(pugi::xml_node parent, const char* local) {
    const char* parentName = parent.name();
    const char* colon = std::strchr(parentName, ':');
    if (colon == nullptr) return local;
    return std::string(parentName, colon + 1) + local;
}

}  // namespace

bool nextItem(const RdmlDocumentState& doc, pugi::xml_node node, const char* local,
              pugi::xml_node& found) {
    return scanSiblings(doc, node.next_sibling(), local, found);
}

pugi::xml_node nextItem(const RdmlDocumentState& doc, pugi::xml_node node, const char* local) {
    pugi::xml_node found;
    nextItem(doc, node, local, found);
    return found;
}

pugi::xml_node insertAtSchemaPosition(RdmlDocumentState& doc, pugi::xml_node parent,
                                      const ElementSchema& schema, int child) {
    const std::string name = qualifiedChildName(parent, schema.children[child]);
    ++doc.generation;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || !doc.inRdmlNamespace(n)) continue;
        if (orderOf(schema, localName(n.name())) > child)
            return parent.insert_child_before(name.c_str(), n);
    }
    return parent.append_child(name.c_str());
}

std::string pathOf(pugi::xml_node node) {
    // Segments from the element up to the root, joined in reverse.
    std::vector<std::string> segments;
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        std::string segment(localName(n.name()));
        if (n.parent().type() == pugi::node_element) {
            int index = 1;
            for (pugi::xml_node s = n.previous_sibling(n.name()); s;
                 s = s.previous_sibling(n.name()))
                ++index;
            segment.append("[").append(std::to_string(index)).append("]");
        }
        segments.push_back(std::move(segment));
    }
    std::string path;
    for (auto it = segments.rbegin(); it != segments.rend(); ++it) path.append("/").append(*it);
    return path;
}

std::string pathOf(pugi::xml_node node, const char* attribute) {
    return pathOf(node) + "/@" + attribute;
}

}  // namespace detail

TXMLNode::TXMLNode(pugi::xml_node node, DocumentStatePtr doc, const ElementSchema* schema)
    : node_(node), doc_(std::move(doc)), schema_(schema) {}

void TXMLNode::throwEmptyHandle() {
    throw RdmlError("The RDML element object is empty (not bound to a document)");
}

bool TXMLNode::HasChild(const char* local) const {
    checkedDoc().requireActive();
    return static_cast<bool>(detail::findChild(*doc_, node_, local));
}

bool TXMLNode::HasAttribute(const char* name) const {
    checkedDoc().requireActive();
    return static_cast<bool>(node_.attribute(name));
}

std::string TXMLNode::attrText(const char* name) const {
    checkedDoc().requireActive();
    return node_.attribute(name).value();
}

std::uint32_t TXMLNode::attrCardinal(const char* name) const {
    checkedDoc().requireActive();
    const pugi::xml_attribute a = node_.attribute(name);
    if (!a) return 0;
    std::uint32_t value = 0;
    if (readCardinal(a.value(), value)) return value;
    const NumberParse<std::uint32_t> parsed = parseCardinal(a.value());
    if (!parsed.ok)
        throw RdmlError("\"" + std::string(a.value()) + "\" " + parsed.error,
                        detail::pathOf(node_, name), a.value());
    return parsed.value;
}

void TXMLNode::setAttrText(const char* name, std::string_view value) {
    checkedDoc().requireActive();
    pugi::xml_attribute a = node_.attribute(name);
    if (!a) a = node_.append_attribute(name);
    a.set_value(std::string(value).c_str());
}

void TXMLNode::setAttrCardinal(const char* name, std::uint32_t value) {
    setAttrText(name, formatCardinal(value));
}

pugi::xml_node TXMLNode::valueChild(int child) const {
    checkedDoc().requireActive();
    return detail::findChild(*doc_, node_, schema_->children[child]);
}

const char* TXMLNode::valueText(int child, pugi::xml_node& element) const {
    checkedDoc().requireActive();
    if (!detail::findChild(*doc_, node_, schema_->children[child], element)) return nullptr;
    return element.child_value();
}

pugi::xml_node TXMLNode::reachChild(int child) {
    pugi::xml_node n = valueChild(child);
    if (!n) n = detail::insertAtSchemaPosition(*doc_, node_, *schema_, child);
    return n;
}

void TXMLNode::conversionError(pugi::xml_node child, const char* text,
                               const std::string& why) const {
    throw RdmlError("\"" + std::string(text) + "\" " + why, detail::pathOf(child), text);
}

std::string TXMLNode::elemText(int child) const {
    pugi::xml_node n;
    const char* text = valueText(child, n);
    return text != nullptr ? text : "";
}

bool TXMLNode::elemBoolean(int child) const {
    pugi::xml_node n;
    const char* text = valueText(child, n);
    if (text == nullptr) return false;
    const NumberParse<bool> parsed = parseBoolean(text);
    if (!parsed.ok) conversionError(n, text, parsed.error);
    return parsed.value;
}

std::int32_t TXMLNode::elemInteger(int child) const {
    pugi::xml_node n;
    const char* text = valueText(child, n);
    if (text == nullptr) return 0;
    std::int32_t value = 0;
    if (readInteger(text, value)) return value;
    const NumberParse<std::int32_t> parsed = parseInteger(text);
    if (!parsed.ok) conversionError(n, text, parsed.error);
    return parsed.value;
}

std::uint32_t TXMLNode::elemCardinal(int child) const {
    pugi::xml_node n;
    const char* text = valueText(child, n);
    if (text == nullptr) return 0;
    std::uint32_t value = 0;
    if (readCardinal(text, value)) return value;
    const NumberParse<std::uint32_t> parsed = parseCardinal(text);
    if (!parsed.ok) conversionError(n, text, parsed.error);
    return parsed.value;
}

float TXMLNode::elemSingle(int child, SeparatorRule rule) const {
    pugi::xml_node n;
    const char* text = valueText(child, n);
    if (text == nullptr) return 0.0f;
    float value = 0.0f;
    if (readSingle(text, doc_->options.decimalSeparator, rule, value)) return value;
    const NumberParse<float> parsed = parseSingle(text, doc_->options.decimalSeparator, rule);
    if (!parsed.ok) conversionError(n, text, parsed.error);
    return parsed.value;
}

double TXMLNode::elemDouble(int child) const {
    pugi::xml_node n;
    const char* text = valueText(child, n);
    if (text == nullptr) return 0.0;
    double value = 0.0;
    if (readDouble(text, doc_->options.decimalSeparator, SeparatorRule::documentOrPoint, value))
        return value;
    const NumberParse<double> parsed =
        parseDouble(text, doc_->options.decimalSeparator, SeparatorRule::documentOrPoint);
    if (!parsed.ok) conversionError(n, text, parsed.error);
    return parsed.value;
}

void TXMLNode::setElemText(int child, std::string_view value) {
    reachChild(child).text().set(std::string(value).c_str());
}

TXMLNodeCollection::TXMLNodeCollection(pugi::xml_node parent, DocumentStatePtr doc,
                                       const ElementSchema* parentSchema, int child)
    : parent_(parent), doc_(std::move(doc)), parentSchema_(parentSchema), child_(child) {}

TXMLNodeCollection::TXMLNodeCollection(const TXMLNodeCollection& other)
    : parent_(other.parent_),
      doc_(other.doc_),
      parentSchema_(other.parentSchema_),
      child_(other.child_) {}

TXMLNodeCollection& TXMLNodeCollection::operator=(const TXMLNodeCollection& other) {
    if (this != &other) {
        parent_ = other.parent_;
        doc_ = other.doc_;
        parentSchema_ = other.parentSchema_;
        child_ = other.child_;
        cacheGeneration_ = ~std::uint64_t(0);
        found_.clear();
        allFound_ = false;
    }
    return *this;
}

void TXMLNodeCollection::checkGeneration() const {
    if (cacheGeneration_ == doc_->generation) return;
    cacheGeneration_ = doc_->generation;
    found_.clear();
    allFound_ = false;
}

bool TXMLNodeCollection::findNextItem() const {
    pugi::xml_node n;
    const bool found = found_.empty() ? detail::findChild(*doc_, parent_, tag(), n)
                                      : detail::nextItem(*doc_, found_.back(), tag(), n);
    if (!found) {
        allFound_ = true;
        return false;
    }
    if (found_.empty()) found_.reserve(16);
    found_.push_back(n);
    return true;
}

int TXMLNodeCollection::Count() const {
    doc_->requireActive();
    checkGeneration();
    while (!allFound_ && findNextItem()) {
    }
    return static_cast<int>(found_.size());
}

void TXMLNodeCollection::outOfBounds(int index) const {
    throw RdmlError("List index out of bounds (" + std::to_string(index) + ")",
                    detail::pathOf(parent_) + "/" + tag());
}

pugi::xml_node TXMLNodeCollection::itemNode(int index) const {
    doc_->requireActive();
    if (index < 0) outOfBounds(index);
    checkGeneration();
    // Walk on from the last item found, so that reading items 0, 1, 2 ...
    // costs one step each and an item is never looked for twice.
    const auto wanted = static_cast<std::size_t>(index);
    while (found_.size() <= wanted && !allFound_ && findNextItem()) {
    }
    if (wanted >= found_.size()) outOfBounds(index);
    return found_[wanted];
}

pugi::xml_node TXMLNodeCollection::appendItem() {
    doc_->requireActive();
    pugi::xml_node last;
    for (pugi::xml_node n = parent_.last_child(); n; n = n.previous_sibling())
        if (detail::isRdmlElement(*doc_, n, tag())) {
            last = n;
            break;
        }
    if (!last) return detail::insertAtSchemaPosition(*doc_, parent_, *parentSchema_, child_);
    ++doc_->generation;
    return parent_.insert_child_after(last.name(), last);
}

pugi::xml_node TXMLNodeCollection::insertItem(int index) {
    const int count = Count();
    if (index < 0 || index > count) outOfBounds(index);
    if (index == count) return appendItem();
    const pugi::xml_node before = itemNode(index);
    ++doc_->generation;
    return parent_.insert_child_before(before.name(), before);
}

void TXMLNodeCollection::Clear() {
    doc_->requireActive();
    pugi::xml_node n = parent_.first_child();
    while (n) {
        const pugi::xml_node next = n.next_sibling();
        if (detail::isRdmlElement(*doc_, n, tag())) parent_.remove_child(n);
        n = next;
    }
    ++doc_->generation;
}

void TXMLNodeCollection::Delete(int index) {
    const pugi::xml_node n = itemNode(index);
    ++doc_->generation;
    parent_.remove_child(n);
}

int TXMLNodeCollection::Remove(pugi::xml_node node) {
    doc_->requireActive();
    int index = 0;
    for (pugi::xml_node n = parent_.first_child(); n; n = n.next_sibling()) {
        if (!detail::isRdmlElement(*doc_, n, tag())) continue;
        if (n == node) {
            ++doc_->generation;
            parent_.remove_child(n);
            return index;
        }
        ++index;
    }
    return -1;
}

}  // namespace qurvex
