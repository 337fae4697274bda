#include "host/ticket/indented_xml.h"

#include <utility>
#include <vector>

#include "platform/com_handles.h"

namespace {

constexpr size_t LONG_LINE = 110;

using Declarations = std::vector<std::pair<std::wstring, std::wstring>>;  // name, URI; innermost last

std::wstring Escaped(const wchar_t* text, bool attribute)
{
    std::wstring out;
    for (const wchar_t* c = text; c != nullptr && *c != L'\0'; ++c) {
        switch (*c) {
            case L'&':
                out += L"&amp;";
                break;
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                out += attribute ? L"&quot;" : L"\"";
                break;
            default:
                out += *c;
        }
    }
    return out;
}

bool Repeats(const Declarations& scope, const std::wstring& name, const std::wstring& uri)
{
    for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
        if (it->first == name) return it->second == uri;
    }
    return false;
}

class Writer {
public:
    bool Element(IXMLDOMNode* element, int depth)
    {
        Bstr name;
        if (FAILED(element->get_nodeName(name.Out()))) return false;
        const std::wstring indent(static_cast<size_t>(depth) * 2, L' ');
        std::wstring line = indent + L"<" + Escaped(name.Get(), false);
        const size_t scopeBefore = scope_.size();
        if (!Attributes(element, indent, &line)) return false;

        ComPtr<IXMLDOMNodeList> children;
        long count = 0;
        if (FAILED(element->get_childNodes(children.Out())) || FAILED(children->get_length(&count))) return false;
        std::wstring text;
        bool onlyText = true;
        for (long i = 0; i < count && onlyText; ++i) {
            ComPtr<IXMLDOMNode> child;
            DOMNodeType type = NODE_INVALID;
            if (FAILED(children->get_item(i, child.Out())) || FAILED(child->get_nodeType(&type))) return false;
            onlyText = type == NODE_TEXT || type == NODE_CDATA_SECTION;
            Bstr value;
            if (onlyText && SUCCEEDED(child->get_text(value.Out()))) text += Escaped(value.Get(), false);
        }
        if (count == 0) {
            out_ += line + L"/>\n";
        } else if (onlyText) {
            out_ += line + L">" + text + L"</" + Escaped(name.Get(), false) + L">\n";
        } else {
            out_ += line + L">\n";
            for (long i = 0; i < count; ++i) {
                ComPtr<IXMLDOMNode> child;
                DOMNodeType type = NODE_INVALID;
                if (FAILED(children->get_item(i, child.Out())) || FAILED(child->get_nodeType(&type))) return false;
                if (type == NODE_ELEMENT && !Element(child.Get(), depth + 1)) return false;
            }
            out_ += indent + L"</" + Escaped(name.Get(), false) + L">\n";
        }
        scope_.resize(scopeBefore);
        return true;
    }

    std::wstring out_;

private:
    // The attributes after the element's name; one a line under it when they make the line long, as
    // the namespace declarations of a root element do.
    bool Attributes(IXMLDOMNode* element, const std::wstring& indent, std::wstring* line)
    {
        ComPtr<IXMLDOMNamedNodeMap> attributes;
        long count = 0;
        if (FAILED(element->get_attributes(attributes.Out())) || !attributes || FAILED(attributes->get_length(&count)))
            return false;
        Declarations declared;
        std::vector<std::wstring> written;
        size_t length = line->size();
        for (long i = 0; i < count; ++i) {
            ComPtr<IXMLDOMNode> attribute;
            Bstr name, value;
            if (FAILED(attributes->get_item(i, attribute.Out())) || FAILED(attribute->get_nodeName(name.Out())) ||
                FAILED(attribute->get_text(value.Out())))
                return false;
            const std::wstring attributeName = name.Get() != nullptr ? name.Get() : L"";
            const std::wstring attributeValue = value.Get() != nullptr ? value.Get() : L"";
            if (attributeName.compare(0, 5, L"xmlns") == 0) {
                if (Repeats(scope_, attributeName, attributeValue)) continue;
                declared.emplace_back(attributeName, attributeValue);
            }
            written.push_back(attributeName + L"=\"" + Escaped(attributeValue.c_str(), true) + L"\"");
            length += written.back().size() + 1;
        }
        const std::wstring separator = length > LONG_LINE ? L"\n" + indent + L"    " : L" ";
        for (const std::wstring& attribute : written)
            *line += (&attribute == &written[0] ? L" " : separator) + attribute;
        scope_.insert(scope_.end(), declared.begin(), declared.end());
        return true;
    }

    Declarations scope_;
};

}  // namespace

std::wstring IndentedXml(IXMLDOMDocument* document)
{
    ComPtr<IXMLDOMElement> root;
    if (document == nullptr || FAILED(document->get_documentElement(root.Out())) || !root) return L"";
    Writer writer;
    return writer.Element(root.Get(), 0) ? writer.out_ : L"";
}
