// A Print Schema document as people read it: one element a line, indented by depth.
#pragma once

#include <msxml2.h>

#include <string>

// The document's root element and everything in it, or an empty text when the DOM fails. The
// namespace declarations the DOM repeats on elements inside one that declares the same already are
// left out: they say nothing new.
std::wstring IndentedXml(IXMLDOMDocument* document);
