// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/XMLNode.h"

#include "rdml/model/RdmlError.h"

#include <cstring>
#include <vector>

namespace qurvex {

namespace detail {

const char* localName(const char* qualifiedName)
{
    const char* colon = std::strchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

bool isRdmlElement(const RdmlDocumentState& doc, pugi::xml_node node, const char* local)
{
    if (node.type() != pugi::node_element)
        return false;
    const char* name = node.name();
    if (name[0] == local[0] && std::strcmp(name, local) == 0)
        return doc.inRdmlNamespace(node, name, nullptr);
    // A prefixed name can only match in documents that use prefixes for RDML
    // or declare namespaces below the root.
    if (!doc.prefixedNamesPossible)
        return false;
    const char* colon = std::strchr(name, ':');
    return colon != nullptr && std::strcmp(colon + 1, local) == 0 && doc.inRdmlNamespace(node, name, colon);
}

pugi::xml_node findChild(const RdmlDocumentState& doc, pugi::xml_node parent, const char* local)
{
    if (doc.plainNames()) {
        pugi::xml_node n = parent.child(local);
        while (n && n.type() != pugi::node_element)
            n = n.next_sibling(local);
        return n;
    }
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (isRdmlElement(doc, n, local))
            return n;
    return {};
}

namespace {

// Position of a child's local name in the schema order, or -1 when unknown.
int orderOf(const ElementSchema& schema, const char* local)
{
    for (int i = 0; i < schema.childCount; ++i)
        if (std::strcmp(schema.children[i], local) == 0)
            return i;
    return -1;
}

std::string qualifiedChildName(pugi::xml_node parent, const char* local)
{
    const char* parentName = parent.name();
    const char* colon = std::strchr(parentName, ':');
    if (colon == nullptr)
        return local;
    return std::string(parentName, colon + 1) + local;
}

}  // namespace

pugi::xml_node nextItem(const RdmlDocumentState& doc, pugi::xml_node node, const char* local)
{
    if (doc.plainNames()) {
        pugi::xml_node n = node.next_sibling(local);
        while (n && n.type() != pugi::node_element)
            n = n.next_sibling(local);
        return n;
    }
    pugi::xml_node n = node.next_sibling();
    while (n && !isRdmlElement(doc, n, local))
        n = n.next_sibling();
    return n;
}

pugi::xml_node insertAtSchemaPosition(RdmlDocumentState& doc, pugi::xml_node parent, const ElementSchema& schema,
                                      int child)
{
    const std::string name = qualifiedChildName(parent, schema.children[child]);
    ++doc.generation;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || !doc.inRdmlNamespace(n))
            continue;
        if (orderOf(schema, localName(n.name())) > child)
            return parent.insert_child_before(name.c_str(), n);
    }
    return parent.append_child(name.c_str());
}

std::string pathOf(pugi::xml_node node)
{
    // Segments from the element up to the root, joined in reverse.
    std::vector<std::string> segments;
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        std::string segment(localName(n.name()));
        if (n.parent().type() == pugi::node_element) {
            int index = 1;
            for (pugi::xml_node s = n.previous_sibling(n.name()); s; s = s.previous_sibling(n.name()))
                ++index;
            segment.append("[").append(std::to_string(index)).append("]");
        }
        segments.push_back(std::move(segment));
    }
    std::string path;
    for (auto it = segments.rbegin(); it != segments.rend(); ++it)
        path.append("/").append(*it);
    return path;
}

std::string pathOf(pugi::xml_node node, const char* attribute)
{
    return pathOf(node) + "/@" + attribute;
}

}  // namespace detail

TXMLNode::TXMLNode(pugi::xml_node node, DocumentStatePtr doc, const ElementSchema* schema)
    : node_(node), doc_(std::move(doc)), schema_(schema)
{
}

void TXMLNode::throwEmptyHandle()
{
    throw RdmlError("The RDML element object is empty (not bound to a document)");
}

bool TXMLNode::HasChild(const char* local) const
{
    checkedDoc().requireActive();
    return static_cast<bool>(detail::findChild(*doc_, node_, local));
}

bool TXMLNode::HasAttribute(const char* name) const
{
    checkedDoc().requireActive();
    return static_cast<bool>(node_.attribute(name));
}

std::string TXMLNode::attrText(const char* name) const
{
    checkedDoc().requireActive();
    return node_.attribute(name).value();
}

std::uint32_t TXMLNode::attrCardinal(const char* name) const
{
    checkedDoc().requireActive();
    const pugi::xml_attribute a = node_.attribute(name);
    if (!a)
        return 0;
    const NumberParse<std::uint32_t> parsed = parseCardinal(a.value());
    if (!parsed.ok)
        throw RdmlError("\"" + std::string(a.value()) + "\" " + parsed.error, detail::pathOf(node_, name), a.value());
    return parsed.value;
}

void TXMLNode::setAttrText(const char* name, std::string_view value)
{
    checkedDoc().requireActive();
    pugi::xml_attribute a = node_.attribute(name);
    if (!a)
        a = node_.append_attribute(name);
    a.set_value(std::string(value).c_str());
}

void TXMLNode::setAttrCardinal(const char* name, std::uint32_t value)
{
    setAttrText(name, formatCardinal(value));
}

pugi::xml_node TXMLNode::valueChild(int child) const
{
    checkedDoc().requireActive();
    return detail::findChild(*doc_, node_, schema_->children[child]);
}

pugi::xml_node TXMLNode::reachChild(int child)
{
    pugi::xml_node n = valueChild(child);
    if (!n)
        n = detail::insertAtSchemaPosition(*doc_, node_, *schema_, child);
    return n;
}

void TXMLNode::conversionError(pugi::xml_node child, const char* text, const std::string& why) const
{
    throw RdmlError("\"" + std::string(text) + "\" " + why, detail::pathOf(child), text);
}

std::string TXMLNode::elemText(int child) const
{
    return valueChild(child).child_value();
}

bool TXMLNode::elemBoolean(int child) const
{
    const pugi::xml_node n = valueChild(child);
    if (!n)
        return false;
    const char* text = n.child_value();
    const NumberParse<bool> parsed = parseBoolean(text);
    if (!parsed.ok)
        conversionError(n, text, parsed.error);
    return parsed.value;
}

std::int32_t TXMLNode::elemInteger(int child) const
{
    const pugi::xml_node n = valueChild(child);
    if (!n)
        return 0;
    const char* text = n.child_value();
    const NumberParse<std::int32_t> parsed = parseInteger(text);
    if (!parsed.ok)
        conversionError(n, text, parsed.error);
    return parsed.value;
}

std::uint32_t TXMLNode::elemCardinal(int child) const
{
    const pugi::xml_node n = valueChild(child);
    if (!n)
        return 0;
    const char* text = n.child_value();
    const NumberParse<std::uint32_t> parsed = parseCardinal(text);
    if (!parsed.ok)
        conversionError(n, text, parsed.error);
    return parsed.value;
}

float TXMLNode::elemSingle(int child, SeparatorRule rule) const
{
    const pugi::xml_node n = valueChild(child);
    if (!n)
        return 0.0f;
    const char* text = n.child_value();
    const NumberParse<float> parsed = parseSingle(text, doc_->options.decimalSeparator, rule);
    if (!parsed.ok)
        conversionError(n, text, parsed.error);
    return parsed.value;
}

double TXMLNode::elemDouble(int child) const
{
    const pugi::xml_node n = valueChild(child);
    if (!n)
        return 0.0;
    const char* text = n.child_value();
    const NumberParse<double> parsed =
        parseDouble(text, doc_->options.decimalSeparator, SeparatorRule::documentOrPoint);
    if (!parsed.ok)
        conversionError(n, text, parsed.error);
    return parsed.value;
}

void TXMLNode::setElemText(int child, std::string_view value)
{
    reachChild(child).text().set(std::string(value).c_str());
}

TXMLNodeCollection::TXMLNodeCollection(pugi::xml_node parent, DocumentStatePtr doc, const ElementSchema* parentSchema,
                                       int child)
    : parent_(parent), doc_(std::move(doc)), parentSchema_(parentSchema), child_(child)
{
}

int TXMLNodeCollection::Count() const
{
    doc_->requireActive();
    if (cacheGeneration_ == doc_->generation && cachedCount_ >= 0)
        return cachedCount_;
    int count = 0;
    for (pugi::xml_node n = detail::findChild(*doc_, parent_, tag()); n; n = detail::nextItem(*doc_, n, tag()))
        ++count;
    if (cacheGeneration_ != doc_->generation) {
        cacheGeneration_ = doc_->generation;
        cachedIndex_ = -1;
    }
    cachedCount_ = count;
    return count;
}

void TXMLNodeCollection::outOfBounds(int index) const
{
    throw RdmlError("List index out of bounds (" + std::to_string(index) + ")",
                    detail::pathOf(parent_) + "/" + tag());
}

pugi::xml_node TXMLNodeCollection::itemNode(int index) const
{
    doc_->requireActive();
    if (index < 0)
        outOfBounds(index);
    if (cacheGeneration_ != doc_->generation) {
        cacheGeneration_ = doc_->generation;
        cachedIndex_ = -1;
        cachedCount_ = -1;
    }
    // Walk on from the last item visited when it lies before the wanted one,
    // so that reading items 0, 1, 2 ... costs one step each.
    int at = 0;
    pugi::xml_node n;
    if (cachedIndex_ >= 0 && cachedIndex_ <= index) {
        at = cachedIndex_;
        n = cachedNode_;
    } else {
        n = detail::findChild(*doc_, parent_, tag());
    }
    while (n && at < index) {
        n = detail::nextItem(*doc_, n, tag());
        ++at;
    }
    if (!n)
        outOfBounds(index);
    cachedIndex_ = index;
    cachedNode_ = n;
    return n;
}

pugi::xml_node TXMLNodeCollection::appendItem()
{
    doc_->requireActive();
    pugi::xml_node last;
    for (pugi::xml_node n = parent_.last_child(); n; n = n.previous_sibling())
        if (detail::isRdmlElement(*doc_, n, tag())) {
            last = n;
            break;
        }
    if (!last)
        return detail::insertAtSchemaPosition(*doc_, parent_, *parentSchema_, child_);
    ++doc_->generation;
    return parent_.insert_child_after(last.name(), last);
}

pugi::xml_node TXMLNodeCollection::insertItem(int index)
{
    const int count = Count();
    if (index < 0 || index > count)
        outOfBounds(index);
    if (index == count)
        return appendItem();
    const pugi::xml_node before = itemNode(index);
    ++doc_->generation;
    return parent_.insert_child_before(before.name(), before);
}

void TXMLNodeCollection::Clear()
{
    doc_->requireActive();
    pugi::xml_node n = parent_.first_child();
    while (n) {
        const pugi::xml_node next = n.next_sibling();
        if (detail::isRdmlElement(*doc_, n, tag()))
            parent_.remove_child(n);
        n = next;
    }
    ++doc_->generation;
}

void TXMLNodeCollection::Delete(int index)
{
    const pugi::xml_node n = itemNode(index);
    ++doc_->generation;
    parent_.remove_child(n);
}

int TXMLNodeCollection::Remove(pugi::xml_node node)
{
    doc_->requireActive();
    int index = 0;
    for (pugi::xml_node n = parent_.first_child(); n; n = n.next_sibling()) {
        if (!detail::isRdmlElement(*doc_, n, tag()))
            continue;
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
