// A pull reader over an XML document held in memory, on libxml2's xmlTextReader. It
// never touches the network, never loads or expands external or internal entities, and
// refuses any document type declaration, so a definition file can neither reach out nor
// blow up. Errors are collected instead of printed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace speaker_eq {

// Definition files are a few kilobytes; anything beyond this is refused unread.
inline constexpr std::size_t kMaxXmlBytes = 4 * 1024 * 1024;

enum class XmlNode {
    Element,
    EndElement,
    Text,  // text, CDATA and white space inside an element
    Other,  // comments, processing instructions, the XML declaration
    End,    // the document ended well-formed
    Error,  // the reader failed or found something refused; see Error()
};

class XmlPullReader {
public:
    // The reader keeps a view of bytes: they must outlive it.
    explicit XmlPullReader(std::string_view bytes);
    ~XmlPullReader();
    XmlPullReader(const XmlPullReader&) = delete;
    XmlPullReader& operator=(const XmlPullReader&) = delete;

    // Moves to the next node. Once End or Error is returned, every later call returns
    // the same.
    XmlNode Read();

    // Of the current element: its name as "prefix:local" when it has a prefix, else the
    // local name; whether it is written as <x/>; its depth (the root element is 0).
    const std::string& Name() const { return name_; }
    bool IsEmptyElement() const { return emptyElement_; }
    int Depth() const { return depth_; }
    // The current element's attributes, names formed as element names are.
    const std::vector<std::pair<std::string, std::string>>& Attributes() const { return attributes_; }
    // Of a Text node: its value, UTF-8.
    const std::string& Value() const { return value_; }

    // Reads past the end of the current element (which was just returned by Read) and
    // everything inside it. False when the reader fails on the way.
    bool SkipElement();

    // What went wrong, for the log: the reader's messages with their line numbers.
    const std::string& Error() const { return error_; }

private:
    struct Impl;
    void Fail(std::string message);

    std::unique_ptr<Impl> impl_;
    std::string name_;
    std::string value_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    bool emptyElement_ = false;
    int depth_ = 0;
    bool finished_ = false;
    bool failed_ = false;
    std::string error_;
};

}  // namespace speaker_eq
