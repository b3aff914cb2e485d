// libxml2's text reader, fed from memory with every way out of the document closed.
#include "dsp_blocks/speaker_eq/XmlPullReader.h"

#include <climits>
#include <cstdarg>
#include <cstdio>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

namespace speaker_eq {
namespace {

// No network, no entity substitution, no DTD loading or attribute defaulting: entities
// stay references, which the reader reports and we refuse. XML_PARSE_NONET also covers
// anything a document might name by URL.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA;

// Each message keeps the log small even for a document full of errors.
constexpr std::size_t kMaxErrorText = 2048;

// A document type declaration can only stand in the prolog. Finding it there before the
// parser starts means its entity declarations are never even read; the reader's own check
// below still covers encodings this byte scan does not see through.
bool PrologHasDocumentType(std::string_view bytes)
{
    std::size_t pos = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        pos = 3;
    }
    for (;;) {
        while (pos < bytes.size() &&
               (bytes[pos] == ' ' || bytes[pos] == '\t' || bytes[pos] == '\r' || bytes[pos] == '\n')) {
            ++pos;
        }
        const std::string_view rest = bytes.substr(pos);
        std::size_t end = std::string_view::npos;
        if (rest.substr(0, 2) == "<?") {
            end = rest.find("?>");
            end = end == std::string_view::npos ? end : end + 2;
        } else if (rest.substr(0, 4) == "<!--") {
            end = rest.find("-->", 4);
            end = end == std::string_view::npos ? end : end + 3;
        } else {
            return rest.substr(0, 9) == "<!DOCTYPE";
        }
        if (end == std::string_view::npos) {
            return false;
        }
        pos += end;
    }
}

std::string Text(const xmlChar* text)
{
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

std::string QualifiedName(xmlTextReaderPtr reader)
{
    const std::string local = Text(xmlTextReaderConstLocalName(reader));
    const std::string prefix = Text(xmlTextReaderConstPrefix(reader));
    return prefix.empty() ? local : prefix + ":" + local;
}

}  // namespace

struct XmlPullReader::Impl {
    xmlTextReaderPtr reader = nullptr;
    std::string errors;

    void Add(std::string message)
    {
        if (errors.size() >= kMaxErrorText) {
            return;
        }
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
            message.pop_back();
        }
        if (message.empty()) {
            return;
        }
        if (!errors.empty()) {
            errors += "; ";
        }
        errors += message;
        if (errors.size() > kMaxErrorText) {
            errors.resize(kMaxErrorText);
        }
    }

    static void OnError(void* context, xmlErrorPtr error)
    {
        // Warnings (a relative namespace URI, say) do not make a document unusable.
        if (error == nullptr || error->level == XML_ERR_WARNING) {
            return;
        }
        static_cast<Impl*>(context)->Add("line " + std::to_string(error->line) + ": " +
                                         (error->message != nullptr ? error->message : "XML error"));
    }

    // Messages libxml2 formats itself (its encoding layer, for one) rather than raising them.
    static void OnGenericError(void* context, const char* format, ...)
    {
        char text[512];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(text, sizeof text, format, arguments);
        va_end(arguments);
        static_cast<Impl*>(context)->Add(text);
    }

    // libxml2 reports some faults through its per-thread handlers instead of the reader's,
    // and those write to standard error by default. While a call into libxml2 runs, they
    // come here.
    class ErrorRouting {
    public:
        explicit ErrorRouting(Impl& impl)
            : generic_(xmlGenericError),
              genericContext_(xmlGenericErrorContext),
              structured_(xmlStructuredError),
              structuredContext_(xmlStructuredErrorContext)
        {
            xmlSetGenericErrorFunc(&impl, &Impl::OnGenericError);
            xmlSetStructuredErrorFunc(&impl, &Impl::OnError);
        }
        ~ErrorRouting()
        {
            xmlSetGenericErrorFunc(genericContext_, generic_);
            xmlSetStructuredErrorFunc(structuredContext_, structured_);
        }
        ErrorRouting(const ErrorRouting&) = delete;
        ErrorRouting& operator=(const ErrorRouting&) = delete;

    private:
        xmlGenericErrorFunc generic_;
        void* genericContext_;
        xmlStructuredErrorFunc structured_;
        void* structuredContext_;
    };
};

XmlPullReader::XmlPullReader(std::string_view bytes) : impl_(std::make_unique<Impl>())
{
    if (bytes.size() > kMaxXmlBytes || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        Fail("the definition file is larger than " + std::to_string(kMaxXmlBytes) + " bytes");
        return;
    }
    if (PrologHasDocumentType(bytes)) {
        Fail("the definition file has a document type declaration, which is not accepted");
        return;
    }
    const Impl::ErrorRouting routing(*impl_);
    impl_->reader = xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                       kParseOptions);
    if (impl_->reader == nullptr) {
        Fail("the XML reader could not be created");
        return;
    }
    xmlTextReaderSetStructuredErrorHandler(impl_->reader, &Impl::OnError, impl_.get());
}

XmlPullReader::~XmlPullReader()
{
    if (impl_->reader != nullptr) {
        const Impl::ErrorRouting routing(*impl_);
        xmlFreeTextReader(impl_->reader);
    }
}

void XmlPullReader::Fail(std::string message)
{
    failed_ = true;
    if (!impl_->errors.empty()) {
        message += " (" + impl_->errors + ")";
    }
    error_ = std::move(message);
}

XmlNode XmlPullReader::Read()
{
    if (failed_) {
        return XmlNode::Error;
    }
    if (finished_) {
        return XmlNode::End;
    }
    const Impl::ErrorRouting routing(*impl_);
    const int result = xmlTextReaderRead(impl_->reader);
    if (result < 0 || !impl_->errors.empty()) {
        Fail("the definition file is not well-formed XML");
        return XmlNode::Error;
    }
    if (result == 0) {
        finished_ = true;
        return XmlNode::End;
    }
    attributes_.clear();
    value_.clear();
    const int type = xmlTextReaderNodeType(impl_->reader);
    switch (type) {
    case XML_READER_TYPE_ELEMENT: {
        name_ = QualifiedName(impl_->reader);
        depth_ = xmlTextReaderDepth(impl_->reader);
        emptyElement_ = xmlTextReaderIsEmptyElement(impl_->reader) == 1;
        for (int more = xmlTextReaderMoveToFirstAttribute(impl_->reader); more == 1;
             more = xmlTextReaderMoveToNextAttribute(impl_->reader)) {
            // Namespace declarations are plumbing, not values of the document.
            if (xmlTextReaderIsNamespaceDecl(impl_->reader) == 1) {
                continue;
            }
            attributes_.emplace_back(QualifiedName(impl_->reader), Text(xmlTextReaderConstValue(impl_->reader)));
        }
        xmlTextReaderMoveToElement(impl_->reader);
        if (!impl_->errors.empty()) {
            Fail("the definition file is not well-formed XML");
            return XmlNode::Error;
        }
        return XmlNode::Element;
    }
    case XML_READER_TYPE_END_ELEMENT:
        name_ = QualifiedName(impl_->reader);
        depth_ = xmlTextReaderDepth(impl_->reader);
        emptyElement_ = false;
        return XmlNode::EndElement;
    case XML_READER_TYPE_TEXT:
    case XML_READER_TYPE_CDATA:
    case XML_READER_TYPE_WHITESPACE:
    case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        value_ = Text(xmlTextReaderConstValue(impl_->reader));
        return XmlNode::Text;
    case XML_READER_TYPE_DOCUMENT_TYPE:
        Fail("the definition file has a document type declaration, which is not accepted");
        return XmlNode::Error;
    case XML_READER_TYPE_ENTITY_REFERENCE:
    case XML_READER_TYPE_ENTITY:
    case XML_READER_TYPE_END_ENTITY:
        Fail("the definition file uses an entity, which is not accepted");
        return XmlNode::Error;
    default:
        return XmlNode::Other;
    }
}

bool XmlPullReader::SkipElement()
{
    if (emptyElement_) {
        return true;
    }
    const int depth = depth_;
    for (;;) {
        switch (Read()) {
        case XmlNode::EndElement:
            if (depth_ == depth) {
                return true;
            }
            break;
        case XmlNode::End:
        case XmlNode::Error:
            return false;
        default:
            break;
        }
    }
}

}  // namespace speaker_eq
