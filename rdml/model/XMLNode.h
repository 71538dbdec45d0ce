// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The binding framework shared by the three RDML versions: every typed value
// lives in the DOM and each accessor is one fixed operation on a child element
// or attribute found by local name in the RDML namespace. Nothing is cached
// except the item elements a list view has already found.

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "rdml/model/RdmlDocument.h"
#include "rdml/model/RdmlNumbers.h"

namespace qurvex {

// The child elements of one element type, in the order of the schema's
// xs:sequence; new children are inserted by this order.
struct ElementSchema {
    const char* typeName;
    const char* const* children;
    int childCount;
};

using DocumentStatePtr = std::shared_ptr<detail::RdmlDocumentState>;

namespace detail {

// The local part of a qualified name ("rdml:react" gives "react").
const char* localName(const char* qualifiedName);

// True when the NUL-terminated `name` equals `local` (no allocation, no call).
inline bool sameName(const char* name, const char* local) {
    while (*name == *local) {
        if (*name == '\0') return true;
        ++name;
        ++local;
    }
    return false;
}

// The first child element of `parent` with this local name in the RDML
// namespace, or an empty node.
pugi::xml_node findChild(const RdmlDocumentState& doc, pugi::xml_node parent, const char* local);
// The same, saying whether one was found (`found` is set only when one is).
bool findChild(const RdmlDocumentState& doc, pugi::xml_node parent, const char* local,
               pugi::xml_node& found);

// The next sibling element of `node` with this local name in the RDML
// namespace, or an empty node.
pugi::xml_node nextItem(const RdmlDocumentState& doc, pugi::xml_node node, const char* local);
// The same, saying whether one was found (`found` is set only when one is).
bool nextItem(const RdmlDocumentState& doc, pugi::xml_node node, const char* local,
              pugi::xml_node& found);

// True when `node` is an element with this local name in the RDML namespace.
bool isRdmlElement(const RdmlDocumentState& doc, pugi::xml_node node, const char* local);

// Creates an empty child `schema.children[child]` of `parent` at its schema
// position: before the first child element that comes later in the order
// (elements unknown to the order are passed over). The prefix is the parent's.
pugi::xml_node insertAtSchemaPosition(RdmlDocumentState& doc, pugi::xml_node parent,
                                      const ElementSchema& schema, int child);

// "/rdml/experiment[1]/run[1]/react[3]" for an element (indices count
// siblings of the same name from 1); "/@id" is appended for an attribute.
std::string pathOf(pugi::xml_node node);
std::string pathOf(pugi::xml_node node, const char* attribute);

}  // namespace detail

// Base of every element class: a view on one DOM element. Copying a view never
// changes the DOM. Getters of value children never create anything: a missing
// text child reads as "", a missing Boolean as false and a missing number as 0.
// Complex children are created at their schema position when first reached.
// Every access throws RdmlError when the document is inactive, and when a text
// does not convert (with the element path and the text).
class TXMLNode {
public:
    TXMLNode() = default;
    TXMLNode(pugi::xml_node node, DocumentStatePtr doc, const ElementSchema* schema);

    // The wrapped DOM element (generic node interface), for reading. Add and
    // remove elements only through the model (setters, complex getters, list
    // operations): list views keep their position between calls and learn of
    // structural changes from the model alone.
    pugi::xml_node DomNode() const { return node_; }
    // The document this element belongs to.
    // Throws RdmlError for a default-constructed (empty) object.
    RdmlDocument OwnerDocument() const {
        checkedDoc();
        return RdmlDocument(doc_);
    }
    // "/rdml/experiment[1]/run[1]" style location of this element.
    std::string Path() const { return detail::pathOf(node_); }
    // True when a child element of this local name exists in the RDML namespace.
    bool HasChild(const char* local) const;
    // True when the attribute exists.
    bool HasAttribute(const char* name) const;

protected:
    std::string attrText(const char* name) const;
    std::uint32_t attrCardinal(const char* name) const;
    void setAttrText(const char* name, std::string_view value);
    void setAttrCardinal(const char* name, std::uint32_t value);

    std::string elemText(int child) const;
    bool elemBoolean(int child) const;
    std::int32_t elemInteger(int child) const;
    std::uint32_t elemCardinal(int child) const;
    float elemSingle(int child, SeparatorRule rule) const;
    double elemDouble(int child) const;

    void setElemText(int child, std::string_view value);
    void setElemBoolean(int child, bool value) { setElemText(child, formatBoolean(value)); }
    void setElemInteger(int child, std::int32_t value) { setElemText(child, formatInteger(value)); }
    void setElemCardinal(int child, std::uint32_t value) {
        setElemText(child, formatCardinal(value));
    }
    void setElemSingle(int child, float value) { setElemText(child, formatSingle(value)); }
    void setElemDouble(int child, double value) { setElemText(child, formatDouble(value)); }

    template <typename T>
    T complexChild(int child) {
        return T(reachChild(child), doc_);
    }

    template <typename L>
    L listChild(int child) const {
        checkedDoc().requireActive();
        return L(node_, doc_, schema_, child);
    }

    const DocumentStatePtr& doc() const { return doc_; }

private:
    // The document state; a default-constructed object has none and throws.
    const detail::RdmlDocumentState& checkedDoc() const {
        if (!doc_) throwEmptyHandle();
        return *doc_;
    }
    [[noreturn]] static void throwEmptyHandle();
    pugi::xml_node valueChild(int child) const;
    // The text of value child `child` (the element goes to `element`), or
    // nullptr when the element is missing.
    const char* valueText(int child, pugi::xml_node& element) const;
    pugi::xml_node reachChild(int child);
    [[noreturn]] void conversionError(pugi::xml_node child, const char* text,
                                      const std::string& why) const;

    pugi::xml_node node_;
    DocumentStatePtr doc_;
    const ElementSchema* schema_ = nullptr;
};

// Base of every list class: a view on the children of one element that carry
// the list's tag, in document order. The view keeps the items it has found so
// far (reading items 0, 1, 2 ... and Count() walk the children once); every
// change of the element structure through the model makes it look again. A
// copy starts with nothing found.
class TXMLNodeCollection {
public:
    TXMLNodeCollection(pugi::xml_node parent, DocumentStatePtr doc,
                       const ElementSchema* parentSchema, int child);
    TXMLNodeCollection(const TXMLNodeCollection& other);
    TXMLNodeCollection& operator=(const TXMLNodeCollection& other);
    TXMLNodeCollection(TXMLNodeCollection&&) noexcept = default;
    TXMLNodeCollection& operator=(TXMLNodeCollection&&) noexcept = default;
    ~TXMLNodeCollection() = default;

    // Number of items; 0 for an empty list.
    int Count() const;
    // Item i (from 0) as a generic DOM node; throws RdmlError
    // "List index out of bounds (i)" outside 0..Count()-1.
    pugi::xml_node Nodes(int index) const { return itemNode(index); }
    // Removes every item; other children of the parent stay.
    void Clear();
    // Removes item i; out of range throws as Nodes does.
    void Delete(int index);
    // Removes `node` when it is an item of this list and returns its former
    // index; -1 (and no change) otherwise.
    int Remove(pugi::xml_node node);

protected:
    pugi::xml_node itemNode(int index) const;
    // New item after the last item, or at the schema position when empty.
    pugi::xml_node appendItem();
    // New item before item i; i == Count() appends; other values throw.
    pugi::xml_node insertItem(int index);
    const DocumentStatePtr& doc() const { return doc_; }

private:
    const char* tag() const { return parentSchema_->children[child_]; }
    [[noreturn]] void outOfBounds(int index) const;
    // Forgets the items found when the element structure changed since.
    void checkGeneration() const;
    // Looks for the item after the last one found; false at the end of the list.
    bool findNextItem() const;

    pugi::xml_node parent_;
    DocumentStatePtr doc_;
    const ElementSchema* parentSchema_;
    int child_;
    mutable std::uint64_t cacheGeneration_ = ~std::uint64_t(0);
    mutable std::vector<pugi::xml_node> found_;
    mutable bool allFound_ = false;
};

// A list whose items are wrapped in the element class `Item`.
template <typename Item>
class TXMLNodeList : public TXMLNodeCollection {
public:
    using TXMLNodeCollection::TXMLNodeCollection;

    // Item i (from 0); throws RdmlError "List index out of bounds (i)" outside
    // 0..Count()-1 and never creates an item.
    Item Items(int index) const { return Item(itemNode(index), doc()); }
    Item Get_Item(int index) const { return Items(index); }
    Item operator[](int index) const { return Items(index); }
    // A new item after the last one (at its schema position in an empty list).
    Item Add() { return Item(appendItem(), doc()); }
    // A new item at position i (0..Count()); other positions throw.
    Item Insert(int index) { return Item(insertItem(index), doc()); }
};

}  // namespace qurvex
